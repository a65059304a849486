// Private to the window layer: what a device context draws with.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

#include "DC.h"

struct CBitmapImpl {
    QImage image;
    int selectedCount = 0;  // contexts drawing on it now
};

struct CDCState {
    COLORREF textColor = 0;
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    CFont* font = nullptr;
    QPoint position;
};

struct CDCImpl {
    std::unique_ptr<QPainter> ownedPainter;
    QPainter* painter = nullptr;   // null: a context that only measures
    CBitmap* bitmap = nullptr;     // selected into a memory context
    QFont baseFont;                // the window's font when no font is selected
    CDCState state;
    std::vector<CDCState> saved;
    bool textColorSet = false;
    bool bkColorSet = false;
    int dpi = 96;

    static QPainter* PainterOf(CDC* dc) { return dc && dc->GetImpl() ? dc->GetImpl()->painter : nullptr; }
    QFont CurrentFont() const;
    void BeginOn(QPaintDevice* device);
    void End();
};

namespace kvui {
QColor ToQColor(COLORREF color);
QFont ToQFont(const LOGFONT& font, int dpi = 96);
CString TranslateSymbolText(const LOGFONT& font, const CString& text);
}  // namespace kvui

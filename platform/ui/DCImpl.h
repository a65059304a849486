// Private to the window layer: what a device context draws with.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <memory>
#include <vector>

#include "DC.h"

class QWidget;

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

// While a widget's paint event is handled, the part it repaints: a CPaintDC on
// that widget reports it as its rcPaint, so a window can draw only that part.
class PaintRectScope {
public:
    PaintRectScope(const QWidget* widget, const QRect& rect);
    ~PaintRectScope();
    PaintRectScope(const PaintRectScope&) = delete;
    PaintRectScope& operator=(const PaintRectScope&) = delete;
    // The rectangle being repainted on `widget`, or its whole area outside its paint event.
    static QRect Of(const QWidget* widget);

private:
    const QWidget* m_widget;
    QRect m_rect;
    PaintRectScope* m_outer;
};
}  // namespace kvui

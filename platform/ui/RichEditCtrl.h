// CRichEditCtrl: a multi-line edit whose runs of text carry a character
// format (face, size, colour, bold, protected).
#pragma once

#include "Wnd.h"

constexpr DWORD CFM_BOLD = 0x1;
constexpr DWORD CFM_ITALIC = 0x2;
constexpr DWORD CFM_UNDERLINE = 0x4;
constexpr DWORD CFM_STRIKEOUT = 0x8;
constexpr DWORD CFM_PROTECTED = 0x10;
constexpr DWORD CFM_FACE = 0x20000000;
constexpr DWORD CFM_COLOR = 0x40000000;
constexpr DWORD CFM_SIZE = 0x80000000;
constexpr DWORD CFE_BOLD = 0x1;
constexpr DWORD CFE_ITALIC = 0x2;
constexpr DWORD CFE_UNDERLINE = 0x4;
constexpr DWORD CFE_STRIKEOUT = 0x8;
constexpr DWORD CFE_PROTECTED = 0x10;
constexpr DWORD CFE_AUTOCOLOR = 0x40000000;
constexpr UINT SCF_DEFAULT = 0x0;
constexpr UINT SCF_SELECTION = 0x1;

struct CHARFORMAT {
    UINT cbSize;
    DWORD dwMask;
    DWORD dwEffects;
    LONG yHeight;  // twips
    LONG yOffset;
    COLORREF crTextColor;
    BYTE bCharSet;
    BYTE bPitchAndFamily;
    char szFaceName[32];
};

class CRichEditCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetSel(long start, long end);
    void GetSel(long& start, long& end) const;
    void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE);
    BOOL SetSelectionCharFormat(CHARFORMAT& format);
    BOOL SetDefaultCharFormat(CHARFORMAT& format);
    DWORD GetSelectionCharFormat(CHARFORMAT& format) const;
    long GetTextLength() const;
    int GetLineCount() const;
    BOOL SetReadOnly(BOOL readOnly = TRUE);
    // The background behind the text; the previous colour is returned.
    COLORREF SetBackgroundColor(BOOL useSystemColor, COLORREF color);
    void LimitText(long maxChars = 0);
    void HideSelection(BOOL hide, BOOL permanent);
    void LineScroll(int lines, int chars = 0);
    // The line shown at the top of the control (from 0).
    int GetFirstVisibleLine() const;
    void Copy() { SendMessage(WM_COPY); }
};

#include "trazel/PlotPaint.h"

#include <algorithm>

#include "platform/ui/Font.h"
#include "platform/ui/Pen.h"

namespace trazel {

namespace {
constexpr COLORREF kLight = 0xFFFFFF;
constexpr COLORREF kDark = 0x000000;
}  // namespace

void DrawBorder(CDC* dc, const CRect& r, int style)
{
    COLORREF topLeft, bottomRight;
    switch (style) {
    case 1: topLeft = bottomRight = kLight; break;
    case 2: topLeft = bottomRight = kDark; break;
    case 3: topLeft = kLight, bottomRight = kDark; break;
    case 4: topLeft = kDark, bottomRight = kLight; break;
    default: return;  // 0 and styles without colours draw nothing
    }
    CPen light(PS_SOLID, 1, topLeft), dark(PS_SOLID, 1, bottomRight);
    CPen* old = dc->SelectObject(&light);
    dc->MoveTo(r.left, r.bottom);
    dc->LineTo(r.left, r.top);
    dc->LineTo(r.right, r.top);
    dc->SelectObject(&dark);
    dc->LineTo(r.right, r.bottom);
    dc->LineTo(r.left, r.bottom);
    dc->SelectObject(old);
}

CSize PlotTextBox(CDC* dc, const LOGFONT& font, int orientation, const CString& text)
{
    LOGFONT description = font;
    description.lfEscapement = description.lfOrientation = orientation == 1 ? 900 : 0;
    CFont made;
    made.CreateFontIndirect(&description);
    CFont* oldFont = dc->SelectObject(&made);
    const CSize extent = dc->GetTextExtent(text);
    dc->SelectObject(oldFont);
    return orientation == 1 ? CSize(extent.cy, extent.cx) : extent;
}

void DrawPlotText(CDC* dc, const LOGFONT& font, int orientation, COLORREF textColor, COLORREF bkColor,
                  const CString& text, int x, int y, int hAlign, int vAlign, const CRect* keepInside)
{
    const bool turned = orientation == 1;
    LOGFONT description = font;
    description.lfEscapement = description.lfOrientation = turned ? 900 : 0;
    CFont made;
    made.CreateFontIndirect(&description);
    CFont* oldFont = dc->SelectObject(&made);
    const COLORREF oldText = dc->SetTextColor(textColor);
    const COLORREF oldBk = dc->SetBkColor(bkColor);
    const int oldMode = dc->SetBkMode(TRANSPARENT);

    const CSize extent = dc->GetTextExtent(text);
    const int boxWidth = turned ? extent.cy : extent.cx;
    const int boxHeight = turned ? extent.cx : extent.cy;
    int left = hAlign == hRightAtX ? x - boxWidth : hAlign == hLeftAtX ? x : x - boxWidth / 2;
    int top = vAlign == vBottomAtY ? y - boxHeight : vAlign == vTopAtY ? y : y - boxHeight / 2;
    if (keepInside) {
        left = std::max(static_cast<int>(keepInside->left), std::min(left, static_cast<int>(keepInside->right) - boxWidth));
        top = std::max(static_cast<int>(keepInside->top), std::min(top, static_cast<int>(keepInside->bottom) - boxHeight));
    }
    // Turned text starts at the bottom of its box and runs upward.
    dc->TextOut(left, turned ? top + boxHeight : top, text);

    dc->SetBkMode(oldMode);
    dc->SetBkColor(oldBk);
    dc->SetTextColor(oldText);
    dc->SelectObject(oldFont);
}

void DrawLine(CDC* dc, int x1, int y1, int x2, int y2, int style, int width, COLORREF color)
{
    CPen pen(style, width, color);
    CPen* old = dc->SelectObject(&pen);
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
    dc->SelectObject(old);
}

}  // namespace trazel

// Drawing steps shared by the frame, the scales and the area.
#pragma once

#include <cmath>

#include "platform/core/String.h"
#include "platform/ui/DC.h"

namespace trazel {

// Horizontal placement of a text against its anchor x.
enum HAlign { hRightAtX = 0, hLeftAtX = 1, hCentreOnX = 2 };
// Vertical placement against its anchor y.
enum VAlign { vBottomAtY = 0, vTopAtY = 1, vCentreOnY = 2 };

// Border styles: 0 none, 1 light, 2 black, 3 raised, 4 sunken. The light colour is white.
void DrawBorder(CDC* dc, const CRect& rect, int style);

// Draws text transparently in the font, turned by 90 degrees when orientation is 1,
// placing the box it covers on the screen by the two alignments.
// With `keepInside`, the text's box is moved (not cut) to lie inside that rectangle where it fits.
// The box (width x height, pixels) the text takes when drawn by DrawPlotText.
CSize PlotTextBox(CDC* dc, const LOGFONT& font, int orientation, const CString& text);
void DrawPlotText(CDC* dc, const LOGFONT& font, int orientation, COLORREF textColor, COLORREF bkColor,
                  const CString& text, int x, int y, int hAlign, int vAlign, const CRect* keepInside = nullptr);

// A line of the given pen from (x1, y1) to (x2, y2).
void DrawLine(CDC* dc, int x1, int y1, int x2, int y2, int style, int width, COLORREF color);

// The multiples k * step from trunc(start / step) * step up to end. None for a
// step that is not positive, or for more lines than any picture can show (which
// would only hang the drawing).
template <class Visit>
void ForEachStep(double start, double end, double step, Visit visit)
{
    constexpr double kMaxSteps = 100000;
    constexpr double kMaxMultiple = 1e15;
    if (!(step > 0.0) || !(end >= start) || (end - start) / step > kMaxSteps ||
        !(std::fabs(start / step) < kMaxMultiple))
        return;
    const double first = static_cast<double>(static_cast<long long>(start / step));
    const double slack = step * 1e-9;
    for (double k = first;; k += 1.0) {
        const double v = k * step;
        if (v > end + slack)
            break;
        visit(v);
    }
}

}  // namespace trazel

#include "trazel/DPlotFrame.h"

#include "trazel/PlotPaint.h"
#include "trazel/Trazel.h"

using namespace trazel;

namespace {
constexpr int kLabelInset = 2;

// The anchor along a span and the text alignment that goes with it.
int AlongAnchor(int alignment, int start, int end)
{
    switch (alignment) {
    case 0: return start + (start <= end ? kLabelInset : -kLabelInset);
    case 1: return end + (start <= end ? -kLabelInset : kLabelInset);
    default: return (start + end) / 2;
    }
}

// Anchor across a strip from near to far edge: 0 bottom/right end, 1 top/left end, 2 centred.
int AcrossAnchor(int alignment, int low, int high)
{
    switch (alignment) {
    case 0: return high;
    case 1: return low;
    default: return (low + high) / 2;
    }
}
}  // namespace

CRect CDPlotFrame::ScaleAreaOf(const CRect& whole) const
{
    const CTrazel& t = *m_pOwner;
    return CRect(whole.left + t.m_nOuterLeftMargin, whole.top + t.m_nOuterTopMargin,
                 whole.right - t.m_nOuterRightMargin, whole.bottom - t.m_nOuterBottomMargin);
}

void CDPlotFrame::Draw(CDC* dc, CRect whole)
{
    const CTrazel& t = *m_pOwner;
    if (t.m_nFrameBkStyle == 2)
        return;
    if (t.m_nFrameBkStyle == 0)
        dc->FillSolidRect(&whole, t.m_crFrameBk);
    if (t.m_bXLabel)
        DrawXLabel(dc, whole);
    if (t.m_bYLabel)
        DrawYLabel(dc, whole);
    CRect border = whole;
    border.right -= 1;
    border.bottom -= 1;
    DrawBorder(dc, border, t.m_nFrameBorderStyle);
}

void CDPlotFrame::DrawXLabel(CDC* dc, const CRect& whole)
{
    const CTrazel& t = *m_pOwner;
    const CRect scales = ScaleAreaOf(whole);
    // The strip beyond the scales (and so beyond the band and the inner margin).
    const int low = t.m_nXAxisSide == 0 ? whole.top : scales.bottom;
    const int high = t.m_nXAxisSide == 0 ? scales.top : whole.bottom;
    const int x = AlongAnchor(t.m_nXLabelAlignAlong, scales.left, scales.right);
    const int h = t.m_nXLabelAlignAlong == 0 ? hLeftAtX : t.m_nXLabelAlignAlong == 1 ? hRightAtX : hCentreOnX;
    const int v = t.m_nXLabelAlignAcross == 0 ? vBottomAtY : t.m_nXLabelAlignAcross == 1 ? vTopAtY : vCentreOnY;
    DrawPlotText(dc, t.m_xLabelFont, t.m_nXLabelOrientation, t.m_crXLabelText, t.m_crFrameBk, t.m_strXLabel, x,
                 AcrossAnchor(t.m_nXLabelAlignAcross, low, high), h, v);
}

void CDPlotFrame::DrawYLabel(CDC* dc, const CRect& whole)
{
    const CTrazel& t = *m_pOwner;
    const CRect scales = ScaleAreaOf(whole);
    const int low = t.m_nYAxisSide == 0 ? whole.left : scales.right;
    const int high = t.m_nYAxisSide == 0 ? scales.left : whole.right;
    // Along the Y axis the start is the bottom.
    const int y = AlongAnchor(t.m_nYLabelAlignAlong, scales.bottom, scales.top);
    const int v = t.m_nYLabelAlignAlong == 0 ? vBottomAtY : t.m_nYLabelAlignAlong == 1 ? vTopAtY : vCentreOnY;
    const int h = t.m_nYLabelAlignAcross == 0 ? hRightAtX : t.m_nYLabelAlignAcross == 1 ? hLeftAtX : hCentreOnX;
    DrawPlotText(dc, t.m_yLabelFont, t.m_nYLabelOrientation, t.m_crYLabelText, t.m_crFrameBk, t.m_strYLabel,
                 AcrossAnchor(t.m_nYLabelAlignAcross, low, high), y, h, v);
}

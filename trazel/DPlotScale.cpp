#include <algorithm>
#include <cmath>
#include <cstring>

#include "trazel/PlotPaint.h"
#include "trazel/Trazel.h"

using namespace trazel;

namespace {
constexpr int kTextGap = 3;
}

CDPlotScale::CDPlotScale(CTrazel* owner) : m_unused{}, m_pOwner(owner) {}

CDPlotScale::CDPlotScale(const CDPlotScale& other) = default;
CDPlotScale& CDPlotScale::operator=(const CDPlotScale& other) = default;
CDPlotScale::~CDPlotScale() = default;

CRect CDPlotScale::XBandOf(const CRect& p) const
{
    const CTrazel& t = *m_pOwner;
    if (t.m_nXAxisSide == 0)
        return CRect(p.left, p.top - t.m_nXScaleBandSize, p.right, p.top);
    return CRect(p.left, p.bottom, p.right, p.bottom + t.m_nXScaleBandSize);
}

CRect CDPlotScale::YBandOf(const CRect& p) const
{
    const CTrazel& t = *m_pOwner;
    if (t.m_nYAxisSide == 0)
        return CRect(p.left - t.m_nYScaleBandSize, p.top, p.left, p.bottom);
    return CRect(p.right, p.top, p.right + t.m_nYScaleBandSize, p.bottom);
}

CRect CDPlotScale::ScaleAreaOf(const CRect& p) const
{
    const CTrazel& t = *m_pOwner;
    CRect area = p;
    if (t.m_bXScaleBand)
        area.UnionRect(area, XBandOf(p));
    if (t.m_bYScaleBand)
        area.UnionRect(area, YBandOf(p));
    if (t.m_bInnerMargins) {
        area.left -= t.m_nInnerLeftMargin;
        area.top -= t.m_nInnerTopMargin;
        area.right += t.m_nInnerRightMargin;
        area.bottom += t.m_nInnerBottomMargin;
    }
    return area;
}

void CDPlotScale::Draw(CDC* dc, CRect plotRect)
{
    const CTrazel& t = *m_pOwner;
    const CDPoint perUnit{plotRect.Width() / (t.m_dXRangeEnd - t.m_dXRangeStart),
                          plotRect.Height() / (t.m_dYMax - t.m_dYMin)};
    const CRect area = ScaleAreaOf(plotRect);
    const int saved = dc->SaveDC();
    if (t.m_bInnerMargins) {
        dc->FillSolidRect(&area, t.m_crScaleAreaBk);
        dc->IntersectClipRect(area.left, area.top, area.right, area.bottom);
    }
    if (t.m_bXScaleBand) {
        const CRect band = XBandOf(plotRect);
        dc->FillSolidRect(&band, t.m_crXScaleBk);
        // A range of no width has no scale to show.
        if (std::isfinite(perUnit.x)) {
            DrawXScaleText(dc, band, perUnit);
            if (t.m_bXMinorTicks)
                DrawTicks(dc, band, 1, perUnit, t.m_dXRangeStart, t.m_dXRangeEnd, t.m_dXMinorStep,
                          t.m_nXMinorTickWidth, t.m_nXMinorTickLength, t.m_nXAxisSide, t.m_crXMinorTick);
            if (t.m_bXMajorTicks)
                DrawTicks(dc, band, 1, perUnit, t.m_dXRangeStart, t.m_dXRangeEnd, t.m_dXMajorStep,
                          t.m_nXMajorTickWidth, t.m_nXMajorTickLength, t.m_nXAxisSide, t.m_crXMajorTick);
        }
    }
    if (t.m_bYScaleBand) {
        const CRect band = YBandOf(plotRect);
        dc->FillSolidRect(&band, t.m_crYScaleBk);
        if (std::isfinite(perUnit.y)) {
            DrawYScaleText(dc, band, perUnit);
            if (t.m_bYMinorTicks)
                DrawTicks(dc, band, 0, perUnit, t.m_dYMin, t.m_dYMax, t.m_dYMinorStep, t.m_nYMinorTickWidth,
                          t.m_nYMinorTickLength, t.m_nYAxisSide, t.m_crYMinorTick);
            if (t.m_bYMajorTicks)
                DrawTicks(dc, band, 0, perUnit, t.m_dYMin, t.m_dYMax, t.m_dYMajorStep, t.m_nYMajorTickWidth,
                          t.m_nYMajorTickLength, t.m_nYAxisSide, t.m_crYMajorTick);
        }
    }
    dc->RestoreDC(saved);
    if (t.m_bInnerMargins)
        DrawBorder(dc, area, t.m_nScaleAreaBorderStyle);
}

// vertical: ticks of the X band (vertical lines); else of the Y band.
void CDPlotScale::DrawTicks(CDC* dc, CRect band, int vertical, CDPoint perUnit, double start, double end,
                            double step, int width, int length, int side, COLORREF color)
{
    if (side != 0 && side != 1)
        return;
    ForEachStep(start, end, step, [&](double v) {
        if (v < start)
            return;
        if (vertical) {
            const int x = static_cast<int>(band.left + perUnit.x * (v - start));
            const int y0 = side == 0 ? band.bottom : band.top;
            DrawLine(dc, x, y0, x, side == 0 ? y0 - length : y0 + length, PS_SOLID, width, color);
        } else {
            const int y = static_cast<int>(band.top + perUnit.y * (end - v));
            const int x0 = side == 0 ? band.right : band.left;
            DrawLine(dc, x0, y, side == 0 ? x0 - length : x0 + length, y, PS_SOLID, width, color);
        }
    });
}

int CDPlotScale::XTextStandOff() const
{
    const CTrazel& t = *m_pOwner;
    return std::max(t.m_bXMajorTicks * t.m_nXMajorTickLength, t.m_bXMinorTicks * t.m_nXMinorTickLength) +
           kTextGap;
}

int CDPlotScale::YTextStandOff() const
{
    const CTrazel& t = *m_pOwner;
    return std::max(t.m_bYMajorTicks * t.m_nYMajorTickLength, t.m_bYMinorTicks * t.m_nYMinorTickLength) +
           kTextGap;
}

CString CDPlotScale::FormatOf(const CString& format, int digits) const
{
    if (!format.IsEmpty())
        return format;
    CString pattern;
    pattern.Format("%%0.%uf", static_cast<unsigned>(std::clamp(digits, 0, 30)));
    return pattern;
}

void CDPlotScale::DrawXScaleText(CDC* dc, CRect band, CDPoint perUnit)
{
    const CTrazel& t = *m_pOwner;
    if (t.m_dXMajorStep == 0.0)
        return;
    const CString format = FormatOf(m_strXFormat, t.m_nXScaleDigits);
    const int saved = dc->SaveDC();
    // Scrolling labels are cut where they leave the band, but the two end labels are moved inside
    // the scale area whole rather than cut in half.
    CRect shown = band;
    const bool yBandLeft = t.m_bYScaleBand && t.m_nYAxisSide == 0;
    const bool yBandRight = t.m_bYScaleBand && t.m_nYAxisSide == 1;
    shown.left -= (yBandLeft ? t.m_nYScaleBandSize : 0) + (t.m_bInnerMargins ? t.m_nInnerLeftMargin : 0);
    shown.right += (yBandRight ? t.m_nYScaleBandSize : 0) + (t.m_bInnerMargins ? t.m_nInnerRightMargin : 0);
    if (t.m_nTimeMode == CTrazel::timeScroll)
        dc->IntersectClipRect(shown.left, shown.top, shown.right, shown.bottom);
    const double endTolerance = std::fabs(t.m_dXMajorStep) * 1e-9;
    const int standOff = XTextStandOff();
    const int y = t.m_nXAxisSide == 0 ? band.bottom - standOff : band.top + standOff;
    ForEachStep(t.m_dXRangeStart, t.m_dXRangeEnd, t.m_dXMajorStep, [&](double v) {
        const int x = static_cast<int>(band.left + perUnit.x * (v - t.m_dXRangeStart));
        if (x < band.left)
            return;
        char text[CTrazel::kFormattedValSize];
        CTrazel::GetFormattedVal(v, format, t.m_nXScaleDigits, text);
        const bool end = std::fabs(v - t.m_dXRangeStart) <= endTolerance || std::fabs(v - t.m_dXRangeEnd) <= endTolerance;
        DrawPlotText(dc, t.m_xScaleFont, t.m_nXScaleTextOrientation, t.m_crXScaleText, t.m_crXScaleBk, text, x,
                     y, hCentreOnX, t.m_nXAxisSide == 0 ? vBottomAtY : vTopAtY, end ? &shown : nullptr);
    });
    dc->RestoreDC(saved);
}

void CDPlotScale::DrawYScaleText(CDC* dc, CRect band, CDPoint perUnit)
{
    const CTrazel& t = *m_pOwner;
    if (t.m_dYMajorStep == 0.0)
        return;
    const CString format = FormatOf(m_strYFormat, t.m_nYScaleDigits);
    const int standOff = YTextStandOff();
    const int x = t.m_nYAxisSide == 0 ? band.right - standOff : band.left + standOff;
    // Labels stay whole inside the scale area, and one that would run into the label below it
    // is left out: long values on close ticks would otherwise print over each other.
    CRect shown = band;
    shown.top -= t.m_bInnerMargins ? t.m_nInnerTopMargin : 0;
    shown.bottom += t.m_bInnerMargins ? t.m_nInnerBottomMargin : 0;
    int freeBelow = shown.bottom + kTextGap;
    ForEachStep(t.m_dYMin, t.m_dYMax, t.m_dYMajorStep, [&](double v) {
        if (v < t.m_dYMin)
            return;
        const int y = static_cast<int>(band.bottom - perUnit.y * (v - t.m_dYMin));
        char text[CTrazel::kFormattedValSize];
        CTrazel::GetFormattedVal(v, format, t.m_nYScaleDigits, text);
        const int height = PlotTextBox(dc, t.m_yScaleFont, t.m_nYScaleTextOrientation, text).cy;
        const int top = std::clamp(y - height / 2, static_cast<int>(shown.top), static_cast<int>(shown.bottom) - height);
        if (top + height + kTextGap > freeBelow)
            return;
        freeBelow = top;
        DrawPlotText(dc, t.m_yScaleFont, t.m_nYScaleTextOrientation, t.m_crYScaleText, t.m_crYScaleBk, text, x, y,
                     t.m_nYAxisSide == 0 ? hRightAtX : hLeftAtX, vCentreOnY, &shown);
    });
}

#include "trazel/PlotChanges.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "trazel/PlotTrace.h"

namespace {
int PixelOf(double position)
{
    constexpr double kLimit = 1 << 20;
    return std::isnan(position) ? 0 : static_cast<int>(std::clamp(position, -kLimit, kLimit));
}
}  // namespace

bool CPlotChanges::TakeTraceLooks(const CTrazel& plot, bool ownerPlacesMarkers)
{
    const CList<CPlotTrace*, CPlotTrace*>& traces = plot.m_pPlotArea->m_traces;
    bool changed = static_cast<size_t>(traces.GetCount()) != m_traces.size();
    m_traces.resize(static_cast<size_t>(traces.GetCount()));
    size_t i = 0;
    for (POSITION pos = traces.GetHeadPosition(); pos; ++i) {
        const CPlotTrace* trace = traces.GetNext(pos);
        const CPlotPen& pen = trace->m_pen;
        const TraceLook look{trace->m_id,       trace->m_color, trace->m_nWidth,
                             trace->m_bEnable,  pen.m_color,    pen.m_nWidth,
                             pen.m_nHeight,     pen.m_nShape,   pen.m_bEnable,
                             ownerPlacesMarkers ? pen.m_x : 0, ownerPlacesMarkers ? pen.m_y : 0};
        if (!(look == m_traces[i])) {
            m_traces[i] = look;
            changed = true;
        }
    }
    return changed;
}

CRect CPlotChanges::Take(CTrazel& t, const CRect& whole, const CRect& plotRect)
{
    CRect rect = plotRect;
    rect.NormalizeRect();
    const double perUnit = rect.Width() / (t.m_dXRangeEnd - t.m_dXRangeStart);
    const auto pixelOf = [&](double x) { return PixelOf(rect.left + perUnit * (x - t.m_dXRangeStart)); };
    const bool timeMarkers =
        t.m_bRun && (t.m_nTimeMode == CTrazel::timeScroll || t.m_nTimeMode == CTrazel::timeSweep);
    const int nowX = pixelOf(t.m_pPlotArea->m_dCurrentTime);
    const int lastNowX = m_nowX;
    m_nowX = nowX;

    bool everything = !m_taken || !t.m_bRun || t.m_bRecreateBuffer;
    everything |= m_look.Take(t, whole);
    const AreaValues area = trazel::AreaValuesOf(t);
    everything |= !m_taken || !(area == m_area);
    m_area = area;
    everything |= TakeTraceLooks(t, !timeMarkers);
    m_taken = true;

    // Every trace's changes are taken, also when all is drawn anyway.
    int left = INT_MAX, right = INT_MIN;
    const auto cover = [&](int from, int to) {
        left = std::min(left, from);
        right = std::max(right, to);
    };
    int markerWidth = 0;
    bool anyShown = false;
    for (POSITION pos = t.m_pPlotArea->m_traces.GetHeadPosition(); pos;) {
        CPlotTrace* trace = t.m_pPlotArea->m_traces.GetNext(pos);
        const TraceChange change = trace->TakeChange();
        anyShown |= trace->m_bEnable || trace->m_pen.m_bEnable;
        markerWidth = std::max<int>(markerWidth, trace->m_pen.m_nWidth);
        everything |= change.all;
        if (change.any && !change.all) {
            const int reach = std::max<int>(trace->m_nWidth, 1) + 1;
            cover(pixelOf(change.xLo) - reach, pixelOf(change.xHi) + reach + 1);
        }
    }
    if (everything)
        return whole;
    // The area draws nothing over an empty range, whatever its traces hold.
    if (!(t.m_dXRangeStart < t.m_dXRangeEnd) || !(t.m_dYMin < t.m_dYMax))
        return CRect();
    // The traces end, and the markers stand, at the current time.
    if (timeMarkers && anyShown && nowX != lastNowX)
        cover(std::min(nowX, lastNowX) - 2, std::max(nowX, lastNowX) + markerWidth + 2);
    if (left > right)
        return CRect();
    CRect changed(left, rect.top, right, rect.bottom + 1);
    changed.IntersectRect(changed, whole);
    return changed;
}

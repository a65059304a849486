// CPlotChanges: which part of a plot's picture differs from the one it had
// when last asked, so that an owner repaints only that part. A sweeping plot
// that only gains points changes in a narrow strip at its current time.
#pragma once

#include <tuple>
#include <vector>

#include "trazel/PlotLook.h"

namespace trazel {
// The area's own settings beside those of the frame and scales.
inline auto AreaValuesOf(const CTrazel& t)
{
    return std::make_tuple(t.m_bRun, t.m_crPlotAreaBk, t.m_nNoAreaFill, t.m_nPlotAreaBorderStyle, t.m_bXMajorGrid,
                           t.m_bXMinorGrid, t.m_bYMajorGrid, t.m_bYMinorGrid, t.m_crXMajorGrid, t.m_crYMajorGrid,
                           t.m_crXMinorGrid, t.m_crYMinorGrid, t.m_nXMajorGridStyle, t.m_nYMajorGridStyle,
                           t.m_nXMinorGridStyle, t.m_nYMinorGridStyle, t.m_nXMajorGridWidth, t.m_nYMajorGridWidth,
                           t.m_nXMinorGridWidth, t.m_nYMinorGridWidth, t.m_bCursorLine, t.m_crCursorLine,
                           t.m_pPlotArea->m_dCursorPos);
}
}  // namespace trazel

class CPlotChanges {
public:
    // The part of `whole` to draw again (empty when nothing changed); takes
    // the plot as it is now for the next call.
    CRect Take(CTrazel& plot, const CRect& whole, const CRect& plotRect);

private:
    struct TraceLook {
        short id;
        COLORREF color;
        short width;
        int enable;
        COLORREF penColor;
        short penWidth, penHeight, penShape;
        int penEnable;
        int penX, penY;  // only where the owner places the markers
        bool operator==(const TraceLook&) const = default;
    };
    using AreaValues = decltype(trazel::AreaValuesOf(std::declval<const CTrazel&>()));

    // True when a trace was added, removed or drawn differently.
    bool TakeTraceLooks(const CTrazel& plot, bool ownerPlacesMarkers);

    bool m_taken = false;
    CPlotLook m_look;
    AreaValues m_area{};
    std::vector<TraceLook> m_traces;
    int m_nowX = 0;  // the pixel of the current time last reported
};

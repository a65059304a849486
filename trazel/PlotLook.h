// CPlotLook: what a plot's frame and scales are drawn from. The plot's owner
// writes the members directly, so a change is seen only by comparing them
// with the ones the last picture was made from.
#pragma once

#include <array>
#include <cstring>
#include <tuple>
#include <utility>

#include "trazel/Trazel.h"

namespace trazel {
using FontBytes = std::array<unsigned char, sizeof(LOGFONT)>;
inline FontBytes BytesOf(const LOGFONT& font)
{
    FontBytes bytes;
    std::memcpy(bytes.data(), &font, sizeof font);
    return bytes;
}
// Every member the frame and the scales read, but the texts.
inline auto LookValuesOf(const CTrazel& t, const CRect& whole)
{
    return std::make_tuple(
        whole, BytesOf(t.m_xScaleFont), BytesOf(t.m_yScaleFont), BytesOf(t.m_xLabelFont),
        BytesOf(t.m_yLabelFont), t.m_bXMajorTicks, t.m_bYMajorTicks, t.m_bXMinorTicks, t.m_bYMinorTicks,
        t.m_bXLabel, t.m_bYLabel, t.m_nXLabelOrientation, t.m_nYLabelOrientation, t.m_nXScaleDigits,
        t.m_nYScaleDigits, t.m_crXLabelText, t.m_crYLabelText, t.m_dYMin, t.m_dYMax, t.m_nTimeMode,
        t.m_crXScaleBk, t.m_crYScaleBk, t.m_crFrameBk, t.m_nXLabelAlignAcross, t.m_nYLabelAlignAlong,
        t.m_nXLabelAlignAlong, t.m_nYLabelAlignAcross, t.m_dXMajorStep, t.m_dYMajorStep, t.m_dXMinorStep,
        t.m_dYMinorStep, t.m_nXMajorTickWidth, t.m_nYMajorTickWidth, t.m_nXMinorTickWidth,
        t.m_nYMinorTickWidth, t.m_crXMajorTick, t.m_crYMajorTick, t.m_crXMinorTick, t.m_crYMinorTick,
        t.m_nXMajorTickLength, t.m_nYMajorTickLength, t.m_nXMinorTickLength, t.m_nYMinorTickLength,
        t.m_nFrameBorderStyle, t.m_nFrameBkStyle, t.m_bXScaleBand, t.m_bYScaleBand, t.m_nXScaleBandSize,
        t.m_nYScaleBandSize, t.m_nScaleAreaBorderStyle, t.m_crXScaleText, t.m_crYScaleText,
        t.m_nXScaleTextOrientation, t.m_nYScaleTextOrientation, t.m_nXAxisSide, t.m_nYAxisSide,
        t.m_crScaleAreaBk, t.m_bInnerMargins, t.m_nOuterTopMargin, t.m_nOuterBottomMargin,
        t.m_nOuterLeftMargin, t.m_nOuterRightMargin, t.m_nInnerTopMargin, t.m_nInnerBottomMargin,
        t.m_nInnerLeftMargin, t.m_nInnerRightMargin, t.m_dXRangeEnd, t.m_dXRangeStart);
}
}  // namespace trazel

class CPlotLook {
public:
    // True when the plot's frame and scales in `whole` would differ from the
    // ones last taken; takes the new ones.
    bool Take(const CTrazel& plot, const CRect& whole);
    void Forget() { m_taken = false; }

private:
    using Values = decltype(trazel::LookValuesOf(std::declval<const CTrazel&>(), std::declval<const CRect&>()));

    bool m_taken = false;
    Values m_values{};
    CString m_xLabel, m_yLabel, m_xFormat, m_yFormat;
};

#include "trazel/PlotLook.h"

bool CPlotLook::Take(const CTrazel& plot, const CRect& whole)
{
    const Values values = trazel::LookValuesOf(plot, whole);
    const CDPlotScale& scale = *plot.m_pScale;
    if (m_taken && values == m_values && plot.m_strXLabel == m_xLabel && plot.m_strYLabel == m_yLabel &&
        scale.m_strXFormat == m_xFormat && scale.m_strYFormat == m_yFormat)
        return false;
    m_taken = true;
    m_values = values;
    m_xLabel = plot.m_strXLabel;
    m_yLabel = plot.m_strYLabel;
    m_xFormat = scale.m_strXFormat;
    m_yFormat = scale.m_strYFormat;
    return true;
}

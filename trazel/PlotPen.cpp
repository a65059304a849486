#include "trazel/PlotPen.h"

#include "platform/core/Archive.h"

IMPLEMENT_SERIAL(CPlotPen, CObject, 1)

void CPlotPen::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_bEnable << static_cast<DWORD>(m_color) << m_nWidth << m_nShape << m_nHeight;
    } else {
        DWORD color = 0;
        ar >> m_bEnable >> color >> m_nWidth >> m_nShape >> m_nHeight;
        m_color = color;
    }
}

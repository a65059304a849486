#include "trazel/PlotBackdrop.h"

#include "trazel/DPlotFrame.h"

CPlotBackdrop::~CPlotBackdrop()
{
    m_dc.SelectObject(static_cast<CBitmap*>(nullptr));
    m_dc.DeleteDC();
    m_bitmap.DeleteObject();
}

void CPlotBackdrop::DrawFrameAndScales(CTrazel& plot, CDC* dc, const CRect& whole, const CRect& plotRect)
{
    plot.m_pFrame->Draw(dc, whole);
    plot.m_pScale->Draw(dc, plotRect);
}

bool CPlotBackdrop::PrepareImage(CDC* like, const CRect& whole)
{
    // Like the plot's buffer, the image covers the rectangle measured from the origin.
    const CSize size(whole.right, whole.bottom);
    if (m_valid && size == m_size)
        return true;
    m_dc.SelectObject(static_cast<CBitmap*>(nullptr));
    m_bitmap.DeleteObject();
    m_dc.DeleteDC();
    m_size = size;
    m_valid = m_dc.CreateCompatibleDC(like) && m_bitmap.CreateCompatibleBitmap(like, size.cx, size.cy);
    if (m_valid)
        m_dc.SelectObject(&m_bitmap);
    m_look.Forget();
    return m_valid;
}

void CPlotBackdrop::DrawInto(CTrazel& plot, CDC* dc, const CRect& whole, const CRect& plotRect, const CRect& part)
{
    if (!PrepareImage(dc, whole)) {
        DrawFrameAndScales(plot, dc, whole, plotRect);
        return;
    }
    if (m_look.Take(plot, whole))
        DrawFrameAndScales(plot, &m_dc, whole, plotRect);
    dc->BitBlt(part.left, part.top, part.Width(), part.Height(), &m_dc, part.left, part.top, SRCCOPY);
}

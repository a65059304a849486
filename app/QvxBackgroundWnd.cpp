#include "QvxBackgroundWnd.h"

#include "platform/ui/DC.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/ResourceText.h"

BEGIN_MESSAGE_MAP(CQvxBackgroundWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

int CQvxBackgroundWnd::OnCreate(LPCREATESTRUCT) { return 0; }

BOOL CQvxBackgroundWnd::SetBitmap(UINT id)
{
    m_hasBitmap = AfxLoadBitmapResource(m_bitmap, id) != FALSE;
    Invalidate(FALSE);
    return m_hasBitmap ? TRUE : FALSE;
}

void CQvxBackgroundWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kBackground);
    if (!m_hasBitmap)
        return;
    const CSize size = m_bitmap.GetBitmapDimension();
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap* old = memory.SelectObject(&m_bitmap);
    dc.BitBlt((client.Width() - size.cx) / 2, (client.Height() - size.cy) / 2, size.cx, size.cy, &memory, 0, 0,
              SRCCOPY);
    memory.SelectObject(old);
}

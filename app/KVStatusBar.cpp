#include "KVStatusBar.h"

#include "platform/ui/DC.h"

BEGIN_MESSAGE_MAP(CKVStatusBar, CStatusBar)
    ON_WM_TIMER()
END_MESSAGE_MAP()

COLORREF CKVStatusBar::LampColour(int status, int blinkPhase)
{
    switch (status) {
    case 0: return 0x404040;
    case 1: return 0x00FF00;
    case 2: return 0x00FFFF;
    case 3: return blinkPhase ? 0x404040 : 0x0000FF;
    default: return 0xFF0000;
    }
}

void CKVStatusBar::OnTimer(UINT_PTR id)
{
    if (id != kTimerId)
        return;
    if (m_source)
        m_commStatus = m_source();
    m_blink = m_blink ? 0 : 1;
    Invalidate();
}

BOOL CKVStatusBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    CWnd* frame = GetParent();
    return frame ? static_cast<BOOL>(frame->OnCommand(wParam, lParam)) : FALSE;
}

void CKVStatusBar::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    if (!drawItem || drawItem->itemID != kLampPane)
        return;
    CDC* dc = CDC::FromHandle(drawItem->hDC);
    const CRect pane(drawItem->rcItem);
    const CString label = "Comm Status:";
    dc->SetBkMode(TRANSPARENT);
    CRect text(pane);
    dc->DrawText(label, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    const int left = pane.left + dc->GetTextExtent(label).cx + 5;
    CRect lamp(left, pane.top, left + 4 * pane.Height(), pane.bottom);
    dc->FillSolidRect(&lamp, LampColour(m_commStatus, m_blink));
    dc->Draw3dRect(&lamp, 0x000000, 0xFFFFFF);
}

#include "JogBtn.h"

BEGIN_MESSAGE_MAP(CJogBtn, CButton)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

void CJogBtn::OnLButtonDown(UINT, CPoint)
{
    m_pressed = TRUE;
    m_pressedId = GetDlgCtrlID();
    if (CWnd* parent = GetParent())
        parent->PostMessage(WM_LBUTTONDOWN, static_cast<WPARAM>(m_pressedId), 0);
    SetCapture();
}

void CJogBtn::OnLButtonUp(UINT, CPoint)
{
    m_pressed = FALSE;
    m_pressedId = -1;
    if (CWnd* parent = GetParent())
        parent->PostMessage(WM_LBUTTONUP, static_cast<WPARAM>(GetDlgCtrlID()), 0);
    ReleaseCapture();
}

// A quick second press comes as a double click; it is a press all the same.
void CJogBtn::OnLButtonDblClk(UINT flags, CPoint point) { OnLButtonDown(flags, point); }

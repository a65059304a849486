#include "DPopupSelectListCtrl.h"

#include "DPopupSelectListDlg.h"
#include "DPopupSelectListEditCtrl.h"

BEGIN_MESSAGE_MAP(CDPopupSelectListCtrl, CListCtrl)
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void CDPopupSelectListCtrl::OnChar(UINT ch, UINT repeat, UINT /*flags*/)
{
    CDPopupSelectListEditCtrl* edit = m_dialog ? m_dialog->GetEdit() : nullptr;
    // Enter, Esc and Tab are the popup's own keys; every other character is typing.
    if (!edit || ch == '\r' || ch == 0x1B || ch == '\t') {
        Default();
        return;
    }
    edit->SetFocus();
    edit->PostMessage(WM_CHAR, ch, static_cast<LPARAM>(repeat));
}

void CDPopupSelectListCtrl::OnKeyDown(UINT key, UINT repeat, UINT /*flags*/)
{
    CDPopupSelectListEditCtrl* edit = m_dialog ? m_dialog->GetEdit() : nullptr;
    if (edit && (key == VK_LEFT || key == VK_RIGHT)) {
        edit->SetFocus();
        edit->PostMessage(WM_KEYDOWN, key, static_cast<LPARAM>(repeat));
        return;
    }
    Default();
}

void CDPopupSelectListCtrl::OnKeyUp(UINT key, UINT repeat, UINT /*flags*/)
{
    CDPopupSelectListEditCtrl* edit = m_dialog ? m_dialog->GetEdit() : nullptr;
    if (edit && (key == VK_LEFT || key == VK_RIGHT)) {
        edit->PostMessage(WM_KEYUP, key, static_cast<LPARAM>(repeat));
        return;
    }
    Default();
}

void CDPopupSelectListCtrl::OnLButtonDblClk(UINT /*flags*/, CPoint /*point*/)
{
    Default();
    if (m_dialog)
        m_dialog->PostMessage(WM_COMMAND, IDOK, 0);
}

void CDPopupSelectListCtrl::OnKillFocus(CWnd* newWindow)
{
    Default();
    if (m_dialog && m_dialog->GetEdit())
        m_dialog->GetEdit()->CheckFocusLeftTo(newWindow);
}

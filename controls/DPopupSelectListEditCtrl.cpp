#include "DPopupSelectListEditCtrl.h"

#include "DPopupSelectListDlg.h"
#include "GlobalMouseHook.h"

BEGIN_MESSAGE_MAP(CDPopupSelectListEditCtrl, CEdit)
    ON_CONTROL_REFLECT(EN_CHANGE, &CDPopupSelectListEditCtrl::OnChange)
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_KILLFOCUS()
    ON_MESSAGE(WM_POPUPSELECT_MOUSE, &CDPopupSelectListEditCtrl::OnHookedMouse)
END_MESSAGE_MAP()

CDPopupSelectListEditCtrl::CDPopupSelectListEditCtrl()
{
    CGlobalMouseHook& hook = CGlobalMouseHook::Instance();
    hook.Install();
    hook.Register(this);
}

CDPopupSelectListEditCtrl::~CDPopupSelectListEditCtrl()
{
    if (m_popup) {
        CDPopupSelectListDlg* popup = m_popup;
        m_popup = nullptr;
        popup->DestroyWindow();
    }
}

void CDPopupSelectListEditCtrl::ShowPopupList(const char* typed, const char* preselected)
{
    if (!m_popup) {
        CWnd* owner = GetParent();
        CRect rect;
        GetWindowRect(&rect);
        if (owner)
            owner->ScreenToClient(&rect);
        auto* popup = new CDPopupSelectListDlg(this);
        popup->SetChoices(m_choices);
        if (!popup->CreatePopup(owner, rect.left, rect.bottom)) {
            if (popup->GetSafeHwnd())
                popup->DestroyWindow();
            else
                delete popup;
            return;
        }
        m_popup = popup;
    }
    m_popup->FillList(typed, TRUE, preselected);
}

void CDPopupSelectListEditCtrl::ClosePopup()
{
    CDPopupSelectListDlg* popup = m_popup;
    if (!popup)
        return;
    m_popup = nullptr;
    SetFocus();
    if (m_callback)
        m_callback->OnPopupClosed(m_ownerId);
    popup->DestroyWindow();
}

void CDPopupSelectListEditCtrl::OnPopupChoice(const CString& text)
{
    SetWindowText(text);
    SetSel(text.GetLength(), text.GetLength());
    if (m_callback)
        m_callback->OnPopupSelection(m_ownerId, text);
}

void CDPopupSelectListEditCtrl::OnPopupCancelled()
{
    m_popup = nullptr;
    SetFocus();
    if (m_callback)
        m_callback->OnPopupClosed(m_ownerId);
}

void CDPopupSelectListEditCtrl::OnChange()
{
    CString text;
    GetWindowText(text);
    ShowPopupList(text, "");
}

BOOL CDPopupSelectListEditCtrl::PreTranslateMessage(MSG* msg)
{
    if (msg->message != WM_KEYDOWN || msg->hwnd != this || (msg->wParam != VK_RETURN && msg->wParam != VK_TAB))
        return CEdit::PreTranslateMessage(msg);
    if (m_popup && m_popup->IsWindowVisible()) {
        m_popup->PostMessage(WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    CString text;
    GetWindowText(text);
    if (text.IsEmpty()) {
        ShowPopupList("", "");
        return TRUE;
    }
    if (m_callback)
        m_callback->OnPopupSelection(m_ownerId, text);
    return msg->wParam == VK_RETURN ? TRUE : CEdit::PreTranslateMessage(msg);
}

void CDPopupSelectListEditCtrl::OnChar(UINT ch, UINT /*repeat*/, UINT /*flags*/)
{
    if (ch == ' ' && !m_popup) {
        ShowPopupList("", "");
        return;
    }
    Default();
    if (m_callback)
        m_callback->OnCharTyped(m_ownerId, ch);
}

void CDPopupSelectListEditCtrl::OnKeyDown(UINT key, UINT repeat, UINT /*flags*/)
{
    if (m_popup && (key == VK_UP || key == VK_DOWN))
        m_popup->PostMessage(WM_KEYDOWN, key, static_cast<LPARAM>(repeat));
    Default();
}

void CDPopupSelectListEditCtrl::OnKeyUp(UINT key, UINT repeat, UINT /*flags*/)
{
    if (m_popup && (key == VK_UP || key == VK_DOWN))
        m_popup->PostMessage(WM_KEYUP, key, static_cast<LPARAM>(repeat));
    Default();
}

void CDPopupSelectListEditCtrl::OnKillFocus(CWnd* newWindow)
{
    Default();
    CheckFocusLeftTo(newWindow);
}

void CDPopupSelectListEditCtrl::CheckFocusLeftTo(CWnd* window)
{
    // No window: the focus is between windows (the popup itself coming up), not with another control.
    if (!m_popup || !window || window == this || window == m_popup || window == &m_popup->GetList())
        return;
    // The user chose another window: close the popup without pulling the focus back.
    CDPopupSelectListDlg* popup = m_popup;
    m_popup = nullptr;
    if (m_callback)
        m_callback->OnPopupClosed(m_ownerId);
    popup->DestroyWindow();
    PostMessage(WM_SETFOCUS, 0, 0);
}

LRESULT CDPopupSelectListEditCtrl::OnGlobalMouseEvent(UINT message, LPARAM point)
{
    if (GetSafeHwnd())
        PostMessage(WM_POPUPSELECT_MOUSE, message, point);
    return 1;
}

LRESULT CDPopupSelectListEditCtrl::OnHookedMouse(WPARAM message, LPARAM point)
{
    if (message != WM_LBUTTONDOWN && message != WM_RBUTTONDOWN)
        return 0;
    const CPoint at(static_cast<SHORT>(HIWORD(static_cast<DWORD>(point))),
                    static_cast<SHORT>(LOWORD(static_cast<DWORD>(point))));
    if (!m_popup)
        return 0;
    CRect box, popup;
    GetWindowRect(&box);
    m_popup->GetWindowRect(&popup);
    if (!box.PtInRect(at) && !popup.PtInRect(at))
        ClosePopup();
    return 0;
}

#include "ComboTreeCtrl.h"

#include "TreeComboBox.h"

BEGIN_MESSAGE_MAP(CComboTreeCtrl, CTreeCtrl)
    ON_WM_LBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void CComboTreeCtrl::CloseCombo(BOOL choice)
{
    if (m_combo && m_combo->GetSafeHwnd())
        m_combo->SendMessage(WM_TREECOMBO_CLOSE, choice, 0);
}

void CComboTreeCtrl::OnLButtonDown(UINT /*flags*/, CPoint point)
{
    UINT where = 0;
    HTREEITEM item = HitTest(point, &where);
    if (item && (where & TVHT_ONITEMLABEL) && !ItemHasChildren(item)) {
        SelectItem(item);
        CloseCombo(TRUE);
        return;
    }
    Default();
}

void CComboTreeCtrl::OnKeyDown(UINT key, UINT /*repeat*/, UINT /*flags*/)
{
    HTREEITEM item = GetSelectedItem();
    switch (key) {
    case VK_RETURN:
        if (item && ItemHasChildren(item))
            Expand(item, TVE_TOGGLE);
        else
            CloseCombo(TRUE);
        return;
    case VK_ESCAPE:
        CloseCombo(FALSE);
        return;
    case VK_F4:
        return;  // the popup is not a window to close with Alt+F4
    case VK_SPACE:
        Default();
        return;
    default:
        Default();
        // The tree moves its selection after this message: tell the combo once it has.
        if (m_combo && m_combo->GetSafeHwnd())
            m_combo->PostMessage(WM_TREECOMBO_SELMOVED, 0, 0);
        return;
    }
}

void CComboTreeCtrl::OnKillFocus(CWnd* newWindow)
{
    Default();
    if (newWindow != this && IsWindowVisible())
        CloseCombo(FALSE);
}

int CComboTreeCtrl::UncheckChildren(HTREEITEM item, BOOL recursive)
{
    int unchecked = 0;
    for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child)) {
        if (GetCheck(child)) {
            SetCheck(child, FALSE);
            ++unchecked;
        }
        if (recursive)
            unchecked += UncheckChildren(child, TRUE);
    }
    return unchecked;
}

void CComboTreeCtrl::GetItemPath(HTREEITEM item, CString& path, BOOL withRoot)
{
    path.Empty();
    for (HTREEITEM node = item; node; node = GetParentItem(node)) {
        if (!withRoot && !GetParentItem(node) && node != item)
            break;
        path = path.IsEmpty() ? GetItemText(node) : GetItemText(node) + "\\" + path;
    }
}

void CComboTreeCtrl::PlaceDropDown(int left, int top, int right, int bottom)
{
    SetWindowPos(nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_SHOWWINDOW);
    SetFocus();
    if (CWnd* owner = m_combo ? m_combo->GetParent() : nullptr) {
        // The owner keeps its active caption while the popup has the keyboard.
        owner->SendMessage(WM_NCACTIVATE, TRUE, 0);
        owner->SendMessage(WM_SETREDRAW, TRUE, 0);
    }
}

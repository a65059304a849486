#include "DlgControlGroupList.h"

BOOL CDlgControlGroupList::EnableGroup(int group, BOOL enable)
{
    CList<int, int>* list = GetList(group);
    if (!m_dialog || !list)
        return FALSE;
    BOOL all = TRUE;
    for (POSITION pos = list->GetHeadPosition(); pos;) {
        CWnd* control = m_dialog->GetDlgItem(list->GetNext(pos));
        if (!control) {
            all = FALSE;
            continue;
        }
        control->EnableWindow(enable);
    }
    return all;
}

BOOL CDlgControlGroupList::ControlRect(int controlId, CRect& rect) const
{
    CWnd* control = m_dialog ? m_dialog->GetDlgItem(controlId) : nullptr;
    if (!control)
        return FALSE;
    control->GetWindowRect(&rect);
    m_dialog->ScreenToClient(&rect);
    return TRUE;
}

BOOL CDlgControlGroupList::MoveGroup(int group, int x, int y)
{
    CList<int, int>* list = GetList(group);
    if (!m_dialog || !list || list->IsEmpty())
        return FALSE;
    CRect first;
    if (!ControlRect(list->GetHead(), first))
        return FALSE;
    const int dx = x - first.left;
    const int dy = y - first.top;
    for (POSITION pos = list->GetHeadPosition(); pos;) {
        const int id = list->GetNext(pos);
        CRect r;
        if (ControlRect(id, r))
            m_dialog->GetDlgItem(id)->MoveWindow(r.left + dx, r.top + dy, r.Width(), r.Height());
    }
    return TRUE;
}

BOOL CDlgControlGroupList::GetGroupRect(int group, CRect& rect) const
{
    CList<int, int>* list = GetList(group);
    rect.SetRectEmpty();
    if (!m_dialog || !list)
        return FALSE;
    bool any = false;
    for (POSITION pos = list->GetHeadPosition(); pos;) {
        CRect r;
        if (!ControlRect(list->GetNext(pos), r))
            continue;
        if (!any)
            rect = r;
        else
            rect.SetRect(std::min(rect.left, r.left), std::min(rect.top, r.top), std::max(rect.right, r.right),
                         std::max(rect.bottom, r.bottom));
        any = true;
    }
    return any;
}

BOOL CDlgControlGroupList::IsControlInShownGroup(int controlId) const
{
    for (POSITION pos = m_shown.GetHeadPosition(); pos;) {
        CList<int, int>* list = GetList(m_shown.GetNext(pos));
        if (list && list->Find(controlId))
            return TRUE;
    }
    return FALSE;
}

void CDlgControlGroupList::HideAllGroups()
{
    if (!m_dialog)
        return;
    int group = 0;
    CList<int, int>* list = nullptr;
    for (POSITION at = GetStartPosition(); at;) {
        GetNextAssoc(at, group, list);
        for (POSITION pos = list->GetHeadPosition(); pos;)
            if (CWnd* control = m_dialog->GetDlgItem(list->GetNext(pos)))
                control->ShowWindow(SW_HIDE);
    }
}

void CDlgControlGroupList::ShowGroupsStacked(int x, int y)
{
    if (!m_dialog)
        return;
    int top = y;
    for (POSITION pos = m_shown.GetHeadPosition(); pos;) {
        const int group = m_shown.GetNext(pos);
        CList<int, int>* list = GetList(group);
        if (!list || !MoveGroup(group, x, top))
            continue;
        CRect rect;
        GetGroupRect(group, rect);
        top = rect.bottom + 10;
        for (POSITION c = list->GetHeadPosition(); c;)
            if (CWnd* control = m_dialog->GetDlgItem(list->GetNext(c)))
                control->ShowWindow(SW_SHOW);
    }
}

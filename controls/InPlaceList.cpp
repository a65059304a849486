#include "InPlaceList.h"

#include "DListComboCtrl.h"
#include "InPlaceEditorKeys.h"

BEGIN_MESSAGE_MAP(CInPlaceList, CComboBox)
    ON_WM_CREATE()
    ON_WM_CHAR()
    ON_WM_KILLFOCUS()
    ON_WM_CLOSE()
    ON_CONTROL_REFLECT(CBN_CLOSEUP, &CInPlaceList::OnCloseUp)
END_MESSAGE_MAP()

CInPlaceList::CInPlaceList(CDListComboCtrl* list, int row, int column, const CStringList& strings, int initial)
    : m_list(list), m_row(row), m_column(column), m_strings(strings), m_initial(initial)
{
}

int CInPlaceList::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    SetFont(m_list->GetFont());
    for (POSITION pos = m_strings.GetHeadPosition(); pos;)
        AddString(m_strings.GetNext(pos));
    SetCurSel(m_initial);
    SetFocus();
    return 0;
}

BOOL CInPlaceList::PreTranslateMessage(MSG* msg)
{
    if (RouteInPlaceEditorKey(*this, msg))
        return TRUE;
    return CComboBox::PreTranslateMessage(msg);
}

void CInPlaceList::OnChar(UINT ch, UINT /*repeat*/, UINT /*flags*/)
{
    if (!EndInPlaceEditOnKey(ch, *m_list, m_cancelled))
        Default();
}

void CInPlaceList::OnCloseUp() { m_list->SetFocus(); }

void CInPlaceList::OnKillFocus(CWnd* newWindow)
{
    (void)newWindow;
    Default();
    if (m_ended)
        return;
    m_ended = true;
    CString text;
    const int index = GetCurSel();
    if (index >= 0)
        GetLBText(index, text);
    m_list->SendEndEdit(IDC_INPLACE_LIST, m_row, m_column, m_cancelled ? nullptr : text.GetString(), index);
    PostMessage(WM_CLOSE, 0, 0);
}

void CInPlaceList::OnClose()
{
    m_list->SetEditorClosed(TRUE);
    DestroyWindow();
}

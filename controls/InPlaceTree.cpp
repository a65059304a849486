#include "InPlaceTree.h"

#include "DListComboCtrl.h"
#include "InPlaceEditorKeys.h"

BEGIN_MESSAGE_MAP(CInPlaceTree, CTreeComboBox)
    ON_WM_CREATE()
    ON_WM_CHAR()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_TREECOMBO_SELMOVED, &CInPlaceTree::OnSelectionMoved)
    ON_CONTROL_REFLECT(CBN_CLOSEUP, &CInPlaceTree::OnCloseUp)
END_MESSAGE_MAP()

CInPlaceTree::CInPlaceTree(CDListComboCtrl* list, int row, int column, const CStringList& strings, int initial)
    : m_list(list), m_row(row), m_column(column), m_strings(strings), m_initial(initial)
{
}

int CInPlaceTree::OnCreate(LPCREATESTRUCT cs)
{
    if (CTreeComboBox::OnCreate(cs) == -1)
        return -1;
    SetFont(m_list->GetFont());
    m_tree.SetFont(m_list->GetFont(), FALSE);
    m_itemOfIndex.clear();
    m_stringOfItem.clear();
    int index = 0;
    for (POSITION pos = m_strings.GetHeadPosition(); pos; ++index) {
        const CString& choice = m_strings.GetNext(pos);
        HTREEITEM item = AddItem(choice, ':', TVI_ROOT);
        m_itemOfIndex[index] = item;
        m_stringOfItem[item] = choice;
    }
    if (HTREEITEM initial = GetChoiceItem(m_initial)) {
        m_tree.EnsureVisible(initial);
        m_tree.SelectItem(initial);
        SetText(WholeString(initial));
    }
    SetFocus();
    return 0;
}

HTREEITEM CInPlaceTree::GetChoiceItem(int index) const
{
    auto found = m_itemOfIndex.find(index);
    return found == m_itemOfIndex.end() ? nullptr : found->second;
}

CString CInPlaceTree::WholeString(HTREEITEM item) const
{
    auto found = m_stringOfItem.find(item);
    return found != m_stringOfItem.end() ? found->second : const_cast<CComboTreeCtrlExt&>(m_tree).GetItemText(item);
}

BOOL CInPlaceTree::PreTranslateMessage(MSG* msg)
{
    if (RouteInPlaceEditorKey(*this, msg))
        return TRUE;
    return CTreeComboBox::PreTranslateMessage(msg);
}

void CInPlaceTree::OnChar(UINT ch, UINT /*repeat*/, UINT /*flags*/)
{
    if (!EndInPlaceEditOnKey(ch, *m_list, m_cancelled))
        Default();
}

LRESULT CInPlaceTree::OnSelectionMoved(WPARAM, LPARAM)
{
    if (HTREEITEM item = m_tree.GetSelectedItem())
        SetText(WholeString(item));
    Invalidate();
    return 0;
}

void CInPlaceTree::OnCloseUp()
{
    HTREEITEM item = m_tree.GetSelectedItem();
    const CString text = item ? WholeString(item) : CString();
    int index = -1;
    for (const auto& [i, choice] : m_itemOfIndex)
        if (choice == item)
            index = i;
    m_list->SendEndEdit(IDC_INPLACE_LIST, m_row, m_column, m_cancelled || !item ? nullptr : text.GetString(), index);
    m_list->SetFocus();
}

void CInPlaceTree::OnClose()
{
    m_list->SetEditorClosed(TRUE);
    DestroyWindow();
}

// CInPlaceTree: the drop-down tree that edits one cell of a list-combo
// control; each choice is a path whose parts are separated by ":".
#pragma once

#include <map>

#include "TreeComboBox.h"
#include "platform/core/Collections.h"

class CDListComboCtrl;

class CInPlaceTree : public CTreeComboBox {
public:
    CInPlaceTree(CDListComboCtrl* list, int row, int column, const CStringList& strings, int initial);
    BOOL PreTranslateMessage(MSG* msg) override;
    HTREEITEM GetChoiceItem(int index) const;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    LRESULT OnSelectionMoved(WPARAM, LPARAM);
    void OnCloseUp();
    void OnClose();
    void PostNcDestroy() override { delete this; }
    CString WholeString(HTREEITEM item) const;
    DECLARE_MESSAGE_MAP()

private:
    CDListComboCtrl* m_list;
    int m_row;
    int m_column;
    CStringList m_strings;
    std::map<int, HTREEITEM> m_itemOfIndex;
    std::map<HTREEITEM, CString> m_stringOfItem;
    int m_initial;
    BOOL m_cancelled = FALSE;
};

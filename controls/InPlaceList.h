// CInPlaceList: the drop-down list that edits one cell of a list-combo
// control. Losing the focus ends the edit (with the choice, or nothing after
// Esc) and closes the editor, which deletes itself.
#pragma once

#include "platform/core/Collections.h"
#include "platform/ui/ComboBox.h"

class CDListComboCtrl;

class CInPlaceList : public CComboBox {
public:
    CInPlaceList(CDListComboCtrl* list, int row, int column, const CStringList& strings, int initial);
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL IsCancelled() const { return m_cancelled; }

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKillFocus(CWnd* newWindow);
    void OnClose();
    void OnCloseUp();
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()

private:
    CDListComboCtrl* m_list;
    int m_row;
    int m_column;
    CStringList m_strings;
    int m_initial;
    BOOL m_cancelled = FALSE;
    bool m_ended = false;
};

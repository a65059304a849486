// CInPlaceEdit: the edit box that edits one cell of a list-combo control. It
// starts with the cell's text selected; Enter or losing the focus commits,
// Esc cancels, and the editor then closes and deletes itself.
#pragma once

#include "platform/ui/Edit.h"

class CDListComboCtrl;

class CInPlaceEdit : public CEdit {
public:
    CInPlaceEdit(CDListComboCtrl* list, int row, int column, const char* text);
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnKillFocus(CWnd* newWindow);
    void OnClose();
    void PostNcDestroy() override { delete this; }
    void End(bool commit);
    DECLARE_MESSAGE_MAP()

private:
    CDListComboCtrl* m_list;
    int m_row;
    int m_column;
    CString m_initial;
    bool m_ended = false;
};

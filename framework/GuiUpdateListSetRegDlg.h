// CGuiUpdateListSetRegDlg: the "Modify Drive Setting" dialog of the
// drive-settings list: an edit box for a number, or a drop-down list of the
// row's choices.
#pragma once

#include "platform/core/Collections.h"
#include "platform/ui/Dialog.h"

class CGuiUpdateListSetRegDlg : public CDialog {
public:
    explicit CGuiUpdateListSetRegDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    CString m_label;
    // In: the cell's text; out: the new value text.
    CString m_value;
    // Empty for a number.
    CStringArray m_choices;
};

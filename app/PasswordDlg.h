// CPasswordDlg: asks for a password (dialog 412) under a prompt.
#pragma once

#include "platform/ui/Dialog.h"

class CPasswordDlg : public CDialog {
public:
    static constexpr UINT IDD = 412;
    static constexpr int kPasswordEditId = 2805;
    static constexpr int kPromptId = 2804;

    explicit CPasswordDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}
    void DoDataExchange(CDataExchange* dx) override;

    CString m_password;
    CString m_prompt;
};

// 1 with the typed text on OK, 0 when cancelled.
int AskPassword(CString& password, const char* prompt);

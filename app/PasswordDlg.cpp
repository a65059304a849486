#include "PasswordDlg.h"

#include "platform/ui/WinApp.h"

void CPasswordDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, kPasswordEditId, m_password);
    DDX_Text(dx, kPromptId, m_prompt);
}

int AskPassword(CString& password, const char* prompt)
{
    CPasswordDlg dialog(AfxGetMainWnd());
    dialog.m_prompt = prompt;
    if (dialog.DoModal() != IDOK)
        return 0;
    password = dialog.m_password;
    return 1;
}

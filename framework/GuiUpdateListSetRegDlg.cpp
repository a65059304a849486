#include "GuiUpdateListSetRegDlg.h"

#include "platform/ui/ComboBox.h"
#include "resources/ids/UpdateListSetRegIds.h"

CGuiUpdateListSetRegDlg::CGuiUpdateListSetRegDlg(CWnd* parent) : CDialog(IDD_UPDATELIST_SETREG, parent) {}

BOOL CGuiUpdateListSetRegDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_SETREG_PROMPT, "Enter setting for " + m_label);
    auto* choices = static_cast<CComboBox*>(GetDlgItem(IDC_SETREG_CHOICES));
    CWnd* edit = GetDlgItem(IDC_SETREG_VALUE);
    const bool list = m_choices.GetSize() > 0;
    choices->ShowWindow(list ? SW_SHOW : SW_HIDE);
    edit->ShowWindow(list ? SW_HIDE : SW_SHOW);
    if (list) {
        for (int i = 0; i < m_choices.GetSize(); ++i) {
            choices->AddString(m_choices[i]);
            if (m_choices[i] == m_value)
                choices->SetCurSel(i);
        }
        choices->SetFocus();
    } else {
        edit->SetWindowText(m_value);
        edit->SetFocus();
    }
    return FALSE;
}

void CGuiUpdateListSetRegDlg::OnOK()
{
    if (m_choices.GetSize() > 0) {
        auto* choices = static_cast<CComboBox*>(GetDlgItem(IDC_SETREG_CHOICES));
        const int selected = choices->GetCurSel();
        if (selected >= 0)
            choices->GetLBText(selected, m_value);
    } else {
        GetDlgItemText(IDC_SETREG_VALUE, m_value);
    }
    CDialog::OnOK();
}

#include "setup/io/windows/QvxCPanelOptionsDlg.h"

#include "framework/GuiUpdateDlg.h"
#include "setup/io/PanelOptionsModeList.h"
#include "setup/io/PanelOptionsSettings.h"

CQvxCPanelOptionsDlg::CQvxCPanelOptionsDlg(CPanelOptionsModeList* modes, CGuiUpdateDlg* parent, const char* iniPath)
    : CQvxUpdateChildDlg(IDD, parent), m_modes(modes), m_iniPath(iniPath)
{
    CPanelOptionsSettings::Load(*m_modes, m_iniPath);
}

BOOL CQvxCPanelOptionsDlg::OnInitDialog()
{
    CQvxUpdateChildDlg::OnInitDialog();
    for (int entry = kPanelVelocity; entry <= kPanelPosition; ++entry)
        for (int which = kPanelMin; which <= kPanelStep; ++which) {
            const CPanelOption& option = m_modes->GetMode(entry)->Option(which);
            CWnd* edit = GetDlgItem(option.EditId());
            edit->EnableWindow(TRUE);
            edit->SetWindowText(CPanelOptionsSettings::ShowText(option));
            edit->ShowWindow(SW_SHOW);
        }
    return TRUE;
}

int CQvxCPanelOptionsDlg::Validate()
{
    CString message;
    const auto textOf = [this](const CPanelOption& option) {
        CString text;
        GetDlgItemText(option.EditId(), text);
        return text;
    };
    if (CPanelOptionsSettings::Validate(*m_modes, textOf, message))
        return 1;
    if (CGuiUpdateDlg* owner = GetOwnerDlg())
        owner->CGuiUpdateItem::MessageBox(message, MB_OK, 0, IDOK);
    return 0;
}

void CQvxCPanelOptionsDlg::Save()
{
    for (int entry = kPanelVelocity; entry <= kPanelPosition; ++entry)
        for (int which = kPanelMin; which <= kPanelStep; ++which) {
            CPanelOption& option = m_modes->GetMode(entry)->Option(which);
            CString text;
            GetDlgItemText(option.EditId(), text);
            if (CPanelOptionsSettings::SaveOption(option, text, m_iniPath))
                m_changed = 1;
        }
}

void CQvxCPanelOptionsDlg::OnOK()
{
    if (!Validate())
        return;
    Save();
    CQvxUpdateChildDlg::OnOK();
}

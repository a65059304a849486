#include "ScriptPlayerSectionSettingsDlg.h"

#include "platform/ui/DataExchange.h"

void CScriptPlayerSectionSettingsDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, kTitleId, m_title);
    DDX_Text(dx, kDescriptionId, m_description);
    DDX_Text(dx, kDetailId, m_detail);
    DDX_Text(dx, kScriptId, m_script);
}

BOOL CScriptPlayerSectionSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (CWnd* title = GetDlgItem(kTitleId))
        GotoDlgCtrl(title);
    return FALSE;  // the focus was set here
}

#include "backup/windows/SetupAmpToEditorTransferDlg.h"

#include "backup/windows/BackupDialogDrives.h"
#include "platform/core/IniFile.h"

CSetupAmpToEditorTransferDlg::CSetupAmpToEditorTransferDlg(int mode, const CString& settingsPath, CWnd* parent)
    : CDialog(IDD, parent), m_mode(mode), m_settingsPath(settingsPath)
{
}

BOOL CSetupAmpToEditorTransferDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    static const char* const titles[] = {"Download Drive Configuration to Editor", "Upload Editor to Drive",
                                         "Create Drive Report"};
    const int mode = m_mode >= kDownload && m_mode <= kReport ? m_mode : kDownload;
    SetWindowText(titles[mode]);
    GetDlgItem(kClearCheck)->ShowWindow(mode == kUpload ? SW_HIDE : SW_SHOW);
    m_helpId = mode == kReport ? 63777 : 63778;
    CheckDlgButton(kClearCheck, m_clearEditor ? BST_CHECKED : BST_UNCHECKED);
    if (m_drives.empty())
        m_drives = ConnectedDrives();
    const int remembered = static_cast<int>(GetPrivateProfileInt("AMP BACKUP", "BackupAmp", 1, m_settingsPath));
    FillDriveCombo(static_cast<CComboBox*>(GetDlgItem(kDriveCombo)), m_drives, remembered, false);
    return TRUE;
}

void CSetupAmpToEditorTransferDlg::OnOK()
{
    ReadDriveChoice(static_cast<CComboBox*>(GetDlgItem(kDriveCombo)), m_drive, m_driveName);
    m_clearEditor = IsDlgButtonChecked(kClearCheck) ? 1 : 0;
    CString number;
    number.Format("%d", m_drive);
    WritePrivateProfileString("AMP BACKUP", "BackupAmp", number, m_settingsPath);
    EndDialog(IDOK);
}

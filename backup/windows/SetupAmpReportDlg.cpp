#include "backup/windows/SetupAmpReportDlg.h"

#include "backup/windows/BackupDialogDrives.h"
#include "controls/QvxFileDialog.h"
#include "framework/GuiFrameServices.h"
#include "platform/core/IniFile.h"

namespace {

constexpr DWORD kContextHelpStyle = 0x00000400;  // WS_EX_CONTEXTHELP
constexpr WPARAM kContextHelpCommand = 0xF180;   // SC_CONTEXTHELP

}  // namespace

BEGIN_MESSAGE_MAP(CSetupAmpReportDlg, CDialog)
    ON_MESSAGE(WM_SYSCOMMAND, &CSetupAmpReportDlg::OnSysCommand)
END_MESSAGE_MAP()

CSetupAmpReportDlg::CSetupAmpReportDlg(const CString& settingsPath, CWnd* parent)
    : CDialog(IDD, parent), m_settingsPath(settingsPath)
{
}

BOOL CSetupAmpReportDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ModifyStyleEx(0, kContextHelpStyle);
    if (m_drives.empty())
        m_drives = ConnectedDrives();
    const int remembered = static_cast<int>(GetPrivateProfileInt("AMP REPORT", "ReportAmp", 1, m_settingsPath));
    FillDriveCombo(static_cast<CComboBox*>(GetDlgItem(kDriveCombo)), m_drives, remembered, true);
    CheckDlgButton(kViewCheck, m_viewInNotepad ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CSetupAmpReportDlg::OnOK()
{
    ReadDriveChoice(static_cast<CComboBox*>(GetDlgItem(kDriveCombo)), m_drive, m_driveName);
    m_viewInNotepad = IsDlgButtonChecked(kViewCheck) ? 1 : 0;
    CString name;
    name.Format("Drive Report for %s - %s.txt", FileNamePart(m_driveName).GetString(), FileTimeStamp().GetString());
    CQvxFileDialog dialog(FALSE, "txt", name, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "Text files (*.txt)|*.txt||",
                          this);
    dialog.m_ofn.lpstrTitle = "Save Report File";
    if (dialog.DoModal() != IDOK) {
        EndDialog(IDCANCEL);
        return;
    }
    m_path = dialog.GetPathName();
    CString number;
    number.Format("%d", m_drive);
    WritePrivateProfileString("AMP REPORT", "ReportAmp", number, m_settingsPath);
    EndDialog(IDOK);
}

LRESULT CSetupAmpReportDlg::OnSysCommand(WPARAM wParam, LPARAM)
{
    if ((wParam & 0xFFF0) == kContextHelpCommand) {
        if (CGuiFrameServices* frame = CGuiFrameServices::Get())
            frame->ShowHelp(static_cast<UINT>(m_helpId));
        return 0;
    }
    return Default();
}

#include "backup/windows/AmpBackupToolWindowHost.h"

#include <cmath>

#include "backup/windows/BackupAmplifierDlg.h"
#include "backup/windows/SetupAmpReportDlg.h"
#include "backup/windows/SetupAmpToEditorTransferDlg.h"
#include "comm/link/CommAppServices.h"
#include "platform/core/UserSettings.h"
#include "platform/ui/MsgBox.h"

CString CAmpBackupToolWindowHost::GetSettingsPath()
{
    if (CCommAppServices* app = CCommAppServices::Get())
        return app->GetUserSettingsIniPath();
    return AfxGetUserSettingsIniPath();
}

int CAmpBackupToolWindowHost::ShowBackupDialog(int restore, int helpId, BackupDialogChoice& choice)
{
    CBackupAmplifierDlg dialog(GetSettingsPath(), GetProgramFolder(), m_parent);
    dialog.m_restore = restore;
    dialog.m_helpId = helpId;
    if (dialog.DoModal() != IDOK)
        return IDCANCEL;
    choice.drive = dialog.m_drive;
    choice.driveName = dialog.m_driveName;
    choice.path = dialog.m_path;
    return IDOK;
}

int CAmpBackupToolWindowHost::ShowReportDialog(int helpId, BackupDialogChoice& choice)
{
    CSetupAmpReportDlg dialog(GetSettingsPath(), m_parent);
    dialog.m_helpId = helpId;
    dialog.m_viewInNotepad = choice.flag;
    if (dialog.DoModal() != IDOK)
        return IDCANCEL;
    choice.drive = dialog.m_drive;
    choice.driveName = dialog.m_driveName;
    choice.path = dialog.m_path;
    choice.flag = dialog.m_viewInNotepad;
    return IDOK;
}

int CAmpBackupToolWindowHost::ShowEditorTransferDialog(int mode, BackupDialogChoice& choice)
{
    CSetupAmpToEditorTransferDlg dialog(mode, GetSettingsPath(), m_parent);
    if (dialog.DoModal() != IDOK)
        return IDCANCEL;
    choice.drive = dialog.m_drive;
    choice.driveName = dialog.m_driveName;
    choice.flag = dialog.m_clearEditor;
    return IDOK;
}

void CAmpBackupToolWindowHost::OpenProgress(const char* title, const char* text)
{
    if (m_progress.GetSafeHwnd())
        m_progress.Close();
    m_progress.Open(title, text, TRUE);
}

void CAmpBackupToolWindowHost::SetProgress(double percent)
{
    m_progress.SetProgress(static_cast<int>(std::lround(percent)));
}

int CAmpBackupToolWindowHost::IsProgressCancelled()
{
    return m_progress.m_cancelled ? 1 : 0;
}

void CAmpBackupToolWindowHost::CloseProgress()
{
    m_progress.Close();
}

int CAmpBackupToolWindowHost::MessageBox(const char* text, unsigned type, int helpId)
{
    return AfxMessageBox(text, type, static_cast<UINT>(helpId));
}

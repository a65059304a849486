#include "backup/windows/BackupAmplifierDlg.h"

#include "backup/windows/BackupDialogDrives.h"
#include "controls/QvxFileDialog.h"
#include "foundation/FileHelpers.h"
#include "framework/GuiFrameServices.h"
#include "platform/core/File.h"
#include "platform/core/IniFile.h"
#include "platform/ui/FolderPickerDialog.h"
#include "platform/ui/MsgBox.h"

namespace {

constexpr DWORD kContextHelpStyle = 0x00000400;  // WS_EX_CONTEXTHELP
constexpr WPARAM kContextHelpCommand = 0xF180;   // SC_CONTEXTHELP
constexpr const char* kSection = "AMP BACKUP";
constexpr const char* kFilter = "Backup files (*.bk)|*.bk|Text Files (*.txt)|*.txt||";

CString ReadSetting(const CString& file, const char* key, const char* defaultValue)
{
    char text[1024] = "";
    GetPrivateProfileString(kSection, key, defaultValue, text, sizeof(text), file);
    return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CBackupAmplifierDlg, CDialog)
    ON_CBN_SELCHANGE(CBackupAmplifierDlg::kDriveCombo, &CBackupAmplifierDlg::OnDriveChanged)
    ON_BN_CLICKED(CBackupAmplifierDlg::kBrowseFile, &CBackupAmplifierDlg::OnBrowseFile)
    ON_BN_CLICKED(CBackupAmplifierDlg::kBrowseTemplates, &CBackupAmplifierDlg::OnBrowseTemplates)
    ON_MESSAGE(WM_SYSCOMMAND, &CBackupAmplifierDlg::OnSysCommand)
END_MESSAGE_MAP()

CBackupAmplifierDlg::CBackupAmplifierDlg(const CString& settingsPath, const CString& programFolder, CWnd* parent)
    : CDialog(IDD, parent), m_settingsPath(settingsPath)
{
    CString folder;
    folder.Format("%s%s/", programFolder.GetString(), "Backup Templates");
    m_templatesFolder = ReadSetting(settingsPath, "TemplatesFolderPath", folder);
    m_path = ReadSetting(settingsPath, "BackupPath", "");
}

BOOL CBackupAmplifierDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    GetDlgItem(kTemplatesEdit)->ShowWindow(SW_HIDE);
    GetDlgItem(kBrowseTemplates)->ShowWindow(SW_HIDE);
    SetWindowText(m_restore ? "Restore Drive" : "Backup Drive");
    ModifyStyleEx(0, kContextHelpStyle);
    if (m_drives.empty())
        m_drives = ConnectedDrives();
    const int remembered = static_cast<int>(GetPrivateProfileInt(kSection, "BackupAmp", 1, m_settingsPath));
    FillDriveCombo(static_cast<CComboBox*>(GetDlgItem(kDriveCombo)), m_drives, remembered, true);
    if (!m_restore)
        m_path = DefaultPath();
    SetDlgItemText(kPathEdit, m_path);
    SetDlgItemText(kTemplatesEdit, m_templatesFolder);
    return TRUE;
}

CString CBackupAmplifierDlg::DefaultPath()
{
    int drive;
    CString name;
    ReadDriveChoice(static_cast<CComboBox*>(GetDlgItem(kDriveCombo)), drive, name);
    CString file;
    file.Format("Backup of Drive %s - %s.bk", FileNamePart(name).GetString(), FileTimeStamp().GetString());
    CString current;
    GetDlgItemText(kPathEdit, current);
    if (current.IsEmpty())
        current = m_path;
    CString folder = current.IsEmpty() ? SharedDocumentsProductFolder() : GetFolderFromPath(current);
    if (folder.IsEmpty())
        folder = SharedDocumentsProductFolder();
    folder.TrimRight('/');
    return folder + "/" + file;
}

void CBackupAmplifierDlg::OnDriveChanged()
{
    if (m_restore)
        return;
    m_path = DefaultPath();
    SetDlgItemText(kPathEdit, m_path);
}

void CBackupAmplifierDlg::OnBrowseFile()
{
    CString current;
    GetDlgItemText(kPathEdit, current);
    const DWORD flags = OFN_HIDEREADONLY | (m_restore ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
    CQvxFileDialog dialog(m_restore ? TRUE : FALSE, "bk", current, flags, kFilter, this);
    if (dialog.DoModal() != IDOK)
        return;
    m_path = dialog.GetPathName();
    if (!m_restore)
        m_confirmedPath = m_path;
    SetDlgItemText(kPathEdit, m_path);
}

void CBackupAmplifierDlg::OnBrowseTemplates()
{
    CFolderPickerDialog dialog(m_templatesFolder, 0, this);
    dialog.m_title = "Select Templates Folder";
    if (dialog.DoModal() != IDOK)
        return;
    m_templatesFolder = dialog.GetPathName();
    SetDlgItemText(kTemplatesEdit, m_templatesFolder);
}

void CBackupAmplifierDlg::OnOK()
{
    GetDlgItemText(kPathEdit, m_path);
    GetDlgItemText(kTemplatesEdit, m_templatesFolder);
    CString text;
    if (m_restore && !CFile::Exists(m_path)) {
        text.Format("Backup file \"%s\" does not exist", m_path.GetString());
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!m_restore && CFile::Exists(m_path) && m_path != m_confirmedPath) {
        text.Format("Overwrite file \"%s\"?", GetFileNameFromPath(m_path, TRUE).GetString());
        if (AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
    }
    ReadDriveChoice(static_cast<CComboBox*>(GetDlgItem(kDriveCombo)), m_drive, m_driveName);
    CString number;
    number.Format("%d", m_drive);
    WritePrivateProfileString(kSection, "TemplatesFolderPath", m_templatesFolder, m_settingsPath);
    WritePrivateProfileString(kSection, "BackupAmp", number, m_settingsPath);
    WritePrivateProfileString(kSection, "BackupPath", m_path, m_settingsPath);
    EndDialog(IDOK);
}

LRESULT CBackupAmplifierDlg::OnSysCommand(WPARAM wParam, LPARAM)
{
    if ((wParam & 0xFFF0) == kContextHelpCommand) {
        if (CGuiFrameServices* frame = CGuiFrameServices::Get())
            frame->ShowHelp(static_cast<UINT>(m_helpId));
        return 0;
    }
    return Default();
}

// CBackupAmplifierDlg: asks for the drive and the backup file of a backup or a
// restore, and remembers both in the user settings ("AMP BACKUP").
#pragma once

#include <vector>

#include "comm/link/AmplifierData.h"
#include "platform/ui/Dialog.h"

class CBackupAmplifierDlg : public CDialog {
public:
    enum { IDD = 312 };
    static constexpr int kDriveCombo = 2214, kPathEdit = 2334, kTemplatesEdit = 2335, kBrowseFile = 2333,
                         kBrowseTemplates = 2057;

    CBackupAmplifierDlg(const CString& settingsPath, const CString& programFolder, CWnd* parent = nullptr);

    int m_drive = -1;
    CString m_driveName;
    CString m_path;
    CString m_templatesFolder;
    int m_restore = 0;
    int m_helpId = -1761;
    std::vector<CAmplifierData> m_drives;  // filled from the connected drives when empty

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnDriveChanged();
    void OnBrowseFile();
    void OnBrowseTemplates();
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CString DefaultPath();

    CString m_settingsPath;
    CString m_confirmedPath;  // chosen in the save dialog, which asked about overwriting
};

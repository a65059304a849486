// CSetupAmpToEditorTransferDlg: asks for the drive of a transfer between the
// program editor and a drive (download, upload or report).
#pragma once

#include <vector>

#include "comm/link/AmplifierData.h"
#include "platform/ui/Dialog.h"

class CSetupAmpToEditorTransferDlg : public CDialog {
public:
    enum { IDD = 351 };
    enum Mode { kDownload = 0, kUpload = 1, kReport = 2 };
    static constexpr int kDriveCombo = 2432, kClearCheck = 1862;

    CSetupAmpToEditorTransferDlg(int mode, const CString& settingsPath, CWnd* parent = nullptr);

    int m_mode;
    int m_drive = -1;
    CString m_driveName;
    int m_clearEditor = 1;
    UINT m_helpId = 0;
    std::vector<CAmplifierData> m_drives;  // filled from the connected drives when empty

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    CString m_settingsPath;
};

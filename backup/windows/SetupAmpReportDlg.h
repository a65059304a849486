// CSetupAmpReportDlg: asks for the drive of a report and, on OK, for the
// report file; remembers the drive in the user settings ("AMP REPORT").
#pragma once

#include <vector>

#include "comm/link/AmplifierData.h"
#include "platform/ui/Dialog.h"

class CSetupAmpReportDlg : public CDialog {
public:
    enum { IDD = 341 };
    static constexpr int kDriveCombo = 2214, kViewCheck = 1863;

    explicit CSetupAmpReportDlg(const CString& settingsPath, CWnd* parent = nullptr);

    CString m_driveName;
    CString m_path;
    int m_drive = -1;
    int m_viewInNotepad = 1;
    int m_helpId = 0;
    std::vector<CAmplifierData> m_drives;  // filled from the connected drives when empty

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CString m_settingsPath;
};

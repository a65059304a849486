// CFaultManagerSettingsDlg: the Alert Settings window, run modally from the
// Alert Log window; OK hands the values to the fault manager.
#pragma once

#include "platform/ui/Dialog.h"

class CFaultManager;

class CFaultManagerSettingsDlg : public CDialog {
public:
    enum { IDD = 316 };
    static constexpr int kMaxDisplay = 2303;
    static constexpr int kColorCode = 1870;
    static constexpr int kAllowPopups = 1864;
    static constexpr int kSuppressRepeated = 1868;
    static constexpr int kAllowStatusBar = 1871;
    static constexpr int kSound = 1867;
    static constexpr int kLogToFile = 2304;
    static constexpr int kPath = 2305;
    static constexpr int kSelect = 2306;
    static constexpr int kDeleteAtStartup = 1863;
    static constexpr int kSizeWarning = 1869;
    static constexpr int kSizeLimit = 2307;

    CFaultManagerSettingsDlg(CFaultManager& manager, CWnd* parent = nullptr);

    // Copies the window's values into the manager and reopens or closes the log
    // file and refreshes what the change touches. Done after OK.
    void ApplyToManager();
    // Where "Select..." starts: the current path, else AlertLog.csv in the documents folder.
    static CString InitialPath(const CString& current);

    int m_maxDisplayFaults;
    int m_colorCodeFaults;
    int m_enablePopupFaults;
    int m_suppressRepeatedPopupFaults;
    int m_enableStatusBarFaults;
    int m_enableStatusBarFaultSound;
    int m_enableFaultFileLogging;
    CString m_faultLogFilePath;
    int m_deleteLogFileAtStartup;
    int m_enableLogFileSizeWarning;
    int m_maxLogFileSizeMB;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void UpdateEnabling();
    void OnSelectPath();
    DECLARE_MESSAGE_MAP()

private:
    CFaultManager& m_manager;
};

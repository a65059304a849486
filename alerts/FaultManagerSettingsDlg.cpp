#include "alerts/FaultManagerSettingsDlg.h"

#include "alerts/FaultManager.h"
#include "controls/QvxFileDialog.h"
#include "platform/core/SpecialFolders.h"
#include "platform/ui/DataExchange.h"

BEGIN_MESSAGE_MAP(CFaultManagerSettingsDlg, CDialog)
    ON_BN_CLICKED(CFaultManagerSettingsDlg::kAllowPopups, &CFaultManagerSettingsDlg::UpdateEnabling)
    ON_BN_CLICKED(CFaultManagerSettingsDlg::kAllowStatusBar, &CFaultManagerSettingsDlg::UpdateEnabling)
    ON_BN_CLICKED(CFaultManagerSettingsDlg::kLogToFile, &CFaultManagerSettingsDlg::UpdateEnabling)
    ON_BN_CLICKED(CFaultManagerSettingsDlg::kSizeWarning, &CFaultManagerSettingsDlg::UpdateEnabling)
    ON_BN_CLICKED(CFaultManagerSettingsDlg::kSelect, &CFaultManagerSettingsDlg::OnSelectPath)
END_MESSAGE_MAP()

CFaultManagerSettingsDlg::CFaultManagerSettingsDlg(CFaultManager& manager, CWnd* parent)
    : CDialog(IDD, parent),
      m_maxDisplayFaults(manager.m_maxDisplayFaults),
      m_colorCodeFaults(manager.m_colorCodeFaults),
      m_enablePopupFaults(manager.m_enablePopupFaults),
      m_suppressRepeatedPopupFaults(manager.m_suppressRepeatedPopupFaults),
      m_enableStatusBarFaults(manager.m_enableStatusBarFaults),
      m_enableStatusBarFaultSound(manager.m_enableStatusBarFaultSound),
      m_enableFaultFileLogging(manager.m_enableFaultFileLogging),
      m_faultLogFilePath(manager.m_faultLogFilePath),
      m_deleteLogFileAtStartup(manager.m_deleteLogFileAtStartup),
      m_enableLogFileSizeWarning(manager.m_enableLogFileSizeWarning),
      m_maxLogFileSizeMB(manager.m_maxLogFileSizeMB),
      m_manager(manager)
{
}

void CFaultManagerSettingsDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, kMaxDisplay, m_maxDisplayFaults);
    DDV_MinMaxInt(dx, m_maxDisplayFaults, 10, 500);
    DDX_Check(dx, kColorCode, m_colorCodeFaults);
    DDX_Check(dx, kAllowPopups, m_enablePopupFaults);
    DDX_Check(dx, kSuppressRepeated, m_suppressRepeatedPopupFaults);
    DDX_Check(dx, kAllowStatusBar, m_enableStatusBarFaults);
    DDX_Check(dx, kSound, m_enableStatusBarFaultSound);
    DDX_Check(dx, kLogToFile, m_enableFaultFileLogging);
    DDX_Text(dx, kPath, m_faultLogFilePath);
    DDX_Check(dx, kDeleteAtStartup, m_deleteLogFileAtStartup);
    DDX_Check(dx, kSizeWarning, m_enableLogFileSizeWarning);
    DDX_Text(dx, kSizeLimit, m_maxLogFileSizeMB);
    DDV_MinMaxInt(dx, m_maxLogFileSizeMB, 1, 1000);
}

BOOL CFaultManagerSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    UpdateEnabling();
    return TRUE;
}

void CFaultManagerSettingsDlg::UpdateEnabling()
{
    const auto checked = [this](int id) { return IsDlgButtonChecked(id) == BST_CHECKED; };
    const auto enable = [this](int id, bool on) {
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(on);
    };
    enable(kSuppressRepeated, checked(kAllowPopups));
    enable(kSound, checked(kAllowStatusBar));
    const bool logging = checked(kLogToFile);
    for (int id : {kSelect, kPath, kDeleteAtStartup, kSizeWarning})
        enable(id, logging);
    enable(kSizeLimit, logging && checked(kSizeWarning));
}

CString CFaultManagerSettingsDlg::InitialPath(const CString& current)
{
    if (!current.IsEmpty())
        return current;
    char documents[MAX_PATH] = {};
    SHGetSpecialFolderPath(nullptr, documents, CSIDL_PERSONAL, FALSE);
    CString path = documents;
    return path + "/AlertLog.csv";
}

void CFaultManagerSettingsDlg::OnSelectPath()
{
    CString current;
    GetDlgItemText(kPath, current);
    CQvxFileDialog dialog(FALSE, "csv", InitialPath(current), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "CSV files (*.csv)|*.csv||", this);
    dialog.m_ofn.lpstrTitle = "Alert Log File";
    if (dialog.DoModal() == IDOK)
        SetDlgItemText(kPath, dialog.GetPathName());
}

void CFaultManagerSettingsDlg::ApplyToManager()
{
    const bool fileChanged = m_faultLogFilePath != m_manager.m_faultLogFilePath ||
                             m_enableFaultFileLogging != m_manager.m_enableFaultFileLogging;
    const bool statusBarChanged = m_enableStatusBarFaults != m_manager.m_enableStatusBarFaults;
    m_manager.m_maxDisplayFaults = m_maxDisplayFaults;
    m_manager.m_colorCodeFaults = m_colorCodeFaults;
    m_manager.m_enablePopupFaults = m_enablePopupFaults;
    m_manager.m_suppressRepeatedPopupFaults = m_suppressRepeatedPopupFaults;
    m_manager.m_enableStatusBarFaults = m_enableStatusBarFaults;
    m_manager.m_enableStatusBarFaultSound = m_enableStatusBarFaultSound;
    m_manager.m_enableFaultFileLogging = m_enableFaultFileLogging;
    m_manager.m_faultLogFilePath = m_faultLogFilePath;
    m_manager.m_deleteLogFileAtStartup = m_deleteLogFileAtStartup;
    m_manager.m_enableLogFileSizeWarning = m_enableLogFileSizeWarning;
    m_manager.m_maxLogFileSizeMB = m_maxLogFileSizeMB;
    if (fileChanged) {
        m_manager.CloseLogFile();
        if (m_enableFaultFileLogging)
            m_manager.OpenLogFile();
    }
    if (statusBarChanged) {
        m_manager.EmptyStatusList();
        m_manager.RequestStatusRefresh();
    }
    m_manager.GetDialog().RebuildList();
}

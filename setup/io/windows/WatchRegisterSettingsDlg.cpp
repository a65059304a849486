#include "setup/io/windows/WatchRegisterSettingsDlg.h"

#include <cmath>
#include <cstdlib>

#include "foundation/TextHelpers.h"
#include "platform/ui/MsgBox.h"

CWatchRegisterSettingsDlg::CWatchRegisterSettingsDlg(const CWatchDisplaySettings& settings, CWnd* parent)
    : CDialog(IDD, parent), m_settings(settings)
{
}

BOOL CWatchRegisterSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CheckDlgButton(IDC_WATCH_SHOW_TIME, m_settings.m_showUpdateTime ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_WATCH_SHOW_FORMAT, m_settings.m_showValueFormat ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_WATCH_SHOW_CHECKBOXES, m_settings.m_showEnableCheckboxes ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(IDC_WATCH_FONT_PTS, FormatDouble(m_settings.m_fontPts10 / 10.0, 1));
    return TRUE;
}

void CWatchRegisterSettingsDlg::OnOK()
{
    CString text;
    GetDlgItemText(IDC_WATCH_FONT_PTS, text);
    char* end = nullptr;
    const double pts = std::strtod(text, &end);
    if (text.IsEmpty() || *end || !(pts >= 5.0 && pts <= 48.0)) {
        AfxMessageBox("Please enter a font size between 5 and 48.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_settings.m_fontPts10 = static_cast<int>(std::trunc(pts * 10.0));
    m_settings.m_showUpdateTime = IsDlgButtonChecked(IDC_WATCH_SHOW_TIME) ? 1 : 0;
    m_settings.m_showValueFormat = IsDlgButtonChecked(IDC_WATCH_SHOW_FORMAT) ? 1 : 0;
    m_settings.m_showEnableCheckboxes = IsDlgButtonChecked(IDC_WATCH_SHOW_CHECKBOXES) ? 1 : 0;
    EndDialog(IDOK);
}

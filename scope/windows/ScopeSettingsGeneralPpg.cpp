#include "scope/windows/ScopeSettingsGeneralPpg.h"

#include "platform/core/MessageBox.h"
#include "platform/ui/Button.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/PropertySheet.h"
#include "resources/ids/ScopeSettingsIds.h"
#include "scope/windows/ScopeSettingsChannelsPpg.h"

CScopeSettingsGeneralPpg::CScopeSettingsGeneralPpg(CScopeSettingsChannelsPpg& channels)
    : CDialog(IDD_SCOPE_SETTINGS_GENERAL), m_channels(channels)
{
}

BOOL CScopeSettingsGeneralPpg::OnInitDialog()
{
    auto* format = static_cast<CComboBox*>(GetDlgItem(IDC_SSG_TIME_FORMAT));
    for (const char* text : {"Seconds", "Mins:Secs", "Hours:Mins:Secs"})
        format->AddString(text);
    auto* grid = static_cast<CComboBox*>(GetDlgItem(IDC_SSG_GRID));
    for (const char* text : {"Off", "Fine", "Coarse"})
        grid->AddString(text);
    CDialog::OnInitDialog();
    EnableControls();
    return TRUE;
}

void CScopeSettingsGeneralPpg::DoDataExchange(CDataExchange* dx)
{
    DDX_Check(dx, IDC_SSG_SHOW_XLABEL, ShowXLabel);
    DDX_Text(dx, IDC_SSG_XLABEL, XLabel);
    DDX_Check(dx, IDC_SSG_SHOW_YLABEL, ShowYLabel);
    DDX_Text(dx, IDC_SSG_YLABEL, YLabel);
    DDX_Radio(dx, IDC_SSG_SWEEP, ScopeMode);
    DDX_CBIndex(dx, IDC_SSG_TIME_FORMAT, TimeFormat);
    DDX_Text(dx, IDC_SSG_TAIL_POINTS, TailPoints);
    DDV_MinMaxInt(dx, TailPoints, kMinTailPoints, kMaxTailPoints);
    DDX_Check(dx, IDC_SSG_SHOW_KEY, ShowPlotKey);
    DDX_CBIndex(dx, IDC_SSG_GRID, ShowGrid);
}

void CScopeSettingsGeneralPpg::EnableControls()
{
    auto checked = [this](int id) { return static_cast<CButton*>(GetDlgItem(id))->GetCheck() == BST_CHECKED; };
    GetDlgItem(IDC_SSG_XLABEL)->EnableWindow(checked(IDC_SSG_SHOW_XLABEL));
    GetDlgItem(IDC_SSG_YLABEL)->EnableWindow(checked(IDC_SSG_SHOW_YLABEL));
    GetDlgItem(IDC_SSG_TAIL_POINTS)->EnableWindow(ScopeMode == 1);
    GetDlgItem(IDC_SSG_TAIL_CAPTION)->EnableWindow(ScopeMode == 1);
}

BOOL CScopeSettingsGeneralPpg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(static_cast<DWORD>(wParam)) == BN_CLICKED) {
        switch (LOWORD(static_cast<DWORD>(wParam))) {
        case IDC_SSG_SHOW_XLABEL:
        case IDC_SSG_SHOW_YLABEL: EnableControls(); return TRUE;
        case IDC_SSG_SWEEP: OnModeClicked(0); return TRUE;
        case IDC_SSG_XY: OnModeClicked(1); return TRUE;
        case IDC_SSG_BACKGROUND: OnBackground(); return TRUE;
        default: break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CScopeSettingsGeneralPpg::OnModeClicked(int mode)
{
    if (mode == ScopeMode)
        return;
    if (AfxEngineMessageBox("Changing the scope mode will unassign all channels. Continue?", "Oscilloscope Settings",
                            MB_YESNO | MB_ICONQUESTION) == IDYES) {
        ScopeMode = mode;
        m_channels.ModeChanged = 1;
        m_channels.XYMode = mode;
    }
    static_cast<CButton*>(GetDlgItem(IDC_SSG_SWEEP))->SetCheck(ScopeMode == 0 ? BST_CHECKED : BST_UNCHECKED);
    static_cast<CButton*>(GetDlgItem(IDC_SSG_XY))->SetCheck(ScopeMode == 1 ? BST_CHECKED : BST_UNCHECKED);
    EnableControls();
}

void CScopeSettingsGeneralPpg::OnBackground()
{
    CColorDialog dialog(BackgroundColour, 0, this);
    if (dialog.DoModal() == IDOK)
        BackgroundColour = dialog.GetColor();
}

BOOL CScopeSettingsGeneralPpg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == PSN_KILLACTIVE) {
        *result = UpdateData(TRUE) ? 0 : 1;
        return TRUE;
    }
    if (header->code == PSN_SETACTIVE || header->code == PSN_APPLY || header->code == PSN_RESET) {
        *result = 0;
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, result);
}

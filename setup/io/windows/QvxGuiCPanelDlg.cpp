#include "setup/io/windows/QvxGuiCPanelDlg.h"

#include <cmath>
#include <cstdlib>

#include "comm/link/CommAppServices.h"
#include "foundation/TextHelpers.h"
#include "setup/io/PanelBarMath.h"
#include "setup/io/PanelOptionsSettings.h"
#include "setup/io/windows/QvxCPanelOptionsDlg.h"

IMPLEMENT_DYNCREATE(CQvxGuiCPanelDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiCPanelDlg));

BEGIN_MESSAGE_MAP(CQvxGuiCPanelDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_CPANEL_STOP, &CQvxGuiCPanelDlg::OnStop)
    ON_BN_CLICKED(IDC_CPANEL_FAULT_RESET, &CQvxGuiCPanelDlg::OnFaultReset)
    ON_BN_CLICKED(IDC_CPANEL_ZERO_POS, &CQvxGuiCPanelDlg::OnSetZeroPos)
    ON_BN_CLICKED(IDC_CPANEL_OPTIONS, &CQvxGuiCPanelDlg::OnOptions)
    ON_BN_CLICKED(IDC_CPANEL_TACH_REVERSE, &CQvxGuiCPanelDlg::OnTachReverse)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_CPANEL_FINE_DOWN, IDC_CPANEL_FINE_UP, &CQvxGuiCPanelDlg::OnJog)
END_MESSAGE_MAP()

namespace {
constexpr const char* kNoValues = "Could not receive values. Please try again.";
constexpr WORD kTach = 658, kPositionCommand = 16995, kCommand = 3, kEnable = 174, kFaultWord = 20070;
constexpr WORD kCurrentMode = 3373, kInhibit = 20087, kMotorFeatures = 13524, kActualPosition = 16998;
constexpr WORD kFaultReset = 19060, kActualVelocity = 20179;
constexpr WORD kModeRegister = 13796;
const int kNeededParameters[] = {6, 5, 15, 0, 10, 2, 1, 9};
}  // namespace

CQvxGuiCPanelDlg::CQvxGuiCPanelDlg() : CGuiUpdateDlg(IDD)
{
    m_statusFlags = kStatusMode | kStatusWord | kStatusFault;
}

CQvxGuiCPanelDlg::~CQvxGuiCPanelDlg() = default;

BOOL CQvxGuiCPanelDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    SetEnableButton(GetDlgItem(IDC_CPANEL_ENABLE));
    UpdateLamps();
    return TRUE;
}

int CQvxGuiCPanelDlg::Ask(const char* text) { return CGuiUpdateItem::MessageBox(text, MB_OK, 0, IDOK); }

CString CQvxGuiCPanelDlg::IniPath() const
{
    CCommAppServices* app = CCommAppServices::Get();
    return app ? app->GetUserSettingsIniPath() : CString();
}

int CQvxGuiCPanelDlg::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    m_tach.Query(address, kTach, 0, kQryOneShot | kQryNotify);
    m_motorFeatures.Query(address, kMotorFeatures, 0, kQryOneShot | kQryNotify);
    for (auto [query, code] : {std::pair{&m_positionCommand, kPositionCommand}, std::pair{&m_command, kCommand},
                               std::pair{&m_enable, kEnable}, std::pair{&m_faults, kFaultWord},
                               std::pair{&m_currentMode, kCurrentMode}, std::pair{&m_inhibit, kInhibit}})
        query->Query(address, code, 200, 0);
    // The actual-value fields stand in for the framework's bound edits.
    SendQuery(address, kActualVelocity, 500, 0);
    SendQuery(address, kActualPosition, 100, 0);
    return CGuiUpdateDlg::SubscribeStatusQueries();
}

void CQvxGuiCPanelDlg::ShowActual(int id, const CString& text)
{
    CString shown;
    GetDlgItemText(id, shown);
    if (shown != text)
        SetDlgItemText(id, text);
}

void CQvxGuiCPanelDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    if (!response.m_error && !response.m_write) {
        CString text;
        double gain = 0;
        if (response.m_code == kModeRegister)
            m_modeKnown = 1;
        else if (response.m_code == kActualVelocity && GetGlobalParameterValue(-1, 0, gain)) {
            text.Format("%2.2f", response.GetValue() * gain);
            ShowActual(IDC_CPANEL_VELOCITY, text);
        } else if (response.m_code == kActualPosition) {
            text.Format("%0.0f", static_cast<double>(response.GetValue()));
            ShowActual(IDC_CPANEL_POSITION, text);
        }
    }
    CGuiUpdateDlg::OnStatusResponse(response);
}

bool CQvxGuiCPanelDlg::HaveParameter(int id)
{
    double value = 0;
    return GetGlobalParameterValue(-1, id, value);
}

bool CQvxGuiCPanelDlg::BuildScaling(CPanelScaling& scaling)
{
    scaling.m_modeValue = m_modeKnown ? GetModeWord() : -1;
    return GetGlobalParameterValue(-1, 6, scaling.m_cs) && GetGlobalParameterValue(-1, 1, scaling.m_velInduction) &&
           GetGlobalParameterValue(-1, 9, scaling.m_currentGain) && GetGlobalParameterValue(-1, 0, scaling.m_velGain) &&
           GetGlobalParameterValue(-1, 2, scaling.m_tachGain) && GetGlobalParameterValue(-1, 10, scaling.m_etf);
}

const CPanelOptionsMode* CQvxGuiCPanelDlg::Mode() const
{
    if (!m_ready)
        return nullptr;
    return m_modes.GetMode(CPanelScaling::EntryOf(CPanelScaling::ModeOf(GetModeWord())));
}

int CQvxGuiCPanelDlg::InitialUpdate()
{
    if (!CGuiUpdateDlg::InitialUpdate() || !m_modeKnown || !m_currentMode.HasResponse())
        return 0;
    for (int id : kNeededParameters)
        if (!HaveParameter(id))
            return 0;
    m_modes.BuildDefaults();
    CPanelOptionsSettings::Load(m_modes, IniPath());
    m_ready = 1;
    UpdateLabels();
    UpdateLamps();
    return 1;
}

void CQvxGuiCPanelDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    if (!m_ready || !m_enable.HasResponse() || !m_faults.HasResponse() || !m_tach.HasResponse())
        return;
    ShowReading(1);
    UpdateLabels();
    if (m_modeChanged) {
        if (!m_firstMode)
            SendZeroCommands();
        m_value = m_previous = 0;
        m_modeChanged = 0;
        m_firstMode = 0;
    }
    RefreshTachBox();
    if (m_inhibit.HasChanged(1))
        UpdateLamps();
}

void CQvxGuiCPanelDlg::ShowReading(int forced)
{
    CDmQueryVar& query = CPanelScaling::ModeOf(GetModeWord()) == kPanelModePosition ? m_positionCommand : m_command;
    CPanelScaling scaling;
    LONG raw = 0;
    if ((!query.HasChanged(1) && !forced) || !query.GetValue(raw) || !BuildScaling(scaling) || !Mode())
        return;
    const double value = scaling.EngineeringFromDrive(raw);
    if (raw == 0)
        m_value = m_previous = 0;
    const int digits = scaling.Mode() == kPanelModePosition ? 0 : scaling.Mode() == kPanelModeVelocity ? 2 : 3;
    CWnd* edit = GetDlgItem(IDC_CPANEL_BAR1_EDIT);
    if (GetFocus() != edit) {
        const CString text = InsertDigitGroupSeparators(FormatDouble(value, digits), ",", 3);
        CString shown;
        edit->GetWindowText(shown);
        if (shown != text)
            edit->SetWindowText(text);
    }
    const double whole = std::trunc(value);
    m_value = whole >= std::trunc(Mode()->Min()) && whole <= std::trunc(Mode()->Max()) ? value : Mode()->Min();
}

void CQvxGuiCPanelDlg::UpdateLabels()
{
    CPanelScaling scaling;
    double linear = 0;
    if (!Mode() || !BuildScaling(scaling) || !GetGlobalParameterValue(-1, 5, linear))
        return;
    const int mode = scaling.Mode();
    const char* unit = mode == kPanelModeVelocity ? (static_cast<int>(linear) == 1 ? "mm/sec" : "rpm") : "amps";
    CString command;
    if (scaling.m_cs == 1)
        command = "Velocity (rpm):";
    else if (mode == kPanelModePosition)
        command = "Position (cts):";
    else
        command.Format(mode == kPanelModeVelocity ? "Velocity (%s):" : "Current (%s):", unit);
    const char* format = scaling.m_cs == 1 ? "%4.1lf" : mode == kPanelModePosition ? "%4.0f"
                                                      : mode == kPanelModeVelocity ? "%8.2lf" : "%2.3lf";
    CString min, max;
    min.Format(format, Mode()->Min());
    max.Format(format, Mode()->Max());
    min.Trim();
    max.Trim();
    const CString velocity = (scaling.m_cs == 1 || static_cast<int>(linear) != 1) ? "Actual Velocity (rpm):"
                                                                                  : "Actual Velocity (mm/sec):";
    for (auto [id, text] : {std::pair{IDC_CPANEL_COMMAND_LABEL, command},
                            std::pair{IDC_CPANEL_MIN_LABEL, InsertDigitGroupSeparators(min, ",", 3)},
                            std::pair{IDC_CPANEL_MAX_LABEL, InsertDigitGroupSeparators(max, ",", 3)},
                            std::pair{IDC_CPANEL_VELOCITY_LABEL, velocity}}) {
        CString shown;
        GetDlgItemText(id, shown);
        if (shown != text)
            SetDlgItemText(id, text);
    }
}

void CQvxGuiCPanelDlg::UpdateLamps()
{
    const bool fault = GetFaultWord() != 0;
    SetDlgItemText(IDC_CPANEL_LAMP_STATE, fault ? "Fault" : (GetStatusWord() & 0x100) ? "Enabled" : "Disabled");
    LONG inhibit = 0;
    int tavro = 0;
    if (CCommAppServices* app = CCommAppServices::Get())
        tavro = app->GetDriveFamily(GetDrive()) == 4;
    if (tavro)
        m_inhibit.GetValue(inhibit);
    else
        inhibit = GetStatusWord();
    SetDlgItemText(IDC_CPANEL_LAMP_HW, (inhibit & 0x200) ? "HW Inhibit" : "");
    SetDlgItemText(IDC_CPANEL_LAMP_SW, (inhibit & 0x8) ? "SW Inhibit" : "");
}

void CQvxGuiCPanelDlg::OnEnableBitChanged(int bit)
{
    CGuiUpdateDlg::OnEnableBitChanged(bit);
    UpdateLamps();
}

void CQvxGuiCPanelDlg::OnFaultWordChanged(int value)
{
    CGuiUpdateDlg::OnFaultWordChanged(value);
    UpdateLamps();
}

void CQvxGuiCPanelDlg::RefreshTachBox()
{
    const int mode = CPanelScaling::ModeOf(GetModeWord());
    LONG features = 0;
    const bool locked = m_motorFeatures.GetValue(features) && (features & 0x8);
    GetDlgItem(IDC_CPANEL_TACH_REVERSE)->EnableWindow(mode == kPanelModeCurrent && !locked);
    LONG tach = 0;
    if (m_tach.GetValue(tach))
        CheckDlgButton(IDC_CPANEL_TACH_REVERSE, tach ? BST_CHECKED : BST_UNCHECKED);
}

void CQvxGuiCPanelDlg::SendBar(double amount, int up)
{
    CPanelScaling scaling;
    const CPanelOptionsMode* mode = Mode();
    if (!mode || !BuildScaling(scaling) || GetDrive() == -1)
        return;
    m_previous = m_value;
    m_value = CPanelBarMath::Stepped(*mode, m_value, amount, up);
    const LONG drive = scaling.DriveFromEngineering(m_value);
    const WORD reg = scaling.Mode() == kPanelModePosition ? kPositionCommand : kCommand;
    SendCommand(static_cast<BYTE>(GetDrive()), reg, PanelRegisterValue(reg, drive));
}

void CQvxGuiCPanelDlg::OnJog(UINT id)
{
    GetDlgItem(IDC_CPANEL_STOP)->SetFocus();
    CPanelScaling scaling;
    const CPanelOptionsMode* mode = Mode();
    if (!mode)
        return;
    const double fine = BuildScaling(scaling) ? scaling.FineIncrement() : 1.0;
    switch (id) {
    case IDC_CPANEL_FINE_DOWN: SendBar(fine, 0); break;
    case IDC_CPANEL_STEP_DOWN: SendBar(mode->Step(), 0); break;
    case IDC_CPANEL_STEP_UP: SendBar(mode->Step(), 1); break;
    default: SendBar(fine, 1); break;
    }
}

void CQvxGuiCPanelDlg::OnOK()
{
    CWnd* focus = GetFocus();
    CWnd* edit = GetDlgItem(IDC_CPANEL_BAR1_EDIT);
    GetDlgItem(IDC_CPANEL_STOP)->SetFocus();
    if (focus != edit)
        return;
    CString text;
    edit->GetWindowText(text);
    text.Remove(',');
    m_previous = m_value;
    m_value = std::atof(text);
    SendBar(0, 1);
}

void CQvxGuiCPanelDlg::SendZeroCommands()
{
    const BYTE address = static_cast<BYTE>(GetDrive());
    SendCommand(address, kCommand, 0);
    if (CPanelScaling::ModeOf(GetModeWord()) == kPanelModePosition) {
        SendCommand(address, kEnable, 0);
        SendCommand(address, kEnable, GetEnableBit() ? 1 : 0);
    }
}

void CQvxGuiCPanelDlg::OnStop()
{
    if (!HaveParameter(6) || GetDrive() == -1) {
        Ask(kNoValues);
        return;
    }
    SendZeroCommands();
}

void CQvxGuiCPanelDlg::OnFaultReset()
{
    if (!HaveParameter(6) || GetDrive() == -1) {
        Ask(kNoValues);
        return;
    }
    SendZeroCommands();
    SendCommand(static_cast<BYTE>(GetDrive()), kFaultReset, 0);
}

void CQvxGuiCPanelDlg::OnSetZeroPos()
{
    OnStop();
    if (GetDrive() == -1)
        return;
    SetDlgItemText(IDC_CPANEL_BAR1_EDIT, "0");
    m_value = m_previous = 0;
    SendCommand(static_cast<BYTE>(GetDrive()), kActualPosition, 0);
    m_positionCommand.Query(static_cast<BYTE>(GetDrive()), kPositionCommand, 0, kQryOneShot | kQryNotify);
}

void CQvxGuiCPanelDlg::OnTachReverse()
{
    LONG tach = 0;
    if (GetDrive() == -1 || !m_tach.GetValue(tach)) {
        Ask(kNoValues);
        return;
    }
    const BYTE address = static_cast<BYTE>(GetDrive());
    SendCommand(address, kTach, tach ? 0 : 1);
    // Read back, so the box and the next click follow the drive.
    m_tach.Query(address, kTach, 0, kQryOneShot | kQryNotify);
}

void CQvxGuiCPanelDlg::OnOptions()
{
    if (!m_ready || m_options)
        return;
    m_options = new CQvxCPanelOptionsDlg(&m_modes, this, IniPath());
    if (AddChildDialog(m_options) < 0)
        m_options = nullptr;
}

void CQvxGuiCPanelDlg::OnChildDialogClosed(int code)
{
    const int changed = m_options && m_options->IsChanged();
    m_options = nullptr;
    CGuiUpdateDlg::OnChildDialogClosed(code);
    if (code == 1 && changed) {
        m_value = m_previous = 0;
        UpdateLabels();
    }
}

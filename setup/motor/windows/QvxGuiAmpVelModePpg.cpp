#include "setup/motor/windows/QvxGuiAmpVelModePpg.h"

#include <algorithm>

#include "distribution/parameters/GlobalParameterKinds.h"
#include "framework/GuiAppServices.h"
#include "setup/motor/DriveModeWord.h"
#include "setup/motor/VelModePageRules.h"
#include "setup/motor/windows/ModeControlBinder.h"

IMPLEMENT_DYNAMIC(CQvxGuiAmpVelModePpg, CGuiUpdatePpg)

BEGIN_MESSAGE_MAP(CQvxGuiAmpVelModePpg, CGuiUpdatePpg)
    ON_BN_CLICKED(IDC_VEL_ENABLE, &CQvxGuiAmpVelModePpg::OnEnableClicked)
    ON_BN_CLICKED(IDC_VEL_ANALOG, &CQvxGuiAmpVelModePpg::OnSourceClicked)
    ON_BN_CLICKED(IDC_VEL_PWM50, &CQvxGuiAmpVelModePpg::OnSourceClicked)
    ON_BN_CLICKED(IDC_VEL_PWM100, &CQvxGuiAmpVelModePpg::OnSourceClicked)
    ON_BN_CLICKED(IDC_VEL_SEND_BRAKING, &CQvxGuiAmpVelModePpg::OnSendBraking)
END_MESSAGE_MAP()

namespace {
constexpr WORD kModePollMs = 200;
constexpr WORD kHardwareIndex = 14;
constexpr int kTwoPhaseHardwareBit = 8;
}  // namespace

CQvxGuiAmpVelModePpg::CQvxGuiAmpVelModePpg() : CGuiUpdatePpg(IDD)
{
    m_statusFlags = kStatusWord | kStatusFault;
    SetCaption("Velocity");
}

BOOL CQvxGuiAmpVelModePpg::OnInitDialog()
{
    CGuiUpdatePpg::OnInitDialog();
    m_spins.Add(*this, IDC_VEL_GAIN_SPIN, m_edits[0], -100, 100, 0.1, "%0.2f");
    m_spins.Add(*this, IDC_VEL_OFFSET_SPIN, m_edits[2], -100, 100, 1.0, "%0.1f");
    m_spins.Add(*this, IDC_VEL_DEADBAND_SPIN, m_edits[4], -100, 100, 1.0, "%0.1f");
    m_spins.Add(*this, IDC_VEL_ZERO_SPEED_SPIN, m_edits[12], 0, 100, 1.0, "%0.2f");
    UpdateEnables();
    UpdateCaption();
    return TRUE;
}

void CQvxGuiAmpVelModePpg::BindControls()
{
    using B = CModeControlBinder;
    const int group = kBrakingGroup;
    const ModeEditRow rows[14] = {
        {IDC_VEL_GAIN_WORK, 9267, -1, 0x2320, true, GPD_PRIMARY_ANAIN_SCALE, "%0.2f", -32767, 32767, 0,
         "Analog Input Signal Gain"},
        {IDC_VEL_GAIN_DRIVE, 9267, -1, 0x324, false, GPD_PRIMARY_ANAIN_SCALE, "%0.2f"},
        {IDC_VEL_OFFSET_WORK, 9263, -1, 0x2328, true, GPD_AMPTOENGIOMILIVOLTS_INPUT, "%0.1f", -32767, 32767, 0,
         "Analog Input Signal Offset"},
        {IDC_VEL_OFFSET_DRIVE, 9263, -1, 0x324, false, GPD_AMPTOENGIOMILIVOLTS_INPUT, "%0.1f"},
        {IDC_VEL_DEADBAND_WORK, 9252, -1, 0x2328, true, GPD_AMPTOENGIOMILIVOLTS_INPUT, "%0.1f", -32767, 32767, 0,
         "Analog Input Dead Band"},
        {IDC_VEL_DEADBAND_DRIVE, 9252, -1, 0x324, false, GPD_AMPTOENGIOMILIVOLTS_INPUT, "%0.1f"},
        {IDC_VEL_DECEL_WORK, B::kBrakingCode, 1, 0x2308, true, GPD_BRAKEDECEL_GAIN, "%0.2f", 0, 32767, group,
         "Brake deceleration", true},
        {IDC_VEL_DECEL_DRIVE, B::kBrakingCode, 1, 0x304, false, GPD_BRAKEDECEL_GAIN, "%0.2f", -32767, 32767, group, "",
         true},
        {IDC_VEL_MAX_TIME_WORK, B::kBrakingCode, 2, 0x2308, true, -1, "%0.0f", 0, 32767, group,
         "Max deceleration time", true},
        {IDC_VEL_MAX_TIME_DRIVE, B::kBrakingCode, 2, 0x304, false, -1, "%0.0f", -32767, 32767, group, "", true},
        {IDC_VEL_DELAY_WORK, B::kBrakingCode, 3, 0x2308, true, -1, "%0.0f", 0, 32767, group,
         "PWM disable delay time time", true},
        {IDC_VEL_DELAY_DRIVE, B::kBrakingCode, 3, 0x304, false, -1, "%0.0f", -32767, 32767, group, "", true},
        {IDC_VEL_ZERO_SPEED_WORK, kZeroSpeedCode, -1, 0x2308, true, GPD_A2E_VEL_GAIN, "%0.2f", 0, 32767, 0,
         "Zero Speed Window"},
        {IDC_VEL_ZERO_SPEED_DRIVE, kZeroSpeedCode, -1, 0x304, false, GPD_A2E_VEL_GAIN, "%0.2f"},
    };
    for (int i = 0; i < 14; ++i)
        B::BindEdit(*this, m_edits[i], rows[i]);
    m_braking.Bind(*this, {IDC_VEL_BRAKING_WORK, IDC_VEL_BRAKING_DRIVE, IDC_VEL_FET_WORK, IDC_VEL_FET_DRIVE}, group);
}

std::optional<double> CQvxGuiAmpVelModePpg::Parameter(int id)
{
    double value = 0;
    if (!GetGlobalParameterValue(-1, id, value))
        return std::nullopt;
    return value;
}

int CQvxGuiAmpVelModePpg::LastMode() const
{
    LONG mode = 0;
    return m_mode.GetValue(mode) ? static_cast<int>(mode) : 0;
}

int CQvxGuiAmpVelModePpg::PrepareQueries()
{
    if (GetDrive() == -1)
        return 0;
    if (m_followedDrive != GetDrive()) {
        CModeControlBinder::FollowDriveConversions(*this, m_edits, 14, {GPD_A2E_VEL_GAIN});
        m_followedDrive = GetDrive();
    }
    const std::optional<double> decel = Parameter(GPD_BRAKEDECEL_GAIN);
    const std::optional<double> millivolts = Parameter(GPD_AMPTOENGIOMILIVOLTS_INPUT);
    if (!decel || !millivolts || !Parameter(GPD_A2E_VEL_GAIN))
        return 0;
    m_spins.SetStep(IDC_VEL_OFFSET_SPIN, *millivolts);
    m_spins.SetStep(IDC_VEL_DEADBAND_SPIN, *millivolts);
    return 1;
}

int CQvxGuiAmpVelModePpg::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    CModeControlBinder::QueryHardware(m_hardware, address, kHardwareIndex, 0);
    m_mode.Query(address, kModeWordCode, kModePollMs, CModeControlBinder::kQueryFlags);
    m_source.Query(address, kSourceCode, kModePollMs, CModeControlBinder::kQueryFlags);
    m_motorType.Query(address, kMotorTypeCode, 0, CModeControlBinder::kQueryFlags);
    return CModeControlBinder::SubscribeAndRestartPolling(*this);
}

int CQvxGuiAmpVelModePpg::InitialUpdate()
{
    if (!Parameter(GPD_VER) || !ShowRadios())
        return 0;
    return CGuiUpdatePpg::InitialUpdate();
}

void CQvxGuiAmpVelModePpg::OnEnableBitChanged(int bit)
{
    CGuiUpdatePpg::OnEnableBitChanged(bit);
    UpdateEnables();
}

void CQvxGuiAmpVelModePpg::RestartBrakingDisplays()
{
    m_braking.RestartPolling();
    m_edits[6].RestartPolling();
    m_edits[7].RestartPolling();
}

void CQvxGuiAmpVelModePpg::ProcessResponses()
{
    CGuiUpdatePpg::ProcessResponses();
    const bool modeChanged = m_mode.HasChanged(1) != 0;
    const bool sourceChanged = m_source.HasChanged(1) != 0;
    if (modeChanged) {
        const int mode = LastMode();
        CheckDlgButton(IDC_VEL_ENABLE, (mode & CDriveModeWord::kVelocity) ? BST_CHECKED : BST_UNCHECKED);
        if (!(mode & CDriveModeWord::kVelocity) || (mode & CDriveModeWord::kPosition)) {
            // Only the braking settings mean anything outside velocity mode.
            m_controls.StopPollingAll();
            m_controls.ClearAll();
            RestartBrakingDisplays();
        } else {
            m_controls.RestartPollingAll();
        }
        UpdateCaption();
        UpdateEnables();
    }
    if (modeChanged || sourceChanged)
        ShowRadios();
    LONG value = 0;
    if (m_hardware.HasChanged(1) && m_hardware.GetValue(value))
        SetDlgItemText(IDC_VEL_ENABLE,
                       (value & kTwoPhaseHardwareBit) ? "Enable (Disables 2-Phase Mode if checked)" : "Enable");
    if (m_motorType.HasChanged(1) && m_motorType.GetValue(value))
        ShowMotorType(value);
    UpdateZeroSpeedStep();
    // The PWM gates need the firmware version, which may come after the mode word.
    const std::optional<double> version = Parameter(GPD_VER);
    if (version != m_gatedVersion) {
        m_gatedVersion = version;
        UpdateEnables();
    }
}

void CQvxGuiAmpVelModePpg::ShowMotorType(LONG type)
{
    m_linear = type == 1;
    SetDlgItemText(IDC_VEL_DECEL_LABEL, m_linear ? "Brake Deceleration (mm/sec^2):" : "Brake Deceleration (rpm/sec):");
    SetDlgItemText(IDC_VEL_ZERO_SPEED_LABEL, m_linear ? "Zero Speed Window (mm/sec):" : "Zero Speed Window (rpm):");
    SetDlgItemText(IDC_VEL_GAIN_UNIT, m_linear ? "mm/sec/volt" : "rpm/volt");
    const char* format = m_linear ? "%0.0f" : "%0.2f";
    m_edits[12].SetDisplayFormat(format, 1);
    m_edits[13].SetDisplayFormat(format, 1);
    m_spins.SetFormat(IDC_VEL_ZERO_SPEED_SPIN, format);
    const double gain = Parameter(GPD_A2E_VEL_GAIN).value_or(0.0);
    m_spins.SetStep(IDC_VEL_ZERO_SPEED_SPIN, std::max(gain, 0.01));
    m_zeroStepPending = true;
}

void CQvxGuiAmpVelModePpg::UpdateZeroSpeedStep()
{
    if (!m_zeroStepPending)
        return;
    const std::optional<double> gain = Parameter(GPD_A2E_VEL_GAIN);
    if (!gain || *gain == m_spins.GetStep(IDC_VEL_ZERO_SPEED_SPIN))
        return;
    m_spins.SetStep(IDC_VEL_ZERO_SPEED_SPIN, *gain);
    m_zeroStepPending = false;
}

bool CQvxGuiAmpVelModePpg::ShowRadios()
{
    LONG mode = 0, source = 0;
    if (!m_mode.GetValue(mode) || !m_source.GetValue(source))
        return false;
    const auto checked = CDriveModeWord::VelocityRadios(static_cast<int>(mode), static_cast<int>(source));
    const int ids[3] = {IDC_VEL_ANALOG, IDC_VEL_PWM50, IDC_VEL_PWM100};
    for (int i = 0; i < 3; ++i)
        CheckDlgButton(ids[i], checked[i] ? BST_CHECKED : BST_UNCHECKED);
    return true;
}

void CQvxGuiAmpVelModePpg::UpdateCaption()
{
    SetTabText(this, CDriveModeWord::TabCaption(IsChecked(IDC_VEL_ENABLE), "Velocity"));
}

void CQvxGuiAmpVelModePpg::UpdateEnables()
{
    if (!GetSafeHwnd())
        return;
    const bool modeOn = CVelModePageRules::ModeOn(IsChecked(IDC_VEL_ENABLE), LastMode());
    const bool driveEnabled = GetEnableBit() != 0;
    for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT))
        if (const std::optional<bool> on = CVelModePageRules::ControlEnabled(child->GetDlgCtrlID(), modeOn, driveEnabled))
            child->EnableWindow(*on);
    const std::optional<double> version = Parameter(GPD_VER);
    const auto gate = [&](int id, bool on) {
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(on);
    };
    gate(IDC_VEL_ANALOG, modeOn);
    gate(IDC_VEL_PWM50, CVelModePageRules::PwmEnabled(modeOn, version, AppFunctionUnlockVersion("Pwm50")));
    gate(IDC_VEL_PWM100, CVelModePageRules::PwmEnabled(modeOn, version, AppFunctionUnlockVersion("Pwm100")));
}

void CQvxGuiAmpVelModePpg::OnEnableClicked()
{
    const bool checked = IsChecked(IDC_VEL_ENABLE);
    LONG last = 0;
    if (GetDrive() == -1 || !m_mode.GetValue(last)) {
        CGuiUpdateItem::MessageBox(CModeControlBinder::kRetry, MB_OK, 0, 0);
        CheckDlgButton(IDC_VEL_ENABLE, checked ? BST_UNCHECKED : BST_CHECKED);
        return;
    }
    SendCommand(static_cast<BYTE>(GetDrive()), kModeWordCode, CDriveModeWord::VelocityEnable(static_cast<int>(last), checked));
}

void CQvxGuiAmpVelModePpg::OnSourceClicked()
{
    const std::optional<int> source =
        CDriveModeWord::VelocitySource(IsChecked(IDC_VEL_ANALOG), IsChecked(IDC_VEL_PWM50), IsChecked(IDC_VEL_PWM100));
    if (source && GetDrive() != -1)
        SendCommand(static_cast<BYTE>(GetDrive()), kSourceCode, *source);
}

void CQvxGuiAmpVelModePpg::OnSendBraking()
{
    if (CModeBrakingControls::ConfirmSend(*this))
        SendGroup(kBrakingGroup);
}

BOOL CQvxGuiAmpVelModePpg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (m_spins.OnNotify(lParam, result))
        return TRUE;
    return CGuiUpdatePpg::OnNotify(wParam, lParam, result);
}

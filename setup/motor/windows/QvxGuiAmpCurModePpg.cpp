#include "setup/motor/windows/QvxGuiAmpCurModePpg.h"

#include <algorithm>

#include "distribution/parameters/GlobalParameterKinds.h"
#include "setup/motor/DriveModeWord.h"
#include "setup/motor/windows/ModeControlBinder.h"

IMPLEMENT_DYNAMIC(CQvxGuiAmpCurModePpg, CGuiUpdatePpg)

BEGIN_MESSAGE_MAP(CQvxGuiAmpCurModePpg, CGuiUpdatePpg)
    ON_BN_CLICKED(IDC_CUR_TWO_PHASE, &CQvxGuiAmpCurModePpg::OnTwoPhaseClicked)
    ON_BN_CLICKED(IDC_CUR_SEND_BRAKING, &CQvxGuiAmpCurModePpg::OnSendBraking)
END_MESSAGE_MAP()

namespace {
constexpr WORD kHardwareIndex = 14;
constexpr int kTwoPhaseHardwareBit = 8;
}  // namespace

CQvxGuiAmpCurModePpg::CQvxGuiAmpCurModePpg() : CGuiUpdatePpg(IDD)
{
    m_statusFlags = kStatusWord | kStatusFault;
    SetCaption("Current");
}

BOOL CQvxGuiAmpCurModePpg::OnInitDialog()
{
    CGuiUpdatePpg::OnInitDialog();
    m_spins.Add(*this, IDC_CUR_GAIN_SPIN, m_edits[0], -100, 100, 0.1, "%0.2f");
    m_spins.Add(*this, IDC_CUR_OFFSET_SPIN, m_edits[2], -100, 100, 0.01, "%0.1f");
    m_spins.Add(*this, IDC_CUR_DEADBAND_SPIN, m_edits[4], -100, 100, 0.1, "%0.1f");
    m_spins.Add(*this, IDC_CUR_AUX_GAIN_SPIN, m_edits[6], -100, 100, 0.1, "%0.2f");
    m_spins.Add(*this, IDC_CUR_AUX_OFFSET_SPIN, m_edits[8], -100, 100, 0.1, "%0.1f");
    // Current mode is the drive's base mode: always on, never switched here.
    CheckDlgButton(IDC_CUR_ENABLE, BST_CHECKED);
    EnableIds({IDC_CUR_ENABLE}, false);
    SetTabText(this, CDriveModeWord::TabCaption(true, "Current"));
    UpdateEnables();
    return TRUE;
}

void CQvxGuiAmpCurModePpg::BindControls()
{
    using B = CModeControlBinder;
    const int group = kBrakingGroup;
    const int gain = GPD_PRIMARY_ANAIN_SCALE;
    const int mv = GPD_AMPTOENGIOMILIVOLTS_INPUT;
    const ModeEditRow rows[10] = {
        {IDC_CUR_GAIN_WORK, 9267, -1, 0x2320, true, gain, "%0.2f", -32767, 32767, 0, "Analog Input Signal Gain"},
        {IDC_CUR_GAIN_DRIVE, 9267, -1, 0x324, false, gain, "%0.2f"},
        {IDC_CUR_OFFSET_WORK, 9263, -1, 0x2328, true, mv, "%0.1f", -32767, 32767, 0, "Analog Input Signal Offset"},
        {IDC_CUR_OFFSET_DRIVE, 9263, -1, 0x324, false, mv, "%0.1f"},
        {IDC_CUR_DEADBAND_WORK, 9252, -1, 0x2328, true, mv, "%0.1f", -32767, 32767, 0, "Analog Input Dead Band"},
        {IDC_CUR_DEADBAND_DRIVE, 9252, -1, 0x324, false, mv, "%0.1f"},
        {IDC_CUR_AUX_GAIN_WORK, 1075, -1, 0x2328, true, gain, "%0.2f", -32767, 32767, 0,
         "Aux Analog Input Signal Gain"},
        {IDC_CUR_AUX_GAIN_DRIVE, 1075, -1, 0x324, false, gain, "%0.2f"},
        {IDC_CUR_AUX_OFFSET_WORK, 1071, -1, 0x2328, true, mv, "%0.1f", -32767, 32767, 0,
         "Aux Analog Input Signal Offset"},
        {IDC_CUR_AUX_OFFSET_DRIVE, 1071, -1, 0x324, false, mv, "%0.1f"},
    };
    for (int i = 0; i < 10; ++i)
        B::BindEdit(*this, m_edits[i], rows[i]);
    m_braking.Bind(*this, {IDC_CUR_BRAKING_WORK, IDC_CUR_BRAKING_DRIVE, IDC_CUR_FET_WORK, IDC_CUR_FET_DRIVE}, group);
}

int CQvxGuiAmpCurModePpg::LastMode() const
{
    LONG mode = 0;
    return m_mode.GetValue(mode) ? static_cast<int>(mode) : 0;
}

int CQvxGuiAmpCurModePpg::PrepareQueries()
{
    if (GetDrive() == -1)
        return 0;
    if (m_followedDrive != GetDrive()) {
        CModeControlBinder::FollowDriveConversions(*this, m_edits, 10, {GPD_AMPTOENGIOMILIVOLTS_INPUT});
        m_followedDrive = GetDrive();
    }
    double mv = 0;
    if (!GetGlobalParameterValue(-1, GPD_AMPTOENGIOMILIVOLTS_INPUT, mv))
        return 0;
    m_spins.SetStep(IDC_CUR_OFFSET_SPIN, std::max(mv, 0.01));
    m_spins.SetStep(IDC_CUR_AUX_OFFSET_SPIN, std::max(mv, 0.1));
    m_spins.SetStep(IDC_CUR_DEADBAND_SPIN, std::max(mv, 0.1));
    return 1;
}

int CQvxGuiAmpCurModePpg::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    CModeControlBinder::QueryHardware(m_hardware, address, kHardwareIndex, 0);
    m_mode.Query(address, kModeWordCode, 0, CModeControlBinder::kQueryFlags);
    return CModeControlBinder::SubscribeAndRestartPolling(*this);
}

void CQvxGuiAmpCurModePpg::OnEnableBitChanged(int bit)
{
    CGuiUpdatePpg::OnEnableBitChanged(bit);
    UpdateEnables();
}

void CQvxGuiAmpCurModePpg::ProcessResponses()
{
    CGuiUpdatePpg::ProcessResponses();
    if (m_mode.HasChanged(1))
        ShowModeReply();
    if (m_hardware.HasChanged(1))
        UpdateEnables();
}

void CQvxGuiAmpCurModePpg::ShowModeReply()
{
    const int mode = LastMode();
    CheckDlgButton(IDC_CUR_TWO_PHASE, (mode & CDriveModeWord::kTwoPhase) ? BST_CHECKED : BST_UNCHECKED);
    if (mode & (CDriveModeWord::kVelocity | CDriveModeWord::kPosition)) {
        // Another loop is closed: only the braking settings still apply.
        m_controls.StopPollingAll();
        m_controls.ClearAll();
        m_braking.RestartPolling();
    } else {
        m_controls.RestartPollingAll();
    }
    const char* unit = (mode & CDriveModeWord::kPosition) ? "" : (mode & CDriveModeWord::kVelocity) ? "rpm/volt" : "amp/volt";
    SetDlgItemText(IDC_CUR_GAIN_UNIT, unit);
    m_auxShown = true;  // the auxiliary rows follow the box again
    UpdateEnables();
}

void CQvxGuiAmpCurModePpg::EnableIds(std::initializer_list<int> ids, bool on)
{
    for (int id : ids)
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(on);
}

void CQvxGuiAmpCurModePpg::ShowAuxiliary(bool on)
{
    EnableIds({IDC_CUR_AUX_GROUP, IDC_CUR_AUX_GAIN_LABEL, IDC_CUR_AUX_GAIN_WORK, IDC_CUR_AUX_GAIN_SPIN,
               IDC_CUR_AUX_GAIN_DRIVE, IDC_CUR_AUX_GAIN_UNIT, IDC_CUR_AUX_OFFSET_LABEL, IDC_CUR_AUX_OFFSET_WORK,
               IDC_CUR_AUX_OFFSET_SPIN, IDC_CUR_AUX_OFFSET_DRIVE, IDC_CUR_AUX_OFFSET_UNIT},
              on);
    if (on == m_auxShown)
        return;
    m_auxShown = on;
    for (int i = 6; i < 10; ++i) {
        if (on) {
            m_edits[i].RestartPolling();
        } else {
            // Without two-phase mode the auxiliary input means nothing: no stale values.
            m_edits[i].EnablePolling(0);
            m_edits[i].ClearValue();
        }
    }
}

void CQvxGuiAmpCurModePpg::UpdateEnables()
{
    if (!GetSafeHwnd())
        return;
    const int mode = LastMode();
    const bool baseMode = !(mode & (CDriveModeWord::kVelocity | CDriveModeWord::kPosition));
    LONG hardware = 0;
    const bool twoPhaseHardware = m_hardware.GetValue(hardware) && (hardware & kTwoPhaseHardwareBit);
    const bool driveEnabled = GetEnableBit() != 0;
    EnableIds({IDC_CUR_TWO_PHASE}, baseMode && twoPhaseHardware);
    EnableIds({IDC_CUR_ANALOG_GROUP, IDC_CUR_GAIN_LABEL, IDC_CUR_GAIN_WORK, IDC_CUR_GAIN_SPIN, IDC_CUR_GAIN_DRIVE,
               IDC_CUR_GAIN_UNIT, IDC_CUR_OFFSET_LABEL, IDC_CUR_OFFSET_WORK, IDC_CUR_OFFSET_SPIN, IDC_CUR_OFFSET_DRIVE,
               IDC_CUR_OFFSET_UNIT, IDC_CUR_DEADBAND_LABEL, IDC_CUR_DEADBAND_WORK, IDC_CUR_DEADBAND_SPIN,
               IDC_CUR_DEADBAND_DRIVE, IDC_CUR_DEADBAND_UNIT},
              baseMode);
    ShowAuxiliary(IsChecked(IDC_CUR_TWO_PHASE));
    EnableIds({IDC_CUR_ENABLE, IDC_CUR_FET_DRIVE, IDC_CUR_BRAKING_DRIVE}, false);
    EnableIds({IDC_CUR_BRAKING_WORK, IDC_CUR_FET_LABEL, IDC_CUR_BRAKE_WORK_LABEL, IDC_CUR_BRAKE_DRIVE_LABEL,
               IDC_CUR_FET_WORK},
              !driveEnabled);
}

void CQvxGuiAmpCurModePpg::OnTwoPhaseClicked()
{
    const bool checked = IsChecked(IDC_CUR_TWO_PHASE);
    LONG last = 0;
    if (GetDrive() == -1 || !m_mode.GetValue(last)) {
        CGuiUpdateItem::MessageBox(CModeControlBinder::kRetry, MB_OK, 0, 0);
        CheckDlgButton(IDC_CUR_TWO_PHASE, checked ? BST_UNCHECKED : BST_CHECKED);
    } else {
        SendCommand(static_cast<BYTE>(GetDrive()), kModeWordCode, CDriveModeWord::TwoPhase(static_cast<int>(last), checked));
    }
    UpdateEnables();
}

void CQvxGuiAmpCurModePpg::OnSendBraking()
{
    if (CModeBrakingControls::ConfirmSend(*this))
        SendGroup(kBrakingGroup);
}

BOOL CQvxGuiAmpCurModePpg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (m_spins.OnNotify(lParam, result))
        return TRUE;
    return CGuiUpdatePpg::OnNotify(wParam, lParam, result);
}

#include "setup/motor/windows/QvxGuiAmpPosModePpg.h"

#include <cmath>

#include "foundation/DPropertyList.h"
#include "setup/motor/DriveModeWord.h"
#include "setup/motor/ElectronicGearing.h"
#include "setup/motor/windows/GearingEditRows.h"
#include "setup/motor/windows/ModeControlBinder.h"

IMPLEMENT_DYNAMIC(CQvxGuiAmpPosModePpg, CGuiUpdatePpg)

BEGIN_MESSAGE_MAP(CQvxGuiAmpPosModePpg, CGuiUpdatePpg)
    ON_BN_CLICKED(IDC_POS_ENABLE, &CQvxGuiAmpPosModePpg::OnEnableClicked)
    ON_BN_CLICKED(IDC_POS_DIGITAL, &CQvxGuiAmpPosModePpg::OnDigitalClicked)
    ON_BN_CLICKED(IDC_POS_PULSE, &CQvxGuiAmpPosModePpg::OnPulseClicked)
    ON_BN_CLICKED(IDC_POS_TYPE_PULSE_DIR, &CQvxGuiAmpPosModePpg::OnPulseDirClicked)
    ON_BN_CLICKED(IDC_POS_TYPE_CW_CCW, &CQvxGuiAmpPosModePpg::OnCwCcwClicked)
    ON_BN_CLICKED(IDC_POS_TYPE_QUADRATURE, &CQvxGuiAmpPosModePpg::OnQuadratureClicked)
    ON_BN_CLICKED(IDC_POS_REVERSE, &CQvxGuiAmpPosModePpg::OnReverseClicked)
    ON_BN_CLICKED(IDC_POS_SHOW_CALCULATED, &CQvxGuiAmpPosModePpg::OnShowCalculatedClicked)
    ON_BN_CLICKED(IDC_POS_SEND_GEARING, &CQvxGuiAmpPosModePpg::OnSendGearing)
END_MESSAGE_MAP()

namespace {
constexpr WORD kPollMs = 200;
constexpr WORD kHardwareIndex = 14;
constexpr const char* kDisableFirst = "Please disable drive before sending values to drive";
constexpr const char* kShowCalculatedKey = "SHOWCALCULATED";
constexpr int kCalculated[] = {IDC_POS_RATIO_LABEL, IDC_POS_FACTOR_LABEL, IDC_POS_RATIO_WORK,
                               IDC_POS_RATIO_DRIVE, IDC_POS_FACTOR_WORK,  IDC_POS_FACTOR_DRIVE};
}  // namespace

CQvxGuiAmpPosModePpg::CQvxGuiAmpPosModePpg() : CGuiUpdatePpg(IDD)
{
    m_statusFlags = kStatusWord | kStatusFault;
    SetCaption("Position");
}

BOOL CQvxGuiAmpPosModePpg::OnInitDialog()
{
    CGuiUpdatePpg::OnInitDialog();
    UpdateEnables();
    UpdateCaption();
    return TRUE;
}

void CQvxGuiAmpPosModePpg::BindControls()
{
    const int g = kGearingGroup;
    const ModeEditRow rows[8] = {
        {IDC_POS_GEAR_OUT_WORK, kGearOutCode, -1, 0x2328, true, -1, "%0.0f", -32768, 32767, g, "Gear Out"},
        {IDC_POS_GEAR_OUT_DRIVE, kGearOutCode, -1, 0x104, false, -1, "%0.0f", -32768, 32767, g},
        {IDC_POS_GEAR_IN_WORK, kGearInCode, -1, 0x2308, true, -1, "%0.0f", 1, 32767, g, "Gear In"},
        {IDC_POS_GEAR_IN_DRIVE, kGearInCode, -1, 0x104, false, -1, "%0.0f", 1, 32767, g},
        {IDC_POS_RATIO_WORK, 0, -1, 0x2120, false, -1, "%0.4f", -32767, 32767, 0},
        {IDC_POS_RATIO_DRIVE, 0, -1, 0x124, false, -1, "%0.4f", -32767, 32767, 0},
        {IDC_POS_FACTOR_WORK, kGearFactorCode, -1, 0x2328 | kCtrlConvertCustomSend, true, -1, "%0.0f", 0,
         4294967295.0, g, "Gear In Factor"},
        {IDC_POS_FACTOR_DRIVE, 0, -1, 0x124, false, -1, "%0.0f", 0, 4294967295.0, 0},
    };
    for (int i = 0; i < 8; ++i)
        CModeControlBinder::BindEdit(*this, m_edits[i], rows[i]);
    CGearingEditRows::BindCalculated(m_edits, kGearFactorCode);
}

int CQvxGuiAmpPosModePpg::CustomPoll(int id, double& value, CWnd* /*control*/)
{
    return CGearingEditRows::CustomPoll(m_edits, m_factor, id, value);
}

int CQvxGuiAmpPosModePpg::CustomSend(int id, double value, CWnd* /*control*/)
{
    return id == kGearFactorCode ? CModeControlBinder::SendUnsigned(*this, kGearFactorCode, value) : 0;
}

int CQvxGuiAmpPosModePpg::SendGroup(int group)
{
    // Every gearing send, the sheet's whole send among them, waits for a disabled drive.
    if ((group == -1 || group == kGearingGroup) && GetEnableBit()) {
        CGuiUpdateItem::MessageBox(kDisableFirst, MB_OK, 0, IDOK);
        return 0;
    }
    return CModeControlBinder::SendShown(m_controls, group);
}

void CQvxGuiAmpPosModePpg::ExchangeSheetProperties(CDPropertyList& bag, int loading)
{
    if (!loading) {
        bag.SetInt(kShowCalculatedKey, IsChecked(IDC_POS_SHOW_CALCULATED) ? 1 : 0);
        return;
    }
    int show = 0;
    if (!bag.GetInt(kShowCalculatedKey, show) || !GetSafeHwnd())
        return;
    CheckDlgButton(IDC_POS_SHOW_CALCULATED, show ? BST_CHECKED : BST_UNCHECKED);
    UpdateEnables();
}

int CQvxGuiAmpPosModePpg::PrepareQueries()
{
    m_sign = 0;
    m_lastMode = -1;
    return 1;
}

int CQvxGuiAmpPosModePpg::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    m_factor.Query(address, kGearFactorCode, kPollMs, CModeControlBinder::kQueryFlags);
    CModeControlBinder::QueryHardware(m_hardware, address, kHardwareIndex, 0);
    m_mode.Query(address, kModeWordCode, kPollMs, CModeControlBinder::kQueryFlags);
    m_inputType.Query(address, kInputTypeCode, kPollMs, CModeControlBinder::kQueryFlags);
    return CModeControlBinder::SubscribeAndRestartPolling(*this);
}

bool CQvxGuiAmpPosModePpg::LastOf(const CDmQueryVar& query, int& value)
{
    LONG raw = 0;
    if (!query.GetValue(raw))
        return false;
    value = static_cast<int>(raw);
    return true;
}

void CQvxGuiAmpPosModePpg::ClearControls()
{
    m_controls.StopPollingAll();
    m_controls.ClearAll();
}

void CQvxGuiAmpPosModePpg::ShowModeReply(bool& cleared, bool& changed)
{
    int mode = 0;
    LastOf(m_mode, mode);
    const bool first = m_lastMode == -1;
    const int flipped = first ? ~0 : (mode ^ m_lastMode);
    const bool position = (mode & CDriveModeWord::kPosition) != 0;
    const bool pulse = (mode & CDriveModeWord::kPulseFollower) != 0;
    if (flipped & CDriveModeWord::kPosition) {
        CheckDlgButton(IDC_POS_ENABLE, position ? BST_CHECKED : BST_UNCHECKED);
        if (!position) {
            ClearControls();
            cleared = true;
        } else if (pulse) {
            m_controls.RestartPollingAll();
        }
        changed = true;
    }
    if (flipped & CDriveModeWord::kPulseFollower) {
        CheckDlgButton(IDC_POS_PULSE, pulse ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(IDC_POS_DIGITAL, pulse ? BST_UNCHECKED : BST_CHECKED);
        if (!pulse) {
            ClearControls();
            cleared = true;
        } else if (position) {
            m_controls.RestartPollingAll();
        }
        changed = true;
    }
    m_lastMode = mode;
    UpdateCaption();
    UpdateEnables();
}

void CQvxGuiAmpPosModePpg::ShowInputType(bool cleared)
{
    int type = -1;
    if (!cleared && !LastOf(m_inputType, type))
        return;
    const int ids[3] = {IDC_POS_TYPE_PULSE_DIR, IDC_POS_TYPE_CW_CCW, IDC_POS_TYPE_QUADRATURE};
    for (int n = 0; n < 3; ++n)
        CheckDlgButton(ids[n], !cleared && (type & 3) == n ? BST_CHECKED : BST_UNCHECKED);
}

void CQvxGuiAmpPosModePpg::ProcessResponses()
{
    CGuiUpdatePpg::ProcessResponses();
    const int entered = static_cast<int>(std::trunc(m_edits[0].GetSafeHwnd() ? m_edits[0].GetEnteredValue() : 0.0));
    if (entered != m_sign) {
        CheckDlgButton(IDC_POS_REVERSE, entered < 0 ? BST_CHECKED : BST_UNCHECKED);
        m_sign = entered;
    }
    bool cleared = false, changed = false;
    if (m_mode.HasChanged(1))
        ShowModeReply(cleared, changed);
    if (m_inputType.HasChanged(1) || changed)
        ShowInputType(cleared);
    int hardware = 0;
    if (m_hardware.HasChanged(1) && LastOf(m_hardware, hardware))
        SetDlgItemText(IDC_POS_ENABLE, (hardware & 8) ? "Enable (Disables 2-Phase Mode if checked)" : "Enable");
}

void CQvxGuiAmpPosModePpg::UpdateCaption()
{
    SetTabText(this, CDriveModeWord::TabCaption(IsChecked(IDC_POS_ENABLE), "Position"));
}

void CQvxGuiAmpPosModePpg::ShowCalculated(bool show)
{
    for (int id : kCalculated)
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(show ? SW_SHOW : SW_HIDE);
    m_calculatedShown = show;
}

void CQvxGuiAmpPosModePpg::UpdateEnables()
{
    if (!GetSafeHwnd())
        return;
    const bool enable = IsChecked(IDC_POS_ENABLE);
    const bool pulse = IsChecked(IDC_POS_PULSE);
    for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
        const int id = child->GetDlgCtrlID();
        const bool modeRadio = id == IDC_POS_DIGITAL || id == IDC_POS_PULSE;
        child->EnableWindow(id == IDC_POS_ENABLE || (enable && (pulse || modeRadio)));
    }
    // Kept by the page: a page behind another tab shows nothing whatever its rows say.
    const bool show = IsChecked(IDC_POS_SHOW_CALCULATED);
    if (m_calculatedShown != show)
        ShowCalculated(show);
}

bool CQvxGuiAmpPosModePpg::ModeFor(int& last)
{
    if (GetDrive() != -1 && LastOf(m_mode, last))
        return true;
    CGuiUpdateItem::MessageBox(CModeControlBinder::kRetry, MB_OK, 0, 0);
    return false;
}

void CQvxGuiAmpPosModePpg::OnEnableClicked()
{
    const bool checked = IsChecked(IDC_POS_ENABLE);
    int last = 0;
    if (!ModeFor(last)) {
        CheckDlgButton(IDC_POS_ENABLE, checked ? BST_UNCHECKED : BST_CHECKED);
        return;
    }
    SendCommand(static_cast<BYTE>(GetDrive()), kModeWordCode, CDriveModeWord::PositionEnable(last, checked));
}

void CQvxGuiAmpPosModePpg::OnDigitalClicked()
{
    int last = 0;
    if (!ModeFor(last))
        return;
    SendCommand(static_cast<BYTE>(GetDrive()), kModeWordCode, CDriveModeWord::DigitalOnly(last));
    ClearControls();
    UpdateEnables();
}

void CQvxGuiAmpPosModePpg::OnPulseClicked()
{
    int last = 0;
    if (!ModeFor(last))
        return;
    SendCommand(static_cast<BYTE>(GetDrive()), kModeWordCode, CDriveModeWord::PulseFollower(last));
    UpdateEnables();
    m_controls.RestartPollingAll();
}

void CQvxGuiAmpPosModePpg::OnInputTypeClicked(int n)
{
    int last = 0;
    if (GetDrive() == -1 || !LastOf(m_inputType, last)) {
        CGuiUpdateItem::MessageBox(CModeControlBinder::kRetry, MB_OK, 0, 0);
        return;
    }
    SendCommand(static_cast<BYTE>(GetDrive()), kInputTypeCode, CDriveModeWord::InputType(last, n));
}

void CQvxGuiAmpPosModePpg::OnReverseClicked()
{
    const int reversed = CGearingEditRows::ReverseGearOut(m_edits);
    CheckDlgButton(IDC_POS_REVERSE, reversed < 0 ? BST_CHECKED : BST_UNCHECKED);
    m_sign = reversed;
}

void CQvxGuiAmpPosModePpg::OnShowCalculatedClicked() { UpdateEnables(); }

void CQvxGuiAmpPosModePpg::OnSendGearing()
{
    if (GetEnableBit()) {
        CGuiUpdateItem::MessageBox(kDisableFirst, MB_OK, 0, IDOK);
        return;
    }
    if (CGuiUpdateItem::MessageBox("Send gearing values to drive?", MB_YESNO, 0, IDYES) != IDYES)
        return;
    SendGroup(kGearingGroup);
    ResetQueryStages(1, 1, 1);
}

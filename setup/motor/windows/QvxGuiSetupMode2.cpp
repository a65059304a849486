#include "setup/motor/windows/QvxGuiSetupMode2.h"

#include "distribution/parameters/GlobalParameterKinds.h"
#include "setup/motor/windows/ModeControlBinder.h"

IMPLEMENT_DYNCREATE(QvxGuiSetupMode2, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(QvxGuiSetupMode2));

BEGIN_MESSAGE_MAP(QvxGuiSetupMode2, CGuiUpdateDlg)
END_MESSAGE_MAP()

namespace {
constexpr WORD kPollMs = 200;
constexpr const char* kGearInZero =
    "Gear In cannot be zero in Position Loop - Pulse Follower.\n\n    Change it in Encoder Setup to a non-zero value.\n";
}  // namespace

QvxGuiSetupMode2::QvxGuiSetupMode2() : CGuiUpdateDlg(IDD) {}

BOOL QvxGuiSetupMode2::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    BindControls();
    return TRUE;
}

void QvxGuiSetupMode2::BindControls()
{
    for (int i = 0; i < CCommandModeBoxes::kCount; ++i) {
        CQvxGuiCheckboxCtrl& box = m_boxes[i];
        if (!box.GetSafeHwnd())
            box.SubclassDlgItem(kBoxIds[i], this);
        m_controls.AddControl(&box, 0);
        box.SetCustomPollId(i + 1);
        box.m_customSendId = i + 1;
        box.m_sendOnClick = 1;
    }
    ModeEditRow timeout;
    timeout.id = IDC_CMD_PWM_TIMEOUT;
    timeout.code = kPwmTimeoutCode;
    timeout.flags = 0x2100;
    timeout.minimum = 0;
    CModeControlBinder::BindEdit(*this, m_pwmTimeout, timeout);
    m_pwmTimeout.SetDisplayScale(1.0 / 26.0);
}

int QvxGuiSetupMode2::PrepareQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    m_mode.Query(address, kModeWordCode, kPollMs, CModeControlBinder::kQueryFlags);
    m_version.Query(address, kVersionCode, kPollMs, CModeControlBinder::kQueryFlags);
    m_inputType.Query(address, kInputTypeCode, kPollMs, CModeControlBinder::kQueryFlags);
    m_gearIn.Query(address, kGearInCode, kPollMs, CModeControlBinder::kQueryFlags);
    m_cim.Query(address, kCimCode, kPollMs, CModeControlBinder::kQueryFlags);
    return 1;
}

int QvxGuiSetupMode2::InitialUpdate()
{
    for (CQvxGuiCheckboxCtrl& box : m_boxes) {
        box.SetCheck(BST_UNCHECKED);
        box.EnableWindow(FALSE);
    }
    m_pwmTimeout.ClearValue();
    m_pwmTimeout.EnableWindow(FALSE);
    return 1;
}

std::optional<CommandModeState> QvxGuiSetupMode2::State()
{
    LONG mode = 0, type = 0, cim = 0, version = 0;
    CommandModeState state;
    if (!m_mode.GetValue(mode) || !m_inputType.GetValue(type) || !m_cim.GetValue(cim) || !m_version.GetValue(version) ||
        !GetGlobalParameterValue(-1, GPD_CS, state.cs) || !GetGlobalParameterValue(-1, GPD_MDL14, state.mdl14) ||
        !GetGlobalParameterValue(-1, GPD_VER, state.version))
        return std::nullopt;
    state.mode = static_cast<int>(mode);
    state.inputType = static_cast<int>(type);
    state.cim = static_cast<int>(cim);
    return state;
}

int QvxGuiSetupMode2::CustomPoll(int id, double& value, CWnd* /*control*/)
{
    if (id < 1 || id > CCommandModeBoxes::kCount)
        return -2;
    const std::optional<CommandModeState> state = State();
    if (!state)
        return 2;  // the boxes keep their state
    value = CCommandModeBoxes(*state).Checked(id) ? 1.0 : 0.0;
    return 1;
}

int QvxGuiSetupMode2::CustomSend(int id, double value, CWnd* /*control*/)
{
    LONG mode = 0, type = 0;
    if (id < 1 || id > CCommandModeBoxes::kCount || GetDrive() == -1 || !m_mode.GetValue(mode) ||
        !m_inputType.GetValue(type))
        return 0;
    const CommandModeClick click =
        CCommandModeBoxes::Click(id, value != 0.0, static_cast<int>(mode), static_cast<int>(type));
    if (click.recheck) {
        m_boxes[id - 1].SetCheck(BST_CHECKED);
        return 0;
    }
    if (click.uncheckOtherTypes)
        for (int other = 9; other <= 11; ++other)
            if (other != id)
                m_boxes[other - 1].SetCheck(BST_UNCHECKED);
    const BYTE address = static_cast<BYTE>(GetDrive());
    if (click.mode)
        SendCommand(address, kModeWordCode, *click.mode);
    if (click.inputType)
        SendCommand(address, kInputTypeCode, *click.inputType);
    return 1;
}

void QvxGuiSetupMode2::UpdateEnables()
{
    const std::optional<CommandModeState> state = State();
    // Parameters that come after the replies still count as a change.
    m_enablesPending = !state;
    for (int i = 0; i < CCommandModeBoxes::kCount; ++i) {
        const bool on = state && CCommandModeBoxes(*state).Enabled(i + 1);
        if ((m_boxes[i].IsWindowEnabled() != FALSE) != on)
            m_boxes[i].EnableWindow(on);
    }
}

void QvxGuiSetupMode2::CheckGearIn()
{
    LONG gearIn = 0;
    if (m_gearIn.HasChanged(1) && m_gearIn.GetValue(gearIn) && gearIn == 0)
        CGuiUpdateItem::MessageBox(kGearInZero, MB_OK, 0, IDOK);
}

void QvxGuiSetupMode2::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    double cs = 0, csSf = 0;
    if (!GetGlobalParameterValue(-1, GPD_CS, cs) || !GetGlobalParameterValue(-1, GPD_CS_SF, csSf))
        return;
    CheckGearIn();
    const bool changed = (m_version.HasChanged(1) | m_inputType.HasChanged(1) | m_mode.HasChanged(1)) != 0;
    if ((changed || m_enablesPending) && IsWindowVisible())
        UpdateEnables();
}

#include "setup/motor/windows/QvxGuiTrajectoryGen.h"

#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiUpdateList.h"
#include "platform/ui/Button.h"
#include "setup/motor/TrajectoryLimits.h"
#include "setup/motor/windows/ModeControlBinder.h"

IMPLEMENT_DYNCREATE(CQvxGuiTrajectoryGen, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiTrajectoryGen));

BEGIN_MESSAGE_MAP(CQvxGuiTrajectoryGen, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_TRAJ_ACCEL_DISABLED, &CQvxGuiTrajectoryGen::OnAccelDisabled)
    ON_BN_CLICKED(IDC_TRAJ_DECEL_DISABLED, &CQvxGuiTrajectoryGen::OnDecelDisabled)
    ON_BN_CLICKED(IDC_TRAJ_SEND, &CQvxGuiTrajectoryGen::OnSendValues)
END_MESSAGE_MAP()

namespace {
constexpr WORD kPollMs = 200;
constexpr WORD kControlPollMs = 600;
constexpr WORD kHardwareIndex = 14;
constexpr WORD kZeroSpeedCode = 27255;
constexpr WORD kVelocityLimitCode = 716;
}  // namespace

CQvxGuiTrajectoryGen::CQvxGuiTrajectoryGen() : CGuiUpdateDlg(IDD)
{
    m_statusFlags = kStatusMode;
}

BOOL CQvxGuiTrajectoryGen::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    BindControls();
    UpdateEnables();
    if (CWnd* label = GetDlgItem(IDC_TRAJ_ACCEL_LABEL))
        label->SetFocus();
    return FALSE;
}

void CQvxGuiTrajectoryGen::BindEdit(int index, int id, WORD code, int parameter, const char* format, bool working,
                                    bool magnitude, const char* name)
{
    CQvxGuiEditCtrl& edit = m_edits[index];
    edit.SubclassDlgItem(id, this);
    // Listed first: the conversion bindings find the parameter table through the list.
    m_controls.AddControl(&edit, 0);  // sent only with the whole window
    edit.m_flags = working ? 0x2308 : 0x104;
    edit.SetPollRegister(code, kControlPollMs, CModeControlBinder::kQueryFlags);
    if (working) {
        edit.SetWriteRegister(code);
        edit.SetLimits(0, 32767);
        edit.SetControlName(name);
    }
    edit.SetDisplayFormat(format, 0);
    m_formats[index] = format;
    // Shown: drive units times the conversion parameter; sent: entry divided by it.
    edit.BindGlobalParameter(parameter, 0, 0);
    edit.BindValueParameter(parameter, 1, 0);
    edit.m_absolute = magnitude ? 1 : 0;
}

void CQvxGuiTrajectoryGen::BindControls()
{
    BindEdit(0, IDC_TRAJ_ACCEL_WORK, kAccelCode, GPD_AMPTOENGACCELDECELL_GAIN, "%0.2f", true, true, "Acceleration");
    BindEdit(1, IDC_TRAJ_ACCEL_DRIVE, kAccelCode, GPD_AMPTOENGACCELDECELL_GAIN, "%0.2f", false, true, "");
    BindEdit(2, IDC_TRAJ_DECEL_WORK, kDecelCode, GPD_AMPTOENGACCELDECELL_GAIN, "%0.2f", true, true, "Deceleration");
    BindEdit(3, IDC_TRAJ_DECEL_DRIVE, kDecelCode, GPD_AMPTOENGACCELDECELL_GAIN, "%0.2f", false, true, "");
    BindEdit(4, IDC_TRAJ_ZERO_SPEED_WORK, kZeroSpeedCode, GPD_A2E_VEL_GAIN, "%0.2f", true, false, "Zero Speed Window");
    BindEdit(5, IDC_TRAJ_ZERO_SPEED_DRIVE, kZeroSpeedCode, GPD_A2E_VEL_GAIN, "%0.2f", false, false, "");
    BindEdit(6, IDC_TRAJ_VEL_LIMIT_WORK, kVelocityLimitCode, GPD_A2E_VEL_GAIN, "%0.1f", true, false, "Velocity Limit");
    BindEdit(7, IDC_TRAJ_VEL_LIMIT_DRIVE, kVelocityLimitCode, GPD_A2E_VEL_GAIN, "%0.1f", false, false, "");
}

void CQvxGuiTrajectoryGen::OnSendValues()
{
    const CString question = "Press OK to send the following values to the drive:\r\n\r\n" + ListControls();
    if (CGuiUpdateItem::MessageBox(question, MB_OKCANCEL, 0, IDOK) == IDOK)
        SendGroup(-1);
}

int CQvxGuiTrajectoryGen::PrepareQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    m_accel.Query(address, kAccelCode, kPollMs, CModeControlBinder::kQueryFlags);
    m_decel.Query(address, kDecelCode, kPollMs, CModeControlBinder::kQueryFlags);
    CModeControlBinder::QueryHardware(m_hardware, address, kHardwareIndex, kPollMs);
    if (CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr) {
        // The edits were bound before the window had its drive: follow this drive's conversions.
        for (CQvxGuiEditCtrl& edit : m_edits) {
            table->RemoveParameterClient(&edit);
            edit.Initialise();
        }
        // The edits and the sign flip need the gains as well.
        for (int id : {GPD_CS, GPD_MC, GPD_CS_SF, GPD_AMPTOENGACCELDECELL_GAIN, GPD_A2E_VEL_GAIN})
            table->RequestParameterQuery(drive, id);
    }
    return 1;
}

int CQvxGuiTrajectoryGen::InitialUpdate()
{
    const int result = CGuiUpdateDlg::InitialUpdate();
    m_labelsShown = false;
    m_cacheMode = m_cacheCs = m_cacheMc = m_cacheCsSf = 0;
    return result;
}

int CQvxGuiTrajectoryGen::Cs()
{
    int cs = 0;
    GetGlobalParameterInt(GPD_CS, cs);
    return cs;
}

bool CQvxGuiTrajectoryGen::IsChecked(int id) const
{
    return IsDlgButtonChecked(id) == BST_CHECKED;
}

void CQvxGuiTrajectoryGen::UpdateLabels(int cs, int mc)
{
    const TrajectoryLabels labels = CTrajectoryLimits::Labels(cs, GetModeWord(), mc);
    if (labels.acceleration)
        SetDlgItemText(IDC_TRAJ_ACCEL_LABEL, *labels.acceleration);
    if (labels.deceleration)
        SetDlgItemText(IDC_TRAJ_DECEL_LABEL, *labels.deceleration);
    SetDlgItemText(IDC_TRAJ_ZERO_SPEED_LABEL, labels.zeroSpeed);
    SetDlgItemText(IDC_TRAJ_VEL_LIMIT_LABEL, labels.velocityLimit);
}

void CQvxGuiTrajectoryGen::UpdateEnables()
{
    LONG hardware = 0;
    const std::optional<int> hardwareWord =
        m_hardware.GetValue(hardware) ? std::optional<int>(static_cast<int>(hardware)) : std::nullopt;
    const int cs = Cs();
    const bool available = CTrajectoryLimits::LimitsAvailable(hardwareWord, cs, GetModeWord());
    const TrajectoryEnables enables =
        CTrajectoryLimits::Enables(available, cs, IsChecked(IDC_TRAJ_ACCEL_DISABLED), IsChecked(IDC_TRAJ_DECEL_DISABLED));
    const struct {
        int id;
        bool on;
    } states[] = {
        {IDC_TRAJ_VEL_LIMIT_WORK, enables.velocityLimit}, {IDC_TRAJ_VEL_LIMIT_DRIVE, enables.velocityLimit},
        {IDC_TRAJ_ACCEL_WORK, enables.acceleration},      {IDC_TRAJ_ACCEL_DRIVE, enables.acceleration},
        {IDC_TRAJ_ACCEL_LABEL, enables.acceleration},     {IDC_TRAJ_DECEL_WORK, enables.deceleration},
        {IDC_TRAJ_DECEL_DRIVE, enables.deceleration},     {IDC_TRAJ_DECEL_LABEL, enables.deceleration},
        {IDC_TRAJ_ACCEL_DISABLED, enables.disabledBoxes}, {IDC_TRAJ_DECEL_DISABLED, enables.disabledBoxes},
    };
    for (const auto& state : states)
        if (CWnd* control = GetDlgItem(state.id))
            control->EnableWindow(state.on);
}

// The edits show a reply when it arrives; one that came before its conversion
// gain was known is shown again once the gain is.
void CQvxGuiTrajectoryGen::RefreshOnNewGains()
{
    double accelGain = 0, velGain = 0;
    GetGlobalParameterValue(-1, GPD_AMPTOENGACCELDECELL_GAIN, accelGain);
    GetGlobalParameterValue(-1, GPD_A2E_VEL_GAIN, velGain);
    if (accelGain == m_accelGain && velGain == m_velGain)
        return;
    m_accelGain = accelGain;
    m_velGain = velGain;
    for (int i = 0; i < 8; ++i)
        if (!m_edits[i].IsModified())
            m_edits[i].SetDisplayFormat(m_formats[i], 1);
}

void CQvxGuiTrajectoryGen::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    RefreshOnNewGains();
    int cs = 0, mc = 0, csSf = 0;
    if (!GetGlobalParameterInt(GPD_CS, cs) || !GetGlobalParameterInt(GPD_MC, mc) ||
        !GetGlobalParameterInt(GPD_CS_SF, csSf) || !m_accel.HasResponse() || !m_decel.HasResponse())
        return;
    const bool hardwareChanged = m_hardware.HasChanged(1) != 0;
    const int mode = GetModeWord();
    if (!m_labelsShown || hardwareChanged || mode != m_cacheMode || cs != m_cacheCs || mc != m_cacheMc ||
        csSf != m_cacheCsSf) {
        UpdateLabels(cs, mc);
        UpdateEnables();
        m_labelsShown = true;
        m_cacheMode = mode;
        m_cacheCs = cs;
        m_cacheMc = mc;
        m_cacheCsSf = csSf;
    }
    LONG value = 0;
    if (m_accel.HasChanged(1) && m_accel.GetValue(value)) {
        CheckDlgButton(IDC_TRAJ_ACCEL_DISABLED, value < 0 ? BST_CHECKED : BST_UNCHECKED);
        UpdateEnables();
    }
    if (m_decel.HasChanged(1) && m_decel.GetValue(value)) {
        CheckDlgButton(IDC_TRAJ_DECEL_DISABLED, value < 0 ? BST_CHECKED : BST_UNCHECKED);
        UpdateEnables();
    }
}

void CQvxGuiTrajectoryGen::OnDisabledClicked(CDmQueryVar& query, WORD code)
{
    UpdateEnables();
    LONG last = 0;
    if (!query.GetValue(last))
        return;
    double cs = 0, gain = 0;
    if (!GetGlobalParameterValue(-1, GPD_CS, cs) || !GetGlobalParameterValue(-1, GPD_AMPTOENGACCELDECELL_GAIN, gain)) {
        CGuiUpdateItem::MessageBox("Could not receive global values. Please try again", MB_OK, 0, IDOK);
        return;
    }
    if (const std::optional<int> value = CTrajectoryLimits::FlippedLimit(static_cast<int>(last), Cs(), gain))
        SendCommand(static_cast<BYTE>(GetDrive()), code, *value);
}

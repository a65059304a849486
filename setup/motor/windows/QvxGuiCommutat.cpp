#include "setup/motor/windows/QvxGuiCommutat.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "comm/link/CommAppServices.h"
#include "database/QvxDatabaseRecordset.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "foundation/NumberHelpers.h"
#include "foundation/TextHelpers.h"
#include "framework/GuiAppServices.h"
#include "framework/GuiUpdateList.h"
#include "setup/motor/CommutationFormulas.h"

IMPLEMENT_DYNCREATE(CQvxGuiCommutat, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiCommutat));

BEGIN_MESSAGE_MAP(CQvxGuiCommutat, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_COMMUTAT_SEND, &CQvxGuiCommutat::OnSendButton)
    ON_EN_KILLFOCUS(IDC_COMMUTAT_POLES, &CQvxGuiCommutat::OnPolesKillFocus)
    ON_EN_KILLFOCUS(IDC_COMMUTAT_LINES, &CQvxGuiCommutat::OnLinesKillFocus)
    ON_EN_KILLFOCUS(IDC_COMMUTAT_INITIAL_CURRENT, &CQvxGuiCommutat::OnCurrentKillFocus)
    ON_EN_KILLFOCUS(IDC_COMMUTAT_FINAL_CURRENT, &CQvxGuiCommutat::OnCurrentKillFocus)
    ON_BN_CLICKED(IDC_COMMUTAT_LINEAR, &CQvxGuiCommutat::OnLinearClicked)
    ON_BN_CLICKED(IDC_COMMUTAT_ROTARY, &CQvxGuiCommutat::OnRotaryClicked)
    ON_BN_CLICKED(IDC_COMMUTAT_ENCODER_REVERSE, &CQvxGuiCommutat::OnEncoderReverse)
    ON_BN_CLICKED(IDC_COMMUTAT_REVERSE_ROTATION, &CQvxGuiCommutat::OnReverseRotation)
    ON_BN_CLICKED(IDC_COMMUTAT_EXECUTE_AUTOPHASE, &CQvxGuiCommutat::OnExecuteAutoPhasing)
END_MESSAGE_MAP()

const WORD CQvxGuiCommutat::kQueryCodes[kQueryCount] = {432,  3373, 212,  5766, 6322, 3181, 210,
                                                        3596, 7891, 3732, 3378, 6418, 419,  19048};

namespace {
constexpr WORD kQueryMs = 200;
constexpr WORD kControlPollMs = 600;
constexpr BYTE kQueryFlags = 0x60;
constexpr WORD kAutoPhaseCode = 3590;  // CPF
constexpr WORD kPositionCode = 16998;  // PSF
constexpr double kUnlockMs = 1000.0;
constexpr unsigned kWorkFlags = 0x2308;
constexpr unsigned kDerivedFlags = 0x2318;
constexpr unsigned kRampFlags = 0x2388;
constexpr unsigned kDriveFlags = 0x104;
constexpr double kAngleScale = 360.0 / 65534.0;

const char kEnabledRefusal[] = "Motor is Enabled.\nCommutation values not sent to drive.";
const char kTryAgain[] = "Could not send values. Please try again (003)";

// The window's own custom display ids: working ids whose entry the user may edit.
enum CustomId {
    kIdRampEntry = 1, kIdPhaseLead = 2, kIdPhaseLeadDrive = 3, kIdScaling = 4, kIdScalingDrive = 5,
    kIdTicks = 6, kIdTicksDrive = 7, kIdRamp = 8, kIdRampDrive = 9, kIdRollover = 10, kIdPoles = 11,
    kIdPolesDrive = 12, kIdLines = 13, kIdLinesDrive = 14, kIdSendCir = 15, kIdSendCtt = 16, kIdSendMp = 17,
    kIdSendFr = 18, kIdSendCpl = 19, kIdSendCes = 20, kIdCountsPerCycle = 21, kIdCountsPerCycleDrive = 22,
    kIdCycles = 23, kIdSendRsh = 25,
};

struct RowSpec {
    int work, drive;
    WORD code;        // polled and written by the framework; 0: fed by the window
    WORD writeCode;   // what the window's custom send writes (for the confirmation list)
    int showWork, showDrive, send, entry;
    const char* format;
    double low, high;
    const char* name;
    unsigned flags;
    int parameter;    // conversion parameter, -1 none
    double scale;     // fixed display scale (angles)
};

const RowSpec kRows[CQvxGuiCommutat::kRowCount] = {
    {IDC_COMMUTAT_POLES, IDC_COMMUTAT_POLES_DRIVE, 0, 432, kIdPoles, kIdPolesDrive, kIdSendMp, -1, "%0.0f", 2,
     32767, "Number of Poles", kDerivedFlags, -1, 1},
    {IDC_COMMUTAT_LINES, IDC_COMMUTAT_LINES_DRIVE, 0, 210, kIdLines, kIdLinesDrive, kIdSendFr, -1, "%0.0f", 1,
     2147483647.0, "Lines per Revolution", kDerivedFlags, -1, 1},
    {IDC_COMMUTAT_COUNTS_PER_CYCLE, IDC_COMMUTAT_COUNTS_PER_CYCLE_DRIVE, 0, 210, kIdCountsPerCycle,
     kIdCountsPerCycleDrive, kIdSendFr, -1, "%0.2f", 1, 32767, "Counts per CommCycle", kDerivedFlags, -1, 1},
    {IDC_COMMUTAT_SCALING, IDC_COMMUTAT_SCALING_DRIVE, 0, 3251, kIdScaling, kIdScalingDrive, kIdSendCes, -1, "%0.0f",
     1, 4294967295.0, "Scaling", kDerivedFlags, -1, 1},
    {IDC_COMMUTAT_ROLLOVER, IDC_COMMUTAT_ROLLOVER_DRIVE, 3186, 0, kIdRollover, -1, -1, -1, "%0.0f", 1, 32767, "CCR",
     kWorkFlags, -1, 1},
    {IDC_COMMUTAT_CYCLES, IDC_COMMUTAT_CYCLES_DRIVE, 3171, 0, kIdCycles, -1, -1, -1, "%0.0f", 1, 32767,
     "Comm Cycles", kWorkFlags, -1, 1},
    {IDC_COMMUTAT_ANGLE_OFFSET, IDC_COMMUTAT_ANGLE_OFFSET_DRIVE, 3119, 0, -1, -1, -1, -1, "%0.3f", -32767, 32767,
     "Angle Offset", kWorkFlags, -1, kAngleScale},
    {IDC_COMMUTAT_PHASE_LEAD, IDC_COMMUTAT_PHASE_LEAD_DRIVE, 0, 3596, kIdPhaseLead, kIdPhaseLeadDrive, kIdSendCpl,
     -1, "%0.3f", 0, 32767, "Phase Lead", kWorkFlags, -1, 1},
    {IDC_COMMUTAT_INDEX_OFFSET, IDC_COMMUTAT_INDEX_OFFSET_DRIVE, 6447, 0, -1, -1, -1, -1, "%0.3f", -32767, 32767,
     "Index Offset", kWorkFlags, -1, kAngleScale},
    {IDC_COMMUTAT_HALL_OFFSET, IDC_COMMUTAT_HALL_OFFSET_DRIVE, 3343, 0, -1, -1, -1, -1, "%0.3f", -32767, 32767,
     "Hall Signal Offset", kWorkFlags, -1, kAngleScale},
    {IDC_COMMUTAT_PROP_GAIN, IDC_COMMUTAT_PROP_GAIN_DRIVE, 3591, 0, -1, -1, -1, -1, "%0.0f", 0, 32767,
     "Proportional Gain", kWorkFlags, -1, 1},
    {IDC_COMMUTAT_INT_GAIN, IDC_COMMUTAT_INT_GAIN_DRIVE, 3367, 0, -1, -1, -1, -1, "%0.0f", 0, 32767, "Integral Gain",
     kWorkFlags, -1, 1},
    {IDC_COMMUTAT_DERIV_GAIN, IDC_COMMUTAT_DERIV_GAIN_DRIVE, 3207, 0, -1, -1, -1, -1, "%0.0f", 0, 32767,
     "Derivative Gain", kWorkFlags, -1, 1},
    {IDC_COMMUTAT_INITIAL_CURRENT, IDC_COMMUTAT_INITIAL_CURRENT_DRIVE, 3369, 0, -1, -1, -1, -1, "%0.3f", 0, 19660,
     "Initial Current", kWorkFlags, GPD_A2E_CURRENT_GAIN, 1},
    {IDC_COMMUTAT_FINAL_CURRENT, IDC_COMMUTAT_FINAL_CURRENT_DRIVE, 3366, 0, -1, -1, -1, -1, "%0.3f", 1, 19660,
     "Final Current", kWorkFlags, GPD_A2E_CURRENT_GAIN, 1},
    {IDC_COMMUTAT_RAMP_TIME, IDC_COMMUTAT_RAMP_TIME_DRIVE, 0, 3378, kIdRamp, kIdRampDrive, kIdSendCir, kIdRampEntry,
     "%0.3f", -32767, 32767, "Ramping Time", kRampFlags, -1, 1},
    {IDC_COMMUTAT_TIMER_TICKS, IDC_COMMUTAT_TIMER_TICKS_DRIVE, 0, 3732, kIdTicks, kIdTicksDrive, kIdSendCtt, -1,
     "%0.2f", -335, 335, "Timer Ticks", kDerivedFlags, -1, 1},
};

struct RadioPair {
    int value;
    int work, drive;
};
const RadioPair kInitRadios[] = {{3, IDC_COMMUTAT_INIT_HALL, IDC_COMMUTAT_INIT_HALL_DRIVE},
                                 {1, IDC_COMMUTAT_INIT_SMART, IDC_COMMUTAT_INIT_SMART_DRIVE},
                                 {2, IDC_COMMUTAT_INIT_BRUSH, IDC_COMMUTAT_INIT_BRUSH_DRIVE},
                                 {0, IDC_COMMUTAT_INIT_INDUCTION, IDC_COMMUTAT_INIT_INDUCTION_DRIVE},
                                 {4, IDC_COMMUTAT_INIT_TWO_PHASE, IDC_COMMUTAT_INIT_TWO_PHASE_DRIVE}};
const RadioPair kCorrectionRadios[] = {{1, IDC_COMMUTAT_CORR_HALL_EDGE, IDC_COMMUTAT_CORR_HALL_EDGE_DRIVE},
                                       {2, IDC_COMMUTAT_CORR_INDEX_AUTO, IDC_COMMUTAT_CORR_INDEX_AUTO_DRIVE},
                                       {3, IDC_COMMUTAT_CORR_INDEX_MANUAL, IDC_COMMUTAT_CORR_INDEX_MANUAL_DRIVE},
                                       {0, IDC_COMMUTAT_CORR_NONE, IDC_COMMUTAT_CORR_NONE_DRIVE}};
const RadioPair kWaveRadios[] = {{0, IDC_COMMUTAT_WAVE_SINE, IDC_COMMUTAT_WAVE_SINE_DRIVE},
                                 {1, IDC_COMMUTAT_WAVE_TRAP, IDC_COMMUTAT_WAVE_TRAP_DRIVE}};
const RadioPair kFeedbackRadios[] = {{0, IDC_COMMUTAT_FB_ENCODER, IDC_COMMUTAT_FB_ENCODER_DRIVE},
                                     {1, IDC_COMMUTAT_FB_TACH, IDC_COMMUTAT_FB_TACH_DRIVE}};

template <size_t N>
void CheckRadios(CWnd* dlg, const RadioPair (&radios)[N], int work, int drive)
{
    for (const RadioPair& r : radios) {
        dlg->CheckDlgButton(r.work, r.value == work ? BST_CHECKED : BST_UNCHECKED);
        dlg->CheckDlgButton(r.drive, r.value == drive ? BST_CHECKED : BST_UNCHECKED);
    }
}

template <size_t N>
const RadioPair* FindRadio(const RadioPair (&radios)[N], int id)
{
    for (const RadioPair& r : radios)
        if (r.work == id)
            return &r;
    return nullptr;
}

void Enable(CWnd* dlg, int id, bool on)
{
    if (CWnd* control = dlg->GetDlgItem(id))
        control->EnableWindow(on);
}

void Show(CWnd* dlg, int id, bool on)
{
    if (CWnd* control = dlg->GetDlgItem(id))
        control->ShowWindow(on ? SW_SHOW : SW_HIDE);
}

double NowMs()
{
    CCommAppServices* app = CCommAppServices::Get();
    return app ? app->GetGlobalSeconds() * 1000.0 : 0.0;
}
}  // namespace

CQvxGuiCommutat::CQvxGuiCommutat() : CGuiUpdateDlg(IDD)
{
    m_statusFlags = kStatusMode | kStatusWord | kStatusFault;
}

CQvxGuiCommutat::~CQvxGuiCommutat() = default;

// ---------------------------------------------------------------------------
BOOL CQvxGuiCommutat::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    BindControls();
    SetEnableButton(GetDlgItem(IDC_COMMUTAT_ENABLE_DRIVE));
    if (CWnd* label = GetDlgItem(IDC_COMMUTAT_LINEAR_LABEL))
        label->SetFocus();
    m_suppressPhaseLead = false;
    m_recordset = AppFindRecordset("MotorByPartNum");
    if (m_recordset) {
        m_work[kPoles].BindRecordsetField(m_recordset, "NumPoles");
        m_work[kLines].BindRecordsetField(m_recordset, "LinesPerRev");
        SetRecordset(nullptr);
        SetRecordset(m_recordset);
    }
    UpdateEnables();
    return FALSE;
}

void CQvxGuiCommutat::BindRow(Row row)
{
    const RowSpec& spec = kRows[row];
    for (int column = 0; column < 2; ++column) {
        const bool working = column == 0;
        CQvxGuiEditCtrl& edit = working ? m_work[row] : m_drive[row];
        edit.SubclassDlgItem(working ? spec.work : spec.drive, this);
        // Listed first: the conversion bindings find the parameter table through the list.
        m_controls.AddControl(&edit, -1);
        edit.m_flags = working ? spec.flags : kDriveFlags;
        const int show = working ? spec.showWork : spec.showDrive;
        if (show != -1)
            edit.SetCustomPollId(show);
        else if (spec.code)
            edit.SetPollRegister(spec.code, kControlPollMs, kQueryFlags);
        if (working) {
            const WORD writes = spec.code ? spec.code : spec.writeCode;
            if (writes)
                edit.SetWriteRegister(writes);
            edit.SetControlName(spec.name);
            edit.SetLimits(spec.low, spec.high);
            edit.m_customSendId = spec.send;
            edit.m_customConversionId = spec.entry;
        }
        edit.SetDisplayFormat(spec.format, 0);
        if (spec.parameter != -1) {
            edit.BindGlobalParameter(spec.parameter, 0, 0);
            edit.BindValueParameter(spec.parameter, 1, 0);
        } else if (spec.scale != 1) {
            edit.SetDisplayScale(spec.scale);
            edit.SetValueScale(1.0 / spec.scale);
        }
    }
}

void CQvxGuiCommutat::BindSimulatedHall()
{
    m_simHall.SubclassDlgItem(IDC_COMMUTAT_SIM_HALL, this);
    m_controls.AddControl(&m_simHall, -1);
    m_simHall.m_flags = 0x1100 | kCtrlManualPolling;
    m_simHall.m_bitMask = 1;
    m_simHall.SetPollRegister(19048, kQueryMs, kQueryFlags);
    m_simHall.SetWriteRegister(19048);
    m_simHall.m_customSendId = kIdSendRsh;
    m_simHall.SetControlName("Simulated Hall");

    m_simHallDrive.SubclassDlgItem(IDC_COMMUTAT_SIM_HALL_DRIVE, this);
    m_controls.AddControl(&m_simHallDrive, -1);
    m_simHallDrive.m_flags |= kCtrlManualPolling;
    m_simHallDrive.m_bitMask = 1;
    m_simHallDrive.SetPollRegister(19048, kQueryMs, kQueryFlags);
}

void CQvxGuiCommutat::BindControls()
{
    for (int row = 0; row < kRowCount; ++row)
        BindRow(static_cast<Row>(row));
    m_position.SubclassDlgItem(IDC_COMMUTAT_POSITION, this);
    m_controls.AddControl(&m_position, -1);
    m_position.m_flags = kDriveFlags;
    m_position.SetPollRegister(kPositionCode, 100, 0);
    BindSimulatedHall();
}

// ---------------------------------------------------------------------------
int CQvxGuiCommutat::PrepareQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    if (CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr) {
        // The edits were bound before the window had its drive: follow this drive's conversions.
        for (int row = 0; row < kRowCount; ++row)
            for (CQvxGuiEditCtrl* edit : {&m_work[row], &m_drive[row]}) {
                table->RemoveParameterClient(edit);
                edit->Initialise();
            }
        for (int id : {GPD_CS, GPD_MC, GPD_SERVO_FREQ_I, GPD_A2E_CURRENT_GAIN, GPD_MDL14, GPD_VER})
            table->RequestParameterQuery(drive, id);
    }
    for (int q = 0; q < kQueryCount; ++q)
        m_queries[q].Query(address, kQueryCodes[q], kQueryMs, kQueryFlags);
    return 1;
}

// One of the window's own writes: read the register again so the window follows it.
void CQvxGuiCommutat::Reread(Query q)
{
    m_queries[q].Query(static_cast<BYTE>(GetDrive()), kQueryCodes[q], kQueryMs, kQueryFlags);
}

bool CQvxGuiCommutat::Answered(Query q) const
{
    return m_queries[q].HasResponse() != 0;
}

bool CQvxGuiCommutat::Value(Query q, LONG& value) const
{
    return m_queries[q].GetValue(value);
}

bool CQvxGuiCommutat::Parameter(int id, double& value)
{
    return GetGlobalParameterValue(-1, id, value);
}

int CQvxGuiCommutat::InitialUpdate()
{
    LONG cim = 0, ccm = 0, ft = 0, etf = 0, fer = 0, mc = 0;
    double hardware = 0, version = 0;
    if (!Value(kCIM, cim) || !Value(kCCM, ccm) || !Value(kFT, ft) || !Value(kETF, etf) || !Value(kFER, fer) ||
        !Value(kMC, mc) || !Parameter(GPD_MDL14, hardware) || !Parameter(GPD_VER, version))
        return 0;
    // The working settings are the drive's until the user changes them: a send
    // without changes writes back what the drive holds.
    m_initMethod = m_driveInitMethod = cim;
    m_correction = m_driveCorrection = ccm;
    m_waveform = m_driveWaveform = ft;
    m_feedback = m_driveFeedback = etf;
    m_motorKind = m_driveMotorKind = mc;
    m_encoderReverse = fer == 1;
    CheckDlgButton(IDC_COMMUTAT_ENCODER_REVERSE, m_encoderReverse ? BST_CHECKED : BST_UNCHECKED);
    const int word = static_cast<int>(hardware);
    m_twoPhaseAllowed = (word & 0x8) != 0;
    m_phaseLeadStale[0] = m_phaseLeadStale[1] = true;
    m_phaseLead[0] = m_phaseLead[1] = 0.0;
    m_initialStampMs = NowMs();
    for (Row row : {kPoles, kRampTime, kTimerTicks})
        m_work[row].SetModified(0);
    const bool resolver = version >= 4.14 - 1e-9 && (word & 0x80) != 0;
    for (int id : {IDC_COMMUTAT_RESOLVER_GROUP, IDC_COMMUTAT_RESOLVER_TEXT, IDC_COMMUTAT_SIM_HALL,
                   IDC_COMMUTAT_SIM_HALL_DRIVE, IDC_COMMUTAT_RESOLVER_WORKING, IDC_COMMUTAT_RESOLVER_DRIVE})
        Show(this, id, resolver);
    m_simHall.EnablePolling(resolver);
    m_simHallDrive.EnablePolling(resolver);
    return CGuiUpdateDlg::InitialUpdate();
}

// ---------------------------------------------------------------------------
void CQvxGuiCommutat::RebuildMotors()
{
    LONG mp = 0, fr = 0;
    Value(kMP, mp);
    Value(kFR, fr);
    const int rollover = static_cast<int>(m_drive[kRollover].GetRawValue());
    const int cycles = static_cast<int>(m_drive[kCycles].GetRawValue());
    m_workLinear = std::make_unique<CLinearMotor>(mp, rollover, fr, cycles);
    m_workRotary = std::make_unique<CRotaryMotor>(mp, rollover, fr, cycles);
    m_driveLinear = std::make_unique<CLinearMotor>(mp, rollover, fr, cycles);
    m_driveRotary = std::make_unique<CRotaryMotor>(mp, rollover, fr, cycles);
    m_phaseLeadStale[0] = m_phaseLeadStale[1] = true;
}

bool CQvxGuiCommutat::MotorsReady()
{
    double kind = 0;
    return m_workLinear && m_workRotary && m_driveLinear && m_driveRotary && Parameter(GPD_MC, kind);
}

CAbstractMotor* CQvxGuiCommutat::WorkingMotor()
{
    if (m_motorKind == 1)
        return m_workLinear.get();
    return m_workRotary.get();
}

CAbstractMotor* CQvxGuiCommutat::DriveMotor()
{
    int kind = 0;
    GetGlobalParameterInt(GPD_MC, kind);
    if (kind == 1)
        return m_driveLinear.get();
    return m_driveRotary.get();
}

void CQvxGuiCommutat::SetLinesFormat(int kind, CQvxGuiEditCtrl& edit)
{
    if (kind == 1) {
        edit.SetDisplayFormat("%0.2f", 0);
        edit.SetDisplayScale(0.01);
        edit.SetLimits(0.01, 21474836.47);
    } else {
        edit.SetDisplayFormat("%0.0f", 0);
        edit.SetDisplayScale(1.0);
        edit.SetLimits(1, 2147483647.0);
    }
}

void CQvxGuiCommutat::ShowKindLabels(int kind)
{
    const bool linear = kind == 1;
    SetDlgItemText(IDC_COMMUTAT_POLES_LABEL, linear ? "Pole Pitch (0.01 mm):" : "Number of Poles:");
    SetDlgItemText(IDC_COMMUTAT_LINES_LABEL, linear ? "Resolution (um):" : "Lines per Revolution:");
    SetDlgItemText(IDC_COMMUTAT_PHASE_LEAD_LABEL, linear ? "Phase Lead (deg/m/sec):" : "Phase Lead (deg/krpm):");
}

void CQvxGuiCommutat::ShowDriveKind(int kind)
{
    ShowKindLabels(kind);
    SetLinesFormat(kind, m_work[kLines]);
    SetLinesFormat(kind, m_drive[kLines]);
    CheckDlgButton(IDC_COMMUTAT_LINEAR, kind == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_COMMUTAT_LINEAR_DRIVE, kind == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_COMMUTAT_ROTARY, kind == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_COMMUTAT_ROTARY_DRIVE, kind == 0 ? BST_CHECKED : BST_UNCHECKED);
}

void CQvxGuiCommutat::CheckSettingRadios()
{
    int cs = 0;
    GetGlobalParameterInt(GPD_CS, cs);
    CheckDlgButton(IDC_COMMUTAT_ENABLE_AUTOPHASE, BST_UNCHECKED);
    CheckRadios(this, kInitRadios, cs == 6 ? -1 : m_initMethod, cs == 6 ? -1 : m_driveInitMethod);
    CheckRadios(this, kWaveRadios, m_waveform, m_driveWaveform);
    CheckRadios(this, kCorrectionRadios, m_correction, m_driveCorrection);
    if (cs > 15)
        CheckRadios(this, kFeedbackRadios, m_feedback, m_driveFeedback);
}

// Reads the drive's settings into the working values when any of them changed.
bool CQvxGuiCommutat::ReadDriveSettings()
{
    bool changed = false;
    for (Query q : {kMP, kFR, kCIM, kCCM, kFT, kETF, kMC})
        changed = (m_queries[q].HasChanged(1) != 0) || changed;
    if (!changed)
        return false;
    LONG mc = 0, cim = 0, ccm = 0, ft = 0, etf = 0, fer = 0;
    Value(kMC, mc);
    Value(kCIM, cim);
    Value(kCCM, ccm);
    Value(kFT, ft);
    Value(kETF, etf);
    Value(kFER, fer);
    m_motorKind = m_driveMotorKind = mc;
    m_initMethod = m_driveInitMethod = cim;
    m_correction = m_driveCorrection = ccm;
    m_waveform = m_driveWaveform = ft;
    m_feedback = m_driveFeedback = etf;
    m_encoderReverse = fer == 1;
    return true;
}

void CQvxGuiCommutat::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    double cs = 0;
    for (Query q : {kMP, kFR, kCIM, kCCM, kCPL, kFT, kETF, kFER, kMC})
        if (!Answered(q))
            return;
    if (!Parameter(GPD_CS, cs) || m_drive[kRollover].GetState() != 3 || m_drive[kCycles].GetState() != 3)
        return;
    if (m_queries[kCPL].HasChanged(1))
        m_phaseLeadStale[0] = m_phaseLeadStale[1] = true;
    if (m_queries[kFER].HasChanged(1)) {
        LONG fer = 0;
        Value(kFER, fer);
        m_encoderReverse = fer == 1;
        CheckDlgButton(IDC_COMMUTAT_ENCODER_REVERSE, m_encoderReverse ? BST_CHECKED : BST_UNCHECKED);
    }
    const bool motorChanged = m_queries[kMP].HasChanged(0) || m_queries[kFR].HasChanged(0) ||
                              m_queries[kMC].HasChanged(0) || !m_workRotary;
    if (ReadDriveSettings()) {
        if (motorChanged)
            RebuildMotors();
        ShowDriveKind(m_motorKind);
        CheckSettingRadios();
        UpdateEnables();
    }
    UpdateKindRadios();
    ApplyDatabase();
}

void CQvxGuiCommutat::UpdateKindRadios()
{
    const bool unlocked = NowMs() - m_initialStampMs > kUnlockMs;
    Enable(this, IDC_COMMUTAT_LINEAR, unlocked);
    Enable(this, IDC_COMMUTAT_ROTARY, unlocked);
    m_dbAllowed = unlocked;
    Enable(this, IDC_COMMUTAT_ENABLE_AUTOPHASE, m_initMethod == 3);
}

int CQvxGuiCommutat::GetPendingChangesState(int ignored)
{
    if (m_controls.AnyModified())
        return 1;
    if (m_initMethod != m_driveInitMethod || m_waveform != m_driveWaveform || m_feedback != m_driveFeedback ||
        m_motorKind != m_driveMotorKind || m_correction != m_driveCorrection)
        return 1;
    return CGuiUpdateItem::GetPendingChangesState(ignored);
}

// ---------------------------------------------------------------------------
bool CQvxGuiCommutat::ToDriveUnits(CurrentPair& amps)
{
    CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr;
    return table && table->ConvertValue(GetDrive(), GPD_A2E_CURRENT_GAIN, amps.initial, true) &&
           table->ConvertValue(GetDrive(), GPD_A2E_CURRENT_GAIN, amps.final, true);
}

// The working currents in drive units: as typed (entered) or as the controls hold them.
bool CQvxGuiCommutat::WorkingCurrents(CurrentPair& currents, bool entered)
{
    CQvxGuiEditCtrl& initial = m_work[kInitialCurrent];
    CQvxGuiEditCtrl& final = m_work[kFinalCurrent];
    if (initial.GetState() != 3 || final.GetState() != 3)
        return false;
    const auto hold = [](CQvxGuiEditCtrl& edit) {
        CString text;
        edit.GetWindowText(text);
        return text.IsEmpty() ? 0.0 : edit.GetConvertedValue();
    };
    currents.initial = entered ? initial.GetEnteredValue() : hold(initial);
    currents.final = entered ? final.GetEnteredValue() : hold(final);
    return ToDriveUnits(currents);
}

std::optional<double> CQvxGuiCommutat::PhaseLeadShown(bool working)
{
    LONG cpl = 0, gvs = 0;
    double freq = 0, cs = 0;
    int mc = 0;
    if (!Value(kCPL, cpl) || !Value(kGVS, gvs) || !Parameter(GPD_SERVO_FREQ_I, freq) || !Parameter(GPD_CS, cs))
        return std::nullopt;
    LONG driveMc = 0;
    mc = Value(kMC, driveMc) ? static_cast<int>(driveMc) : 0;
    const double lines = (working ? m_work[kLines] : m_drive[kLines]).GetEnteredValue();
    if (!(lines > 0))
        return std::nullopt;
    const PhaseLeadInputs in{mc, static_cast<int>(gvs), lines, freq, static_cast<int>(cs)};
    return CCommutationFormulas::CplToPhaseLead(static_cast<int>(cpl), in);
}

int CQvxGuiCommutat::CustomPoll(int id, double& value, CWnd* control)
{
    auto* edit = dynamic_cast<CQvxGuiEditCtrl*>(control);
    // A working entry not sent yet stays as the user left it.
    if (edit && edit->HasWriteRegister() && edit->IsModified())
        return 2;
    if (!MotorsReady())
        return 0;
    CAbstractMotor* work = WorkingMotor();
    CAbstractMotor* drive = DriveMotor();
    LONG raw = 0;
    switch (id) {
    case kIdPhaseLead:
    case kIdPhaseLeadDrive: {
        const int column = id == kIdPhaseLead ? 0 : 1;
        if (column == 0 && m_work[kLines].GetEnteredValue() != m_phaseLeadLines)
            m_phaseLeadStale[0] = true;
        if (m_phaseLeadStale[column]) {
            if (const std::optional<double> shown = PhaseLeadShown(column == 0)) {
                m_phaseLead[column] = *shown;
                m_phaseLeadStale[column] = false;
                if (column == 0)
                    m_phaseLeadLines = m_work[kLines].GetEnteredValue();
            }
        }
        value = m_phaseLead[column];
        return 1;
    }
    case kIdScaling:
        if (m_motorKind == 1) {
            work->UpdateCounts();
            work->ComputeScaling(1, work->m_counts > 0 ? 1 : 0);
        } else {
            work->ComputeScaling(0, 0);
        }
        value = work->m_scaling;
        return work->m_scaling > 0 ? 1 : -1;
    case kIdScalingDrive: {
        int kind = 0;
        GetGlobalParameterInt(GPD_MC, kind);
        value = drive->ComputeScaling(kind, 1);
        return value > 0 ? 1 : -1;
    }
    case kIdTicks:
    case kIdTicksDrive:
        if (!Value(kCTT, raw))
            return 0;
        value = CCommutationFormulas::TimerTickSeconds(static_cast<int>(raw));
        return 1;
    case kIdRamp: {
        CurrentPair currents;
        if (!Value(kCIR, raw) || !WorkingCurrents(currents, false))
            return 0;
        const std::optional<double> seconds =
            CCommutationFormulas::RampSeconds(static_cast<int>(raw), currents.initial, currents.final);
        if (!seconds)
            return -1;
        value = *seconds;
        return 1;
    }
    case kIdRampDrive: {
        if (!Value(kCIR, raw) || m_drive[kInitialCurrent].GetState() != 3 || m_drive[kFinalCurrent].GetState() != 3)
            return 0;
        const std::optional<double> seconds = CCommutationFormulas::RampSeconds(
            static_cast<int>(raw), m_drive[kInitialCurrent].GetRawValue(), m_drive[kFinalCurrent].GetRawValue());
        if (!seconds)
            return -1;
        value = *seconds;
        return 1;
    }
    case kIdRollover:
        value = work->UpdateCounts();
        return value > 0 ? 1 : -1;
    case kIdPoles: value = work->m_poleValue; return 1;
    case kIdPolesDrive: value = drive->m_poleValue; return 1;
    case kIdLines: value = work->m_lineValue; return 1;
    case kIdLinesDrive: value = drive->m_lineValue; return 1;
    case kIdCountsPerCycle: work->UpdateCounts(); value = work->UpdateCountsPerCycle(); return 1;
    case kIdCountsPerCycleDrive: value = drive->UpdateCountsPerCycle(); return 1;
    case kIdCycles: value = work->ComputeCycles(); return value > 0 ? 1 : -1;
    default: return -2;
    }
}

// ---------------------------------------------------------------------------
int CQvxGuiCommutat::CustomSend(int id, double value, CWnd* /*control*/)
{
    LONG ccm = 0, cim = 0, gvs = 0, mc = 0;
    double gain = 0, cs = 0, freq = 0;
    if (!Value(kCCM, ccm) || !Value(kCIM, cim) || !Value(kGVS, gvs) || !Parameter(GPD_A2E_CURRENT_GAIN, gain) ||
        !Parameter(GPD_CS, cs) || !Parameter(GPD_SERVO_FREQ_I, freq) || !m_workRotary)
        return 0;
    const BYTE address = static_cast<BYTE>(GetDrive());
    CAbstractMotor* work = WorkingMotor();
    std::optional<LONG> out;
    WORD code = 0;
    switch (id) {
    case kIdSendCir: {
        CurrentPair currents;
        code = 3378;
        if (WorkingCurrents(currents, false))
            if (const std::optional<int> cir = CCommutationFormulas::RampCir(value, currents.initial, currents.final))
                out = *cir;
        break;
    }
    case kIdSendCtt:
        code = 3732;
        if (const std::optional<int> ticks = CCommutationFormulas::TimerTicks(value))
            out = *ticks;
        break;
    case kIdSendMp: code = 432; out = work->m_poleValue; break;
    case kIdSendFr: code = 210; out = static_cast<LONG>(work->m_lineValue); break;
    case kIdSendCpl: {
        code = 3596;
        if (m_suppressPhaseLead) {
            m_suppressPhaseLead = false;
            return 0;
        }
        Value(kMC, mc);
        const PhaseLeadInputs in{static_cast<int>(mc), static_cast<int>(gvs), m_work[kLines].GetEnteredValue(), freq,
                                 static_cast<int>(cs)};
        out = CCommutationFormulas::PhaseLeadToCpl(value, in);
        break;
    }
    case kIdSendCes: {
        code = 3251;
        const DWORD scaling = work->ComputeScaling(m_motorKind == 1 ? 1 : 0, 1);
        if (scaling > 0)
            out = static_cast<LONG>(scaling);
        break;
    }
    case kIdSendRsh: {
        LONG rsh = 0;
        code = 19048;
        if (Value(kRSH, rsh))
            out = m_simHall.GetCheck() ? (rsh | 1) : (rsh & ~1L);
        break;
    }
    default: return 0;
    }
    if (!out)
        return 0;
    SendCommand(address, code, *out);
    return 1;
}

// Ramping time entry: limited to what CIR 0..32767 gives, then to a whole CIR step.
int CQvxGuiCommutat::CustomConvert(int id, double& value, CWnd* /*control*/)
{
    if (id != kIdRampEntry)
        return 0;
    CurrentPair held, entered;
    if (!WorkingCurrents(held, false) || !WorkingCurrents(entered, true))
        return 0;
    const std::optional<double> low = CCommutationFormulas::RampSeconds(0, held.initial, held.final);
    const std::optional<double> high =
        CCommutationFormulas::RampSeconds(CCommutationFormulas::kMaxCir, held.initial, held.final);
    if (!low || !high)
        return 0;
    if (value < *low || value > *high || !std::isfinite(value)) {
        CGuiUpdateItem::MessageBox(FormatRangeMessage("Ramping Time", TRUE, *low, *high), MB_OK, 0, IDOK);
        value = std::isfinite(value) ? std::clamp(value, *low, *high) : *low;
    }
    const std::optional<int> cir = CCommutationFormulas::RampCir(value, entered.initial, entered.final);
    if (!cir)
        return 0;
    const std::optional<double> seconds = CCommutationFormulas::RampSeconds(*cir, held.initial, held.final);
    if (!seconds)
        return 0;
    value = RoundHalfAway(*seconds * 1000.0) / 1000.0;
    return 1;
}

// ---------------------------------------------------------------------------
void CQvxGuiCommutat::ApplyPolesEntry()
{
    if (!m_workRotary || !m_workLinear)
        return;
    CQvxGuiEditCtrl& edit = m_work[kPoles];
    // The edit's own limits first, so that what it shows is what the motor may take.
    edit.CommitEntry();
    const double entered = edit.GetEnteredValue();
    const int v = std::isfinite(entered) ? static_cast<int>(std::clamp(entered, -2147483647.0, 2147483647.0)) : 0;
    const bool rotary = m_motorKind != 1;
    if (rotary) {
        if (const std::optional<int> poles = CCommutationFormulas::KrelnPolesTaken(v, true))
            m_workRotary->m_poleValue = *poles;
    } else {
        m_workLinear->m_poleValue = v;
    }
    CString text;
    text.Format("%d", CCommutationFormulas::KrelnPolesShown(v, rotary));
    edit.SetWindowText(text);
}

void CQvxGuiCommutat::ApplyLinesEntry()
{
    if (!m_workRotary || !m_workLinear)
        return;
    CQvxGuiEditCtrl& edit = m_work[kLines];
    edit.CommitEntry();
    const double entered = edit.GetEnteredValue();
    const bool rotary = m_motorKind != 1;
    CAbstractMotor& motor = rotary ? static_cast<CAbstractMotor&>(*m_workRotary) : *m_workLinear;
    if (const std::optional<double> lines = CCommutationFormulas::KrelnLinesTaken(entered, rotary, motor.m_lineValue))
        motor.m_lineValue = *lines;
    CString text;
    text.Format(rotary ? "%0.0f" : "%0.2f", rotary ? motor.m_lineValue : motor.m_lineValue / 100.0);
    edit.SetWindowText(text);
    m_phaseLeadStale[0] = true;
}

void CQvxGuiCommutat::SwitchKind(int kind)
{
    if (!m_workRotary || !m_workLinear || kind == m_motorKind || !m_workRotary->RecomputeAndCheck(0) ||
        !m_workLinear->RecomputeAndCheck(1)) {
        ShowDriveKind(m_motorKind);
        return;
    }
    int driveKind = 0;
    GetGlobalParameterInt(GPD_MC, driveKind);
    m_motorKind = kind;
    m_work[kPoles].SetModified(0);
    m_work[kLines].SetModified(0);
    m_workRotary->SwitchMotorKind(driveKind, kind);
    m_workLinear->SwitchMotorKind(driveKind, kind);
    SetLinesFormat(kind, m_work[kLines]);
    ShowKindLabels(kind);
    CheckDlgButton(IDC_COMMUTAT_LINEAR, kind == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_COMMUTAT_ROTARY, kind == 0 ? BST_CHECKED : BST_UNCHECKED);
}

void CQvxGuiCommutat::OnCurrentKillFocus()
{
    // A changed current changes the ramp a CIR gives: show the time the new currents give.
    if (!m_work[kInitialCurrent].IsModified() && !m_work[kFinalCurrent].IsModified())
        return;
    LONG cir = 0;
    CurrentPair currents;
    if (!Value(kCIR, cir) || !WorkingCurrents(currents, true))
        return;
    const std::optional<double> seconds =
        CCommutationFormulas::RampSeconds(static_cast<int>(cir), currents.initial, currents.final);
    if (!seconds)
        return;
    CString text;
    text.Format("%0.3f", *seconds);
    m_work[kRampTime].SetValueText(text);
}

// ---------------------------------------------------------------------------
BOOL CQvxGuiCommutat::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED) {
        if (const RadioPair* r = FindRadio(kInitRadios, id)) {
            OnInitMethodClicked(r->value);
            return TRUE;
        }
        if (const RadioPair* r = FindRadio(kCorrectionRadios, id)) {
            m_correction = r->value;
            CheckRadios(this, kCorrectionRadios, m_correction, m_driveCorrection);
            return TRUE;
        }
        if (const RadioPair* r = FindRadio(kWaveRadios, id)) {
            m_waveform = r->value;
            CheckRadios(this, kWaveRadios, m_waveform, m_driveWaveform);
            return TRUE;
        }
        if (const RadioPair* r = FindRadio(kFeedbackRadios, id)) {
            m_feedback = r->value;
            CheckRadios(this, kFeedbackRadios, m_feedback, m_driveFeedback);
            return TRUE;
        }
        if (id == IDC_COMMUTAT_ENABLE_AUTOPHASE) {
            UpdateEnables();
            return TRUE;
        }
    }
    return CGuiUpdateDlg::OnCommand(wParam, lParam);
}

void CQvxGuiCommutat::OnInitMethodClicked(int method)
{
    m_initMethod = method;
    if (method == 0 || method == 1 || method == 2)
        CheckDlgButton(IDC_COMMUTAT_ENABLE_AUTOPHASE, BST_UNCHECKED);
    CheckRadios(this, kInitRadios, m_initMethod, m_driveInitMethod);
    if (method != 4)
        UpdateEnables();
}

void CQvxGuiCommutat::UpdateEnables()
{
    if (IsDlgButtonChecked(IDC_COMMUTAT_ENABLE_AUTOPHASE) == BST_CHECKED && m_initMethod != 3)
        CheckDlgButton(IDC_COMMUTAT_ENABLE_AUTOPHASE, BST_UNCHECKED);
    const bool smart = m_initMethod == 1;
    const bool autoPhase = IsDlgButtonChecked(IDC_COMMUTAT_ENABLE_AUTOPHASE) == BST_CHECKED;
    for (Row row : {kPropGain, kIntGain, kDerivGain}) {
        m_work[row].EnableWindow(smart);
        m_drive[row].EnableWindow(smart);
    }
    for (Row row : {kInitialCurrent, kFinalCurrent, kRampTime, kTimerTicks}) {
        m_work[row].EnableWindow(smart || autoPhase);
        m_drive[row].EnableWindow(smart || autoPhase);
    }
    Enable(this, IDC_COMMUTAT_ENABLE_AUTOPHASE, m_initMethod == 3);
    Enable(this, IDC_COMMUTAT_EXECUTE_AUTOPHASE, autoPhase);
    Enable(this, IDC_COMMUTAT_REVERSE_ROTATION, autoPhase);
    Enable(this, IDC_COMMUTAT_INIT_TWO_PHASE, m_twoPhaseAllowed);
}

// ---------------------------------------------------------------------------
void CQvxGuiCommutat::OnEncoderReverse()
{
    const UINT shown = m_encoderReverse ? BST_CHECKED : BST_UNCHECKED;
    // The write is immediate: an enabled drive must not see its feedback flip.
    if (GetEnableBit()) {
        CheckDlgButton(IDC_COMMUTAT_ENCODER_REVERSE, shown);
        CGuiUpdateItem::MessageBox(kEnabledRefusal, MB_OK, 0, IDOK);
        return;
    }
    m_encoderReverse = !m_encoderReverse;
    CheckDlgButton(IDC_COMMUTAT_ENCODER_REVERSE, m_encoderReverse ? BST_CHECKED : BST_UNCHECKED);
    SendCommand(static_cast<BYTE>(GetDrive()), kQueryCodes[kFER], m_encoderReverse);
}

void CQvxGuiCommutat::OnReverseRotation()
{
    const UINT before = IsDlgButtonChecked(IDC_COMMUTAT_REVERSE_ROTATION);
    if (GetModeWord() & 0x6) {
        CheckDlgButton(IDC_COMMUTAT_REVERSE_ROTATION, before);
        CGuiUpdateItem::MessageBox("Warning: Please switch the drive to Current Mode before changing this setting.",
                                   MB_OK, 0, IDOK);
        return;
    }
    LONG fhr = 0;
    if (!ReverseRotation(fhr)) {
        CGuiUpdateItem::MessageBox("Unable to Inverse Rotation. Please try again", MB_OK, 0, IDOK);
        return;
    }
    CheckDlgButton(IDC_COMMUTAT_REVERSE_ROTATION, fhr == 0 ? BST_CHECKED : BST_UNCHECKED);
    SetReverseRotation(fhr == 0 ? -1 : 0);
}

// The drive's FHR as last read, or as this window last wrote it.
bool CQvxGuiCommutat::ReverseRotation(LONG& value)
{
    if (m_queries[kFHR].HasChanged(1) || !m_fhrKnown) {
        if (!Value(kFHR, m_fhr))
            return false;
        m_fhrKnown = true;
    }
    value = m_fhr;
    return true;
}

void CQvxGuiCommutat::SetReverseRotation(LONG value)
{
    SendCommand(static_cast<BYTE>(GetDrive()), kQueryCodes[kFHR], value);
    m_fhr = value;
    m_fhrKnown = true;
}

void CQvxGuiCommutat::OnExecuteAutoPhasing()
{
    LONG fhr = 0, ccm = 0;
    if (!ReverseRotation(fhr) || !Value(kCCM, ccm)) {
        CGuiUpdateItem::MessageBox("Unable to execute auto-phasing.  Please try again.", MB_OK, 0, IDOK);
        return;
    }
    const BYTE address = static_cast<BYTE>(GetDrive());
    if (fhr != 0) {
        SetReverseRotation(0);
        CheckDlgButton(IDC_COMMUTAT_REVERSE_ROTATION, BST_UNCHECKED);
    }
    if (ccm != 1) {
        CGuiUpdateItem::MessageBox("Please select 'Hall Edge' as a 'Correction Method'\n"
                                   "                 and Send Values to Drive!",
                                   MB_OK, 0, IDOK);
    } else if (GetEnableBit()) {
        SendCommand(address, kAutoPhaseCode, 0);
    } else {
        CGuiUpdateItem::MessageBox("Drive must be enabled to execute auto-phasing!", MB_OK, 0, IDOK);
    }
}

// ---------------------------------------------------------------------------
bool CQvxGuiCommutat::CheckSendable()
{
    if (m_work[kFinalCurrent].GetEnteredValue() <= m_work[kInitialCurrent].GetEnteredValue()) {
        CGuiUpdateItem::MessageBox("Final Current must be greater than Initial Current", MB_OK, 0, IDOK);
        return false;
    }
    if (GetEnableBit()) {
        CGuiUpdateItem::MessageBox(kEnabledRefusal, MB_OK, 0, IDOK);
        return false;
    }
    LONG value = 0;
    double parameter = 0;
    if (!Value(kCCM, value) || !Value(kCIM, value) || !Value(kMC, value) || !Value(kGVS, value) ||
        !Parameter(GPD_A2E_CURRENT_GAIN, parameter) || !Parameter(GPD_CS, parameter) ||
        !Parameter(GPD_SERVO_FREQ_I, parameter) || !m_workRotary) {
        CGuiUpdateItem::MessageBox(kTryAgain, MB_OK, 0, IDOK);
        return false;
    }
    // Counts of 0 give no scaling: nothing is written from such a motor.
    if (!WorkingMotor()->RecomputeAndCheck(m_motorKind == 1 ? 1 : 0)) {
        CGuiUpdateItem::MessageBox("Invalid poles or lines.\nCommutation values not sent to drive.", MB_OK, 0, IDOK);
        return false;
    }
    return true;
}

void CQvxGuiCommutat::WriteSettings()
{
    const BYTE address = static_cast<BYTE>(GetDrive());
    const struct {
        Query query;
        int value;
    } writes[] = {{kFER, m_encoderReverse}, {kCIM, m_initMethod}, {kFT, m_waveform},
                  {kETF, m_feedback},       {kMC, m_motorKind},   {kCCM, m_correction}};
    for (const auto& write : writes)
        if (write.value >= 0)
            SendCommand(address, kQueryCodes[write.query], write.value);
}

void CQvxGuiCommutat::SendAll(bool ask)
{
    if (!CheckSendable())
        return;
    // Derived values follow the last entry now, not at the next update pass.
    for (Row row : {kCountsPerCycle, kScaling, kRollover, kCycles, kPhaseLead, kRampTime, kTimerTicks})
        m_work[row].ProcessResponses();
    // Only a phase lead the user changed is written: the shown one is derived from the drive's.
    CQvxGuiEditCtrl& phaseLead = m_work[kPhaseLead];
    const bool writePhaseLead = phaseLead.IsModified() != 0;
    if (writePhaseLead)
        phaseLead.m_flags &= ~kCtrlNotListed;
    else
        phaseLead.m_flags |= kCtrlNotListed;
    if (ask) {
        const CString question = "Press OK to send the following values:\r\n\r\n" + ListControls();
        if (CGuiUpdateItem::MessageBox(question, MB_OKCANCEL, 0, IDOK) != IDOK)
            return;
    }
    m_suppressPhaseLead = !writePhaseLead;
    m_controls.SendGroup(-1);
    m_suppressPhaseLead = false;
    WriteSettings();
    m_driveInitMethod = m_initMethod;
    m_driveWaveform = m_waveform;
    m_driveMotorKind = m_motorKind;
    m_driveCorrection = m_correction;
    m_driveFeedback = m_feedback;
    // Both columns follow what the drive now holds.
    for (int q = 0; q < kQueryCount; ++q)
        Reread(static_cast<Query>(q));
    m_controls.RestartPollingAll();
}

void CQvxGuiCommutat::OnSendButton()
{
    SendAll(true);
}

int CQvxGuiCommutat::SendGroup(int group)
{
    if (group != -1)
        return CGuiUpdateDlg::SendGroup(group);
    SendAll(false);
    return 1;
}

void CQvxGuiCommutat::OnOK()
{
    if (GetFocus() == &m_work[kLines])
        ApplyLinesEntry();
    else
        ApplyPolesEntry();
    m_controls.AcceptPendingEntry();
}

// ---------------------------------------------------------------------------
void CQvxGuiCommutat::MarkDatabasePending()
{
    m_dbMotorType = m_dbLinOrRot = m_dbLines = m_dbPoles = true;
}

void CQvxGuiCommutat::ApplyMotorType(const CString& type)
{
    int method = -1;
    if (type == "Brushless")
        method = 3;
    else if (type == "Brush")
        method = 2;
    else if (type == "Induction")
        method = 0;
    if (method == -1)
        return;
    CheckDlgButton(IDC_COMMUTAT_ENABLE_AUTOPHASE, BST_UNCHECKED);
    OnInitMethodClicked(method);
    UpdateEnables();
}

void CQvxGuiCommutat::ApplyDatabase()
{
    CQvxDatabaseRecordset* recordset = GetRecordset();
    if (!m_dbAllowed || !recordset || !recordset->GetCurrentRecord() || !m_workRotary)
        return;
    CString text;
    if (m_dbMotorType && recordset->GetFieldValue("MotorType", FALSE, text))
        ApplyMotorType(text);
    m_dbMotorType = false;
    if (m_dbLinOrRot && recordset->GetFieldValue("LinOrRot", FALSE, text)) {
        if (text == "Linear" || text == "Rotary")
            SwitchKind(text == "Linear" ? 1 : 0);
        ApplyLinesEntry();
    }
    m_dbLinOrRot = false;
    // Fed by the window, the edits have no poll state: idle is not being typed in.
    const auto idle = [](CQvxGuiEditCtrl& edit) { return CWnd::GetFocus() != &edit; };
    if (m_dbLines && idle(m_work[kLines]) && recordset->GetFieldValue("LinesPerRev", FALSE, text)) {
        m_work[kLines].SetWindowText(text);
        m_workRotary->m_lineValue = m_workLinear->m_lineValue = std::atof(text);
        ApplyLinesEntry();
    }
    m_dbLines = false;
    if (m_dbPoles && idle(m_work[kPoles]) && recordset->GetFieldValue("NumPoles", FALSE, text)) {
        m_work[kPoles].SetWindowText(text);
        ApplyPolesEntry();
    }
    m_dbPoles = false;
}

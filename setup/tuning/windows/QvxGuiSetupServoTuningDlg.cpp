#include "setup/tuning/windows/QvxGuiSetupServoTuningDlg.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "comm/link/CommAppServices.h"
#include "distribution/AmpResponseToGui.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/Archive.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/Edit.h"
#include "resources/ids/SetupServoTuningIds.h"
#include "setup/tuning/CurrentLoopTuning.h"
#include "setup/tuning/windows/CalculateGvsDlg.h"
#include "setup/tuning/windows/QvxGuiTuneFunctionGenDlg.h"
#include "setup/tuning/windows/ServoScopeHost.h"

IMPLEMENT_DYNCREATE(CQvxGuiSetupServoTuningDlg, CGuiUpdateDlg)

BEGIN_MESSAGE_MAP(CQvxGuiSetupServoTuningDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_ST_START, &CQvxGuiSetupServoTuningDlg::OnStart)
    ON_BN_CLICKED(IDC_ST_SETUP_PARAMS, &CQvxGuiSetupServoTuningDlg::OnSetupParams)
    ON_BN_CLICKED(IDC_ST_SCOPE, &CQvxGuiSetupServoTuningDlg::OnScope)
    ON_BN_CLICKED(IDC_ST_GVS, &CQvxGuiSetupServoTuningDlg::OnGvsButton)
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {

struct GainField {
    int edit;
    int drive;
    WORD code;
    LONG max;
    int loop;  // 0 both, 2 velocity, 4 position
};

constexpr GainField kGainFields[] = {
    {IDC_ST_MASTER_GAIN, IDC_ST_MASTER_GAIN_DRIVE, 7875, 256, 0},
    {IDC_ST_VEL_P, IDC_ST_VEL_P_DRIVE, 7888, 32767, 2},
    {IDC_ST_VEL_I, IDC_ST_VEL_I_DRIVE, 7881, 32767, 2},
    {IDC_ST_VEL_D, IDC_ST_VEL_D_DRIVE, 7876, 32767, 2},
    {IDC_ST_TACH, IDC_ST_TACH_DRIVE, 7878, 32767, 2},
    {IDC_ST_POS_P, IDC_ST_POS_P_DRIVE, 7696, 32767, 4},
    {IDC_ST_POS_I, IDC_ST_POS_I_DRIVE, 7689, 32767, 4},
    {IDC_ST_POS_D, IDC_ST_POS_D_DRIVE, 7684, 32767, 4},
};

constexpr WORD kPolledGainPeriod = 600;
constexpr BYTE kPollFlags = 96;
constexpr int kContextConversions[] = {GPD_CS, GPD_A2E_VEL_GAIN, GPD_A2E_VEL_TACH_GAIN, GPD_ETF, GPD_A2E_CURRENT_GAIN,
                                       GPD_SERVO_FREQ_I};

const char kExitQuestion[] =
    "It is recommended that you stop servo tuning before shutting down Korvane.  Stop tuning now?\r\n"
    "(Clicking 'Cancel' will prevent Korvane from exiting.)";

}  // namespace

CQvxGuiSetupServoTuningDlg::CQvxGuiSetupServoTuningDlg() : CGuiUpdateDlg(IDD_SERVO_TUNING)
{
    m_statusFlags = kStatusMode | kStatusWord | kStatusFault;
}

CQvxGuiSetupServoTuningDlg::~CQvxGuiSetupServoTuningDlg() = default;

LONG CQvxGuiSetupServoTuningDlg::LoopGainToDrive(double percent)
{
    return std::clamp(RoundToInt(percent * 32767.0 / 100.0), 0, 32767);
}

double CQvxGuiSetupServoTuningDlg::LoopGainFromDrive(LONG value)
{
    const LONG held = std::clamp<LONG>(value, 0, 32767);
    return RoundToInt(static_cast<double>(held) * 10000.0 / 32767.0) / 100.0;
}

BOOL CQvxGuiSetupServoTuningDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    SetEnableButton(GetDlgItem(IDC_ST_ENABLE));
    // Two lines: the template's text format has no line break.
    SetDlgItemText(IDC_ST_GVS, "Calculate Gain\nVelocity Scale");
    ShowRemaining(false);
    ResetUpdateTimer();
    return TRUE;
}

CString CQvxGuiSetupServoTuningDlg::IniPath() const
{
    CCommAppServices* app = CCommAppServices::Get();
    return app ? app->GetUserSettingsIniPath() : CString();
}

int CQvxGuiSetupServoTuningDlg::PrepareQueries()
{
    const int drive = GetDrive();
    if (drive < 0)
        return 1;
    const BYTE address = static_cast<BYTE>(drive);
    SendQuery(address, kLoopGain, 200, kPollFlags);
    SendQuery(address, kGvs, 200, kPollFlags);
    SendQuery(address, kEncoderCounts, 500, 0);
    SendQuery(address, kMotorType, 0, kPollFlags);
    SendQuery(address, kPositionCommand, 500, kPollFlags);
    for (const GainField& field : kGainFields)
        SendQuery(address, field.code, kPolledGainPeriod, kPollFlags);
    if (CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr)
        for (int id : kContextConversions)
            table->RequestParameterQuery(drive, id);
    return 1;
}

int CQvxGuiSetupServoTuningDlg::InitialUpdate()
{
    if (!m_generator) {
        StepResponseRecord record;
        record.Read(IniPath());
        m_modes.LoadRecord(record);
        m_generator = std::make_unique<CFunctionGeneratorProfileGen>(m_modes);
    }
    if (m_pendingRecord) {
        m_modes.LoadRecord(*m_pendingRecord);
        m_pendingRecord.reset();
    }
    // A child still open keeps its buttons off (a drive change runs this again).
    const bool setupFree = m_functionGen == nullptr && !IsTestRunning();
    for (auto [id, enable] : {std::pair{IDC_ST_START, m_functionGen == nullptr}, std::pair{IDC_ST_SETUP_PARAMS, setupFree},
                              std::pair{IDC_ST_GVS, m_gvs == nullptr}})
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(enable);
    return 1;
}

bool CQvxGuiSetupServoTuningDlg::GetDriveValue(WORD code, LONG& value) const
{
    auto it = m_values.find(code);
    if (it == m_values.end())
        return false;
    value = it->second;
    return true;
}

void CQvxGuiSetupServoTuningDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    const bool fromTestDrive = static_cast<int>(response.m_address) == m_testDrive;
    if (response.m_error) {
        // A drive that no longer answers its writes or its fault poll can no longer be stepped safely.
        if (IsTestRunning() && fromTestDrive && (response.m_write || response.m_code == kFaultWordCode))
            StopTest();
        return;
    }
    CGuiUpdateDlg::OnStatusResponse(response);
    if (response.m_write || static_cast<int>(response.m_address) != GetDrive())
        return;
    if (response.m_code == kModeWordCode && !m_modeKnown) {
        m_modeKnown = true;
        EnableLoopFields();
    }
    const auto it = m_values.find(response.m_code);
    const bool changed = it == m_values.end() || it->second != response.m_value;
    m_values[response.m_code] = response.m_value;
    if (changed)
        FeedGvsDialog(response.m_code);
}

void CQvxGuiSetupServoTuningDlg::FeedGvsDialog(WORD code)
{
    if (!m_gvs)
        return;
    const LONG value = m_values[code];
    switch (code) {
    case kGvs: m_gvs->SetGvs(value); break;
    case kMotorType: m_gvs->SetMotorType(value); break;
    case kEncoderCounts: m_gvs->SetCounts(value); break;
    case kTachGain: m_gvs->SetTachScale(value); break;
    default: break;
    }
}

void CQvxGuiSetupServoTuningDlg::UpdateControls()
{
    ShowGains();
    if (m_generator)
        SetDlgItemText(IDC_ST_START, m_generator->GetStartText());
}

void CQvxGuiSetupServoTuningDlg::ShowGains()
{
    auto show = [this](int editId, int driveId, const CString& text) {
        SetDlgItemText(driveId, text);
        // The tuning column starts from the drive's value and then keeps what the user types.
        CString typed;
        GetDlgItemText(editId, typed);
        if (typed.IsEmpty())
            SetDlgItemText(editId, text);
    };
    LONG value = 0;
    CString text;
    if (GetDriveValue(kLoopGain, value)) {
        text.Format("%0.2f", LoopGainFromDrive(value));
        show(IDC_ST_LOOP_GAIN, IDC_ST_LOOP_GAIN_DRIVE, text);
    }
    for (const GainField& field : kGainFields)
        if (GetDriveValue(field.code, value)) {
            text.Format("%0.0f", static_cast<double>(value));
            show(field.edit, field.drive, text);
        }
}

void CQvxGuiSetupServoTuningDlg::OnModeWordChanged(int value)
{
    CGuiUpdateDlg::OnModeWordChanged(value);
    EnableLoopFields();
}

void CQvxGuiSetupServoTuningDlg::EnableLoopFields()
{
    const int flags = m_modeWord & (kTuningVelocityMode | kTuningPositionMode);
    for (const GainField& field : kGainFields)
        if (field.loop != 0)
            if (CWnd* edit = GetDlgItem(field.edit))
                edit->EnableWindow((flags & field.loop) != 0);
}

// ---- layout -------------------------------------------------------------------------

namespace {
struct RealName {
    const char* name;
    double StepResponseRecord::*field;
};
constexpr RealName kLayoutReals[] = {
    {"m_SR_base_cur", &StepResponseRecord::BaseCurrent},   {"m_SR_base_pos", &StepResponseRecord::BasePosition},
    {"m_SR_base_vel", &StepResponseRecord::BaseVelocity},  {"m_SR_targ_cur", &StepResponseRecord::TargetCurrent},
    {"m_SR_targ_pos", &StepResponseRecord::TargetPosition}, {"m_SR_targ_vel", &StepResponseRecord::TargetVelocity},
    {"m_SR_duration", &StepResponseRecord::Duration},      {"m_SR_interstep_time", &StepResponseRecord::Dwell},
};
struct IntName {
    const char* name;
    int StepResponseRecord::*field;
};
constexpr IntName kLayoutInts[] = {
    {"m_SR_mode", &StepResponseRecord::TestMode},
    {"m_SR_step_dir", &StepResponseRecord::Direction},
    {"m_SR_steps_per_test", &StepResponseRecord::StepsPerTest},
};
}  // namespace

void CQvxGuiSetupServoTuningDlg::SerializeLayout(CArchive& ar, int version)
{
    if (ar.IsStoring()) {
        StepResponseRecord record;
        record.Read(IniPath());
        m_modes.FillRecord(record);
        for (const RealName& real : kLayoutReals)
            m_properties.SetDouble(real.name, record.*real.field);
        for (const IntName& integer : kLayoutInts)
            m_properties.SetInt(integer.name, record.*integer.field);
        CGuiUpdateDlg::SerializeLayout(ar, version);
        return;
    }
    CGuiUpdateDlg::SerializeLayout(ar, version);
    auto record = std::make_unique<StepResponseRecord>();
    record->Read(IniPath());
    for (const RealName& real : kLayoutReals)
        m_properties.GetDouble(real.name, (*record).*real.field);
    for (const IntName& integer : kLayoutInts)
        m_properties.GetInt(integer.name, (*record).*integer.field);
    // A damaged layout never gives a zero period or a runaway count.
    const StepResponseRecord defaults;
    if (!(record->Duration >= kTuningMinSeconds && record->Duration <= kTuningMaxSeconds))
        record->Duration = defaults.Duration;
    if (!(record->Dwell >= kTuningMinSeconds && record->Dwell <= kTuningMaxSeconds))
        record->Dwell = defaults.Dwell;
    record->StepsPerTest = std::clamp(record->StepsPerTest, 0, kTuningMaxSteps);
    m_pendingRecord = std::move(record);
}

// ---- sending the tuning column -------------------------------------------------

int CQvxGuiSetupServoTuningDlg::CustomSend(int id, double value, CWnd* /*control*/)
{
    const int drive = GetDrive();
    if (drive < 0)
        return 0;
    if (id == IDC_ST_LOOP_GAIN) {
        SendCommand(static_cast<BYTE>(drive), kLoopGain, LoopGainToDrive(value));
        return 1;
    }
    for (const GainField& field : kGainFields)
        if (field.edit == id) {
            const LONG held = std::clamp<LONG>(RoundToInt(value), 0, field.max);
            SendCommand(static_cast<BYTE>(drive), field.code, held);
            return 1;
        }
    return 0;
}

void CQvxGuiSetupServoTuningDlg::OnOK()
{
    // Enter in a field of the tuning column sends that field.
    CWnd* focus = GetFocus();
    if (!focus)
        return;
    const int id = focus->GetDlgCtrlID();
    CString text;
    GetDlgItemText(id, text);
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == static_cast<const char*>(text) || !std::isfinite(value))
        return;
    CustomSend(id, value, focus);
}

// ---- the step-response test ------------------------------------------------------

bool CQvxGuiSetupServoTuningDlg::GatherContext(TuningContext& context, bool silent)
{
    double values[5] = {};
    bool ok = m_modeKnown;
    for (int i = 0; ok && i < 5; ++i)
        ok = GetGlobalParameterValue(-1, kContextConversions[i], values[i]);
    if (!ok) {
        if (!silent)
            CGuiUpdateItem::MessageBox("Could not Receive values. Please try again(001)", MB_OK | MB_ICONEXCLAMATION, 0, IDOK);
        StopTest();
        return false;
    }
    context.cs = values[0];
    context.velGain = values[1];
    context.velTachGain = values[2];
    context.etf = values[3];
    context.currentGain = values[4];
    context.driveModeFlags = m_modeWord & (kTuningVelocityMode | kTuningPositionMode);
    context.driveMode = m_modeWord;
    LONG motorType = 0;
    GetDriveValue(kMotorType, motorType);
    context.motorType = motorType;
    return true;
}

void CQvxGuiSetupServoTuningDlg::OnStart()
{
    if (!m_generator)
        return;
    if (IsTestRunning()) {
        StopTest();
        return;
    }
    if (!GetEnableBit()) {
        CGuiUpdateItem::MessageBox("Motor must be enabled to execute a step response.", MB_OK | MB_ICONEXCLAMATION, 0, IDOK);
        return;
    }
    TuningContext context;
    if (!GatherContext(context, false))
        return;
    if (CGuiUpdateItem::MessageBox("Start step response?", MB_YESNO | MB_ICONQUESTION, 0, IDNO) != IDYES)
        return;
    m_generator->Start(context);
    if (!ConfirmFirstMove(context)) {
        m_generator->m_running = false;
        return;
    }
    m_testDrive = GetDrive();
    m_firstWrite = true;
    m_shownRemaining = -1;
    SetTimer(kStepTimer, kStepPeriodMs);
    if (CWnd* setup = GetDlgItem(IDC_ST_SETUP_PARAMS))
        setup->EnableWindow(FALSE);
    if (m_modes.m_settings.TestMode == 1) {
        ShowRemaining(true);
        RefreshRemaining();
    }
    SetDlgItemText(IDC_ST_START, m_generator->GetStartText());
}

bool CQvxGuiSetupServoTuningDlg::ConfirmFirstMove(const TuningContext& context)
{
    if (!(context.driveModeFlags & kTuningPositionMode))
        return true;
    LONG position = 0;
    int first = 0;
    if (!GetDriveValue(kPositionCommand, position) || !m_generator->GetDriveValue(context, first)) {
        CGuiUpdateItem::MessageBox("Could not Receive values. Please try again(001)", MB_OK | MB_ICONEXCLAMATION, 0, IDOK);
        return false;
    }
    // Base and target are absolute: far from the axis, the first step is a long move.
    const CTFGAbstractBaseMode& mode = m_modes.ActiveMode(context.driveModeFlags);
    const long long step = std::llabs(static_cast<long long>(std::llround(mode.m_target)));
    const long long move = std::llabs(static_cast<long long>(first) - position);
    if (move <= step)
        return true;
    CString question;
    question.Format("The first step moves the axis %lld counts, from %ld to %d; a step is %lld counts.\r\n"
                    "Start step response?",
                    move, static_cast<long>(position), first, step);
    return CGuiUpdateItem::MessageBox(question, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2, 0, IDNO) == IDYES;
}

void CQvxGuiSetupServoTuningDlg::OnTimer(UINT_PTR id)
{
    if (id == kStepTimer)
        StepTick();
    else
        CGuiUpdateDlg::OnTimer(id);
}

void CQvxGuiSetupServoTuningDlg::StepTick()
{
    if (m_inTick || !IsTestRunning())
        return;
    m_inTick = true;
    TuningContext context;
    if (!GatherContext(context, true)) {
        // GatherContext stopped the test.
    } else if (GetFaultWord() != 0) {
        // The fault word of the 200 ms status poll, so a fault during the test is seen.
        StopTest();
        CGuiUpdateItem::MessageBox("Step response cycle stopped due to motor fault.", MB_OK | MB_ICONEXCLAMATION, 0, IDOK);
    } else {
        int value = 0;
        if (!m_generator->GetDriveValue(context, value)) {
            StopTest();
        } else {
            if (m_firstWrite || value != m_lastWritten) {
                const bool position = (context.driveModeFlags & kTuningPositionMode) != 0;
                SendCommand(static_cast<BYTE>(m_testDrive), position ? kPositionCommand : kCurrentCommand, value);
                m_lastWritten = value;
                m_firstWrite = false;
            }
            RefreshRemaining();
        }
    }
    m_inTick = false;
}

void CQvxGuiSetupServoTuningDlg::StopTest()
{
    if (!IsTestRunning())
        return;
    m_generator->m_running = false;
    if (GetSafeHwnd())
        KillTimer(kStepTimer);
    if (m_testDrive >= 0)
        SendCommand(static_cast<BYTE>(m_testDrive), kCurrentCommand, 0);
    m_testDrive = -1;
    if (GetSafeHwnd()) {
        if (CWnd* setup = GetDlgItem(IDC_ST_SETUP_PARAMS))
            setup->EnableWindow(m_functionGen == nullptr);
        ShowRemaining(false);
        SetDlgItemText(IDC_ST_START, m_generator->GetStartText());
    }
}

void CQvxGuiSetupServoTuningDlg::ShowRemaining(bool show)
{
    for (int id : {IDC_ST_REMAINING_LABEL, IDC_ST_REMAINING})
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CQvxGuiSetupServoTuningDlg::RefreshRemaining()
{
    if (m_modes.m_settings.TestMode != 1 || !m_generator || m_generator->m_remaining == m_shownRemaining)
        return;
    m_shownRemaining = m_generator->m_remaining;
    CString text;
    text.Format(" %d", m_shownRemaining);
    SetDlgItemText(IDC_ST_REMAINING, text);
}

void CQvxGuiSetupServoTuningDlg::OnEnableBitChanged(int bit)
{
    CGuiUpdateDlg::OnEnableBitChanged(bit);
    if (bit)
        return;
    StopTest();
    if (m_gvs)
        m_gvs->CompletePendingSend();
}

void CQvxGuiSetupServoTuningDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    UpdateControls();
}

void CQvxGuiSetupServoTuningDlg::SetDrive(int drive, int restart)
{
    if (drive == GetDrive()) {
        CGuiUpdateDlg::SetDrive(drive, restart);
        return;
    }
    // A test belongs to its drive: it stops for good and the new drive is never stepped.
    StopTest();
    m_values.clear();
    m_modeKnown = false;
    CGuiUpdateDlg::SetDrive(drive, restart);
}

void CQvxGuiSetupServoTuningDlg::DetachFromUpdateList(int flags)
{
    StopTest();
    CGuiUpdateDlg::DetachFromUpdateList(flags);
}

int CQvxGuiSetupServoTuningDlg::CanClose()
{
    if (IsTestRunning()) {
        CGuiUpdateItem::MessageBox("Please stop the function generator before closing this window", MB_OK | MB_ICONEXCLAMATION, 0,
                   IDOK);
        return 0;
    }
    return CGuiUpdateDlg::CanClose();
}

int CQvxGuiSetupServoTuningDlg::CanExit()
{
    if (!IsTestRunning())
        return 1;
    const int answer = CGuiUpdateItem::MessageBox(kExitQuestion, MB_YESNOCANCEL | MB_ICONQUESTION, 0, IDYES);
    if (answer == IDCANCEL)
        return 0;
    if (answer == IDYES)
        StopTest();
    return 1;
}

// ---- child dialogs, scope --------------------------------------------------------

void CQvxGuiSetupServoTuningDlg::OnSetupParams()
{
    if (IsTestRunning()) {
        CGuiUpdateItem::MessageBox("Stop servo tuning test before you setup Function Gen Parameters.", MB_OK | MB_ICONEXCLAMATION, 0,
                   IDOK);
        return;
    }
    TuningContext context;
    if (m_functionGen || !GatherContext(context, false))
        return;
    auto* dialog = new CQvxGuiTuneFunctionGenDlg(this, m_modes, context, IniPath());
    if (AddChildDialog(dialog) < 0) {
        delete dialog;
        return;
    }
    m_functionGen = dialog;
    for (int id : {IDC_ST_SETUP_PARAMS, IDC_ST_START})
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(FALSE);
}

void CQvxGuiSetupServoTuningDlg::OnScope()
{
    CServoScopeHost* host = CServoScopeHost::Get();
    if (!host)
        return;
    CString file;
    file.Format("%s/%s_%s.dat", static_cast<const char*>(host->GetDataFolder()), "ServoScope",
                static_cast<const char*>(GetDriveName()));
    host->OpenScope(file);
}

void CQvxGuiSetupServoTuningDlg::OnGvsButton()
{
    if (m_gvs)
        return;
    GvsMotorData motor;
    LONG gvs = 0, counts = 0, motorType = 0, tach = 0;
    if (!GetGlobalParameterValue(-1, GPD_SERVO_FREQ_I, motor.servoFreq) || !GetDriveValue(kGvs, gvs) ||
        !GetDriveValue(kEncoderCounts, counts) || !GetDriveValue(kMotorType, motorType) ||
        !GetDriveValue(kTachGain, tach)) {
        CGuiUpdateItem::MessageBox("Drive data not available.  Please try again.", MB_OK | MB_ICONEXCLAMATION, 0, IDOK);
        return;
    }
    motor.counts = counts;
    motor.motorType = motorType;
    motor.tachScale = tach;
    auto* dialog = new CCalculateGvsDlg(this, motor, gvs, 4000.0);
    if (AddChildDialog(dialog) < 0) {
        delete dialog;
        return;
    }
    m_gvs = dialog;
    if (CWnd* button = GetDlgItem(IDC_ST_GVS))
        button->EnableWindow(FALSE);
}

void CQvxGuiSetupServoTuningDlg::DisableDriveForGvs() { SendDriveEnable(0); }

void CQvxGuiSetupServoTuningDlg::OnChildNotify(CWnd* child, int code)
{
    CGuiUpdateDlg::OnChildNotify(child, code);
    if (child && child == m_gvs) {
        m_gvs = nullptr;
        if (CWnd* button = GetDlgItem(IDC_ST_GVS))
            button->EnableWindow(TRUE);
    } else if (child && child == m_functionGen) {
        m_functionGen = nullptr;
        for (int id : {IDC_ST_SETUP_PARAMS, IDC_ST_START})
            if (CWnd* button = GetDlgItem(id))
                button->EnableWindow(TRUE);
    }
}

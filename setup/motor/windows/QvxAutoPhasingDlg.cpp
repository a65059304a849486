#include "setup/motor/windows/QvxAutoPhasingDlg.h"

#include <cstring>

#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "foundation/TextHelpers.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/Archive.h"
#include "platform/core/Rand.h"
#include "platform/ui/DC.h"
#include "setup/motor/AutoPhaseCalc.h"
#include "setup/motor/windows/MotorProcedureOwner.h"

IMPLEMENT_DYNCREATE(CQvxAutoPhasingDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxAutoPhasingDlg));

BEGIN_MESSAGE_MAP(CQvxAutoPhasingDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_AP_EXECUTE, &CQvxAutoPhasingDlg::OnExecute)
    ON_BN_CLICKED(IDC_AP_SEND, &CQvxAutoPhasingDlg::OnSend)
    ON_BN_CLICKED(IDC_AP_STEP, &CQvxAutoPhasingDlg::OnModeClicked)
    ON_BN_CLICKED(IDC_AP_CONTINUOUS, &CQvxAutoPhasingDlg::OnModeClicked)
    ON_BN_CLICKED(IDC_AP_STATUS, &CQvxAutoPhasingDlg::OnStatusClicked)
    ON_WM_TIMER()
    ON_WM_DRAWITEM()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr WORD kQueryMs = 200;
constexpr WORD kControlPollMs = 600;
constexpr BYTE kOneShot = 0x60;
constexpr WORD kModelCode = 13452;
constexpr WORD kModelIndexCode = 13449;
constexpr WORD kContinuousIndex = 3;
constexpr WORD kPolesCode = 432;
constexpr WORD kMotorTypeCode = 419;
constexpr WORD kVersionCode = 22706;
constexpr long kLinearMotor = 1;
constexpr int kModeBits = 0x2 | 0x4;
constexpr const char* kModeProperty = "nAutoPhaseMode";
constexpr const char* kDisableFirst = "Please DISABLE drive before sending data to drive.";

struct EditBinding {
    int id;
    const char* name;
    int displayId;   // -1: polls 1539 sub 0 through the current gain
    int checkId;
    int sendId;
    const char* format;
    unsigned flags;
    int sub;         // the setting it writes; -1 none
};

constexpr EditBinding kEdits[8] = {
    {IDC_AP_FINAL_CURRENT, "Final Current", -1, 1, -1, "%0.3f", 0x2200, 0},
    {IDC_AP_FINAL_CURRENT_DRIVE, "", -1, -1, -1, "%0.3f", kCtrlReportRange | kCtrlGroupDigits, -1},
    {IDC_AP_CURRENT_RAMP, "Current Ramp Time", 0, 3, 0, "%0.3f", 0x2328, 1},
    {IDC_AP_CURRENT_RAMP_DRIVE, "", 1, -1, -1, "%0.3f", 0x0120, -1},
    {IDC_AP_FINAL_SPEED, "Final Speed", 2, 2, 2, "%0.2f", 0x2328, 2},
    {IDC_AP_FINAL_SPEED_DRIVE, "", 3, -1, -1, "%0.2f", 0x0120, -1},
    {IDC_AP_SPEED_RAMP, "Speed Ramp Time", 4, 4, 4, "%0.3f", 0x2328, 3},
    {IDC_AP_SPEED_RAMP_DRIVE, "", 5, -1, -1, "%0.3f", 0x0120, -1},
};
enum EditIndex { kCurrentEdit = 0, kCurrentRampEdit = 2, kSpeedEdit = 4, kSpeedRampEdit = 6 };
}  // namespace

CQvxAutoPhasingDlg::CQvxAutoPhasingDlg() : CGuiUpdateDlg(IDD)
{
    m_statusFlags = kStatusMode | kStatusWord;
    m_lamp.m_offColour = 0;
    m_lamp.m_onTextColour = m_lamp.m_offTextColour = RGB(255, 255, 255);
    m_lamp.m_format = 0;
}

CQvxAutoPhasingDlg::~CQvxAutoPhasingDlg() = default;

BOOL CQvxAutoPhasingDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    LOGFONT font{};
    font.lfHeight = -MulDiv(GetDialogFontSize(), 96, 72);
    font.lfWeight = 600;
    std::strncpy(font.lfFaceName, GetDialogFontName().GetString(), sizeof font.lfFaceName - 1);
    if (m_lampFont.CreateFontIndirect(&font))
        m_lamp.m_font = &m_lampFont;
    BindControls();
    SetEnableButton(GetDlgItem(IDC_AP_ENABLE));
    CheckRadioButton(IDC_AP_STEP, IDC_AP_CONTINUOUS, IDC_AP_STEP);
    ApplyFieldEnabling();
    // The window serves the drive it was opened for.
    if (GetToolbar().GetSafeHwnd())
        GetToolbar().GetSelector().EnableWindow(FALSE);
    return TRUE;
}

void CQvxAutoPhasingDlg::BindEdit(int index, int id)
{
    const EditBinding& binding = kEdits[index];
    CQvxGuiEditCtrl& edit = m_edits[index];
    edit.SubclassDlgItem(id, this);
    // Listed first: the conversion bindings find the parameter table through the list.
    m_controls.AddControl(&edit, -1);
    edit.m_flags = binding.flags;
    if (binding.displayId == -1) {
        edit.SetPollRegisterAt(kSettingsCode, kSettingsIndexCode, 0, kControlPollMs, kOneShot);
        edit.BindGlobalParameter(GPD_A2E_CURRENT_GAIN, 0, 0);
        edit.BindValueParameter(GPD_A2E_CURRENT_GAIN, 1, 0);
    } else {
        edit.SetCustomPollId(binding.displayId);
    }
    // The entries that go to the drive count as writable; a send id writes through the window.
    if (binding.sub >= 0)
        edit.SetWriteRegisterAt(kSettingsCode, kSettingsIndexCode, binding.sub);
    edit.m_customConversionId = binding.checkId;
    edit.m_customSendId = binding.sendId;
    if (*binding.name)
        edit.SetControlName(binding.name);
    if (index == kSpeedRampEdit)
        edit.SetLimits(0, 32767);
    edit.SetDisplayFormat(binding.format, 0);
}

void CQvxAutoPhasingDlg::BindControls()
{
    for (int i = 0; i < 8; ++i)
        BindEdit(i, kEdits[i].id);
}

bool CQvxAutoPhasingDlg::IsStepMode() const { return IsDlgButtonChecked(IDC_AP_STEP) == BST_CHECKED; }

void CQvxAutoPhasingDlg::ApplyFieldEnabling()
{
    const bool step = IsStepMode();
    for (int id : {IDC_AP_CURRENT_RAMP_LABEL, IDC_AP_CURRENT_RAMP, IDC_AP_CURRENT_RAMP_DRIVE})
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(step);
    for (int id : {IDC_AP_FINAL_SPEED_LABEL, IDC_AP_SPEED_RAMP_LABEL, IDC_AP_FINAL_SPEED, IDC_AP_FINAL_SPEED_DRIVE,
                   IDC_AP_SPEED_RAMP, IDC_AP_SPEED_RAMP_DRIVE})
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(!step);
}

// ---------------------------------------------------------------------------
// Update cycle.

int CQvxAutoPhasingDlg::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr;
    if (table)
        table->RequestParameterQuery(drive, GPD_A2E_CURRENT_GAIN);
    for (int sub = 0; sub < 4; ++sub)
        m_queries[kFinalCurrent + sub].QueryWithArgument(address, kSettingsCode, kSettingsIndexCode,
                                                         static_cast<WORD>(sub), kQueryMs);
    m_queries[kContinuous].QueryWithArgument(address, kModelCode, kModelIndexCode, kContinuousIndex, kQueryMs);
    m_queries[kPoles].Query(address, kPolesCode, kQueryMs, kOneShot);
    m_queries[kMotorType].Query(address, kMotorTypeCode, kQueryMs, kOneShot);
    m_queries[kVersion].Query(address, kVersionCode, kQueryMs, kOneShot);
    if (!CGuiUpdateItem::SubscribeStatusQueries())
        return 0;
    if (table) {
        // The edits were bound before the window had its drive: follow this drive's conversions.
        for (CQvxGuiEditCtrl& edit : m_edits) {
            table->RemoveParameterClient(&edit);
            edit.Initialise();
        }
    }
    m_controls.StopPollingAll();
    m_controls.StartPollingAll();
    return 1;
}

int CQvxAutoPhasingDlg::InitialUpdate()
{
    if (!CGuiUpdateDlg::InitialUpdate())
        return 0;
    if (!Reply(kContinuous) || !Reply(kVersion) || !Reply(kPoles) || !CurrentGain())
        return 0;
    // Opened alone, the window goes by its own reading of the enable bit.
    ShowIdleStatus(m_owner ? m_owner->IsOwnerDriveEnabled() : GetEnableBit() != 0);
    return 1;
}

void CQvxAutoPhasingDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    // A reply read before the current gain was known is read again once it is.
    const double gain = CurrentGain().value_or(0);
    if (gain != m_shownGain) {
        m_shownGain = gain;
        for (int index : {0, 1})
            if (!m_edits[index].IsModified())
                m_edits[index].RestartPolling();
    }
    LONG type = 0;
    if (m_queries[kMotorType].HasChanged(1) && m_queries[kMotorType].GetValue(type))
        SetDlgItemText(IDC_AP_FINAL_SPEED_LABEL, type == kLinearMotor ? "Final Speed (mm/s):" : "Final Speed (rpm):");
    // An entry that depends on a corrected value is corrected again, quietly.
    const struct {
        bool* mark;
        int index;
    } redisplays[] = {{&m_redisplayCurrentRamp, kCurrentRampEdit}, {&m_redisplaySpeedRamp, kSpeedRampEdit}};
    for (const auto& redisplay : redisplays) {
        if (!*redisplay.mark)
            continue;
        CQvxGuiEditCtrl& edit = m_edits[redisplay.index];
        if (edit.IsModified()) {
            edit.ApplyCustomConversion();
            edit.CommitEntry();
        }
        *redisplay.mark = false;
    }
}

void CQvxAutoPhasingDlg::OnEnableBitChanged(int bit)
{
    ShowIdleStatus(bit != 0);
    CGuiUpdateDlg::OnEnableBitChanged(bit);
}

// ---------------------------------------------------------------------------
// Values.

std::optional<long> CQvxAutoPhasingDlg::Reply(Query query) const
{
    LONG value = 0;
    if (!m_queries[query].GetValue(value))
        return std::nullopt;
    return value;
}

std::optional<long> CQvxAutoPhasingDlg::ResultReply() const
{
    LONG value = 0;
    if (!m_result.GetValue(value))
        return std::nullopt;
    return value;
}

std::optional<double> CQvxAutoPhasingDlg::CurrentGain()
{
    double gain = 0;
    if (!GetGlobalParameterValue(-1, GPD_A2E_CURRENT_GAIN, gain) || gain == 0)
        return std::nullopt;
    return gain;
}

std::optional<double> CQvxAutoPhasingDlg::WorkingValue(int index)
{
    double value = 0;
    if (!m_edits[index].GetSafeHwnd() || !m_edits[index].GetDoubleValue(value))
        return std::nullopt;
    return value;
}

std::optional<double> CQvxAutoPhasingDlg::WorkingFinalCurrentDu()
{
    const std::optional<double> amps = WorkingValue(kCurrentEdit);
    const std::optional<double> gain = CurrentGain();
    if (!amps || !gain)
        return std::nullopt;
    return *amps / *gain;
}

std::optional<double> CQvxAutoPhasingDlg::WorkingFinalSpeedDu()
{
    const std::optional<double> speed = WorkingValue(kSpeedEdit);
    const std::optional<long> poles = Reply(kPoles);
    if (!speed || !poles)
        return std::nullopt;
    return static_cast<double>(CAutoPhaseCalc::DriveSpeed(*speed, static_cast<double>(*poles)));
}

int CQvxAutoPhasingDlg::CustomPoll(int id, double& value, CWnd* /*control*/)
{
    std::optional<long> settings[4];
    for (int sub = 0; sub < 4; ++sub)
        settings[sub] = Reply(static_cast<Query>(kFinalCurrent + sub));
    const std::optional<long> poles = Reply(kPoles);
    if (!settings[0] || !settings[1] || !settings[2] || !settings[3] || !poles)
        return 0;
    const std::optional<long> version = Reply(kVersion);
    const double p = static_cast<double>(*poles);
    switch (id) {
    case 0: {
        const std::optional<double> current = WorkingFinalCurrentDu();
        if (!current)
            return 0;
        value = CAutoPhaseCalc::CurrentRampTime(*current, static_cast<double>(*settings[1]));
        return 1;
    }
    case 1:
        value = CAutoPhaseCalc::CurrentRampTime(static_cast<double>(*settings[0]), static_cast<double>(*settings[1]));
        return 1;
    case 2:
    case 3: value = CAutoPhaseCalc::SpeedFromDrive(static_cast<double>(*settings[2]), p); return 1;
    case 4: {
        const std::optional<double> speed = WorkingFinalSpeedDu();
        if (!speed)
            return 0;
        value = CAutoPhaseCalc::SpeedRampTime(*speed, static_cast<double>(*settings[3]), version);
        return 1;
    }
    case 5:
        value = CAutoPhaseCalc::SpeedRampTime(static_cast<double>(*settings[2]), static_cast<double>(*settings[3]),
                                              version);
        return 1;
    default: return 1;
    }
}

int CQvxAutoPhasingDlg::SendSetting(int sub, long value)
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    if (SendCommandWithArgument(address, kSettingsCode, value, kSettingsIndexCode, static_cast<WORD>(sub)) <= 0)
        return 0;
    // Read back, so the drive column and the conversions follow the new value.
    m_queries[kFinalCurrent + sub].QueryWithArgument(address, kSettingsCode, kSettingsIndexCode,
                                                     static_cast<WORD>(sub), kQueryMs);
    return 1;
}

int CQvxAutoPhasingDlg::CustomSend(int id, double value, CWnd* /*control*/)
{
    const std::optional<double> currentDu = WorkingFinalCurrentDu();
    const std::optional<double> speedDu = WorkingFinalSpeedDu();
    const std::optional<long> poles = Reply(kPoles);
    if (!currentDu || !speedDu || !poles)
        return 0;
    switch (id) {
    case 0: return SendSetting(1, CAutoPhaseCalc::CurrentIncrement(*currentDu, value));
    case 2: return SendSetting(2, CAutoPhaseCalc::DriveSpeed(value, static_cast<double>(*poles)));
    case 4: return SendSetting(3, CAutoPhaseCalc::SpeedIncrement(*speedDu, value, Reply(kVersion)));
    default: return 0;
    }
}

void CQvxAutoPhasingDlg::ShowRangeMessage(const CString& name, const AutoPhaseCheck& check)
{
    CGuiUpdateItem::MessageBox(FormatRangeMessage(name, TRUE, check.low, check.high), MB_OK, 0, IDOK);
}

int CQvxAutoPhasingDlg::CustomConvert(int id, double& value, CWnd* /*control*/)
{
    const std::optional<long> poles = Reply(kPoles);
    const std::optional<long> continuous = Reply(kContinuous);
    const std::optional<double> gain = CurrentGain();
    if (!poles || !continuous || !gain)
        return 0;
    const double p = static_cast<double>(*poles);
    AutoPhaseCheck check;
    bool quiet = false;
    switch (id) {
    case 1:
        check = CAutoPhaseCalc::CheckFinalCurrent(value, static_cast<double>(*continuous), *gain);
        m_redisplayCurrentRamp = true;
        break;
    case 3:
        check = CAutoPhaseCalc::CheckCurrentRampTime(value, WorkingValue(kCurrentEdit).value_or(0), *gain);
        quiet = m_redisplayCurrentRamp;
        break;
    case 2:
        check = CAutoPhaseCalc::CheckFinalSpeed(value, p);
        m_redisplaySpeedRamp = true;
        break;
    case 4:
        check = CAutoPhaseCalc::CheckSpeedRampTime(value, WorkingValue(kSpeedEdit).value_or(0), p, Reply(kVersion));
        quiet = m_redisplaySpeedRamp;
        break;
    default: return 0;
    }
    value = check.value;
    if (check.adjusted && !quiet)
        ShowRangeMessage(kEdits[id == 1 ? kCurrentEdit : id == 3 ? kCurrentRampEdit : id == 2 ? kSpeedEdit : kSpeedRampEdit].name,
                         check);
    return 1;
}

// ---------------------------------------------------------------------------
// Status lamp.

void CQvxAutoPhasingDlg::ShowStatus(AutoPhaseStatus status)
{
    const AutoPhaseLamp lamp = CAutoPhaseProcedure::Lamp(status);
    m_lamp.m_onText = m_lamp.m_offText = lamp.text;
    m_lamp.m_onColour = lamp.colour;
    m_blinkOn = 1;
    if (lamp.blink)
        SetTimer(kBlinkTimer, 300, nullptr);
    else
        KillTimer(kBlinkTimer);
    if (CWnd* indicator = GetDlgItem(IDC_AP_STATUS))
        indicator->Invalidate();
}

void CQvxAutoPhasingDlg::ShowIdleStatus(bool enabled)
{
    if (const std::optional<AutoPhaseStatus> status = m_run.IdleStatus(enabled))
        ShowStatus(*status);
}

void CQvxAutoPhasingDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT item)
{
    if (id != IDC_AP_STATUS || !item || !item->hDC) {
        CGuiUpdateDlg::OnDrawItem(id, item);
        return;
    }
    m_lamp.Draw(item->hDC, item->rcItem, m_blinkOn, 1);
}

void CQvxAutoPhasingDlg::OnStatusClicked()
{
    if (m_run.HasErrorToExplain())
        CGuiUpdateItem::MessageBox(m_run.ErrorText(), MB_OK, 0, IDOK);
}

void CQvxAutoPhasingDlg::OnTimer(UINT_PTR id)
{
    if (id == kBlinkTimer) {
        m_blinkOn = !m_blinkOn;
        if (CWnd* indicator = GetDlgItem(IDC_AP_STATUS))
            indicator->Invalidate();
    } else if (id == kTickTimer) {
        Tick();
    }
}

// ---------------------------------------------------------------------------
// The procedure.

void CQvxAutoPhasingDlg::OnExecute()
{
    if (!GetEnableBit()) {
        CGuiUpdateItem::MessageBox("Please ENABLE drive before executing auto-phase function.", MB_OK, 0, IDOK);
        return;
    }
    if (GetModeWord() & kModeBits) {
        CGuiUpdateItem::MessageBox("Please put drive in CURRENT mode.", MB_OK, 0, IDOK);
        return;
    }
    if (m_run.InProgress()) {
        FinishRun(AutoPhaseOutcome::kAborted);
        return;
    }
    Start(true);
}

// The owner hears of the run only once the start command is on its way, so
// a refused start never leaves the page suspended.
void CQvxAutoPhasingDlg::Start(bool confirm)
{
    if (confirm && CGuiUpdateItem::MessageBox("Execute auto-phase?", MB_YESNO, 0, IDYES) != IDYES)
        return;
    const int drive = GetDrive();
    if (drive == -1 || SendCommand(static_cast<BYTE>(drive), kCommandCode, IsStepMode() ? 1 : 2) <= 0)
        return;
    m_result.Cancel();
    m_run.Start();
    if (m_owner)
        m_owner->OnProcedureRunning(true);
    ShowStatus(AutoPhaseStatus::kRunning);
    SetDlgItemText(IDC_AP_EXECUTE, "Abort Auto-phase");
    SetTimer(kTickTimer, 100, nullptr);
    m_stopwatch.Restart();
}

void CQvxAutoPhasingDlg::Tick()
{
    const AutoPhaseTick tick = m_run.Tick(m_stopwatch.GetElapsedSeconds(), GetStatusWord(), ResultReply());
    if (tick.kind == AutoPhaseTick::kQueryResult) {
        if (GetDrive() != -1)
            m_result.Query(static_cast<BYTE>(GetDrive()), kResultCode, kQueryMs, 0);
        TellOwnerEnded();
    } else if (tick.kind == AutoPhaseTick::kFinish) {
        FinishRun(tick.outcome);
    }
}

void CQvxAutoPhasingDlg::FinishRun(AutoPhaseOutcome outcome)
{
    const std::optional<long> result = ResultReply();
    m_result.Cancel();
    const AutoPhaseFinish finish = m_run.Finish(outcome, result);
    if (finish.writeAbort && GetDrive() != -1)
        SendCommand(static_cast<BYTE>(GetDrive()), kCommandCode, 0);
    ShowStatus(finish.status);
    if (finish.beep)
        MessageBeep(finish.beep);
    SetDlgItemText(IDC_AP_EXECUTE, "Execute Auto-phase");
    KillTimer(kBlinkTimer);
    KillTimer(kTickTimer);
    TellOwnerEnded();
}

void CQvxAutoPhasingDlg::TellOwnerEnded()
{
    if (m_run.TakeOwnerEnded() && m_owner)
        m_owner->OnProcedureRunning(false);
}

// ---------------------------------------------------------------------------
// Sending.

bool CQvxAutoPhasingDlg::RefuseWhileEnabled()
{
    if (!GetEnableBit())
        return false;
    CGuiUpdateItem::MessageBox(kDisableFirst, MB_OK, 0, IDOK);
    return true;
}

void CQvxAutoPhasingDlg::OnSend()
{
    if (RefuseWhileEnabled())
        return;
    if (CGuiUpdateItem::MessageBox("Send settings to drive?", MB_YESNO, 0, IDYES) == IDYES)
        SendGroup(-1);
}

int CQvxAutoPhasingDlg::SendGroup(int group)
{
    // Commutation settings never reach an enabled drive, however the send was asked for.
    if (GetEnableBit())
        return 0;
    const int sent = CGuiUpdateDlg::SendGroup(group);
    // The final current goes as a plain write: read it back for the conversions.
    if (GetDrive() != -1)
        m_queries[kFinalCurrent].QueryWithArgument(static_cast<BYTE>(GetDrive()), kSettingsCode, kSettingsIndexCode, 0,
                                                   kQueryMs);
    return sent;
}

int CQvxAutoPhasingDlg::ExecuteCommand(const CString& command, CString& reply)
{
    if (command.Left(9).CompareNoCase("SENDTOAMP") == 0 && RefuseWhileEnabled()) {
        reply = CString("ERROR:") + kDisableFirst;
        return 1;
    }
    return CGuiUpdateDlg::ExecuteCommand(command, reply);
}

void CQvxAutoPhasingDlg::OnModeClicked()
{
    ApplyFieldEnabling();
    m_controls.RestartPollingAll();
}

// ---------------------------------------------------------------------------
// Layout record and stress test.

void CQvxAutoPhasingDlg::SerializeLayout(CArchive& ar, int version)
{
    if (ar.IsStoring()) {
        m_properties.SetInt(kModeProperty, IsStepMode() ? 1 : 2);
        CGuiUpdateDlg::SerializeLayout(ar, version);
        return;
    }
    CGuiUpdateDlg::SerializeLayout(ar, version);
    int mode = 1;
    m_properties.GetInt(kModeProperty, mode);
    CheckRadioButton(IDC_AP_STEP, IDC_AP_CONTINUOUS, mode == 2 ? IDC_AP_CONTINUOUS : IDC_AP_STEP);
    ApplyFieldEnabling();
}

void CQvxAutoPhasingDlg::RandomExercise(int flags)
{
    CGuiUpdateDlg::RandomExercise(flags);
    const int draw = Rand() % 100;
    if (m_run.InProgress() && draw < 1)
        FinishRun(AutoPhaseOutcome::kAborted);
    else if (!m_run.InProgress() && draw < 5 && GetEnableBit() && !(GetModeWord() & kModeBits))
        Start(false);
    if (Rand() % 100 < 2) {
        CheckRadioButton(IDC_AP_STEP, IDC_AP_CONTINUOUS, IsStepMode() ? IDC_AP_CONTINUOUS : IDC_AP_STEP);
        OnModeClicked();
    }
}

// ---------------------------------------------------------------------------
// Closing.

// A window that closes aborts its run and hands its button back to the page.
void CQvxAutoPhasingDlg::EndForClose()
{
    if (m_ended)
        return;
    m_ended = true;
    if (m_run.InProgress())
        FinishRun(AutoPhaseOutcome::kAborted);
    KillTimer(kBlinkTimer);
    KillTimer(kTickTimer);
    if (CMotorProcedureOwner* owner = m_owner) {
        m_owner = nullptr;
        owner->OnProcedureWindowClosed(this);
    }
}

void CQvxAutoPhasingDlg::OnClose()
{
    // The page hears of the close only when the window really goes.
    CloseChildDialogs();
    if (!CanClose())
        return;
    EndForClose();
    SetClosing(1);
    CGuiUpdateDlg::OnClose();
}

void CQvxAutoPhasingDlg::OnDestroy()
{
    EndForClose();
    CGuiUpdateDlg::OnDestroy();
}

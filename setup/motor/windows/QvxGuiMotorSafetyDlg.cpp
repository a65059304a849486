#include "setup/motor/windows/QvxGuiMotorSafetyDlg.h"

#include <cstdlib>

#include "comm/link/CommAppServices.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/IniFile.h"
#include "platform/core/UserSettings.h"

IMPLEMENT_DYNCREATE(CQvxGuiMotorSafetyDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiMotorSafetyDlg));

BEGIN_MESSAGE_MAP(CQvxGuiMotorSafetyDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_MSAFE_SEND, &CQvxGuiMotorSafetyDlg::OnSendButton)
    ON_EN_KILLFOCUS(IDC_MSAFE_DESIRED_TIME, &CQvxGuiMotorSafetyDlg::OnPredictionInput)
    ON_EN_KILLFOCUS(IDC_MSAFE_DESIRED_CURRENT, &CQvxGuiMotorSafetyDlg::OnPredictionInput)
    ON_EN_KILLFOCUS(IDC_MSAFE_THERMAL_TC, &CQvxGuiMotorSafetyDlg::OnPredictionInput)
    ON_EN_KILLFOCUS(IDC_MSAFE_CONT_CURRENT, &CQvxGuiMotorSafetyDlg::OnPredictionInput)
    ON_EN_KILLFOCUS(IDC_MSAFE_PEAK_CURRENT, &CQvxGuiMotorSafetyDlg::OnPredictionInput)
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr WORD kQueryMs = 200;
constexpr WORD kControlPollMs = 600;
constexpr BYTE kQueryFlags = 0x60;
constexpr WORD kModelDataCode = 13452;
constexpr WORD kModelIndexCode = 13449;
constexpr WORD kProtectionCode = 9413;
constexpr WORD kOverTempEnableCode = 4229;
constexpr WORD kOverTempHighCode = 4225;
constexpr DWORD kOverTempMask = 0x40;
constexpr UINT_PTR kPredictionTimer = 0;
constexpr unsigned kWorkFlags = 0x2308;
constexpr unsigned kDriveFlags = 0x104;
constexpr unsigned kBoxFlags = 0x20100;
constexpr int kIdRate = 1, kIdSendRate = 2, kIdRateDrive = 3, kIdPredict = 4;
constexpr int kTavro = 4;

const char kTryAgain[] = "Could not send values. Please try again";

struct RowSpec {
    int work, drive;
    WORD code;
    bool pollFromStart;
    int parameter;
    int direction, reciprocal;
    double scale;
    double low, high;
    bool userUnits;
    const char* format;
    const char* name;
};

const RowSpec kRows[CQvxGuiMotorSafetyDlg::kRowCount] = {
    {IDC_MSAFE_CURRENT_LIMIT, IDC_MSAFE_CURRENT_LIMIT_DRIVE, 300, true, GPD_CURRENT_LIMIT, 0, 0, 1, 0, 32767, false,
     "%0.3f", "Current Limit"},
    {IDC_MSAFE_OVERSPEED, IDC_MSAFE_OVERSPEED_DRIVE, 6764, false, GPD_A2E_VEL_GAIN, 0, 0, 1, 0, 65535, false, "%0.2f",
     "Overspeed Threshold"},
    {IDC_MSAFE_FOLLOWING, IDC_MSAFE_FOLLOWING_DRIVE, 16588, false, -1, 0, 0, 1, 0, 2147483647.0, false, "%0.0f",
     "Position Following Error"},
    {IDC_MSAFE_LOW_TRIP_CURRENT, IDC_MSAFE_LOW_TRIP_CURRENT_DRIVE, 9612, true, GPD_A2E_CURRENT_GAIN, 0, 0, 1, 0, 32767,
     false, "%0.3f", "Low Speed Trip Current"},
    {IDC_MSAFE_LOW_TRIP_TIME, IDC_MSAFE_LOW_TRIP_TIME_DRIVE, 9620, true, GPD_LSECB_TIME, 0, 0, 1, 0, 15, true,
     "%0.3f", "Low Speed Trip Time"},
    {IDC_MSAFE_FOLD_CURRENT, IDC_MSAFE_FOLD_CURRENT_DRIVE, 9428, false, GPD_A2E_CURRENT_GAIN, 0, 0, 1, 0, 32767,
     false, "%0.3f", "Fold Back Trip Current"},
    {IDC_MSAFE_FOLD_RATE, IDC_MSAFE_FOLD_RATE_DRIVE, 0, false, -1, 0, 0, 1, 0, 32767, true, "%0.2f",
     "Fold Back Rate"},
    {IDC_MSAFE_THERMAL_TC, IDC_MSAFE_THERMAL_TC_DRIVE, 436, false, GPD_TSAMPLEI2TFILTERMT, 1, 0, 1, 4, 100000, false,
     "%0.0f", "Thermal Time Constant"},
    {IDC_MSAFE_CONT_CURRENT, IDC_MSAFE_CONT_CURRENT_DRIVE, 425, false, GPD_A2E_CURRENT_GAIN_RMS, 0, 0, 1, -32767,
     32767, false, "%0.3f", "Max rms Cont Current"},
    {IDC_MSAFE_PEAK_CURRENT, IDC_MSAFE_PEAK_CURRENT_DRIVE, 429, false, -1, 0, 0, 0.01, -32767, 32767, false, "%0.2f",
     "Max rms Peak Current"},
};

struct SettingKey {
    const char* key;
    int id;
    const char* fallback;
};
const SettingKey kSettings[] = {
    {"DesiredTime", IDC_MSAFE_DESIRED_TIME, "10"},      {"AllowedTime1", IDC_MSAFE_ALLOWED_TIME1, "10"},
    {"AllowedCurrent1", IDC_MSAFE_ALLOWED_CURRENT1, "15"}, {"DesiredCurrent", IDC_MSAFE_DESIRED_CURRENT, "15"},
    {"AllowedTime2", IDC_MSAFE_ALLOWED_TIME2, "10"},    {"AllowedCurrent2", IDC_MSAFE_ALLOWED_CURRENT2, "15"},
};

void Enable(CWnd* dlg, int id, bool on)
{
    if (CWnd* control = dlg->GetDlgItem(id))
        control->EnableWindow(on);
}
}  // namespace

CQvxGuiMotorSafetyDlg::CQvxGuiMotorSafetyDlg() : CGuiUpdateDlg(IDD)
{
    m_statusFlags = kStatusWord | kStatusFault;
}

BOOL CQvxGuiMotorSafetyDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    BindControls();
    SetEnableButton(GetDlgItem(IDC_MSAFE_ENABLE_DRIVE));
    if (CWnd* button = GetDlgItem(IDC_MSAFE_ENABLE_DRIVE))
        button->SetFocus();
    LoadSettings();
    UpdateEnables();
    return FALSE;
}

void CQvxGuiMotorSafetyDlg::BindRow(Row row)
{
    const RowSpec& spec = kRows[row];
    for (int column = 0; column < 2; ++column) {
        const bool working = column == 0;
        CQvxGuiEditCtrl& edit = working ? m_work[row] : m_drive[row];
        edit.SubclassDlgItem(working ? spec.work : spec.drive, this);
        // Listed first: the conversion bindings find the parameter table through the list.
        m_controls.AddControl(&edit, -1);
        edit.m_flags = working ? kWorkFlags : kDriveFlags;
        if (spec.pollFromStart)
            edit.SetPollRegister(spec.code, kControlPollMs, kQueryFlags);
        if (working) {
            if (spec.code)
                edit.SetWriteRegister(spec.code);
            edit.SetControlName(spec.name);
            edit.SetLimits(spec.low, spec.high);
            edit.m_limitsInUserUnits = spec.userUnits;
        }
        edit.SetDisplayFormat(spec.format, 0);
        if (spec.parameter != -1) {
            edit.BindGlobalParameter(spec.parameter, spec.direction, spec.reciprocal);
            edit.BindValueParameter(spec.parameter, !spec.direction, spec.reciprocal);
        } else if (spec.scale != 1) {
            edit.SetDisplayScale(spec.scale);
            edit.SetValueScale(1.0 / spec.scale);
        }
    }
}

void CQvxGuiMotorSafetyDlg::BindBoxes()
{
    const struct {
        CQvxGuiCheckboxCtrl* box;
        int id;
        DWORD mask;
    } boxes[] = {{&m_breakerBox, IDC_MSAFE_LOW_SPEED_BREAKER, 1},
                 {&m_foldBackBox, IDC_MSAFE_FOLD_BACK, 2},
                 {&m_i2tBox, IDC_MSAFE_I2T, 4},
                 {&m_followingBox, IDC_MSAFE_FOLLOWING_LIMIT, 8}};
    for (const auto& entry : boxes) {
        entry.box->SubclassDlgItem(entry.id, this);
        entry.box->m_bitMask = entry.mask;
        m_protection.AddCheckbox(entry.box);
    }
    m_protection.m_flags = kBoxFlags;
    // Bits of the word no box shows are written back as read.
    m_protection.m_keepUnrelatedBits = 1;
    m_protection.SetPollRegister(kProtectionCode, kControlPollMs, kQueryFlags);
    m_protection.SetWriteRegister(kProtectionCode);
    m_protection.SetControlName("Protection");
    m_controls.AddControl(&m_protection, -1);
}

void CQvxGuiMotorSafetyDlg::BindControls()
{
    for (int row = 0; row < kRowCount; ++row)
        BindRow(static_cast<Row>(row));
    // The write register first: setting it clears a custom send, and the rate
    // must go through its conversion, never as the shown number.
    m_work[kFoldRate].SetWriteRegister(9426);
    m_work[kFoldRate].m_customSendId = kIdSendRate;
    for (CQvxGuiEditCtrl* edit : {&m_desiredTime, &m_desiredCurrent}) {
        edit->SubclassDlgItem(edit == &m_desiredTime ? IDC_MSAFE_DESIRED_TIME : IDC_MSAFE_DESIRED_CURRENT, this);
        m_controls.AddControl(edit, -1);
        edit->m_flags = 0x22100;
        edit->m_customSendId = kIdPredict;
        edit->SetDisplayFormat("%0.2f", 0);
    }
    BindBoxes();
    m_overTemp.SubclassDlgItem(IDC_MSAFE_OVERTEMP, this);
    m_overTempDrive.SubclassDlgItem(IDC_MSAFE_OVERTEMP_DRIVE, this);
    m_activeHigh.SubclassDlgItem(IDC_MSAFE_OVERTEMP_HIGH, this);
    m_activeHighDrive.SubclassDlgItem(IDC_MSAFE_OVERTEMP_HIGH_DRIVE, this);
}

void CQvxGuiMotorSafetyDlg::BindOverTemp(bool tavro)
{
    for (int id : {IDC_MSAFE_OVERTEMP, IDC_MSAFE_OVERTEMP_HIGH})
        Enable(this, id, tavro);
    if (!tavro || m_overTempGroup.GetOwnerList())
        return;
    const struct {
        CQvxGuiCheckboxCtrlGroup* group;
        CQvxGuiCheckboxCtrl* work;
        CQvxGuiCheckboxCtrl* drive;
        WORD code;
        const char* name;
    } rows[] = {{&m_overTempGroup, &m_overTemp, &m_overTempDrive, kOverTempEnableCode, "Motor Over Temp Enable"},
                {&m_activeHighGroup, &m_activeHigh, &m_activeHighDrive, kOverTempHighCode,
                 "Motor Over Temp Active High"}};
    for (const auto& row : rows) {
        // A group of one keeps the other bits of the word as the drive has them.
        row.work->m_bitMask = kOverTempMask;
        row.group->AddCheckbox(row.work);
        row.group->m_flags = kBoxFlags;
        row.group->m_keepUnrelatedBits = 1;
        row.group->SetPollRegister(row.code, kControlPollMs, kQueryFlags);
        row.group->SetWriteRegister(row.code);
        row.group->SetControlName(row.name);
        m_controls.AddControl(row.group, -1);
        row.drive->m_bitMask = kOverTempMask;
        row.drive->SetPollRegister(row.code, kControlPollMs, kQueryFlags);
        m_controls.AddControl(row.drive, -1);
    }
}

void CQvxGuiMotorSafetyDlg::ReleaseOverTemp()
{
    CQvxGuiControl* controls[] = {&m_overTempGroup, &m_overTempDrive, &m_activeHighGroup, &m_activeHighDrive};
    for (CQvxGuiControl* control : controls) {
        POSITION pos = m_controls.Find(control);
        if (!pos)
            continue;
        control->Shutdown();
        m_controls.RemoveAt(pos);
        control->SetOwnerList(nullptr);
    }
}

void CQvxGuiMotorSafetyDlg::ForgetDrive()
{
    KillTimer(kPredictionTimer);
    // The prediction's own inputs are the engineer's, not the drive's: they stay.
    for (int row = 0; row < kRowCount; ++row) {
        m_work[row].ClearValue();
        m_drive[row].ClearValue();
    }
    for (CQvxGuiCheckboxCtrl* box : {&m_breakerBox, &m_foldBackBox, &m_i2tBox, &m_followingBox, &m_overTemp,
                                     &m_overTempDrive, &m_activeHigh, &m_activeHighDrive})
        box->ClearValue();
    m_queriesIssued = false;
    m_featuresKnown = false;
    m_rateConverted = false;
    m_lastProtection = -1;
    // The new drive's firmware decides again which rows and protections it has.
    ReleaseOverTemp();
    for (CQvxGuiCheckboxCtrl* box : {&m_breakerBox, &m_foldBackBox, &m_i2tBox, &m_followingBox}) {
        m_protection.AddCheckbox(box);
        box->EnableWindow(TRUE);
    }
    for (int row = 0; row < kRowCount; ++row)
        m_drive[row].EnableWindow(TRUE);
}

void CQvxGuiMotorSafetyDlg::SetDrive(int drive, int restart)
{
    if (drive != GetDrive() && GetDrive() != -1 && GetSafeHwnd())
        ForgetDrive();
    CGuiUpdateDlg::SetDrive(drive, restart);
}

// ---------------------------------------------------------------------------
void CQvxGuiMotorSafetyDlg::IssueQueries()
{
    const int drive = GetDrive();
    const BYTE address = static_cast<BYTE>(drive);
    if (CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr) {
        // The edits were bound before the window had its drive: follow this drive's conversions.
        for (int row = 0; row < kRowCount; ++row)
            for (CQvxGuiEditCtrl* edit : {&m_work[row], &m_drive[row]}) {
                table->RemoveParameterClient(edit);
                edit->Initialise();
            }
        // Besides what the features need, the conversions of the edits.
        for (int id : {GPD_CS, GPD_A2E_VEL_INDUCTION_GAIN, GPD_A2E_CURRENT_GAIN, GPD_MDL14, GPD_SERVO_FREQ_I, GPD_VER,
                       GPD_THERMALTC, GPD_A2E_VEL_GAIN, GPD_CURRENT_LIMIT, GPD_LSECB_TIME, GPD_TSAMPLEI2TFILTERMT,
                       GPD_A2E_CURRENT_GAIN_RMS})
            table->RequestParameterQuery(drive, id);
    }
    m_queries[kIFR].Query(address, 9426, kQueryMs, kQueryFlags);
    m_queries[kMC].Query(address, 419, kQueryMs, kQueryFlags);
    m_queries[kDriveCont].QueryWithArgument(address, kModelDataCode, kModelIndexCode, 3, kQueryMs);
    m_queries[kDrivePeak].QueryWithArgument(address, kModelDataCode, kModelIndexCode, 4, kQueryMs);
    m_queries[kDriveCoeff].QueryWithArgument(address, kModelDataCode, kModelIndexCode, 22, kQueryMs);
    m_queriesIssued = true;
}

int CQvxGuiMotorSafetyDlg::PrepareQueries()
{
    if (GetDrive() == -1)
        return 0;
    if (!m_queriesIssued) {
        m_rateConverted = false;
        IssueQueries();
    }
    if (!SetupFeatures())
        return 0;
    CCommAppServices* app = CCommAppServices::Get();
    BindOverTemp(app && app->GetDriveFamily(GetDrive()) == kTavro);
    return 1;
}

void CQvxGuiMotorSafetyDlg::DropRow(Row row, CQvxGuiCheckboxCtrl* box)
{
    m_work[row].EnableWindow(FALSE);
    m_drive[row].EnableWindow(FALSE);
    if (box) {
        m_protection.RemoveCheckbox(box);
        box->EnableWindow(FALSE);
    }
}

void CQvxGuiMotorSafetyDlg::PollRow(Row row, WORD code)
{
    for (CQvxGuiEditCtrl* edit : {&m_work[row], &m_drive[row]})
        edit->SetPollRegister(code, kControlPollMs, kQueryFlags);
}

bool CQvxGuiMotorSafetyDlg::SetupFeatures()
{
    double cs = 0, gain = 0, freq = 0, version = 0, hardware = 0;
    CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr;
    const int drive = GetDrive();
    if (!table || !table->IsParameterValid(drive, GPD_CS) || !table->IsParameterValid(drive, GPD_A2E_CURRENT_GAIN) ||
        !table->IsParameterValid(drive, GPD_A2E_VEL_INDUCTION_GAIN) || !GetGlobalParameterValue(-1, GPD_CS, cs) ||
        !GetGlobalParameterValue(-1, GPD_A2E_CURRENT_GAIN, gain) ||
        !GetGlobalParameterValue(-1, GPD_SERVO_FREQ_I, freq) || !GetGlobalParameterValue(-1, GPD_VER, version) ||
        !GetGlobalParameterValue(-1, GPD_MDL14, hardware))
        return false;
    m_features = CMotorSafetyCalc::FeaturesForVersion(version);
    m_featuresKnown = true;
    if (m_features.i2tPrediction) {
        PollRow(kContCurrent, 425);
        PollRow(kThermalTc, 436);
        PollRow(kPeakCurrent, 429);
    } else {
        DropRow(kContCurrent, &m_i2tBox);
        DropRow(kThermalTc, nullptr);
        DropRow(kPeakCurrent, nullptr);
    }
    if (m_features.foldBack) {
        PollRow(kFoldCurrent, 9428);
        m_work[kFoldRate].SetCustomPollId(kIdRate);
        m_drive[kFoldRate].SetCustomPollId(kIdRateDrive);
        FoldBackConversion conv;
        if (Conversion(conv))
            m_work[kFoldRate].SetLimits(CMotorSafetyCalc::MinFoldBackRate(conv), CMotorSafetyCalc::MaxFoldBackRate(conv));
        m_work[kFoldRate].SetModified(0);
    } else {
        DropRow(kFoldCurrent, &m_foldBackBox);
        DropRow(kFoldRate, nullptr);
    }
    if (m_features.overspeedAndFollowing) {
        PollRow(kOverspeed, 6764);
        PollRow(kFollowing, 16588);
    } else {
        DropRow(kOverspeed, &m_followingBox);
        DropRow(kFollowing, nullptr);
    }
    UpdateEnables();
    return true;
}

int CQvxGuiMotorSafetyDlg::InitialUpdate()
{
    CCommAppServices* app = CCommAppServices::Get();
    const bool tavro = app && app->GetDriveFamily(GetDrive()) == kTavro;
    for (int id : {IDC_MSAFE_OVERTEMP, IDC_MSAFE_OVERTEMP_DRIVE, IDC_MSAFE_OVERTEMP_HIGH,
                   IDC_MSAFE_OVERTEMP_HIGH_DRIVE, IDC_MSAFE_OVERTEMP_LABEL, IDC_MSAFE_OVERTEMP_HIGH_LABEL})
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(tavro ? SW_SHOW : SW_HIDE);
    return CGuiUpdateDlg::InitialUpdate();
}

// ---------------------------------------------------------------------------
bool CQvxGuiMotorSafetyDlg::Conversion(FoldBackConversion& conv)
{
    double cs = 0, gain = 0, freq = 0;
    if (!GetGlobalParameterValue(-1, GPD_CS, cs) || !GetGlobalParameterValue(-1, GPD_SERVO_FREQ_I, freq))
        return false;
    const int id = static_cast<int>(cs) == 1 ? GPD_A2E_VEL_INDUCTION_GAIN : GPD_A2E_CURRENT_GAIN;
    if (!GetGlobalParameterValue(-1, id, gain))
        return false;
    conv = FoldBackConversion{static_cast<int>(cs), gain, freq};
    return true;
}

int CQvxGuiMotorSafetyDlg::CustomPoll(int id, double& value, CWnd* control)
{
    if (id != kIdRate && id != kIdRateDrive)
        return -2;
    auto* edit = dynamic_cast<CQvxGuiEditCtrl*>(control);
    // A working entry not sent yet stays as the user left it.
    if (edit && edit->HasWriteRegister() && edit->IsModified())
        return 2;
    LONG ifr = 0;
    FoldBackConversion conv;
    if (!m_features.foldBack || !m_queries[kIFR].GetValue(ifr) || !Conversion(conv))
        return 0;
    m_lastRate = CMotorSafetyCalc::FoldBackRate(ifr, conv);
    m_rateConverted = true;
    value = m_lastRate;
    return 1;
}

int CQvxGuiMotorSafetyDlg::CustomSend(int id, double value, CWnd* /*control*/)
{
    if (id == kIdPredict) {
        RunPrediction();
        return 0;
    }
    if (id != kIdSendRate)
        return 0;
    FoldBackConversion conv;
    if (!Conversion(conv)) {
        CGuiUpdateItem::MessageBox(kTryAgain, MB_OK, 0, IDOK);
        return 0;
    }
    // The rate is shown with two decimals: sent back unchanged it would move the
    // register (a small rate rounds far), so an untouched entry keeps what the drive holds.
    LONG held = 0;
    if (!m_work[kFoldRate].IsModified() && m_queries[kIFR].GetValue(held) && held > 0) {
        SendCommand(static_cast<BYTE>(GetDrive()), 9426, held);
        return 1;
    }
    const std::optional<int> ifr = CMotorSafetyCalc::FoldBackIfr(value, conv);
    if (!ifr) {
        CString message;
        message.Format("ERROR: Fold Back Rate Range: %-8.2lf...%-8.2lf", CMotorSafetyCalc::MinFoldBackRate(conv),
                       CMotorSafetyCalc::MaxFoldBackRate(conv));
        CGuiUpdateItem::MessageBox(message, MB_OK, 0, IDOK);
        return 0;
    }
    SendCommand(static_cast<BYTE>(GetDrive()), 9426, *ifr);
    return 1;
}

// ---------------------------------------------------------------------------
bool CQvxGuiMotorSafetyDlg::RunPrediction()
{
    LONG cont = 0, peak = 0, coeff = 0;
    if (!m_queries[kDriveCont].GetValue(cont) || !m_queries[kDrivePeak].GetValue(peak) ||
        !m_queries[kDriveCoeff].GetValue(coeff))
        return false;
    CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr;
    double ic = cont, ip = peak;
    if (!table || !table->ConvertValue(GetDrive(), GPD_A2E_CURRENT_GAIN, ic, false) ||
        !table->ConvertValue(GetDrive(), GPD_A2E_CURRENT_GAIN, ip, false))
        return false;
    CString text;
    const auto number = [&](int id) {
        GetDlgItemText(id, text);
        return std::atof(text);
    };
    I2tInputs in;
    in.driveContinuous = ic;
    in.drivePeak = ip;
    in.driveThermalCoeff = coeff;
    // The motor's data as the drive holds it, in amps and seconds like the drive's ratings.
    in.motorPeak = m_drive[kPeakCurrent].GetConvertedValue();
    in.motorContinuous = m_drive[kContCurrent].GetConvertedValue();
    in.motorTimeConstant = m_drive[kThermalTc].GetConvertedValue();
    in.desiredTime = number(IDC_MSAFE_DESIRED_TIME);
    in.desiredCurrent = number(IDC_MSAFE_DESIRED_CURRENT);
    const I2tResult result = CMotorSafetyCalc::PredictI2t(in);
    const struct {
        int id;
        double value;
    } shown[] = {{IDC_MSAFE_ALLOWED_TIME1, result.timeRowTime},
                 {IDC_MSAFE_ALLOWED_CURRENT1, result.timeRowCurrent},
                 {IDC_MSAFE_ALLOWED_TIME2, result.currentRowTime},
                 {IDC_MSAFE_ALLOWED_CURRENT2, result.currentRowCurrent}};
    for (const auto& item : shown) {
        text.Format("%0.2f", item.value);
        SetDlgItemText(item.id, text);
    }
    return true;
}

void CQvxGuiMotorSafetyDlg::OnTimer(UINT_PTR id)
{
    if (id != kPredictionTimer)
        return;
    for (Row row : {kThermalTc, kContCurrent, kPeakCurrent})
        if (m_work[row].GetState() != 3 || m_drive[row].GetState() != 3)
            return;
    RunPrediction();
    KillTimer(kPredictionTimer);
}

// ---------------------------------------------------------------------------
void CQvxGuiMotorSafetyDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    CheckProtections();
    if (m_queries[kMC].HasChanged(1))
        UpdateOverspeedLabel();
}

// At least one protection stays on: taking the last one off brings the breaker back.
void CQvxGuiMotorSafetyDlg::CheckProtections()
{
    if (!m_featuresKnown || m_protection.GetState() != 3)
        return;
    int value = 0;
    for (CQvxGuiCheckboxCtrl* box : {&m_breakerBox, &m_foldBackBox, &m_i2tBox, &m_followingBox})
        if (box->GetGroup() == &m_protection && box->GetCheck())
            value |= static_cast<int>(box->m_bitMask);
    if (value == m_lastProtection)
        return;
    if (m_lastProtection != -1 && value == 0) {
        CGuiUpdateItem::MessageBox("At least one protection method must be enabled.  Low Speed Electronic Circuit "
                                   "Breaker is selected as default.",
                                   MB_OK, 0, IDOK);
        m_breakerBox.SetCheck(BST_CHECKED);
        m_breakerBox.SetModified(1);
        value = static_cast<int>(m_breakerBox.m_bitMask);
    }
    UpdateEnables();
    m_lastProtection = value;
}

void CQvxGuiMotorSafetyDlg::UpdateOverspeedLabel()
{
    LONG mc = 0;
    if (!m_queries[kMC].GetValue(mc))
        return;
    const char* label = "Invalid MC value";
    if (mc == 0)
        label = "Overspeed threshold (rpm):";
    else if (mc == 1)
        label = "Overspeed threshold (mm/sec):";
    SetDlgItemText(IDC_MSAFE_OVERSPEED_LABEL, label);
}

void CQvxGuiMotorSafetyDlg::UpdateEnables()
{
    const bool breaker = m_breakerBox.GetSafeHwnd() && m_breakerBox.GetCheck();
    m_work[kLowTripCurrent].EnableWindow(breaker);
    m_work[kLowTripTime].EnableWindow(breaker);
    if (!m_featuresKnown)
        return;
    if (m_features.foldBack) {
        const bool foldBack = m_foldBackBox.GetCheck() != 0;
        m_work[kFoldCurrent].EnableWindow(foldBack);
        m_work[kFoldRate].EnableWindow(foldBack);
    }
    if (m_features.i2tPrediction) {
        const bool i2t = m_i2tBox.GetCheck() != 0;
        for (Row row : {kThermalTc, kContCurrent, kPeakCurrent})
            m_work[row].EnableWindow(i2t);
        for (int id : {IDC_MSAFE_DESIRED_TIME, IDC_MSAFE_DESIRED_CURRENT, IDC_MSAFE_ALLOWED_TIME1,
                       IDC_MSAFE_ALLOWED_CURRENT1, IDC_MSAFE_ALLOWED_TIME2, IDC_MSAFE_ALLOWED_CURRENT2})
            Enable(this, id, i2t);
    }
    if (m_features.overspeedAndFollowing)
        m_work[kFollowing].EnableWindow(m_followingBox.GetCheck() != 0);
}

// ---------------------------------------------------------------------------
bool CQvxGuiMotorSafetyDlg::CheckSendable()
{
    CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr;
    if (!m_featuresKnown ||
        (m_features.foldBack && (!m_rateConverted || !table || !table->IsParameterValid(GetDrive(), GPD_MDL14)))) {
        CGuiUpdateItem::MessageBox(kTryAgain, MB_OK, 0, IDOK);
        return false;
    }
    if (GetEnableBit()) {
        CGuiUpdateItem::MessageBox("Motor is Enabled.\nMotor Safety values not sent to drive.", MB_OK, 0, IDOK);
        return false;
    }
    return true;
}

void CQvxGuiMotorSafetyDlg::SendAll(bool ask)
{
    if (!CheckSendable())
        return;
    if (ask) {
        const CString question = "Press OK to send the following values to the drive:\r\n\r\n" + ListControls();
        if (CGuiUpdateItem::MessageBox(question, MB_OKCANCEL, 0, IDOK) != IDOK)
            return;
    }
    m_controls.SendGroup(-1);
    // The prediction reruns on the motor data the drive then holds.
    for (Row row : {kThermalTc, kContCurrent, kPeakCurrent}) {
        m_drive[row].ClearValue();
        m_drive[row].RestartPolling();
    }
    SetTimer(kPredictionTimer, 100);
}

void CQvxGuiMotorSafetyDlg::OnSendButton()
{
    SendAll(true);
}

int CQvxGuiMotorSafetyDlg::SendGroup(int group)
{
    if (group != -1)
        return CGuiUpdateDlg::SendGroup(group);
    SendAll(false);
    return 1;
}

void CQvxGuiMotorSafetyDlg::OnOK()
{
    m_controls.AcceptPendingEntry();
    CWnd* focus = CWnd::GetFocus();
    if (focus == &m_work[kThermalTc] || focus == &m_work[kContCurrent] || focus == &m_work[kPeakCurrent])
        RunPrediction();
}

// ---------------------------------------------------------------------------
CString CQvxGuiMotorSafetyDlg::IniPath() const
{
    if (CCommAppServices* app = CCommAppServices::Get()) {
        const CString path = app->GetUserSettingsIniPath();
        if (!path.IsEmpty())
            return path;
    }
    return AfxGetUserSettingsIniPath();
}

void CQvxGuiMotorSafetyDlg::LoadSettings()
{
    const CString path = IniPath();
    char text[256];
    for (const SettingKey& setting : kSettings) {
        GetPrivateProfileString(kSection, setting.key, setting.fallback, text, sizeof(text), path);
        SetDlgItemText(setting.id, text);
    }
    m_settingsLoaded = true;
}

void CQvxGuiMotorSafetyDlg::SaveSettings()
{
    const CString path = IniPath();
    if (!m_settingsLoaded || path.IsEmpty())
        return;
    for (const SettingKey& setting : kSettings) {
        CString text;
        GetDlgItemText(setting.id, text);
        WritePrivateProfileString(kSection, setting.key, text, path);
    }
}

void CQvxGuiMotorSafetyDlg::OnDestroy()
{
    KillTimer(kPredictionTimer);
    SaveSettings();
    CGuiUpdateDlg::OnDestroy();
}

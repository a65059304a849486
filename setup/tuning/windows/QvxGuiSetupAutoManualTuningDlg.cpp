#include "setup/tuning/windows/QvxGuiSetupAutoManualTuningDlg.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "comm/link/AmplifierData.h"
#include "comm/link/CommAppServices.h"
#include "distribution/AmpResponseToGui.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiFrameServices.h"
#include "framework/GuiUpdateDlgIdMap.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/Archive.h"
#include "platform/core/IniFile.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/Edit.h"
#include "resources/ids/SetupAutoManualTuningIds.h"
#include "setup/tuning/windows/MotorTableSource.h"

IMPLEMENT_DYNCREATE(CQvxGuiSetupAutoManualTuningDlg, CGuiUpdateDlg)
// Known by name, so the window factory and layouts can make it.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiSetupAutoManualTuningDlg));

BEGIN_MESSAGE_MAP(CQvxGuiSetupAutoManualTuningDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_MP_MANUAL, &CQvxGuiSetupAutoManualTuningDlg::OnManualTuning)
    ON_BN_CLICKED(IDC_MP_FINE, &CQvxGuiSetupAutoManualTuningDlg::OnFineTuning)
    ON_BN_CLICKED(IDC_MP_ONE_PHASE, &CQvxGuiSetupAutoManualTuningDlg::OnOnePhase)
    ON_BN_CLICKED(IDC_MP_THREE_PHASE, &CQvxGuiSetupAutoManualTuningDlg::OnThreePhase)
    ON_BN_CLICKED(IDC_MP_AUTO, &CQvxGuiSetupAutoManualTuningDlg::OnAutoTune)
    ON_BN_CLICKED(IDC_MP_SEND, &CQvxGuiSetupAutoManualTuningDlg::OnSend)
    ON_BN_CLICKED(IDC_MP_LOAD_DEFAULTS, &CQvxGuiSetupAutoManualTuningDlg::OnLoadDefaults)
    ON_BN_CLICKED(IDC_MP_PART_LIST, &CQvxGuiSetupAutoManualTuningDlg::OnPartList)
END_MESSAGE_MAP()

namespace {

constexpr WORD kPolled[] = {CQvxGuiSetupAutoManualTuningDlg::kIntegralGain,
                            CQvxGuiSetupAutoManualTuningDlg::kProportionalGain,
                            CQvxGuiSetupAutoManualTuningDlg::kMasterGain,
                            CQvxGuiSetupAutoManualTuningDlg::kResistance,
                            CQvxGuiSetupAutoManualTuningDlg::kInductance,
                            CQvxGuiSetupAutoManualTuningDlg::kBusVolts};
constexpr WORD kPollPeriod = 600;
constexpr BYTE kPollFlags = 96;
constexpr double kMaxBandwidth = 4000.0;
constexpr int kMinAutoInductance = 10;  // 0.1 mH in drive units
const char kSection[] = "SETUP MOTOR PARAMETERS";

// Drive units to what the fields show.
struct MotorField {
    int edit;
    int drive;
    WORD code;
    double scale;
    const char* format;
};
constexpr MotorField kMotorFields[] = {
    {IDC_MP_RESISTANCE, IDC_MP_RESISTANCE_DRIVE, CQvxGuiSetupAutoManualTuningDlg::kResistance, 0.01, "%0.2f"},
    {IDC_MP_INDUCTANCE, IDC_MP_INDUCTANCE_DRIVE, CQvxGuiSetupAutoManualTuningDlg::kInductance, 0.01, "%0.2f"},
    {IDC_MP_BUS, IDC_MP_BUS_DRIVE, CQvxGuiSetupAutoManualTuningDlg::kBusVolts, 1.0, "%0.0f"},
};

CString Format(const char* format, double value)
{
    CString text;
    text.Format(format, value);
    return text;
}

}  // namespace

CQvxGuiSetupAutoManualTuningDlg::CQvxGuiSetupAutoManualTuningDlg() : CGuiUpdateDlg(IDD_SETUP_MOTOR_PARAMS)
{
    m_statusFlags = kStatusMode | kStatusWord | kStatusFault;
}

double CQvxGuiSetupAutoManualTuningDlg::GainPercent(int value)
{
    const int held = std::clamp(value, -32767, 32767);
    return (RoundToInt((held + 32767) * 20000.0 / 65534.0) - 10000) / 100.0;
}

BOOL CQvxGuiSetupAutoManualTuningDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    SetEnableButton(GetDlgItem(IDC_MP_ENABLE));
    // The motor table's part numbers, then its model numbers.
    m_partNumber.SubclassDlgItem(IDC_MP_PART_NUMBER, this);
    if (CMotorTableSource* source = CMotorTableSource::Get()) {
        const std::vector<MotorTableRow> rows = source->Rows();
        for (const MotorTableRow& row : rows)
            m_partNumber.GetChoices().AddTail(row.partNum);
        for (const MotorTableRow& row : rows)
            m_partNumber.GetChoices().AddTail(row.modelNum);
    }
    CheckDlgButton(IDC_MP_MANUAL, BST_CHECKED);
    CheckDlgButton(IDC_MP_ONE_PHASE, BST_CHECKED);
    ApplyFineLayout(false);
    OnManualTuning();
    ResetUpdateTimer();
    return TRUE;
}

CString CQvxGuiSetupAutoManualTuningDlg::IniPath() const
{
    CCommAppServices* app = CCommAppServices::Get();
    return app ? app->GetUserSettingsIniPath() : CString();
}

bool CQvxGuiSetupAutoManualTuningDlg::IsManual() const { return IsDlgButtonChecked(IDC_MP_MANUAL) == BST_CHECKED; }

int CQvxGuiSetupAutoManualTuningDlg::PrepareQueries()
{
    const int drive = GetDrive();
    if (drive < 0)
        return 1;
    for (WORD code : kPolled)
        SendQuery(static_cast<BYTE>(drive), code, kPollPeriod, kPollFlags);
    if (CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr)
        for (int id : {GPD_SERVO_FREQ_I, GPD_A2E_CURRENT_GAIN, GPD_CS})
            table->RequestParameterQuery(drive, id);
    return 1;
}

void CQvxGuiSetupAutoManualTuningDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    CGuiUpdateDlg::OnStatusResponse(response);
    if (response.m_error || response.m_write || static_cast<int>(response.m_address) != GetDrive())
        return;
    m_values[response.m_code] = response.m_value;
}

void CQvxGuiSetupAutoManualTuningDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    UpdateControls();
}

void CQvxGuiSetupAutoManualTuningDlg::SetDrive(int drive, int restart)
{
    if (drive == GetDrive()) {
        CGuiUpdateDlg::SetDrive(drive, restart);
        return;
    }
    m_values.clear();
    m_initialised = false;
    CGuiUpdateDlg::SetDrive(drive, restart);
}

void CQvxGuiSetupAutoManualTuningDlg::UpdateControls()
{
    for (const MotorField& field : kMotorFields) {
        auto it = m_values.find(field.code);
        if (it == m_values.end())
            continue;
        const CString text = Format(field.format, it->second * field.scale);
        SetDlgItemText(field.drive, text);
        CString typed;
        GetDlgItemText(field.edit, typed);
        if (typed.IsEmpty())
            SetDlgItemText(field.edit, text);
    }
    CurrentLoopMotorValues drive;
    if (!m_initialised && ReadDriveGains(drive)) {
        m_initialised = true;
        m_working = drive;
        m_typed = drive;
        RecomputeInitial();
        ApplyRestoredChecks();
    }
    ShowGains();
}

void CQvxGuiSetupAutoManualTuningDlg::SerializeLayout(CArchive& ar, int version)
{
    if (ar.IsStoring()) {
        m_properties.SetInt("bFineTuning", IsFine() ? 1 : 0);
        m_properties.SetInt("bManualTuning", IsManual() ? 1 : 0);
        m_properties.SetInt("bOnePhase", IsDlgButtonChecked(IDC_MP_ONE_PHASE) == BST_CHECKED ? 1 : 0);
        CGuiUpdateDlg::SerializeLayout(ar, version);
        return;
    }
    CGuiUpdateDlg::SerializeLayout(ar, version);
    m_restoreFine = 0;
    m_restoreManual = 1;
    m_restoreOnePhase = 1;
    m_properties.GetInt("bFineTuning", m_restoreFine);
    m_properties.GetInt("bManualTuning", m_restoreManual);
    m_properties.GetInt("bOnePhase", m_restoreOnePhase);
    m_restorePending = true;
}

void CQvxGuiSetupAutoManualTuningDlg::ApplyRestoredChecks()
{
    if (!m_restorePending)
        return;
    m_restorePending = false;
    if (!m_restoreFine)
        return;
    CheckDlgButton(IDC_MP_FINE, BST_CHECKED);
    OnFineTuning();
    CheckDlgButton(IDC_MP_ONE_PHASE, m_restoreOnePhase ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_MP_THREE_PHASE, m_restoreOnePhase ? BST_UNCHECKED : BST_CHECKED);
    m_phase = m_restoreOnePhase ? 1 : 3;
    CheckDlgButton(IDC_MP_MANUAL, m_restoreManual ? BST_CHECKED : BST_UNCHECKED);
    OnManualTuning();
}

// ---- what the computations read --------------------------------------------------

double CQvxGuiSetupAutoManualTuningDlg::FieldValue(int id)
{
    CString text;
    GetDlgItemText(id, text);
    return std::atof(text);
}

double CQvxGuiSetupAutoManualTuningDlg::GetResistanceField() { return RoundToInt(FieldValue(IDC_MP_RESISTANCE) / 0.01); }
double CQvxGuiSetupAutoManualTuningDlg::GetInductanceField() { return RoundToInt(FieldValue(IDC_MP_INDUCTANCE) / 0.01); }
double CQvxGuiSetupAutoManualTuningDlg::GetBusVoltsField() { return RoundToInt(FieldValue(IDC_MP_BUS)); }

bool CQvxGuiSetupAutoManualTuningDlg::ReadDriveGains(CurrentLoopMotorValues& values)
{
    auto gip = m_values.find(kProportionalGain), gii = m_values.find(kIntegralGain), gim = m_values.find(kMasterGain);
    if (gip == m_values.end() || gii == m_values.end() || gim == m_values.end())
        return false;
    values.ProportionalGain = gip->second;
    values.IntegralGain = gii->second;
    values.MasterGain = gim->second;
    values.Resistance = static_cast<int>(GetResistanceField());
    values.Inductance = static_cast<int>(GetInductanceField());
    values.BusVolts = static_cast<int>(GetBusVoltsField());
    return true;
}

bool CQvxGuiSetupAutoManualTuningDlg::ReadConversions(CurrentLoopConversions& conversions)
{
    return GetGlobalParameterValue(-1, GPD_CS, conversions.cs) &&
           GetGlobalParameterValue(-1, GPD_SERVO_FREQ_I, conversions.servoFreq) &&
           GetGlobalParameterValue(-1, GPD_A2E_CURRENT_GAIN, conversions.currentGain);
}

bool CQvxGuiSetupAutoManualTuningDlg::ReadAll(CurrentLoopConversions& conversions, CurrentLoopMotorValues& drive)
{
    return ReadConversions(conversions) && ReadDriveGains(drive);
}

void CQvxGuiSetupAutoManualTuningDlg::ShowMessage(const CString& text)
{
    CGuiUpdateItem::MessageBox(text, MB_OK | MB_ICONEXCLAMATION, 0, IDOK);
}

void CQvxGuiSetupAutoManualTuningDlg::SetAutoTuneResults(int proportionalGain, int integralGain, int masterGain,
                                                         int bandwidth)
{
    m_typed.ProportionalGain = proportionalGain;
    m_typed.IntegralGain = integralGain;
    m_typed.MasterGain = masterGain;
    m_currentBandwidth = bandwidth;
    ShowBandwidth(IDC_MP_BANDWIDTH, bandwidth);
    ShowGains();
}

// ---- showing ----------------------------------------------------------------------

void CQvxGuiSetupAutoManualTuningDlg::ShowBandwidth(int id, double value) { SetDlgItemText(id, Format("%0.0f", value)); }

void CQvxGuiSetupAutoManualTuningDlg::ShowGains()
{
    CWnd* focus = GetFocus();
    const int focused = focus ? focus->GetDlgCtrlID() : 0;
    auto show = [&](int id, const CString& text) {
        if (id != focused)  // never under the user's typing
            SetDlgItemText(id, text);
    };
    if (IsFine()) {
        show(IDC_MP_GIP, Format("%0.0f", m_typed.ProportionalGain));
        show(IDC_MP_GII, Format("%0.0f", m_typed.IntegralGain));
        show(IDC_MP_GIM, Format("%0.0f", m_typed.MasterGain));
    } else {
        show(IDC_MP_GIP, Format("%0.3f", GainPercent(m_working.ProportionalGain)));
        show(IDC_MP_GII, Format("%0.2f", GainPercent(m_working.IntegralGain)));
        show(IDC_MP_GIM, Format("%0.0f", m_working.MasterGain));
    }
    CurrentLoopMotorValues drive;
    if (!ReadDriveGains(drive))
        return;
    if (IsFine()) {
        SetDlgItemText(IDC_MP_GIP_DRIVE, Format("%0.0f", drive.ProportionalGain));
        SetDlgItemText(IDC_MP_GII_DRIVE, Format("%0.0f", drive.IntegralGain));
    } else {
        SetDlgItemText(IDC_MP_GIP_DRIVE, Format("%0.3f", GainPercent(drive.ProportionalGain)));
        SetDlgItemText(IDC_MP_GII_DRIVE, Format("%0.2f", GainPercent(drive.IntegralGain)));
    }
    SetDlgItemText(IDC_MP_GIM_DRIVE, Format("%0.0f", drive.MasterGain));
}

// ---- bandwidths ---------------------------------------------------------------------

void CQvxGuiSetupAutoManualTuningDlg::RecomputeInitial()
{
    CurrentLoopConversions conversions;
    CurrentLoopMotorValues drive;
    if (!ReadAll(conversions, drive))
        return;
    m_effectiveBandwidth = EffectiveBandwidthFromResponse(conversions, drive, m_phase);
    m_currentBandwidth = BandwidthFromProportionalGain(drive, conversions);
    ShowBandwidth(IDC_MP_BANDWIDTH, m_currentBandwidth);
    ShowBandwidth(IDC_MP_BANDWIDTH_DRIVE, m_currentBandwidth);
}

void CQvxGuiSetupAutoManualTuningDlg::ManualFit()
{
    CurrentLoopConversions conversions;
    if (!ReadConversions(conversions))
        return;
    int bandwidth = RoundToInt(m_currentBandwidth);
    const int before = bandwidth;
    int gip = 0, gii = 0, gim = m_working.MasterGain;
    FitManualCurrentGains(*this, conversions, gip, gii, gim, bandwidth);
    m_working.ProportionalGain = gip;
    m_working.IntegralGain = gii;
    m_working.MasterGain = gim;
    if (bandwidth != before) {
        m_currentBandwidth = bandwidth;
        ShowBandwidth(IDC_MP_BANDWIDTH, bandwidth);
    }
    ShowGains();
}

void CQvxGuiSetupAutoManualTuningDlg::FitTypedBandwidth()
{
    double typed = FieldValue(IDC_MP_BANDWIDTH);
    if (!(typed >= 0 && typed <= kMaxBandwidth)) {
        CString message;
        message.Format("Current Loop Bandwidth out of range! (%0.0f...%0.0fHz)", 0.0, kMaxBandwidth);
        ShowMessage(message);
        typed = std::isnan(typed) ? 0 : std::clamp(typed, 0.0, kMaxBandwidth);
    }
    m_currentBandwidth = RoundToInt(typed);
    ShowBandwidth(IDC_MP_BANDWIDTH, m_currentBandwidth);
    ManualFit();
}

void CQvxGuiSetupAutoManualTuningDlg::OnBandwidthEntered()
{
    if (!IsFine())
        FitTypedBandwidth();
}

void CQvxGuiSetupAutoManualTuningDlg::OnMotorValueEntered()
{
    if (!IsFine() || !IsManual())
        return;
    CurrentLoopConversions conversions;
    CurrentLoopMotorValues drive;
    if (!ReadAll(conversions, drive))
        return;
    drive.ProportionalGain = m_working.ProportionalGain;
    drive.IntegralGain = m_working.IntegralGain;
    drive.MasterGain = m_working.MasterGain;
    const int effective = std::clamp(EffectiveBandwidthFromResponse(conversions, drive, m_phase), 0, 4000);
    ShowBandwidth(IDC_MP_BANDWIDTH, effective);
    ManualFit();
}

void CQvxGuiSetupAutoManualTuningDlg::OnGainEntered(int id)
{
    const int value = std::clamp(RoundToInt(FieldValue(id)), 0, kCurrentGainMax);
    if (id == IDC_MP_GIP)
        m_typed.ProportionalGain = value;
    else if (id == IDC_MP_GII)
        m_typed.IntegralGain = value;
    else
        m_typed.MasterGain = value;
}

void CQvxGuiSetupAutoManualTuningDlg::OnOK()
{
    CWnd* focus = GetFocus();
    const int id = focus ? focus->GetDlgCtrlID() : 0;
    switch (id) {
    case IDC_MP_RESISTANCE:
    case IDC_MP_INDUCTANCE:
    case IDC_MP_BUS: OnMotorValueEntered(); break;
    case IDC_MP_BANDWIDTH: OnBandwidthEntered(); break;
    case IDC_MP_GIP:
    case IDC_MP_GII:
    case IDC_MP_GIM:
        if (IsFine())
            OnGainEntered(id);
        break;
    default: break;
    }
}

// ---- check boxes and radios ------------------------------------------------------------

void CQvxGuiSetupAutoManualTuningDlg::OnManualTuning()
{
    const bool manual = IsManual();
    for (int id : {IDC_MP_GIP, IDC_MP_GII, IDC_MP_GIM})
        if (auto* edit = static_cast<CEdit*>(GetDlgItem(id)))
            edit->SetReadOnly(!(manual && IsFine()));
    if (CWnd* automatic = GetDlgItem(IDC_MP_AUTO))
        automatic->EnableWindow(!manual);
}

void CQvxGuiSetupAutoManualTuningDlg::ApplyFineLayout(bool fine)
{
    for (int id : {IDC_MP_PHASE_GROUP, IDC_MP_ONE_PHASE, IDC_MP_THREE_PHASE, IDC_MP_MANUAL, IDC_MP_AUTO})
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(fine ? SW_SHOW : SW_HIDE);
    SetDlgItemText(IDC_MP_BANDWIDTH_LABEL, fine ? "Effective Bandwidth(Hz):" : "Current Loop Bandwidth (Hz):");
    if (auto* bandwidth = static_cast<CEdit*>(GetDlgItem(IDC_MP_BANDWIDTH)))
        bandwidth->SetReadOnly(fine);
    SetDlgItemText(IDC_MP_GIP_LABEL, fine ? "Proportional Gain (GIP):" : "Proportional Current Gain (%):");
    SetDlgItemText(IDC_MP_GII_LABEL, fine ? "Integral Gain (GII): " : "Integral Current Gain (%): ");
}

void CQvxGuiSetupAutoManualTuningDlg::OnFineTuning()
{
    CurrentLoopConversions conversions;
    CurrentLoopMotorValues drive;
    const bool fine = IsFine();
    if (!ReadAll(conversions, drive)) {
        ShowMessage(kCouldNotReceiveValues);
        CheckDlgButton(IDC_MP_FINE, fine ? BST_UNCHECKED : BST_CHECKED);
        return;
    }
    m_working = drive;
    m_typed = drive;
    ApplyFineLayout(fine);
    m_phase = static_cast<int>(GetPrivateProfileInt(kSection, "Phase", 0, IniPath()));
    CheckDlgButton(IDC_MP_ONE_PHASE, m_phase == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_MP_THREE_PHASE, m_phase == 3 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_MP_MANUAL, BST_CHECKED);
    OnManualTuning();
    RecomputeInitial();
    if (fine) {
        m_effectiveBandwidth = EffectiveBandwidthFromResponse(conversions, drive, m_phase);
        ShowBandwidth(IDC_MP_BANDWIDTH, m_effectiveBandwidth);
        ShowBandwidth(IDC_MP_BANDWIDTH_DRIVE, m_effectiveBandwidth);
    }
    ShowGains();
}

void CQvxGuiSetupAutoManualTuningDlg::OnOnePhase()
{
    m_phase = 1;
    WritePrivateProfileString(kSection, "Phase", "1", IniPath());
}

void CQvxGuiSetupAutoManualTuningDlg::OnThreePhase()
{
    m_phase = 3;
    WritePrivateProfileString(kSection, "Phase", "3", IniPath());
}

// ---- automatic tuning and sending --------------------------------------------------------

void CQvxGuiSetupAutoManualTuningDlg::OnAutoTune()
{
    // Tuning on would overwrite the gains being fitted by hand: the reminder ends it.
    if (IsManual()) {
        ShowMessage("Please uncheck the Manual Tuning check box");
        return;
    }
    if (GetInductanceField() < kMinAutoInductance) {
        ShowMessage("Please Use Manual Tuning for Motor Inductance less than 0.1mH");
        return;
    }
    CurrentLoopConversions conversions;
    if (!ReadConversions(conversions))
        return;
    AutoTuneCurrentLoop(*this, conversions);
}

void CQvxGuiSetupAutoManualTuningDlg::OnSend()
{
    CurrentLoopConversions conversions;
    CurrentLoopMotorValues drive;
    const int address = GetDrive();
    if (address < 0 || !ReadAll(conversions, drive))
        return;
    if (GetEnableBit()) {
        ShowMessage("Motor is Enabled.\nTuning values not sent to drive.");
        return;
    }
    if (m_currentBandwidth > 5000)
        ShowMessage("System could be unstable, please lower the gain.");
    const bool fine = IsFine();
    const int masterGain = fine ? m_typed.MasterGain : m_working.MasterGain;
    CString question = "Press OK to send the following values:\r\n\r\n";
    question += "Motor Resistance " + Format("%0.2f", FieldValue(IDC_MP_RESISTANCE)) + "\r\n";
    question += "Motor Inductance " + Format("%0.2f", FieldValue(IDC_MP_INDUCTANCE)) + "\r\n";
    question += "Nominal DC Bus " + Format("%0.0f", FieldValue(IDC_MP_BUS)) + "\r\n";
    question += "Master Gain " + Format("%0.0f", masterGain) + "\r\n";
    if (CGuiUpdateItem::MessageBox(question, MB_OKCANCEL | MB_ICONQUESTION, 0, IDCANCEL) != IDOK)
        return;
    const BYTE a = static_cast<BYTE>(address);
    SendCommand(a, kResistance, static_cast<LONG>(GetResistanceField()));
    SendCommand(a, kInductance, static_cast<LONG>(GetInductanceField()));
    SendCommand(a, kBusVolts, static_cast<LONG>(GetBusVoltsField()));
    SendCommand(a, kMasterGain, masterGain);
    if (fine) {
        m_working = m_typed;
        CurrentLoopMotorValues sent = m_working;
        sent.Resistance = static_cast<int>(GetResistanceField());
        sent.Inductance = static_cast<int>(GetInductanceField());
        sent.BusVolts = static_cast<int>(GetBusVoltsField());
        m_effectiveBandwidth = RoundToInt(CurrentLoopBandwidthByMode(*this, conversions, sent, 1));
        ShowBandwidth(IDC_MP_BANDWIDTH, m_effectiveBandwidth);
    }
    if (m_working.ProportionalGain != drive.ProportionalGain)
        SendCommand(a, kProportionalGain, m_working.ProportionalGain);
    if (m_working.IntegralGain != drive.IntegralGain)
        SendCommand(a, kIntegralGain, m_working.IntegralGain);
    ShowBandwidth(IDC_MP_BANDWIDTH_DRIVE, fine ? m_effectiveBandwidth : m_currentBandwidth);
}

// ---- the motor table ---------------------------------------------------------------------

void CQvxGuiSetupAutoManualTuningDlg::OnLoadDefaults()
{
    CString number;
    GetDlgItemText(IDC_MP_PART_NUMBER, number);
    number.Trim();
    if (number.IsEmpty()) {
        ShowMessage("Please provide a valid Quorvex part or model number.");
        return;
    }
    CMotorTableSource* source = CMotorTableSource::Get();
    const std::vector<MotorTableRow> rows = source ? source->Rows() : std::vector<MotorTableRow>();
    const MotorTableRow* match = nullptr;
    for (const MotorTableRow& row : rows)
        if (row.partNum == number) {
            match = &row;
            break;
        }
    for (size_t i = 0; !match && i < rows.size(); ++i)
        if (rows[i].modelNum == number)
            match = &rows[i];
    if (!match) {
        CString message;
        message.Format("Could not find match for %s.", static_cast<const char*>(number));
        ShowMessage(message);
        return;
    }
    SetDlgItemText(IDC_MP_RESISTANCE, Format("%0.2f", match->resistance));
    SetDlgItemText(IDC_MP_INDUCTANCE, Format("%0.2f", match->inductance));
    OpenCommutationWindow();
}

void CQvxGuiSetupAutoManualTuningDlg::OnPartList()
{
    CString typed;
    GetDlgItemText(IDC_MP_PART_NUMBER, typed);
    m_partNumber.SetFocus();
    m_partNumber.ShowPopupList("", typed);
}

void CQvxGuiSetupAutoManualTuningDlg::OpenCommutationWindow()
{
    CList<CAmplifierData> drives;
    int current = 0;
    GetToolbarInfo(drives, current);
    int family = 0;
    for (POSITION pos = drives.GetHeadPosition(); pos;) {
        const CAmplifierData& drive = drives.GetNext(pos);
        if (drive.m_address == GetDrive())
            family = drive.m_family;
    }
    const char* className = family == kFamilyKreln   ? "CQvxGuiCommutat"
                            : family == kFamilyTavro ? "CQvxGuiTavroCommutationSheet"
                                                     : nullptr;
    CGuiUpdateList* list = ListForRegistration();
    CGuiFrameServices* frame = CGuiFrameServices::Get();
    if (!className || !list)
        return;
    CGuiUpdateItem* window = list->FindLastItemOfClass(className);
    if (!window && frame && frame->GetDlgIdMap()) {
        CGuiUpdateDlg* made = frame->GetDlgIdMap()->CreateByClassName(className);
        if (made && !made->CreateGuiWindow(1)) {
            delete made;
            made = nullptr;
        }
        window = made;
    }
    if (window)
        window->SetDrive(GetDrive(), 1);
}

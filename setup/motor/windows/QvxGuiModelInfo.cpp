#include "setup/motor/windows/QvxGuiModelInfo.h"

#include <cmath>

#include "comm/link/AmplifierData.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/FactorySettings.h"
#include "framework/GuiAppServices.h"
#include "framework/GuiUpdateList.h"
#include "platform/ui/DC.h"
#include "platform/ui/SpinButtonCtrl.h"
#include "setup/motor/ModelInfoCalc.h"

IMPLEMENT_DYNCREATE(CQvxGuiModelInfo, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiModelInfo));

BEGIN_MESSAGE_MAP(CQvxGuiModelInfo, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_MI_SEND, &CQvxGuiModelInfo::OnSendValues)
    ON_BN_CLICKED(IDC_MI_SAVE_MODEL, &CQvxGuiModelInfo::OnSaveModel)
    ON_BN_CLICKED(IDC_MI_SAVE_ACTIVITY, &CQvxGuiModelInfo::OnSaveActivity)
    ON_BN_CLICKED(IDC_MI_BALANCE, &CQvxGuiModelInfo::OnBalance)
    ON_BN_CLICKED(IDC_MI_SAVE_OFFSETS, &CQvxGuiModelInfo::OnSaveOffsets)
    ON_BN_CLICKED(IDC_MI_OVER_TEMP, &CQvxGuiModelInfo::OnOverTemp)
    ON_CBN_SELCHANGE(IDC_MI_MODEL_LIST, &CQvxGuiModelInfo::OnModelSelected)
    ON_EN_SETFOCUS(IDC_MI_OFFSET_R, &CQvxGuiModelInfo::OnOffsetFocus)
    ON_EN_SETFOCUS(IDC_MI_OFFSET_S, &CQvxGuiModelInfo::OnOffsetFocus)
    ON_EN_SETFOCUS(IDC_MI_OFFSET_T, &CQvxGuiModelInfo::OnOffsetFocus)
    ON_EN_SETFOCUS(IDC_MI_DAC_R, &CQvxGuiModelInfo::OnOffsetFocus)
    ON_EN_SETFOCUS(IDC_MI_DAC_S, &CQvxGuiModelInfo::OnOffsetFocus)
    ON_WM_CTLCOLOR()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr WORD kModelCode = 13452;
constexpr WORD kModelIndexCode = 13449;
constexpr WORD kSerialCode = 622;
constexpr WORD kFirmwarePnCode = 6670;
constexpr WORD kFactoryAccessCode = 12395;
constexpr WORD kBalanceCode = 290;
constexpr WORD kSaveCode = 611;
constexpr WORD kPollMs = 600;
constexpr BYTE kOneShot = 0x60;
constexpr long kBalancingBit = 0x800;
constexpr long kOverTempBit = 0x80;
constexpr unsigned kShownFlags = 0x104;
constexpr unsigned kWorkingFlags = 0x2308;
constexpr const char* kCouldNotSend = "Could not send values. Please try again";
constexpr const char* kEnabledRefusal = "Motor is Enabled.\nModel Info values not sent to drive.";
constexpr int kThermalSub = -1;
constexpr int kSerialSub = -2;
constexpr int kModelSub = 0;

struct RowIds {
    int label, shown, working, raw;
    int sub;
    const char* name;
    double low, high;
    const char* format;
};

// The rows in the order of the enum; limits in drive units.
constexpr RowIds kRowIds[] = {
    {IDC_MI_MODEL_LABEL, IDC_MI_MODEL, IDC_MI_MODEL_LIST, IDC_MI_MODEL_RAW, kModelSub, "Model", 0, 32767, "%0.0f"},
    {IDC_MI_POWER_LABEL, IDC_MI_POWER, IDC_MI_POWER_WORK, IDC_MI_POWER_RAW, 1, "Power Bd", 0, 10000, "%0.0f"},
    {IDC_MI_LOGIC_LABEL, IDC_MI_LOGIC, IDC_MI_LOGIC_WORK, IDC_MI_LOGIC_RAW, 2, "Logic Bd", 0, 10000, "%0.0f"},
    {IDC_MI_FEEDBACK_LABEL, IDC_MI_FEEDBACK, IDC_MI_FEEDBACK_WORK, IDC_MI_FEEDBACK_RAW, 6, "I FeedBack", 1, 16300,
     "%0.2f"},
    {IDC_MI_CONT_LABEL, IDC_MI_CONT, IDC_MI_CONT_WORK, IDC_MI_CONT_RAW, 3, "I Continuous", 0, 32767, "%0.2f"},
    {IDC_MI_PEAK_LABEL, IDC_MI_PEAK, IDC_MI_PEAK_WORK, IDC_MI_PEAK_RAW, 4, "I Max", 0, 32767, "%0.2f"},
    {IDC_MI_ANALOG_LABEL, IDC_MI_ANALOG, IDC_MI_ANALOG_WORK, IDC_MI_ANALOG_RAW, 10, "Analog In Scale", -32768, 32767,
     "%0.0f"},
    {IDC_MI_BUS_OVER_LABEL, IDC_MI_BUS_OVER, IDC_MI_BUS_OVER_WORK, IDC_MI_BUS_OVER_RAW, 5, "Bus Over Volt", 0, 32767,
     "%0.1f"},
    {IDC_MI_BUS_UNDER_LABEL, IDC_MI_BUS_UNDER, IDC_MI_BUS_UNDER_WORK, IDC_MI_BUS_UNDER_RAW, 7, "Bus Under Volt", 0,
     32767, "%0.1f"},
    {IDC_MI_BUS_SCALE_LABEL, IDC_MI_BUS_SCALE, IDC_MI_BUS_SCALE_WORK, IDC_MI_BUS_SCALE_RAW, 9, "Bus Volt Scale", 1, 1000,
     "%0.0f"},
    {IDC_MI_THERMAL_LABEL, IDC_MI_THERMAL, IDC_MI_THERMAL_WORK, IDC_MI_THERMAL_RAW, kThermalSub, "Thermal TC", 0, 32767,
     "%0.0f"},
    {IDC_MI_VOLT_AMP_LABEL, IDC_MI_VOLT_AMP, IDC_MI_VOLT_AMP_WORK, IDC_MI_VOLT_AMP_RAW, 11, "Volt AMP Gain", -32767,
     32767, "%0.0f"},
    {IDC_MI_SERIAL_LABEL, IDC_MI_SERIAL, IDC_MI_SERIAL_WORK, IDC_MI_SERIAL_RAW, kSerialSub, "Serial Number", 0,
     2147483647.0, "%0.0f"},
    {IDC_MI_PN_LABEL, IDC_MI_PN, IDC_MI_PN_WORK, IDC_MI_PN_RAW, 19, "Drive PN", 0, 32767, "%0.0f"},
};

struct OffsetIds {
    int id;
    WORD code;
    const char* name;
};
constexpr OffsetIds kOffsets[] = {{IDC_MI_OFFSET_R, 9807, "Balance R Phase"},
                                  {IDC_MI_OFFSET_S, 9839, "Balance S Phase"},
                                  {IDC_MI_OFFSET_T, 9871, "Balance T Phase"}};
constexpr OffsetIds kDacOffsets[] = {{IDC_MI_DAC_R, 3695, "DAC R Phase"}, {IDC_MI_DAC_S, 3663, "DAC S Phase"}};

// The rows whose unsent working value holds the window on close.
constexpr int kCloseCheckedRows[] = {1 /*logic*/, 2, 4, 5, 7, 8, 9, 10};
}  // namespace

CQvxGuiModelInfo::CQvxGuiModelInfo() : CGuiUpdateDlg(IDD)
{
    m_statusFlags = kStatusWord | kStatusFault;
}

BOOL CQvxGuiModelInfo::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    m_flags = AppModelDisplayFlags();
    BindControls();
    for (int row : {kPower, kSerial})
        for (int id : {kRowIds[row].label, kRowIds[row].shown, kRowIds[row].working, kRowIds[row].raw})
            if (CWnd* control = GetDlgItem(id)) {
                CRect rect;
                control->GetWindowRect(&rect);
                ScreenToClient(&rect);
                m_templateRects[id] = rect;
            }
    for (int id : {IDC_MI_SPIN_R, IDC_MI_SPIN_S, IDC_MI_SPIN_T})
        if (auto* spin = static_cast<CSpinButtonCtrl*>(GetDlgItem(id)))
            spin->SetRange32(-100, 100);
    SetEnableButton(GetDlgItem(IDC_MI_ENABLE));
    if (CWnd* enable = GetDlgItem(IDC_MI_ENABLE))
        enable->SetFocus();
    ApplyLayout();
    return FALSE;
}

CQvxGuiEditCtrl* CQvxGuiModelInfo::Bind(int id, unsigned flags)
{
    if (m_editCount >= static_cast<int>(std::size(m_edits)))
        return nullptr;
    CQvxGuiEditCtrl* edit = &m_edits[m_editCount++];
    edit->SubclassDlgItem(id, this);
    // Listed first: the conversion bindings find the parameter table through the list.
    m_controls.AddControl(edit, -1);
    edit->m_flags = flags;
    return edit;
}

void CQvxGuiModelInfo::BindRow(int row)
{
    const RowIds& ids = kRowIds[row];
    const auto poll = [&](CQvxGuiEditCtrl* edit) {
        if (ids.sub == kSerialSub)
            edit->SetPollRegister(kSerialCode, kPollMs, kOneShot);
        else if (ids.sub >= 0)
            edit->SetPollRegisterAt(kModelCode, kModelIndexCode, ids.sub, kPollMs, kOneShot);
    };
    // Boards show as texts the window writes itself.
    CQvxGuiEditCtrl* shown = row == kPower || row == kLogic ? nullptr : Bind(ids.shown, kShownFlags);
    CQvxGuiEditCtrl* working = row == kModel ? nullptr : Bind(ids.working, kWorkingFlags);
    CQvxGuiEditCtrl* raw = Bind(ids.raw, kShownFlags);
    for (CQvxGuiEditCtrl* edit : {shown, working, raw}) {
        if (!edit)
            continue;
        poll(edit);
        edit->SetDisplayFormat(edit == raw ? "%0.0f" : ids.format, 0);
    }
    if (working) {
        working->SetControlName(ids.name);
        working->SetLimits(ids.low, ids.high);
        if (ids.sub >= 0)
            working->SetWriteRegisterAt(kModelCode, kModelIndexCode, ids.sub);
    }
    switch (row) {
    case kFeedback:
        shown->SetDisplayScale(0.01);
        working->SetDisplayScale(0.01);
        working->SetValueScale(100);
        break;
    case kContinuous:
    case kPeak:
        for (CQvxGuiEditCtrl* edit : {shown, working})
            edit->BindGlobalParameter(GPD_A2E_CURRENT_GAIN, 0, 0);
        working->BindValueParameter(GPD_A2E_CURRENT_GAIN, 1, 0);
        working->m_customSendId = row == kContinuous ? 4 : 5;
        break;
    case kThermal:
        shown->SetCustomPollId(1);
        working->SetCustomPollId(1);
        working->m_customSendId = 6;
        working->SetWriteRegisterAt(kModelCode, kModelIndexCode, 22);  // writable; the send id writes
        raw->SetCustomPollId(2);
        break;
    case kSerial:
        shown->SetControlName(ids.name);
        raw->SetControlName(ids.name);
        working->SetWriteRegister(kSerialCode);
        working->m_customSendId = 9;
        break;
    case kDrivePn: working->m_flags = 0x2318; break;
    default: break;
    }
}

void CQvxGuiModelInfo::BindControls()
{
    m_modelList.SubclassDlgItem(IDC_MI_MODEL_LIST, this);
    for (int row = 0; row < kRows; ++row)
        BindRow(row);
    for (const OffsetIds& offset : kOffsets) {
        CQvxGuiEditCtrl* edit = Bind(offset.id, kWorkingFlags);
        edit->SetPollRegister(offset.code, kPollMs, kOneShot);
        edit->SetWriteRegister(offset.code);
        edit->SetLimits(-32768, 32767);
        edit->SetControlName(offset.name);
    }
    for (const OffsetIds& offset : kDacOffsets) {
        // Polled for the models that have them only.
        CQvxGuiEditCtrl* edit = Bind(offset.id, 0x30c | kCtrlManualPolling);
        edit->SetPollRegister(offset.code, kPollMs, kOneShot);
        edit->SetWriteRegister(offset.code);
        edit->SetLimits(-32768, 32767);
        edit->SetControlName(offset.name);
    }
    CQvxGuiEditCtrl* version = Bind(IDC_MI_FW_VERSION, kShownFlags);
    version->SetCustomPollId(3);
    version->SetDisplayFormat("%0.2f", 0);
    Bind(IDC_MI_FW_PN, kShownFlags & ~kCtrlGroupDigits)->SetPollRegister(kFirmwarePnCode, kPollMs, kOneShot);
}

// ---------------------------------------------------------------------------
// Update cycle.

int CQvxGuiModelInfo::Cs()
{
    int cs = 0;
    GetGlobalParameterInt(GPD_CS, cs);
    return cs;
}

std::optional<long> CQvxGuiModelInfo::Reply(const CDmQueryVar& query) const
{
    LONG value = 0;
    if (!query.GetValue(value))
        return std::nullopt;
    return value;
}

std::optional<double> CQvxGuiModelInfo::Working(int id)
{
    for (int i = 0; i < m_editCount; ++i) {
        if (m_edits[i].GetSafeHwnd() && m_edits[i].GetDlgCtrlID() == id) {
            double value = 0;
            if (!m_edits[i].GetDoubleValue(value))
                return std::nullopt;
            return value;
        }
    }
    return std::nullopt;
}

int CQvxGuiModelInfo::PrepareQueries()
{
    int cs = 0;
    const int drive = GetDrive();
    if (drive == -1 || !GetGlobalParameterInt(GPD_CS, cs))
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    if (CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr) {
        // The edits were bound before the window had its drive: follow this drive's conversions.
        for (int i = 0; i < m_editCount; ++i) {
            table->RemoveParameterClient(&m_edits[i]);
            m_edits[i].Initialise();
        }
        table->RequestParameterQuery(drive, GPD_A2E_CURRENT_GAIN);
    }
    m_balancingQuery.Query(address, kStatusWordCode, 50, 0x40);
    m_thermal.QueryWithArgument(address, kModelCode, kModelIndexCode,
                                static_cast<WORD>(CModelInfoCalc::ThermalSubIndex(cs)), 200);
    m_overTemp.QueryWithArgument(address, kModelCode, kModelIndexCode, 8, 200);
    m_powerBoard.QueryWithArgument(address, kModelCode, kModelIndexCode, 1, 200);
    m_logicBoard.QueryWithArgument(address, kModelCode, kModelIndexCode, 2, 200);
    m_lastModel = m_lastCs = -1;
    m_overTempErrorShown = false;
    return 1;
}

int CQvxGuiModelInfo::InitialUpdate()
{
    CGuiUpdateDlg::InitialUpdate();
    int cs = 0;
    CString modelText, scaleText;
    GetDlgItemText(IDC_MI_MODEL_RAW, modelText);
    GetDlgItemText(IDC_MI_BUS_SCALE_RAW, scaleText);
    double gain = 0;
    if (!GetGlobalParameterInt(GPD_CS, cs) || modelText.IsEmpty() || scaleText.IsEmpty() || !Reply(m_powerBoard) ||
        !Reply(m_thermal) || !GetGlobalParameterValue(-1, GPD_A2E_CURRENT_GAIN, gain))
        return 0;
    LoadModelList();
    scaleText.Replace(",", "");
    ApplyBusScale(std::atof(scaleText));
    ApplyLayout();
    return 1;
}

void CQvxGuiModelInfo::LoadModelList()
{
    m_models = CModelInfoCalc::ReadModelList(AppProgramFolder() + kModelListFile);
    m_modelList.ResetContent();
    for (const CString& entry : m_models)
        m_modelList.AddString(entry);
    CString modelText;
    GetDlgItemText(IDC_MI_MODEL_RAW, modelText);
    modelText.Replace(",", "");
    m_selectedModel = std::atoi(modelText);
    m_modelList.SetCurSel(CModelInfoCalc::ListIndexForModel(m_models, m_selectedModel, Cs()));
    m_listLoaded = true;
}

// Bus voltages show in volts of the drive's scale; a scale of 0 leaves them raw.
void CQvxGuiModelInfo::ApplyBusScale(double scale)
{
    if (!CModelInfoCalc::BusVolts(1, scale))
        return;
    m_busScale = scale;
    for (int i = 0; i < m_editCount; ++i) {
        const int id = m_edits[i].GetDlgCtrlID();
        if (id == IDC_MI_BUS_OVER || id == IDC_MI_BUS_UNDER || id == IDC_MI_BUS_OVER_WORK || id == IDC_MI_BUS_UNDER_WORK) {
            m_edits[i].SetDisplayScale(*CModelInfoCalc::BusVolts(1, scale));
            m_edits[i].SetValueScale(*CModelInfoCalc::BusVoltsToRaw(1, scale));
            m_edits[i].SetDisplayFormat("%0.1f", 1);
        }
    }
}

void CQvxGuiModelInfo::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    // Currents read before the gain was known are read again once it is.
    double gain = 0;
    GetGlobalParameterValue(-1, GPD_A2E_CURRENT_GAIN, gain);
    if (gain != m_shownGain) {
        m_shownGain = gain;
        for (int i = 0; i < m_editCount; ++i) {
            const int id = m_edits[i].GetDlgCtrlID();
            const bool current = id == IDC_MI_CONT || id == IDC_MI_CONT_WORK || id == IDC_MI_PEAK || id == IDC_MI_PEAK_WORK;
            if (current && !m_edits[i].IsModified())
                m_edits[i].RestartPolling();
        }
    }
    UpdateBoards();
    UpdateBalancing();
    const int cs = Cs();
    if (cs != m_lastCs) {
        m_lastCs = cs;
        ApplyRowVisibility();
    }
    if (m_overTemp.HasChanged(1)) {
        LONG word = 0;
        WORD error = 0;
        if (m_overTemp.GetValue(word, &error) && error == 0) {
            CheckDlgButton(IDC_MI_OVER_TEMP, (word & kOverTempBit) ? BST_CHECKED : BST_UNCHECKED);
        } else if (!m_overTempErrorShown) {
            m_overTempErrorShown = true;
            CGuiUpdateItem::MessageBox("Could not receive value. Please try again", MB_OK, 0, IDOK);
        }
    }
    if (m_listLoaded && m_selectedModel != m_lastModel) {
        m_lastModel = m_selectedModel;
        UpdateDacPolling(m_selectedModel);
        ApplyRowVisibility();
    }
}

void CQvxGuiModelInfo::UpdateBoards()
{
    const struct {
        CDmQueryVar* query;
        int id;
    } boards[] = {{&m_powerBoard, IDC_MI_POWER}, {&m_logicBoard, IDC_MI_LOGIC}};
    for (const auto& board : boards)
        if (const std::optional<long> word = Reply(*board.query))
            if (board.query->HasChanged(1) || GetDlgItem(board.id)->GetWindowTextLength() == 0)
                SetDlgItemText(board.id, CModelInfoCalc::BoardText(*word));
}

// The drive's status word tells when balancing runs: "balancing" red, then green.
void CQvxGuiModelInfo::UpdateBalancing()
{
    std::optional<long> word = Reply(m_balancingQuery);
    if (AreStagesDone())
        word = GetStatusWord();
    const bool balancing = word && (*word & kBalancingBit);
    if (balancing == m_balancing && (m_balanceSeen || !balancing))
        return;
    m_balancing = balancing;
    if (balancing && !m_balanceSeen) {
        m_balanceSeen = true;
        SetDlgItemText(IDC_MI_BALANCING, "balancing");
    }
    if (CWnd* label = GetDlgItem(IDC_MI_BALANCING))
        label->Invalidate();
}

void CQvxGuiModelInfo::UpdateDacPolling(int model)
{
    const bool dac = ModelInfoProducts::HasDacOffsets(model);
    if (dac == m_dacPolling)
        return;
    m_dacPolling = dac;
    for (int i = 0; i < m_editCount; ++i) {
        const int id = m_edits[i].GetDlgCtrlID();
        if (id == IDC_MI_DAC_R || id == IDC_MI_DAC_S)
            m_edits[i].EnablePolling(dac ? 1 : 0);
    }
}

HBRUSH CQvxGuiModelInfo::OnCtlColor(CDC* dc, CWnd* child, UINT kind)
{
    const HBRUSH brush = CGuiUpdateDlg::OnCtlColor(dc, child, kind);
    // The text alone takes the colour: a filled label would hide its own word.
    if (child && child->GetDlgCtrlID() == IDC_MI_BALANCING)
        dc->SetTextColor(m_balancing ? RGB(0xBE, 0, 0) : RGB(0, 0x80, 0));
    return brush;
}

// ---------------------------------------------------------------------------
// Custom values.

int CQvxGuiModelInfo::CustomPoll(int id, double& value, CWnd* /*control*/)
{
    switch (id) {
    case 1: {
        const std::optional<long> thermal = Reply(m_thermal);
        if (!thermal)
            return 0;
        const std::optional<long> constant = CModelInfoCalc::ThermalTimeConstant(*thermal);
        if (!constant)
            return 2;
        value = static_cast<double>(*constant);
        return 1;
    }
    case 2: {
        const std::optional<long> thermal = Reply(m_thermal);
        if (!thermal)
            return 0;
        value = static_cast<double>(*thermal);
        return 1;
    }
    case 3: return GetGlobalParameterValue(-1, GPD_VER, value) ? 1 : 0;
    default: return 0;
    }
}

int CQvxGuiModelInfo::Write(WORD code, LONG value)
{
    const int drive = GetDrive();
    return drive == -1 ? -1 : SendCommand(static_cast<BYTE>(drive), code, value);
}

int CQvxGuiModelInfo::WriteModel(int sub, LONG value)
{
    const int drive = GetDrive();
    if (drive == -1)
        return -1;
    return SendCommandWithArgument(static_cast<BYTE>(drive), kModelCode, value, kModelIndexCode, static_cast<WORD>(sub));
}

// The current sends divide by the working feedback, the thermal one by the
// entry less a half: neither goes out when that would be zero or less.
int CQvxGuiModelInfo::CustomSend(int id, double value, CWnd* /*control*/)
{
    double gain = 0;
    int cs = 0;
    if (!GetGlobalParameterValue(-1, GPD_A2E_CURRENT_GAIN, gain) || !GetGlobalParameterInt(GPD_CS, cs))
        return 0;
    const long feedback = CModelInfoCalc::FeedbackWord(Working(IDC_MI_FEEDBACK_WORK).value_or(0));
    switch (id) {
    case 4:
    case 5: {
        const std::optional<long> current = CModelInfoCalc::CurrentToDrive(value, feedback);
        return current && WriteModel(id == 4 ? 3 : 4, *current) > 0 ? 1 : 0;
    }
    case 6: {
        const std::optional<long> thermal = CModelInfoCalc::ThermalToDrive(value);
        return thermal && WriteModel(CModelInfoCalc::ThermalSubIndex(cs), *thermal) > 0 ? 1 : 0;
    }
    case 9:
        Write(kFactoryAccessCode, 0);
        return Write(kSerialCode, static_cast<LONG>(std::trunc(value))) > 0 ? 1 : 0;
    default: return 0;
    }
}

// ---------------------------------------------------------------------------
// Sending and saving.

bool CQvxGuiModelInfo::RefuseWhileEnabled()
{
    if (!GetEnableBit())
        return false;
    CGuiUpdateItem::MessageBox(kEnabledRefusal, MB_OK, 0, IDOK);
    return true;
}

int CQvxGuiModelInfo::SendGroup(int group)
{
    // Model data never reaches an enabled drive, however the send was asked for.
    if (GetEnableBit())
        return 0;
    return CGuiUpdateDlg::SendGroup(group);
}

int CQvxGuiModelInfo::ExecuteCommand(const CString& command, CString& reply)
{
    if (command.Left(9).CompareNoCase("SENDTOAMP") == 0 && RefuseWhileEnabled()) {
        reply = CString("ERROR:") + kEnabledRefusal;
        return 1;
    }
    return CGuiUpdateDlg::ExecuteCommand(command, reply);
}

void CQvxGuiModelInfo::OnSendValues()
{
    double gain = 0;
    int cs = 0;
    const std::optional<long> thermal = Reply(m_thermal);
    if (!thermal || !GetGlobalParameterInt(GPD_CS, cs) || !GetGlobalParameterValue(-1, GPD_A2E_CURRENT_GAIN, gain)) {
        CGuiUpdateItem::MessageBox(kCouldNotSend, MB_OK, 0, IDOK);
        return;
    }
    if (RefuseWhileEnabled())
        return;
    if (CModelInfoCalc::FeedbackWord(Working(IDC_MI_FEEDBACK_WORK).value_or(0)) == 0) {
        CGuiUpdateItem::MessageBox(kCouldNotSend, MB_OK, 0, IDOK);
        return;
    }
    Write(kFactoryAccessCode, 0);
    const int answer = CGuiUpdateItem::MessageBox("Press OK to send these values to the drive.\n\n", MB_OKCANCEL, 0, IDOK);
    if (answer == IDOK) {
        if (const std::optional<double> scale = Working(IDC_MI_BUS_SCALE_WORK))
            ApplyBusScale(*scale);
        CGuiUpdateDlg::SendGroup(-1);
        CString driveModel;
        GetDlgItemText(IDC_MI_MODEL_RAW, driveModel);
        driveModel.Replace(",", "");
        if (m_listLoaded && m_modelList.GetCurSel() >= 0 && m_selectedModel != std::atoi(driveModel))
            WriteModel(kModelSub, m_selectedModel);
        const std::optional<long> entered = CModelInfoCalc::ThermalToDrive(Working(IDC_MI_THERMAL_WORK).value_or(0));
        if (entered && *entered != *thermal)
            WriteModel(CModelInfoCalc::ThermalSubIndex(cs), *entered);
        // Only values that went to the drive wait for a save; a Cancel sent nothing.
        m_nvmUnsaved = true;
    }
}

void CQvxGuiModelInfo::SaveModel()
{
    // The unsaved mark goes only with a save that was submitted, so closing still asks.
    if (Write(kSaveCode, 4) <= 0) {
        CGuiUpdateItem::MessageBox("Could not save Model Info to NVM.", MB_OK, 0, IDOK);
        return;
    }
    m_nvmUnsaved = false;
}

void CQvxGuiModelInfo::OnSaveModel() { SaveModel(); }
void CQvxGuiModelInfo::OnSaveActivity() { Write(kSaveCode, 4); }

void CQvxGuiModelInfo::OnBalance()
{
    if (!GetEnableBit()) {
        CGuiUpdateItem::MessageBox("Drive must be enabled to balance!", MB_OK, 0, IDOK);
        return;
    }
    Write(kFactoryAccessCode, 0);
    Write(kBalanceCode, 0);
}

void CQvxGuiModelInfo::OnSaveOffsets()
{
    if (GetEnableBit()) {
        CGuiUpdateItem::MessageBox("Drive must be disabled to save the offsets", MB_OK, 0, IDOK);
        return;
    }
    Write(kSaveCode, 3);
}

void CQvxGuiModelInfo::OnOverTemp()
{
    const std::optional<long> word = Reply(m_overTemp);
    if (!word) {
        CGuiUpdateItem::MessageBox(kCouldNotSend, MB_OK, 0, IDOK);
        return;
    }
    Write(kFactoryAccessCode, 0);
    const bool checked = IsDlgButtonChecked(IDC_MI_OVER_TEMP) == BST_CHECKED;
    WriteModel(8, checked ? (*word | kOverTempBit) : (*word & ~kOverTempBit));
    m_nvmUnsaved = true;
}

void CQvxGuiModelInfo::OnModelSelected()
{
    const int index = m_modelList.GetCurSel();
    if (CModelInfoCalc::IsUndefined(m_models, index)) {
        CGuiUpdateItem::MessageBox("Undefined Model Number!", MB_OK, 0, IDOK);
        m_modelList.SetCurSel(CModelInfoCalc::ListIndexForModel(m_models, m_selectedModel, Cs()));
        return;
    }
    m_selectedModel = CModelInfoCalc::ModelFromList(m_models, index).value_or(0);
    ApplyRowVisibility();
}

void CQvxGuiModelInfo::OnOffsetFocus() { Write(kFactoryAccessCode, 0); }

// ---------------------------------------------------------------------------
// Layout.

void CQvxGuiModelInfo::ShowRow(int row, bool shown, bool workingColumns)
{
    const RowIds& ids = kRowIds[row];
    for (int id : {ids.label, ids.shown})
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(shown ? SW_SHOW : SW_HIDE);
    for (int id : {ids.working, ids.raw})
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(shown && workingColumns ? SW_SHOW : SW_HIDE);
}

void CQvxGuiModelInfo::ApplyRowVisibility()
{
    CList<CAmplifierData> drives;
    int current = 0;
    GetToolbarInfo(drives, current);
    int family = kFamilyKreln;
    for (POSITION pos = drives.GetHeadPosition(); pos;) {
        const CAmplifierData& drive = drives.GetNext(pos);
        if (drive.m_address == GetDrive())
            family = drive.m_family;
    }
    const bool tavro = family == kFamilyTavro;
    // Each family has its own help page (a negative id names the topic).
    m_nIDHelp = static_cast<WORD>(tavro ? -1753 : -1754);
    const bool factory = IsFactory();
    const int cs = Cs();
    const bool bus = ModelInfoProducts::HasBusSettings(m_selectedModel);
    const bool dac = ModelInfoProducts::HasDacOffsets(m_selectedModel);
    SetDlgItemText(IDC_MI_FEEDBACK_LABEL, CModelInfoCalc::FeedbackLabel(cs));
    for (int row = 0; row < kRows; ++row) {
        bool shown = true;
        if (row == kModel || row == kPower || row == kLogic)
            shown = !tavro;
        else if (row == kDrivePn)
            shown = tavro;
        else if (row == kThermal)
            shown = CModelInfoCalc::ShowsThermalRow(cs);
        else if (row == kVoltAmp)
            shown = dac;
        else if (row == kBusOver || row == kBusUnder || row == kBusScale)
            shown = bus;
        ShowRow(row, shown, factory || (row == kSerial && IsBalanceDisplay()));
    }
    for (int id : {IDC_MI_DAC_GROUP, IDC_MI_DAC_R, IDC_MI_DAC_S, IDC_MI_DAC_R_LABEL, IDC_MI_DAC_S_LABEL})
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(dac ? SW_SHOW : SW_HIDE);
    // A Tavro drive shows its serial number where the power board row stands.
    const RowIds& serial = kRowIds[kSerial];
    const RowIds& power = kRowIds[kPower];
    const int moved[] = {serial.label, serial.shown, serial.working, serial.raw};
    const int places[] = {power.label, power.shown, power.working, power.raw};
    for (int column = 0; column < 4; ++column) {
        CWnd* target = GetDlgItem(moved[column]);
        const CRect& rect = tavro ? m_templateRects[places[column]] : m_templateRects[moved[column]];
        if (target && !rect.IsRectEmpty())
            target->MoveWindow(rect.left, rect.top, rect.Width(), rect.Height());
    }
    for (int i = 0; i < m_editCount; ++i) {
        const int id = m_edits[i].GetDlgCtrlID();
        if (id == IDC_MI_MODEL || id == IDC_MI_MODEL_RAW || id == IDC_MI_POWER_RAW || id == IDC_MI_LOGIC_RAW ||
            id == IDC_MI_POWER_WORK || id == IDC_MI_LOGIC_WORK)
            m_edits[i].EnablePolling(tavro ? 0 : 1);
    }
}

void CQvxGuiModelInfo::ApplyLayout()
{
    const bool factory = IsFactory();
    const bool balance = IsBalanceDisplay();
    for (int id : {IDC_MI_WORKING_HEADING, IDC_MI_DRIVE_HEADING, IDC_MI_SEND, IDC_MI_SAVE_MODEL, IDC_MI_SAVE_ACTIVITY,
                   IDC_MI_ACTIVE_LOW_GROUP, IDC_MI_OVER_TEMP})
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(factory ? SW_SHOW : SW_HIDE);
    for (int id : {IDC_MI_BALANCE, IDC_MI_SAVE_OFFSETS, IDC_MI_SPIN_R, IDC_MI_SPIN_S, IDC_MI_SPIN_T})
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(balance ? SW_SHOW : SW_HIDE);
    for (int id : {IDC_MI_FW_VERSION_BOX, IDC_MI_FW_VERSION, IDC_MI_FW_PN_BOX, IDC_MI_FW_PN})
        if (CWnd* control = GetDlgItem(id))
            control->ShowWindow(SW_SHOW);
    for (const OffsetIds& offset : kOffsets)
        if (auto* edit = static_cast<CEdit*>(GetDlgItem(offset.id)))
            edit->SetReadOnly(!balance);
    for (const OffsetIds& offset : kDacOffsets)
        if (auto* edit = static_cast<CEdit*>(GetDlgItem(offset.id)))
            edit->SetReadOnly(!balance);
    ApplyRowVisibility();
    if (IsCustomer() && m_listLoaded)
        PlaceCustomerLayout();
}

// The customer's arrangement: the model box, and beside it the offsets above
// the two firmware boxes, placed from the rows' own measures.
void CQvxGuiModelInfo::PlaceCustomerLayout()
{
    const auto place = [this](int id, int x, int y, int w, int h) {
        if (CWnd* control = GetDlgItem(id))
            control->MoveWindow(x, y, w, h);
    };
    int bottom = 0, right = 0;
    for (int row = 0; row < kRows; ++row) {
        CWnd* shown = GetDlgItem(kRowIds[row].shown);
        if (!shown || !shown->IsWindowVisible())
            continue;
        CRect rect;
        shown->GetWindowRect(&rect);
        ScreenToClient(&rect);
        bottom = std::max(bottom, static_cast<int>(rect.bottom));
        right = std::max(right, static_cast<int>(rect.right));
    }
    CRect enable(0, 0, 0, 0);
    if (CWnd* button = GetDlgItem(IDC_MI_ENABLE)) {
        button->GetWindowRect(&enable);
        ScreenToClient(&enable);
    }
    const int top = enable.bottom + 6;
    const int width = std::max(225, right + 8 - 5);
    place(IDC_MI_MODEL_BOX, 5, top, width, bottom + 10 - top);
    const int x = 5 + width + 8;
    place(IDC_MI_BALANCE_GROUP, x, top, 165, 140);
    place(IDC_MI_OFFSETS_LABEL, x + 67, top + 18, 110, 20);
    const int labels[] = {IDC_MI_R_LABEL, IDC_MI_S_LABEL, IDC_MI_T_LABEL};
    for (int i = 0; i < 3; ++i) {
        place(labels[i], x + 12, top + 46 + 30 * i, 60, 20);
        place(kOffsets[i].id, x + 77, top + 43 + 30 * i, 67, 20);
    }
    place(IDC_MI_FW_VERSION_BOX, x, top + 173, 165, 60);
    place(IDC_MI_FW_VERSION, x + 12, top + 198, 140, 20);
    place(IDC_MI_FW_PN_BOX, x, top + 243, 165, 60);
    place(IDC_MI_FW_PN, x + 12, top + 268, 140, 20);
    CRect window;
    GetWindowRect(&window);
    CRect client;
    GetClientRect(&client);
    SetWindowPos(nullptr, 0, 0, x + 165 + 10 + window.Width() - client.Width(),
                 std::max(bottom + 10, top + 303) + 10 + window.Height() - client.Height(), SWP_NOMOVE | SWP_NOZORDER);
}

// ---------------------------------------------------------------------------
// Closing.

bool CQvxGuiModelInfo::WorkingRowsModified()
{
    for (int row : kCloseCheckedRows) {
        for (int i = 0; i < m_editCount; ++i)
            if (m_edits[i].GetDlgCtrlID() == kRowIds[row].working && m_edits[i].IsModified())
                return true;
    }
    CString driveModel;
    GetDlgItemText(IDC_MI_MODEL_RAW, driveModel);
    driveModel.Replace(",", "");
    return m_modelList.GetCurSel() >= 0 && m_selectedModel != std::atoi(driveModel);
}

void CQvxGuiModelInfo::LeaveFactoryAccess()
{
    if (m_left)
        return;
    m_left = true;
    Write(kFactoryAccessCode, 1);
}

void CQvxGuiModelInfo::OnClose()
{
    CloseChildDialogs();
    if (!IsClosing() && m_listLoaded && IsFactory() && !(m_flags & 8)) {
        if (WorkingRowsModified()) {
            if (CGuiUpdateItem::MessageBox("You have NOT sent changes to the drive!\nPress OK if you wish to exit "
                                           "without sending!",
                                           MB_OKCANCEL, 0, IDOK) == IDCANCEL)
                return;
        } else if (m_nvmUnsaved &&
                   CGuiUpdateItem::MessageBox("You have NOT saved changes to NVM!\nPress YES if you wish changes to be "
                                              "saved!",
                                              MB_YESNO, 0, IDYES) == IDYES) {
            SaveModel();
        }
    }
    LeaveFactoryAccess();
    SetClosing(1);
    CGuiUpdateDlg::OnClose();
}

void CQvxGuiModelInfo::OnDestroy()
{
    LeaveFactoryAccess();
    CGuiUpdateDlg::OnDestroy();
}

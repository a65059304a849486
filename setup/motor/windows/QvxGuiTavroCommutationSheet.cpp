#include "setup/motor/windows/QvxGuiTavroCommutationSheet.h"

#include "database/QvxDatabase.h"
#include "database/QvxDatabaseRecordset.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "foundation/TextHelpers.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/SingleLock.h"
#include "setup/motor/CommutationConfigLayout.h"
#include "setup/motor/windows/QvxGuiTavroCommutationAddCalcDlg.h"

IMPLEMENT_DYNCREATE(CQvxGuiTavroCommutationSheet, CGuiUpdatePropSheet)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiTavroCommutationSheet));


namespace {
constexpr BYTE kOnceFlags = 0x60;
constexpr int kModeLoopsClosed = 2 | 4;
const char kCouldNotCalculate[] = "Could not calculate additional parameters.";
CQvxDatabase* g_database = nullptr;

// A control the database may refresh: not waiting for a reply of its own.
bool IsIdle(const CQvxGuiControl& control)
{
    return control.GetState() != 2;
}
}  // namespace

void CQvxGuiTavroCommutationSheet::SetDatabase(CQvxDatabase* database)
{
    g_database = database;
}

CQvxGuiTavroCommutationSheet::CQvxGuiTavroCommutationSheet()
    : CGuiUpdatePropSheet("Commutation Settings"), m_sub(this), m_configPage(this), m_feedbackPage(this)
{
    AddPage(&m_configPage);
    AddPage(&m_feedbackPage);
    SetTopPanel(&m_sub, CQvxGuiTavroCommutationSubDlg::IDD);
    SetButtons(kSheetSendButton | kSheetEnableButton);
}

CQvxGuiTavroCommutationSheet::~CQvxGuiTavroCommutationSheet()
{
    SetRecordset(nullptr);
    for (CDmQueryVar* query : {&m_mc, &m_ccc, &m_ccr, &m_ces})
        query->Cancel();
}

BOOL CQvxGuiTavroCommutationSheet::OnInitDialog()
{
    m_motorRecordset = g_database ? g_database->FindRecordset("MotorByPartNum") : nullptr;
    if (m_motorRecordset)
        SetRecordset(m_motorRecordset);
    m_absEncRecordset = g_database ? g_database->FindRecordset("AbsEncByModel") : nullptr;
    if (m_absEncRecordset)
        m_feedbackPage.BindAbsEncRecordset(m_absEncRecordset);
    CGuiUpdatePropSheet::OnInitDialog();
    return TRUE;
}

// ---------------------------------------------------------------------------
int CQvxGuiTavroCommutationSheet::PrepareQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    {
        CSingleLock lock(&m_stopwatchLock, TRUE);
        m_stopwatch.Restart();
    }
    m_databaseAllowed = 0;
    if (CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr)
        table->RequestParameterQuery(drive, GPD_VER);
    return 1;
}

int CQvxGuiTavroCommutationSheet::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    m_mc.Query(address, kMcCode, 0, kOnceFlags);
    m_ccc.Query(address, kCccCode, 0, kOnceFlags);
    m_ccr.Query(address, kCcrCode, 0, kOnceFlags);
    m_ces.Query(address, kCesCode, 0, kOnceFlags);
    const int result = CGuiUpdatePropSheet::SubscribeStatusQueries();
    m_sub.StartQueries(drive);
    return result;
}

int CQvxGuiTavroCommutationSheet::InitialUpdate()
{
    CGuiUpdatePropSheet::InitialUpdate();
    LONG mc = 0;
    if (m_mc.GetValue(mc))
        m_motorKind = mc == 1 ? 1 : 0;
    return m_sub.HasInitialData() && GetFirmwareVersion().has_value() ? 1 : 0;
}

std::optional<double> CQvxGuiTavroCommutationSheet::GetFirmwareVersion()
{
    double version = 0;
    if (!GetGlobalParameterValue(-1, GPD_VER, version))
        return std::nullopt;
    return version;
}

void CQvxGuiTavroCommutationSheet::ProcessResponses()
{
    CGuiUpdatePropSheet::ProcessResponses();
    {
        CSingleLock lock(&m_stopwatchLock, TRUE);
        if (m_stopwatch.GetElapsedSeconds() > 1.0)
            m_databaseAllowed = 1;
    }
    ApplyDatabaseChanges();
    if (m_sub.GetSafeHwnd())
        m_sub.Update();
}

int CQvxGuiTavroCommutationSheet::GetPendingChangesState(int ignored)
{
    if (!GetSafeHwnd() || !m_configPage.GetSafeHwnd() || !m_feedbackPage.GetSafeHwnd())
        return 2;
    if (m_configPage.GetPendingChangesState(ignored) == 1 || m_feedbackPage.GetPendingChangesState(ignored) == 1 ||
        m_sub.DiffersFromDrive())
        return 1;
    return 2;
}

// ---------------------------------------------------------------------------
std::optional<CommutationCounts> CQvxGuiTavroCommutationSheet::ComputeWorkingCounts()
{
    double poles = 0, lines = 0;
    if (!m_configPage.GetWorkingPoles(poles) || !m_feedbackPage.GetWorkingLines(lines))
        return std::nullopt;
    return CCommutationSheetCalc::ComputeCounts(m_motorKind, poles, lines);
}

// Every check that can stop the send runs before the first write, so a
// refusal never leaves new poles or lines behind old commutation counts.
bool CQvxGuiTavroCommutationSheet::ChecksBeforeSend()
{
    if ((m_configPage.GetModeWord() & kModeLoopsClosed) && m_configPage.CheckAutoPhaseChanges()) {
        ProcessResponses();
        return false;
    }
    if (GetEnableBit()) {
        CGuiUpdateItem::MessageBox("Please DISABLE drive before sending data.", MB_OK, 0, IDOK);
        return false;
    }
    if (!ComputeWorkingCounts()) {
        CGuiUpdateItem::MessageBox("Unable to set CCC, CCR and CES registers", MB_OK, 0, IDOK);
        return false;
    }
    return m_feedbackPage.CanSend() && m_configPage.CanSend();
}

int CQvxGuiTavroCommutationSheet::SendGroup(int group)
{
    if (!ChecksBeforeSend())
        return 0;
    const std::optional<CommutationCounts> counts = ComputeWorkingCounts();
    CGuiUpdatePropSheet::SendGroup(group);
    WriteFeedbackAndKind();
    WriteCounts(*counts);
    return 1;
}

void CQvxGuiTavroCommutationSheet::WriteFeedbackAndKind()
{
    const BYTE address = static_cast<BYTE>(GetDrive());
    SendCommand(address, kMftCode, m_sub.GetFeedbackMask());
    SendCommand(address, kMcCode, m_sub.GetLinearOrRotary() == 1 ? 1 : 0);
    m_sub.ChoicesSent();
    m_sub.RequeryDrive(GetDrive());
    m_mc.Query(address, kMcCode, 0, kOnceFlags);
}

void CQvxGuiTavroCommutationSheet::WriteCounts(const CommutationCounts& counts)
{
    const BYTE address = static_cast<BYTE>(GetDrive());
    SendCommand(address, kCccCode, counts.cycles);
    SendCommand(address, kCcrCode, counts.counts);
    SendCommand(address, kCesCode, static_cast<LONG>(counts.scaling));
    m_ccc.Query(address, kCccCode, 0, kOnceFlags);
    m_ccr.Query(address, kCcrCode, 0, kOnceFlags);
    m_ces.Query(address, kCesCode, 0, kOnceFlags);
}

void CQvxGuiTavroCommutationSheet::ShowAdditionalCalculations()
{
    LONG ccc = 0, ccr = 0, ces = 0;
    m_ccc.GetValue(ccc);
    m_ccr.GetValue(ccr);
    m_ces.GetValue(ces);
    if (ccc == 0)
        CGuiUpdateItem::MessageBox(CString(kCouldNotCalculate) + "\nThe drive's Comm Cycles/CCR is 0.", MB_OK, 0, IDOK);
    const std::optional<CommutationCounts> working = ComputeWorkingCounts();
    if (!working) {
        CGuiUpdateItem::MessageBox(CString(kCouldNotCalculate) + "\n" + WhyNoWorkingCounts(), MB_OK, 0, IDOK);
        return;
    }
    CQvxGuiTavroCommutationAddCalcDlg dialog(this);
    dialog.SetWorking(*working);
    dialog.SetDrive(ccr, ccc, static_cast<double>(static_cast<DWORD>(ces)));
    dialog.DoModal();
}

// What keeps the working entries from giving commutation counts, in the fields' own names.
CString CQvxGuiTavroCommutationSheet::WhyNoWorkingCounts()
{
    const bool linear = m_motorKind == 1;
    const char* poles = linear ? "Pole Pitch" : "Number of Poles";
    const char* lines = linear ? "Resolution" : "Lines per Revolution";
    double poleValue = 0, lineValue = 0;
    CString why;
    if (!m_configPage.GetWorkingPoles(poleValue))
        why.Format("The working %s has no value.", poles);
    else if (!m_feedbackPage.GetWorkingLines(lineValue))
        why.Format("The working %s has no value.", lines);
    else if (!(poleValue > 0))
        why.Format("The working %s must be above 0.", poles);
    else if (!(lineValue > 0))
        why.Format("The working %s must be above 0.", lines);
    else
        why.Format("The working %s and %s give no whole count per commutation cycle.", poles, lines);
    return why;
}

void CQvxGuiTavroCommutationSheet::OnMotorKindChosen(int linear)
{
    m_motorKind = linear ? 1 : 0;
    m_configPage.SetMotorKindLabels(1, m_motorKind);
    m_feedbackPage.SetLinesLabels(1, m_motorKind, 0);
}

// ---------------------------------------------------------------------------
void CQvxGuiTavroCommutationSheet::OnRecordChanged()
{
    m_pendingMotorType = 1;
    m_pendingLinOrRot = 1;
    m_pendingPoles = 1;
}

CString CQvxGuiTavroCommutationSheet::RecordField(const char* name) const
{
    CString text;
    if (!m_motorRecordset || !m_motorRecordset->GetCurrentRecord() ||
        !m_motorRecordset->GetFieldValue(name, FALSE, text))
        return CString();
    return text;
}

void CQvxGuiTavroCommutationSheet::ApplyDatabaseChanges()
{
    if (!m_databaseAllowed || !m_motorRecordset || !m_sub.GetSafeHwnd())
        return;
    if (m_pendingMotorType) {
        m_pendingMotorType = 0;
        ApplyMotorType(RecordField("MotorType"));
    }
    if (m_pendingLinOrRot) {
        m_pendingLinOrRot = 0;
        ApplyLinearOrRotary(RecordField("LinOrRot"));
    }
    if (m_pendingLines && IsIdle(m_feedbackPage.LinesEdit())) {
        m_pendingLines = 0;
        ApplyLines(RecordField("LinesPerRev"));
    }
    if (m_pendingPoles && IsIdle(m_configPage.PolesEdit())) {
        m_pendingPoles = 0;
        ApplyPoles(RecordField("NumPoles"));
    }
}

void CQvxGuiTavroCommutationSheet::ApplyMotorType(const CString& type)
{
    const std::pair<const char*, int> types[] = {
        {"Brushless", kMotorBrushless}, {"Brush", kMotorBrush}, {"Induction", kMotorInduction}};
    for (const auto& [name, code] : types)
        if (type == name)
            m_sub.PickMotorType(code);
    m_pendingLines = 1;
    const int mask = m_sub.GetFeedbackMask();
    m_configPage.ArrangeForMotorAndFeedback(m_sub.GetMotorType(), 1, 0, mask);
    m_feedbackPage.ArrangeFeedbackPage(mask, m_sub.GetMotorType());
}

void CQvxGuiTavroCommutationSheet::ApplyLinearOrRotary(const CString& kind)
{
    if (kind == "Linear")
        m_sub.PickMotorKind(1);
    else if (kind == "Rotary")
        m_sub.PickMotorKind(0);
}

void CQvxGuiTavroCommutationSheet::ApplyLines(const CString& lines)
{
    if (!StartsLikeNumber(lines)) {
        m_sub.PickFeedback(kFeedbackQuadrature, false);
        m_sub.PickFeedback(kFeedbackSinCos, false);
        return;
    }
    if (!(m_sub.GetFeedbackMask() & (kFeedbackQuadrature | kFeedbackSinCos)))
        m_sub.PickFeedback(kFeedbackQuadrature, true);
    m_feedbackPage.LinesEdit().SetValueText(lines);
    m_sub.ClearTypeChanged();
}

void CQvxGuiTavroCommutationSheet::ApplyPoles(const CString& poles)
{
    if (StartsLikeNumber(poles))
        m_configPage.PolesEdit().SetValueText(poles);
}

#include "setup/tuning/windows/QvxGuiMoveBuilderDlg.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "comm/link/CommAppServices.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "foundation/TextHelpers.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/DebugLog.h"
#include "platform/core/SpecialFolders.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/FileDialog.h"
#include "setup/tuning/windows/ProfileBackupEngine.h"
#include "setup/tuning/windows/ProfileQuickBackup.h"

IMPLEMENT_DYNCREATE(CQvxGuiMoveBuilderDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiMoveBuilderDlg));

BEGIN_MESSAGE_MAP(CQvxGuiMoveBuilderDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_MOVE_ADD_STEP, &CQvxGuiMoveBuilderDlg::OnAddStep)
    ON_BN_CLICKED(IDC_MOVE_REMOVE_STEP, &CQvxGuiMoveBuilderDlg::OnRemoveStep)
    ON_BN_CLICKED(IDC_MOVE_REMOVE_ALL, &CQvxGuiMoveBuilderDlg::OnRemoveAllSteps)
    ON_BN_CLICKED(IDC_MOVE_CLEAR_PROGRAMS, &CQvxGuiMoveBuilderDlg::OnClearPrograms)
    ON_BN_CLICKED(IDC_MOVE_COPY_FROM_DRIVE, &CQvxGuiMoveBuilderDlg::OnCopyFromDrive)
    ON_BN_CLICKED(IDC_MOVE_SEND, &CQvxGuiMoveBuilderDlg::OnSendToDrive)
    ON_CBN_SELCHANGE(IDC_MOVE_PROFILE, &CQvxGuiMoveBuilderDlg::OnProfileChanged)
    ON_BN_CLICKED(IDC_MOVE_SAVE_NVM, &CQvxGuiMoveBuilderDlg::OnSaveToNvm)
    ON_BN_CLICKED(IDC_MOVE_EXECUTE, &CQvxGuiMoveBuilderDlg::OnExecute)
    ON_BN_CLICKED(IDC_MOVE_BACKUP, &CQvxGuiMoveBuilderDlg::OnBackupProfiles)
    ON_BN_CLICKED(IDC_MOVE_RESTORE, &CQvxGuiMoveBuilderDlg::OnRestoreProfiles)
    ON_BN_CLICKED(IDC_MOVE_QUICK_BACKUP, &CQvxGuiMoveBuilderDlg::OnQuickBackup)
    ON_BN_CLICKED(IDC_MOVE_QUICK_RESTORE, &CQvxGuiMoveBuilderDlg::OnQuickRestore)
    ON_EN_KILLFOCUS(IDC_MOVE_TORQUE_CONST, &CQvxGuiMoveBuilderDlg::OnTorqueConstantCommitted)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr const char* kProfileRunning =
    "Profile is in process. Please wait for completion or abort the profile before changing profiles.";
constexpr const char* kBackupFilter = "Korvane Backup Files (*.bk)|*.bk||";
constexpr COLORREF kOddRow = 0xFFFFFF;
constexpr COLORREF kEvenRow = 0xF0FAF0;
constexpr COLORREF kUnreachableRow = 0x8080FF;
const char* const kColumns[] = {"Step", "Control Type", "Control Value", "Action Trigger", "Trigger Value", "Action"};

enum Column { kStepColumn = 0, kControlColumn, kControlValueColumn, kTriggerColumn, kTriggerValueColumn, kActionColumn };

void Trace(const char* text) { AfxDebugLog("%s", text); }
}  // namespace

CQvxGuiMoveBuilderDlg::CQvxGuiMoveBuilderDlg() : CGuiUpdateDlg(IDD), m_working(this)
{
    m_statusFlags = kStatusWord | kStatusFault;
    for (CQvxMoveBuilderStepArray& profile : m_drive)
        profile.m_window = this;
}

CQvxGuiMoveBuilderDlg::~CQvxGuiMoveBuilderDlg() = default;

CComboBox* CQvxGuiMoveBuilderDlg::Combo(int id) const { return static_cast<CComboBox*>(GetDlgItem(id)); }

int CQvxGuiMoveBuilderDlg::Ask(const CString& text, UINT type, int scripted)
{
    return CGuiUpdateItem::MessageBox(text, type, 0, scripted);
}

CString CQvxGuiMoveBuilderDlg::DriveName()
{
    CString name = GetDriveName();
    if (name.IsEmpty())
        name.Format("%d", GetDrive());
    return name;
}

BOOL CQvxGuiMoveBuilderDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    SetEnableButton(GetDlgItem(IDC_MOVE_ENABLE));
    SetUpLists();
    for (CComboBox* units : {Combo(IDC_MOVE_TORQUE_UNITS), Combo(IDC_MOVE_DRIVE_TORQUE_UNITS)}) {
        units->AddString("Lb-in/A");
        units->AddString("Nm/A");
        units->SetCurSel(0);
    }
    m_working.AddStep(CQvxMoveBuilderStep(&m_working));
    ResetUpdateTimer();
    return TRUE;
}

void CQvxGuiMoveBuilderDlg::SetUpLists()
{
    // The lists take the places the template keeps for them.
    const auto place = [this](CReportCtrl& list, int id) {
        CWnd* holder = GetDlgItem(id);
        CRect rect;
        holder->GetWindowRect(&rect);
        ScreenToClient(&rect);
        holder->DestroyWindow();
        list.CreateReport(this, static_cast<UINT>(id), &rect);
        for (int column = 0; column < 6; ++column)
            list.InsertColumn(column, kColumns[column], LVCFMT_LEFT, column == 0 ? 40 : 88);
    };
    place(m_workList, IDC_MOVE_WORK_LIST);
    place(m_driveList, IDC_MOVE_DRIVE_LIST);
    m_workList.SetCallback(this);
    m_workList.m_bEditable = TRUE;
    for (int column : {kControlColumn, kTriggerColumn, kActionColumn})
        m_workList.SetComboCell(column, -1);
}

void CQvxGuiMoveBuilderDlg::FillProfileList()
{
    CComboBox* list = Combo(IDC_MOVE_PROFILE);
    list->ResetContent();
    m_profileCount = 0;
    int family = -1;
    if (CCommAppServices* app = CCommAppServices::Get())
        family = app->GetDriveFamily(GetDrive());
    if (family == kFamilyKreln)
        m_profileCount = 8;
    else if (family == kFamilyTavro)
        m_profileCount = 16;
    else
        Ask("Invalid drive type.  Cannot setup program selection.", MB_OK, IDOK);
    for (int n = 0; n < m_profileCount; ++n) {
        CString text;
        text.Format("%d", n);
        list->AddString(text);
    }
}

int CQvxGuiMoveBuilderDlg::GetSelectedProfile() const
{
    const int selected = Combo(IDC_MOVE_PROFILE)->GetCurSel();
    return selected >= 0 && selected < m_profileCount ? selected : -1;
}

int CQvxGuiMoveBuilderDlg::PrepareQueries()
{
    if (GetDrive() < 0)
        return 0;
    if (CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr)
        for (int id : {GPD_A2E_CURRENT_GAIN, GPD_A2E_VEL_GAIN, GPD_MDL13, GPD_VER})
            table->RequestParameterQuery(GetDrive(), id);
    FillProfileList();
    // Another drive, or the same one again: what was read of its profiles is read anew.
    for (CQvxMoveBuilderStepArray& profile : m_drive)
        profile.RemoveAll();
    m_exchange = kNoExchange;
    m_pendingLoad = 0;
    m_shownProfile = -1;
    m_handledSelector = -1;
    m_haveRunWord = m_haveSelector = m_haveTorqueWord = false;
    m_startupLoadDone = false;
    return 1;
}

int CQvxGuiMoveBuilderDlg::SubscribeStatusQueries()
{
    const int done = CGuiUpdateDlg::SubscribeStatusQueries();
    if (done)
        BindPolls();
    return done;
}

void CQvxGuiMoveBuilderDlg::BindPolls()
{
    const BYTE drive = static_cast<BYTE>(GetDrive());
    SendQuery(drive, kProfileSelectorParameter, 200);
    SendQuery(drive, kProfileRunParameter, 200);
    SendQuery(drive, kMotorTypeParameter, 1000);
    SendQuery(drive, kTorqueWordParameter, 500);
    SendQuery(drive, kTorqueOffsetParameter, 600);
    SendQueryWithArgument(drive, kHardwareFlagsParameter, kHardwareFlagsIndexParameter, 14, 1000);
}

int CQvxGuiMoveBuilderDlg::InitialUpdate()
{
    if (!m_haveRunWord || !m_haveSelector)
        return 0;
    if (!m_startupLoadDone) {
        m_startupLoadDone = true;
        if (IsProfileRunning()) {
            CString text;
            text.Format("Profile is in process. Will automatically load Profile #%d when drive profile has been "
                        "completed or aborted.",
                        static_cast<int>(m_selector));
            Ask(text, MB_OK, IDOK);
            m_waitForRunEnd = true;
        } else {
            Trace("Loading the Hardware Selector profile");
            m_handledSelector = m_selector;
            StartLoad(m_selector >= 0 && m_selector < m_profileCount ? m_selector : 0);
        }
    }
    RefreshLists();
    return 1;
}

void CQvxGuiMoveBuilderDlg::StartLoad(int profile)
{
    if (profile < 0 || profile >= m_profileCount)
        return;
    Combo(IDC_MOVE_PROFILE)->SetCurSel(profile);
    m_shownProfile = profile;
    WriteProfileLoad(profile);
}

bool CQvxGuiMoveBuilderDlg::WriteProfileLoad(int profile)
{
    m_pendingLoad = 1;
    return SendCommand(static_cast<BYTE>(GetDrive()), kProfileLoadParameter, kProfileSlotBase + profile) >= 0;
}

bool CQvxGuiMoveBuilderDlg::BeginReceiveProfile(int profile)
{
    if (m_exchange != kNoExchange || profile < 0 || profile >= m_profileCount) {
        Trace("********** Could not RequestMoveData()");
        return false;
    }
    Trace("********** RequestMoveData()");
    m_exchange = kReceivingProfile;
    m_exchangeProfile = profile;
    m_drive[profile].m_window = this;
    if (!m_drive[profile].BeginReceive(GetDrive()))
        EndExchange(CQvxMoveBuilderStepArray::kFailed);
    UpdateEnabling();
    return true;
}

void CQvxGuiMoveBuilderDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    const LONG value = response.GetValue();
    switch (response.m_code) {
    case kStepSelectParameter:
    case kStepDataParameter:
        OnExchangeResponse(response);
        return;
    case kProfileLoadParameter:
        if (response.m_write && !response.m_error && m_pendingLoad) {
            m_pendingLoad = 0;
            BeginReceiveProfile(m_shownProfile);
        }
        return;
    default:
        break;
    }
    if (response.m_error || response.m_write) {
        CGuiUpdateDlg::OnStatusResponse(response);
        return;
    }
    switch (response.m_code) {
    case kProfileRunParameter:
        m_runWord = value;
        m_haveRunWord = true;
        break;
    case kProfileSelectorParameter:
        m_selector = value;
        m_haveSelector = true;
        break;
    case kTorqueWordParameter:
        m_torqueWord = value;
        m_haveTorqueWord = true;
        break;
    case kMotorTypeParameter:
        m_motorType = value;
        break;
    case kHardwareFlagsParameter:
        m_hardwareFlags = value;
        break;
    case kTorqueOffsetParameter:
        m_torqueOffset = value;
        break;
    default:
        CGuiUpdateDlg::OnStatusResponse(response);
    }
}

void CQvxGuiMoveBuilderDlg::OnExchangeResponse(const CAmpResponseToGui& response)
{
    if (m_exchange == kNoExchange)
        return;
    CQvxMoveBuilderStepArray& steps = m_exchange == kSendingProfile ? m_working : m_drive[m_exchangeProfile];
    int result = steps.OnStepResponse(response, GetDrive());
    // A last step that chains into nothing was still written whole.
    if (result == CQvxMoveBuilderStepArray::kFailed && !response.m_error && m_exchange == kSendingProfile &&
        steps.m_current >= steps.GetSize())
        result = CQvxMoveBuilderStepArray::kFinished;
    if (result == CQvxMoveBuilderStepArray::kFinished || result == CQvxMoveBuilderStepArray::kFailed)
        EndExchange(result);
}

void CQvxGuiMoveBuilderDlg::EndExchange(int result)
{
    const int exchange = m_exchange;
    m_exchange = kNoExchange;
    const bool failed = result == CQvxMoveBuilderStepArray::kFailed;
    if (exchange == kReceivingProfile) {
        Trace("********** Last Input Data Received.");
        if (failed)
            Ask("Profile loaded with errors.", MB_OK, IDOK);
    } else if (exchange == kSendingProfile) {
        Trace("********** Last Output Data Received.");
        if (failed) {
            Ask("Error sending data to drive.  Please try again", MB_OK, IDOK);
        } else {
            m_workChanged = false;
            m_needsNvmSave = true;
            BeginReceiveProfile(GetSelectedProfile());
        }
    }
    RefreshLists();
    UpdateEnabling();
}

void CQvxGuiMoveBuilderDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    UpdateRunState();
    UpdateTorqueWord();
    CheckHardwareSelector();
    if (m_waitForRunEnd && m_haveRunWord && !IsProfileRunning()) {
        m_waitForRunEnd = false;
        m_handledSelector = m_selector;
        StartLoad(m_selector >= 0 && m_selector < m_profileCount ? m_selector : 0);
    }
    UpdateEnabling();
}

void CQvxGuiMoveBuilderDlg::UpdateRunState()
{
    const CString text = IsProfileRunning() ? "Abort Profile" : "Execute Profile";
    CString shown;
    GetDlgItemText(IDC_MOVE_EXECUTE, shown);
    if (shown != text)
        SetDlgItemText(IDC_MOVE_EXECUTE, text);
}

void CQvxGuiMoveBuilderDlg::UpdateTorqueWord()
{
    if (!m_haveTorqueWord || m_torqueWord == m_shownTorqueWord)
        return;
    m_shownTorqueWord = m_torqueWord;
    CString text;
    text.Format("%.2f", static_cast<double>(m_torqueWord & 0xFFFF) / 100.0);
    SetDlgItemText(IDC_MOVE_DRIVE_TORQUE_CONST, text);
    const int unit = static_cast<int>(static_cast<DWORD>(m_torqueWord) >> 16);
    if (unit >= 0 && unit < 2)
        Combo(IDC_MOVE_DRIVE_TORQUE_UNITS)->SetCurSel(unit);
    RefreshLists();
}

void CQvxGuiMoveBuilderDlg::CheckHardwareSelector()
{
    if (!m_haveSelector || m_exchange != kNoExchange || !m_startupLoadDone || m_waitForRunEnd ||
        m_selector == m_handledSelector)
        return;
    m_handledSelector = m_selector;
    if (m_selector == m_shownProfile || m_selector < 0 || m_selector >= m_profileCount)
        return;
    if (m_needsNvmSave) {
        CString text;
        text.Format("Hardware selector changed the currently selected profile.  Changes to Profile #%d not saved to "
                    "NVM have been lost.",
                    m_shownProfile);
        Ask(text, MB_OK, IDOK);
        m_needsNvmSave = false;
    }
    StartLoad(m_selector);
}

void CQvxGuiMoveBuilderDlg::UpdateEnabling()
{
    const BOOL idle = m_exchange == kNoExchange;
    for (int id : {IDC_MOVE_ADD_STEP, IDC_MOVE_REMOVE_STEP, IDC_MOVE_REMOVE_ALL, IDC_MOVE_CLEAR_PROGRAMS,
                   IDC_MOVE_COPY_FROM_DRIVE, IDC_MOVE_SEND, IDC_MOVE_SAVE_NVM, IDC_MOVE_PROFILE, IDC_MOVE_BACKUP,
                   IDC_MOVE_RESTORE, IDC_MOVE_QUICK_BACKUP, IDC_MOVE_QUICK_RESTORE}) {
        CWnd* control = GetDlgItem(id);
        if (control && control->IsWindowEnabled() != idle)
            control->EnableWindow(idle);
    }
    const BOOL offset = (m_hardwareFlags & 0x3000) == 0x3000;
    for (int id : {IDC_MOVE_TORQUE_OFFSET, IDC_MOVE_TORQUE_OFFSET_SPIN})
        if (GetDlgItem(id)->IsWindowEnabled() != offset)
            GetDlgItem(id)->EnableWindow(offset);
    CString text;
    text.Format("%.1f", static_cast<double>(m_torqueOffset));
    CString shown;
    GetDlgItemText(IDC_MOVE_TORQUE_OFFSET, shown);
    if (shown != text && GetFocus() != GetDlgItem(IDC_MOVE_TORQUE_OFFSET))
        SetDlgItemText(IDC_MOVE_TORQUE_OFFSET, text);
}

ProfileUnitContext CQvxGuiMoveBuilderDlg::UnitContext(bool forDrive) const
{
    ProfileUnitContext context;
    auto* self = const_cast<CQvxGuiMoveBuilderDlg*>(this);
    context.haveCurrentGain = self->GetGlobalParameterValue(-1, GPD_A2E_CURRENT_GAIN, context.currentGain);
    context.haveVelocityGain = self->GetGlobalParameterValue(-1, GPD_A2E_VEL_GAIN, context.velocityGain);
    context.haveMdl13 = self->GetGlobalParameterValue(-1, GPD_MDL13, context.mdl13);
    double version = 0;
    if (self->GetGlobalParameterValue(-1, GPD_VER, version))
        context.firmwareVersion = version;
    context.motorType = static_cast<int>(m_motorType);
    if (forDrive) {
        context.SetTorqueWord(static_cast<DWORD>(m_torqueWord));
    } else {
        CString text;
        GetDlgItemText(IDC_MOVE_TORQUE_CONST, text);
        context.torqueConstant = std::atof(text);
        context.torqueUnit = Combo(IDC_MOVE_TORQUE_UNITS)->GetCurSel();
    }
    return context;
}

void CQvxGuiMoveBuilderDlg::SetCell(CReportCtrl& list, int row, int column, const CString& text)
{
    if (list.GetItemText(row, column) != text)
        list.SetItemText(row, column, text);
}

void CQvxGuiMoveBuilderDlg::FillStepList(CReportCtrl& list, const CQvxMoveBuilderStepArray& steps,
                                         const ProfileUnitContext& context)
{
    while (list.GetItemCount() > steps.GetSize())
        list.DeleteItem(list.GetItemCount() - 1);
    while (list.GetItemCount() < steps.GetSize())
        list.InsertItem(list.GetItemCount(), "Step");
    bool reachable = true;
    for (int row = 0; row < steps.GetSize(); ++row) {
        const CQvxMoveBuilderStep& step = steps.GetAt(row);
        CString number;
        number.Format("%02u", static_cast<unsigned>(row + 1));
        SetCell(list, row, kStepColumn, number);
        SetCell(list, row, kControlColumn, step.ControlTypeText(context.TorqueSensor()));
        SetCell(list, row, kControlValueColumn,
                FormatUnitValue(ControlUnitKind(step, context), step.m_controlValue, context, true));
        SetCell(list, row, kTriggerColumn, step.TriggerTypeText());
        SetCell(list, row, kTriggerValueColumn, FormatUnitValue(TriggerUnitKind(step), step.m_triggerValue, context, true));
        SetCell(list, row, kActionColumn, step.ActionText());
        const COLORREF background = !reachable ? kUnreachableRow : (row % 2 ? kOddRow : kEvenRow);
        if (list.GetItemBkColor(0, row) != background)
            list.SetItemColors(row, 0, background);
        reachable = reachable && step.m_action == kActionNextStep;
    }
}

void CQvxGuiMoveBuilderDlg::RefreshLists()
{
    if (!m_workList.GetSafeHwnd())
        return;
    FillStepList(m_workList, m_working, UnitContext(false));
    const int profile = GetSelectedProfile();
    static const CQvxMoveBuilderStepArray kNone;
    FillStepList(m_driveList, profile >= 0 ? m_drive[profile] : kNone, UnitContext(true));
    CString total;
    total.Format("Total steps: %u", static_cast<unsigned>(m_working.GetSize()));
    CString shown;
    GetDlgItemText(IDC_MOVE_TOTAL_STEPS, shown);
    if (shown != total)
        SetDlgItemText(IDC_MOVE_TOTAL_STEPS, total);
}

std::vector<int> CQvxGuiMoveBuilderDlg::CellCodes(int row, int column) const
{
    std::vector<int> codes;
    if (row < 0 || row >= m_working.GetSize())
        return codes;
    const CQvxMoveBuilderStep& step = m_working.GetAt(row);
    switch (column) {
    case kControlColumn:
        codes = {kControlCurrent, kControlTorque, kControlVelocity, kControlPosition};
        break;
    case kActionColumn:
        codes = {kActionStopDisable, kActionStopZeroCurrent, kActionStopZeroVelocity, kActionStopHoldPosition,
                 kActionNextStep};
        break;
    case kTriggerColumn:
        if (step.m_controlType == kControlPosition) {
            codes = {kTriggerPositionAbs, kTriggerPositionInc};
            break;
        }
        codes = {kTriggerTime};
        if (!(step.m_controlType == kControlTorque && UnitContext(false).TorqueSensor()))
            codes.insert(codes.end(), {kTriggerTorque, kTriggerTorqueSensV});
        codes.insert(codes.end(), {kTriggerVelocity, kTriggerPositionAbs, kTriggerPositionInc, kTriggerDigitalInput});
        break;
    default:
        break;
    }
    return codes;
}

int CQvxGuiMoveBuilderDlg::GetColumnEditType(CDListComboCtrl* list, int row, int column)
{
    if (column == kControlValueColumn || column == kTriggerValueColumn)
        return LCC_EDIT_TEXT;
    const std::vector<int> codes = CellCodes(row, column);
    if (codes.empty())
        return -1;
    // The choices depend on the row, so the column's list is made for it now.
    list->AddComboList(column);
    const bool sensor = UnitContext(false).TorqueSensor();
    for (int code : codes) {
        CQvxMoveBuilderStep probe;
        probe.m_controlType = probe.m_triggerType = probe.m_action = code;
        list->AddComboString(column == kControlColumn ? probe.ControlTypeText(sensor)
                             : column == kTriggerColumn ? probe.TriggerTypeText()
                                                        : probe.ActionText());
    }
    return LCC_EDIT_LIST;
}

int CQvxGuiMoveBuilderDlg::GetItemSelection(CDListComboCtrl* /*list*/, int row, int column)
{
    const std::vector<int> codes = CellCodes(row, column);
    if (codes.empty())
        return -1;
    const CQvxMoveBuilderStep& step = m_working.GetAt(row);
    const int current = column == kControlColumn ? step.m_controlType
                        : column == kTriggerColumn ? step.m_triggerType
                                                   : step.m_action;
    const auto at = std::find(codes.begin(), codes.end(), current);
    return at == codes.end() ? -1 : static_cast<int>(at - codes.begin());
}

void CQvxGuiMoveBuilderDlg::OnItemSelectionChanged(CDListComboCtrl* /*list*/, int row, int column, int index,
                                                   BOOL unchanged)
{
    const std::vector<int> codes = CellCodes(row, column);
    if (unchanged || index < 0 || index >= static_cast<int>(codes.size()))
        return;
    CQvxMoveBuilderStep& step = m_working.ElementAt(row);
    int& field = column == kControlColumn ? step.m_controlType
                 : column == kTriggerColumn ? step.m_triggerType
                                            : step.m_action;
    field = codes[static_cast<size_t>(index)];
    m_workChanged = true;
    RefreshLists();
}

CString CQvxGuiMoveBuilderDlg::GetItemText(CDListComboCtrl* /*list*/, int row, int column)
{
    if (row < 0 || row >= m_working.GetSize())
        return CString();
    const CQvxMoveBuilderStep& step = m_working.GetAt(row);
    const ProfileUnitContext context = UnitContext(false);
    return column == kControlValueColumn
               ? FormatUnitValue(ControlUnitKind(step, context), step.m_controlValue, context, false)
               : FormatUnitValue(TriggerUnitKind(step), step.m_triggerValue, context, false);
}

void CQvxGuiMoveBuilderDlg::OnItemTextChanged(CDListComboCtrl* /*list*/, int row, int column, CString text,
                                              BOOL /*unchanged*/)
{
    if (row < 0 || row >= m_working.GetSize() || (column != kControlValueColumn && column != kTriggerValueColumn)) {
        RefreshLists();
        return;
    }
    CQvxMoveBuilderStep& step = m_working.ElementAt(row);
    const ProfileUnitContext context = UnitContext(false);
    const int kind = column == kControlValueColumn ? ControlUnitKind(step, context) : TriggerUnitKind(step);
    char* end = nullptr;
    const double engineering = std::strtod(text, &end);
    double factor = 0;
    int& target = column == kControlValueColumn ? step.m_controlValue : step.m_triggerValue;
    int driveValue = target;
    if (end == static_cast<const char*>(text)) {
        // No number before the unit: the cell keeps its value.
    } else if (!UnitFactor(kind, context, factor) || factor == 0) {
        Ask("This value cannot be entered: its conversion factor is not available.", MB_OK, IDOK);
    } else if (!ParseUnitValue(kind, engineering, context, driveValue)) {
        long long low = 0, high = 0;
        UnitRange(kind, low, high);
        Ask(FormatRangeMessage("Value", FALSE, static_cast<double>(low) * factor, static_cast<double>(high) * factor),
            MB_OK, IDOK);
    } else {
        target = driveValue;
        m_workChanged = true;
    }
    RefreshLists();
}

void CQvxGuiMoveBuilderDlg::OnAddStep()
{
    if (m_working.GetSize() >= kProfileMaxSteps) {
        Ask("The maximum number of steps has been reached.", MB_OK, IDOK);
        return;
    }
    m_working.AddStep(CQvxMoveBuilderStep(&m_working));
    m_workChanged = true;
    RefreshLists();
}

void CQvxGuiMoveBuilderDlg::OnRemoveStep()
{
    std::vector<int> rows;
    for (POSITION pos = m_workList.GetFirstSelectedItemPosition(); pos;)
        rows.push_back(m_workList.GetNextSelectedItem(pos));
    if (rows.empty()) {
        Ask("No steps selected.", MB_OK, IDOK);
        return;
    }
    if (Ask("Remove selected step(s)?", MB_YESNO, IDYES) != IDYES)
        return;
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows)
        if (row < m_working.GetSize())
            m_working.RemoveAt(row);
    m_workChanged = true;
    RefreshLists();
}

void CQvxGuiMoveBuilderDlg::OnRemoveAllSteps()
{
    if (m_working.GetSize() == 0) {
        Ask("No steps to remove.", MB_OK, IDOK);
        return;
    }
    if (Ask("Remove all steps?", MB_YESNO, IDYES) != IDYES)
        return;
    m_working.RemoveAll();
    m_working.AddStep(CQvxMoveBuilderStep(&m_working));
    m_workChanged = true;
    RefreshLists();
}

void CQvxGuiMoveBuilderDlg::OnClearPrograms()
{
    CString question;
    question.Format("Clear programs 1-%u?", static_cast<unsigned>(m_profileCount));
    if (Ask(question, MB_YESNO, IDYES) != IDYES)
        return;
    for (CQvxMoveBuilderStepArray& profile : m_drive)
        profile.RemoveAll();
    Combo(IDC_MOVE_PROFILE)->SetCurSel(0);
    m_shownProfile = 0;
    m_workChanged = true;
    RefreshLists();
}

void CQvxGuiMoveBuilderDlg::OnCopyFromDrive()
{
    const int profile = GetSelectedProfile();
    if (profile < 0 || Ask("Copy Drive Profile to Working Profile?", MB_YESNO, IDYES) != IDYES)
        return;
    if (m_workChanged && Ask("Abandon current working changes?", MB_YESNO, IDYES) != IDYES)
        return;
    m_working = m_drive[profile];
    m_working.m_window = this;
    CString constant;
    GetDlgItemText(IDC_MOVE_DRIVE_TORQUE_CONST, constant);
    SetDlgItemText(IDC_MOVE_TORQUE_CONST, constant);
    Combo(IDC_MOVE_TORQUE_UNITS)->SetCurSel(Combo(IDC_MOVE_DRIVE_TORQUE_UNITS)->GetCurSel());
    m_workChanged = false;
    RefreshLists();
}

void CQvxGuiMoveBuilderDlg::OnSendToDrive()
{
    if (IsProfileRunning()) {
        Ask(kProfileRunning, MB_OK, IDOK);
        return;
    }
    CString question;
    question.Format("Send Profile to Drive %s?", static_cast<const char*>(DriveName()));
    if (Ask(question, MB_YESNO, IDYES) != IDYES)
        return;
    if (m_exchange != kNoExchange) {
        Trace("********** Could not SendMoveData()");
        return;
    }
    Trace("********** SendMoveData()");
    m_exchange = kSendingProfile;
    m_working.m_window = this;
    if (!m_working.BeginSend(GetDrive()))
        EndExchange(CQvxMoveBuilderStepArray::kFailed);
    UpdateEnabling();
}

void CQvxGuiMoveBuilderDlg::OnProfileChanged()
{
    CComboBox* list = Combo(IDC_MOVE_PROFILE);
    const int profile = list->GetCurSel();
    if (IsProfileRunning()) {
        Ask("Profile is in process. Wait for the Profile completion or abort the Profile to make the change.", MB_OK,
            IDOK);
        list->SetCurSel(m_shownProfile);
        return;
    }
    if (profile == m_shownProfile || profile < 0)
        return;
    if (m_needsNvmSave) {
        CString question;
        question.Format("Profile #%u needs to be saved to NVM.  Abandon changes?", static_cast<unsigned>(m_shownProfile));
        if (Ask(question, MB_YESNO, IDYES) != IDYES) {
            list->SetCurSel(m_shownProfile);
            return;
        }
        m_needsNvmSave = false;
    }
    m_shownProfile = profile;
    WriteProfileLoad(profile);
    RefreshLists();
}

void CQvxGuiMoveBuilderDlg::OnSaveToNvm()
{
    const int profile = GetSelectedProfile();
    if (profile < 0)
        return;
    CString question;
    question.Format("Save Profile #%u to NVM on Drive %s?", static_cast<unsigned>(profile),
                    static_cast<const char*>(DriveName()));
    if (Ask(question, MB_YESNO, IDYES) != IDYES)
        return;
    if (SendCommand(static_cast<BYTE>(GetDrive()), kProfileSaveParameter, kProfileSlotBase + profile) < 0) {
        Ask("Could not save to NVM.", MB_OK, IDOK);
        return;
    }
    m_needsNvmSave = false;
}

void CQvxGuiMoveBuilderDlg::OnExecute()
{
    const BYTE drive = static_cast<BYTE>(GetDrive());
    if (IsProfileRunning()) {
        if (SendCommand(drive, kProfileRunParameter, 0) < 0)
            Ask("Operation failed.  Please try again", MB_OK, IDOK);
        return;
    }
    if (!DriveEnabled() && !(m_runWord & 0x200)) {
        Ask("Please enable drive before running profile.", MB_OK, IDOK);
        return;
    }
    CString question;
    question.Format("Execute Profile on Drive %s?", static_cast<const char*>(DriveName()));
    if (Ask(question, MB_YESNO, IDYES) != IDYES)
        return;
    if (SendCommand(drive, kProfileRunParameter, 1) < 0)
        Ask("Operation failed.  Please try again", MB_OK, IDOK);
}

void CQvxGuiMoveBuilderDlg::OnTorqueConstantCommitted()
{
    const int unit = Combo(IDC_MOVE_TORQUE_UNITS)->GetCurSel();
    if (unit < 0 || unit > 1 || GetDrive() < 0)
        return;
    CString text;
    GetDlgItemText(IDC_MOVE_TORQUE_CONST, text);
    const double constant = std::atof(text);
    // The drive holds the constant in 16 bits, in hundredths.
    if (constant < 0 || constant * 100 > 65535)
        return;
    const LONG word = static_cast<LONG>(static_cast<int>(constant * 100) | (unit << 16));
    SendCommand(static_cast<BYTE>(GetDrive()), kTorqueWordParameter, word);
    RefreshLists();
}

CString CQvxGuiMoveBuilderDlg::DocumentsFolder() const { return AfxGetSpecialFolder(CSIDL_PERSONAL); }

void CQvxGuiMoveBuilderDlg::OnBackupProfiles()
{
    CString pending;
    if (m_pList)
        for (POSITION pos = m_pList->GetHeadPosition(); pos;) {
            CGuiUpdateItem* item = m_pList->GetNext(pos);
            if (item != this && item->GetPendingChangesState(0) == 1)
                pending += item->GetItemName() + "\r\n";
        }
    if (!pending.IsEmpty() &&
        Ask("The following windows have data that needs to be saved: \r\n\r\n" + pending +
                "\r\nDo you wish to abandon all changes? (Click 'No' to abort backup)",
            MB_YESNO, IDYES) != IDYES)
        return;
    CFileDialog dialog(FALSE, "bk", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kBackupFilter, this);
    dialog.m_ofn.lpstrTitle = "Backup All Profiles";
    if (dialog.DoModal() != IDOK)
        return;
    CProfileBackupEngine* engine = CProfileBackupEngine::Get();
    if (!engine || !engine->BackupDrive(GetDrive(), DriveName(), "MoveMakerBU.dat", dialog.GetPathName())) {
        Ask("The profiles could not be backed up.", MB_OK, IDOK);
        return;
    }
    Ask("All profiles successfully backed-up", MB_OK, IDOK);
}

void CQvxGuiMoveBuilderDlg::OnRestoreProfiles()
{
    CFileDialog dialog(TRUE, "bk", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kBackupFilter, this);
    dialog.m_ofn.lpstrTitle = "Restore Profiles";
    if (dialog.DoModal() != IDOK)
        return;
    CProfileBackupEngine* engine = CProfileBackupEngine::Get();
    if (!engine || !engine->RestoreDrive(GetDrive(), DriveName(), dialog.GetPathName())) {
        Ask("The profiles could not be restored.", MB_OK, IDOK);
        return;
    }
    Ask("All profiles successfully restored", MB_OK, IDOK);
}

void CQvxGuiMoveBuilderDlg::OnQuickBackup()
{
    if (DriveEnabled()) {
        Ask("Please disable drive before backing-up profiles.", MB_OK, IDOK);
        return;
    }
    char stamp[40] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%m-%d-%Y--%H-%M-%S", &local);
    CString name;
    name.Format("Profile Backup for Drive %s - %s.bk",
                static_cast<const char*>(CProfileQuickBackup::SafeFileName(DriveName())),
                stamp);
    const CString path = DocumentsFolder() + "/" + name;
    std::vector<const CQvxMoveBuilderStepArray*> drives;
    for (int n = 0; n < m_profileCount; ++n)
        drives.push_back(&m_drive[n]);
    CString error;
    if (!CProfileQuickBackup::Write(path, m_working, drives, error)) {
        Ask(error, MB_OK, IDOK);
        return;
    }
    m_lastQuickBackup = path;
}

void CQvxGuiMoveBuilderDlg::OnQuickRestore()
{
    if (DriveEnabled()) {
        Ask("Please disable drive before restoring profiles to drive.", MB_OK, IDOK);
        return;
    }
    if (m_workChanged) {
        const int answer = Ask("Save changes first?", MB_YESNOCANCEL, IDNO);
        if (answer == IDCANCEL)
            return;
        if (answer == IDYES)
            OnQuickBackup();
    }
    const CString folder = m_moveFolder.IsEmpty() ? DocumentsFolder() : m_moveFolder;
    CFileDialog dialog(TRUE, "bk", folder + "/ProfileBackup.bk", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kBackupFilter,
                       this);
    if (dialog.DoModal() != IDOK)
        return;
    std::vector<CQvxMoveBuilderStepArray> drives;
    CString error;
    if (!CProfileQuickBackup::Read(dialog.GetPathName(), m_working, drives, m_profileCount, error)) {
        Ask(error, MB_OK, IDOK);
        return;
    }
    m_moveFolder = dialog.GetFolderPath();
    m_working.m_window = this;
    for (int n = 0; n < kMaxProfiles; ++n) {
        if (n < static_cast<int>(drives.size()))
            m_drive[n] = drives[static_cast<size_t>(n)];
        else
            m_drive[n].RemoveAll();
        m_drive[n].m_window = this;
    }
    m_workChanged = true;
    RefreshLists();
}

int CQvxGuiMoveBuilderDlg::CanClose()
{
    if (m_closing || !m_workChanged)
        return 1;
    return Ask("Profile needs to be sent to the drive.  Abandon changes?", MB_YESNO, IDYES) == IDYES;
}

void CQvxGuiMoveBuilderDlg::SerializeLayout(CArchive& ar, int version)
{
    if (ar.IsStoring())
        m_properties.SetString("DefaultMoveFilePath", m_moveFolder);
    CGuiUpdateDlg::SerializeLayout(ar, version);
    if (ar.IsLoading()) {
        m_moveFolder.Empty();
        m_properties.GetString("DefaultMoveFilePath", m_moveFolder);
    }
}

void CQvxGuiMoveBuilderDlg::OnDestroy()
{
    if (m_workChanged)
        Ask("Modified Profile will be lost after GUI is Closed!", MB_OK, IDOK);
    CGuiUpdateDlg::OnDestroy();
}

#include "setup/tuning/windows/QvxGuiSetupFilters.h"

#include <cstdlib>

#include "distribution/parameters/GlobalParameterKinds.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/Archive.h"
#include "platform/core/IniFile.h"
#include "platform/core/Profile.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/TabCtrl.h"
#include "setup/tuning/windows/FilterParameterToolDlg.h"
#include "setup/tuning/windows/FilterWindowTexts.h"
#include "setup/tuning/windows/SaveLoadFilterPresetDlg.h"
#include "setup/tuning/windows/TuningWindowFiles.h"

IMPLEMENT_DYNCREATE(CQvxGuiSetupFilters, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiSetupFilters));

BEGIN_MESSAGE_MAP(CQvxGuiSetupFilters, CGuiUpdateDlg)
    ON_NOTIFY(TCN_SELCHANGE, IDC_FILTERS_TAB, &CQvxGuiSetupFilters::OnTabChanged)
    ON_CBN_SELCHANGE(IDC_FILTERS_WORK_TYPE, &CQvxGuiSetupFilters::OnWorkTypeChanged)
    ON_CBN_SELCHANGE(IDC_FILTERS_DRIVE_TYPE, &CQvxGuiSetupFilters::OnDriveTypeChanged)
    ON_EN_CHANGE(IDC_FILTERS_WORK_ARG1, &CQvxGuiSetupFilters::OnArgumentEdited)
    ON_EN_CHANGE(IDC_FILTERS_WORK_ARG2, &CQvxGuiSetupFilters::OnArgumentEdited)
    ON_EN_CHANGE(IDC_FILTERS_WORK_ARG3, &CQvxGuiSetupFilters::OnArgumentEdited)
    ON_EN_CHANGE(IDC_FILTERS_WORK_ARG4, &CQvxGuiSetupFilters::OnArgumentEdited)
    ON_BN_CLICKED(IDC_FILTERS_GENERATE_WORK, &CQvxGuiSetupFilters::OnGenerateWorking)
    ON_BN_CLICKED(IDC_FILTERS_GENERATE_DRIVE, &CQvxGuiSetupFilters::OnGenerateDrive)
    ON_BN_CLICKED(IDC_FILTERS_INV_TEST, &CQvxGuiSetupFilters::OnInvTest)
    ON_BN_CLICKED(IDC_FILTERS_SEND, &CQvxGuiSetupFilters::OnSend)
    ON_BN_CLICKED(IDC_FILTERS_PRESET_SAVE, &CQvxGuiSetupFilters::OnSavePreset)
    ON_BN_CLICKED(IDC_FILTERS_PRESET_LOAD, &CQvxGuiSetupFilters::OnLoadPreset)
    ON_BN_CLICKED(IDC_FILTERS_PRESET_DELETE, &CQvxGuiSetupFilters::OnDeletePreset)
    ON_BN_CLICKED(IDC_FILTERS_TOOL, &CQvxGuiSetupFilters::OnFilterTool)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr const char* kCouldNotReceive = "Could not receive values. Please try again";
constexpr const char* kNotAvailable = "Filter coefficients not avaliable at this time.  Please try again.";
constexpr const char* kCouldNotCalculate = "Filter arguments could not be calculated.";
constexpr const char* kBadPresetName = "A preset name cannot hold brackets or line breaks.";
constexpr WORD kItemPollMs = 500;
constexpr int kItems = FilterCoefficientBlock::kItemCount;

int ItemAddressOf(const CAmpResponseToGui& response)
{
    for (const CAmpCommand& sub : response.m_subCommands)
        if (sub.m_code == kFilterAddressParameter)
            return static_cast<int>(sub.GetValue());
    return -1;
}

CString FormatArgument(double value, int decimals)
{
    // Two decimals round as the filter tool rounds them, so both show the same damping.
    CString text;
    if (decimals)
        text.Format("%.2f", RoundTwoDecimalsAway(value));
    else
        text.Format("%.0f", value);
    return text;
}
}  // namespace

CQvxGuiSetupFilters::CQvxGuiSetupFilters() : CGuiUpdateDlg(IDD)
{
    m_statusFlags = kStatusWord | kStatusFault;
}

CComboBox* CQvxGuiSetupFilters::Combo(int id) const { return static_cast<CComboBox*>(GetDlgItem(id)); }
CTabCtrl* CQvxGuiSetupFilters::Tabs() const { return static_cast<CTabCtrl*>(GetDlgItem(IDC_FILTERS_TAB)); }
CString CQvxGuiSetupFilters::FiltersIniPath() const { return TuningFiltersIniPath(); }

BOOL CQvxGuiSetupFilters::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    SetEnableButton(GetDlgItem(IDC_FILTERS_ENABLE));
    for (int slot = 0; slot < kFilterSlots; ++slot)
        Tabs()->InsertItem(slot, FilterTabName(slot));
    for (int type = 0; type < kFilterTypeCodeCount; ++type) {
        Combo(IDC_FILTERS_WORK_TYPE)->AddString(FilterTypeCodeAt(type));
        Combo(IDC_FILTERS_DRIVE_TYPE)->AddString(FilterTypeCodeAt(type));
    }
    m_slot = ClampSlot(static_cast<int>(AfxGetProfileInt("TABSAVE", "Filters", 0)));
    Tabs()->SetCurSel(m_slot);
    if (CurrentSet() == "NULL") {
        char buffer[64];
        GetPrivateProfileString("FILTERS", "DefaultSet", "NULL", buffer, sizeof buffer, TuningFactoryIniPath());
        SetCurrentSet(CString(buffer).Left(31));
    }
    ShowWorkingType(0);
    ShowDrivePanel(-1, nullptr);
    ResetUpdateTimer();
    return TRUE;
}

CString CQvxGuiSetupFilters::CurrentSet() const
{
    char buffer[64];
    GetPrivateProfileString("FILTERS", "Current_Set", "NULL", buffer, sizeof buffer, TuningUserIniPath());
    return CString(buffer).Left(31);
}

void CQvxGuiSetupFilters::SetCurrentSet(const CString& name)
{
    WritePrivateProfileString("FILTERS", "Current_Set", name.Left(31), TuningUserIniPath());
}

bool CQvxGuiSetupFilters::ReadSampleFrequency(double& fs)
{
    double value = 0;
    if (!GetGlobalParameterValue(-1, GPD_SERVO_FREQ_I, value) || !(value > 0))
        return false;
    fs = value;
    return true;
}

bool CQvxGuiSetupFilters::GetDriveBlock(FilterCoefficientBlock& block) const
{
    for (bool have : m_haveItem)
        if (!have)
            return false;
    block = m_driveItems;
    return true;
}

void CQvxGuiSetupFilters::ClearSlotFlags()
{
    for (int slot = 0; slot < kFilterSlots; ++slot)
        m_takenFromDrive[slot] = m_presetShown[slot] = m_notGenerated[slot] = m_differsFromDrive[slot] =
            m_driveArgsShown[slot] = false;
}

int CQvxGuiSetupFilters::PrepareQueries()
{
    CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr;
    if (!table || GetDrive() < 0)
        return 0;
    table->RequestParameterQuery(GetDrive(), GPD_SERVO_FREQ_I);
    table->RequestParameterQuery(GetDrive(), GPD_WFT);
    if (!table->IsParameterValid(GetDrive(), GPD_WFT))
        return 0;
    ClearSlotFlags();
    return 1;
}

int CQvxGuiSetupFilters::SubscribeStatusQueries()
{
    const int done = CGuiUpdateDlg::SubscribeStatusQueries();
    if (done)
        BindDriveItems();
    return done;
}

void CQvxGuiSetupFilters::BindDriveItems()
{
    for (bool& have : m_haveItem)
        have = false;
    for (int i = 0; i < kItems; ++i)
        SendQueryWithArgument(static_cast<BYTE>(GetDrive()), kFilterItemParameter, kFilterAddressParameter,
                              static_cast<WORD>(m_slot * kItems + i), kItemPollMs);
}

void CQvxGuiSetupFilters::OnStatusResponse(const CAmpResponseToGui& response)
{
    if (response.m_code != kFilterItemParameter || response.m_error || response.m_write) {
        CGuiUpdateDlg::OnStatusResponse(response);
        return;
    }
    const int item = ItemAddressOf(response) - m_slot * kItems;
    if (item < 0 || item >= kItems)
        return;
    m_driveItems[item] = static_cast<int>(response.GetValue());
    m_haveItem[item] = true;
}

int CQvxGuiSetupFilters::InitialUpdate()
{
    double fs = 0;
    FilterCoefficientBlock drive;
    if (!ReadSampleFrequency(fs) || !GetDriveBlock(drive))
        return 0;
    RefreshPresetList();
    if (!m_presetShown[m_slot]) {
        m_preset[m_slot] = CFilterPresetFile(FiltersIniPath()).Read(CurrentSet(), m_slot);
        m_presetShown[m_slot] = true;
    }
    ShowPresetRecord(m_preset[m_slot]);
    if (!m_takenFromDrive[m_slot]) {
        m_work[m_slot] = drive;
        m_takenFromDrive[m_slot] = true;
    }
    if (!m_generatedSinceOpen[m_slot]) {
        // A preset the design refuses leaves the drive's block, to be generated before it is sent.
        m_notGenerated[m_slot] = !GenerateWorking(fs, true);
        m_generatedSinceOpen[m_slot] = true;
    }
    if (m_driveArgsShown[m_slot]) {
        FilterArguments args;
        for (int i = 0; i < 4; ++i)
            args.arg[i] = std::atof(m_drivePanel[m_slot].args[i]);
        ShowDrivePanel(m_drivePanelType[m_slot], &args);
    } else {
        ShowDrivePanel(-1, nullptr);
    }
    m_lastShownDrive = drive;
    ShowBlocks();
    CompareWithDrive();
    return 1;
}

void CQvxGuiSetupFilters::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    FilterCoefficientBlock drive;
    if (!GetDriveBlock(drive))
        return;
    if (!(drive == m_lastShownDrive) && !m_takenFromDrive[m_slot]) {
        m_work[m_slot] = drive;
        m_takenFromDrive[m_slot] = true;
    }
    m_lastShownDrive = drive;
    ShowBlocks();
    CompareWithDrive();
}

void CQvxGuiSetupFilters::CompareWithDrive()
{
    FilterCoefficientBlock drive;
    if (GetDriveBlock(drive))
        m_differsFromDrive[m_slot] = !(m_work[m_slot] == drive);
}

void CQvxGuiSetupFilters::ShowBlocks()
{
    for (int i = 0; i < kItems; ++i) {
        CString text;
        text.Format("%d", m_work[m_slot][i]);
        CString shown;
        GetDlgItemText(IDC_FILTERS_WORK_ITEM0 + i, shown);
        if (shown != text)
            SetDlgItemText(IDC_FILTERS_WORK_ITEM0 + i, text);
        text.Empty();
        if (m_haveItem[i])
            text.Format("%d", m_driveItems[i]);
        GetDlgItemText(IDC_FILTERS_DRIVE_ITEM0 + i, shown);
        if (shown != text)
            SetDlgItemText(IDC_FILTERS_DRIVE_ITEM0 + i, text);
    }
}

void CQvxGuiSetupFilters::ShowWorkingType(int type)
{
    SetDlgItemText(IDC_FILTERS_WORK_DESC, FilterTypeDescription(type));
    for (int i = 0; i < 4; ++i) {
        const CString label = FilterArgumentLabel(type, i, true);
        SetDlgItemText(IDC_FILTERS_WORK_LABEL1 + i, label);
        CWnd* field = GetDlgItem(IDC_FILTERS_WORK_ARG1 + i);
        field->ShowWindow(label.IsEmpty() ? SW_HIDE : SW_SHOW);
        // The notch's further arguments follow from its frequency.
        field->EnableWindow(!(type == kFilterNTCH2A && i > 0));
    }
}

void CQvxGuiSetupFilters::ShowPresetRecord(const FilterPresetRecord& record)
{
    const int type = FilterTypeFromCode(record.type);
    m_suppress = true;
    Combo(IDC_FILTERS_WORK_TYPE)->SetCurSel(type);
    for (int i = 0; i < 4; ++i)
        SetDlgItemText(IDC_FILTERS_WORK_ARG1 + i, record.args[i]);
    m_suppress = false;
    ShowWorkingType(type);
}

FilterPresetRecord CQvxGuiSetupFilters::WorkingPanelRecord() const
{
    FilterPresetRecord record;
    record.type = FilterTypeCodeAt(std::max(0, Combo(IDC_FILTERS_WORK_TYPE)->GetCurSel()));
    for (int i = 0; i < 4; ++i) {
        GetDlgItemText(IDC_FILTERS_WORK_ARG1 + i, record.args[i]);
        record.args[i] = record.args[i].Left(31);
    }
    return record;
}

void CQvxGuiSetupFilters::ShowDrivePanel(int type, const FilterArguments* args)
{
    CComboBox* list = Combo(IDC_FILTERS_DRIVE_TYPE);
    list->EnableWindow(type >= 0);
    list->SetCurSel(type);
    SetDlgItemText(IDC_FILTERS_DRIVE_DESC, type < 0 ? CString("Not Available") : FilterTypeDescription(type));
    const bool secondHasDecimals = type == kFilterLP2 || type == kFilterNTCH2A || type == kFilterNTCH2B;
    const bool fourthHasDecimals = type == kFilterNTCH2A || type == kFilterNTCH2B;
    const int decimals[4] = {0, secondHasDecimals ? 2 : 0, 0, fourthHasDecimals ? 2 : 0};
    for (int i = 0; i < 4; ++i) {
        const CString label = type < 0 ? CString() : FilterArgumentLabel(type, i, true);
        SetDlgItemText(IDC_FILTERS_DRIVE_LABEL1 + i, label);
        SetDlgItemText(IDC_FILTERS_DRIVE_ARG1 + i, args && !label.IsEmpty() ? FormatArgument(args->arg[i], decimals[i])
                                                                            : CString());
        GetDlgItem(IDC_FILTERS_DRIVE_ARG1 + i)->ShowWindow(label.IsEmpty() ? SW_HIDE : SW_SHOW);
    }
}

void CQvxGuiSetupFilters::SelectSlot(int slot)
{
    m_slot = ClampSlot(slot);
    if (Tabs() && Tabs()->GetCurSel() != m_slot)
        Tabs()->SetCurSel(m_slot);
    ResetQueryStages(0, 1, 1);
}

void CQvxGuiSetupFilters::OnTabChanged(NMHDR* /*header*/, LRESULT* result)
{
    SelectSlot(Tabs()->GetCurSel());
    if (result)
        *result = 0;
}

void CQvxGuiSetupFilters::OnWorkTypeChanged()
{
    ShowWorkingType(Combo(IDC_FILTERS_WORK_TYPE)->GetCurSel());
    m_notGenerated[m_slot] = true;
}

void CQvxGuiSetupFilters::OnArgumentEdited()
{
    if (!m_suppress)
        m_notGenerated[m_slot] = true;
}

bool CQvxGuiSetupFilters::GenerateWorking(double fs, bool quiet)
{
    const int type = Combo(IDC_FILTERS_WORK_TYPE)->GetCurSel();
    FilterArguments args;
    for (int i = 0; i < 4; ++i) {
        CString text;
        GetDlgItemText(IDC_FILTERS_WORK_ARG1 + i, text);
        args.arg[i] = std::atof(text);
    }
    CString error;
    if (type < 0 || !GenerateFilterCoefficients(type, args, fs, m_work[m_slot], &error)) {
        if (!quiet)
            CGuiUpdateItem::MessageBox(kInvalidFilterArgument, MB_OK, 0, IDOK);
        return false;
    }
    m_preset[m_slot] = WorkingPanelRecord();
    if (!quiet)
        GetDlgItem(IDC_FILTERS_WORK_ARG1)->SetFocus();
    m_notGenerated[m_slot] = false;
    return true;
}

void CQvxGuiSetupFilters::OnGenerateWorking()
{
    double fs = 0;
    if (!ReadSampleFrequency(fs)) {
        CGuiUpdateItem::MessageBox(kCouldNotReceive, MB_OK, 0, IDOK);
        return;
    }
    GenerateWorking(fs, false);
    ShowBlocks();
    CompareWithDrive();
}

bool CQvxGuiSetupFilters::CalculateDriveArguments(int type, bool guess)
{
    FilterCoefficientBlock drive;
    if (!GetDriveBlock(drive)) {
        CGuiUpdateItem::MessageBox(kNotAvailable, MB_OK, 0, IDOK);
        return false;
    }
    double fs = 0;
    if (!ReadSampleFrequency(fs)) {
        CGuiUpdateItem::MessageBox(kCouldNotReceive, MB_OK, 0, IDOK);
        return false;
    }
    using Item = FilterCoefficientBlock;
    FilterArguments args;
    int resultType = guess ? kFilterUnknown : type;
    if (!CalcFilterArgsFromCoefficients(resultType, drive[Item::kNegA1], drive[Item::kNegA2], drive[Item::kB0],
                                        drive[Item::kB1], drive[Item::kB2], drive[Item::kShift], guess, fs, args)) {
        CGuiUpdateItem::MessageBox(kCouldNotCalculate, MB_OK, 0, IDOK);
        const FilterArguments zero;
        ShowDrivePanel(m_drivePanelType[m_slot], &zero);
        return false;
    }
    m_drivePanelType[m_slot] = resultType;
    m_drivePanel[m_slot].type = FilterTypeCodeAt(resultType);
    for (int i = 0; i < 4; ++i)
        m_drivePanel[m_slot].args[i] = FormatArgument(args.arg[i], 2);
    m_driveArgsShown[m_slot] = true;
    ShowDrivePanel(resultType, &args);
    return true;
}

void CQvxGuiSetupFilters::OnGenerateDrive()
{
    int type = kFilterUnknown;
    CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr;
    const bool known = table && GetDriveFilterType(*table, m_slot, GetDrive(), type) && type < kFilterUnknown;
    CalculateDriveArguments(type, !known);
}

void CQvxGuiSetupFilters::OnDriveTypeChanged()
{
    const int type = Combo(IDC_FILTERS_DRIVE_TYPE)->GetCurSel();
    if (type >= 0)
        CalculateDriveArguments(type, false);
}

void CQvxGuiSetupFilters::OnInvTest()
{
    double fs = 0;
    FilterArguments args;
    int type = kFilterUnknown;
    const FilterCoefficientBlock& work = m_work[m_slot];
    using Item = FilterCoefficientBlock;
    if (!ReadSampleFrequency(fs) ||
        !CalcFilterArgsFromCoefficients(type, work[Item::kNegA1], work[Item::kNegA2], work[Item::kB0], work[Item::kB1],
                                        work[Item::kB2], work[Item::kShift], 1, fs, args)) {
        CGuiUpdateItem::MessageBox("Could not calculate arguments.", MB_OK, 0, IDOK);
        return;
    }
    CString text;
    text.Format("Guess: %s\r\nArg1: %0.3f\r\nArg2: %0.3f\r\nArg3: %0.3f\r\nArg4: %0.3f",
                static_cast<const char*>(GetFilterTypeCode(type)), args.arg[0], args.arg[1], args.arg[2], args.arg[3]);
    CGuiUpdateItem::MessageBox(text, MB_OK, 0, IDOK);
}

void CQvxGuiSetupFilters::OnSend()
{
    if (GetEnableBit()) {
        CGuiUpdateItem::MessageBox("Motor is Enabled.\nFilter values not sent to drive.", MB_OK, 0, IDOK);
        return;
    }
    if (m_notGenerated[m_slot] &&
        CGuiUpdateItem::MessageBox("Coefficients have not been generated.  Send anyway?", MB_YESNO, 0, IDYES) != IDYES)
        return;
    if (CGuiUpdateItem::MessageBox("Press OK to send filter values to the drive.", MB_OKCANCEL, 0, IDOK) != IDOK)
        return;
    const BYTE drive = static_cast<BYTE>(GetDrive());
    const int base = m_slot * kItems;
    SendCommand(drive, kFilterAddressParameter, base);
    for (int i = 0; i < kItems; ++i)
        SendCommandWithArgument(drive, kFilterItemParameter, m_work[m_slot][i], kFilterAddressParameter,
                                static_cast<WORD>(base + i));
    const int type = Combo(IDC_FILTERS_WORK_TYPE)->GetCurSel();
    double word = 0;
    if (type < 0 || !GetGlobalParameterValue(-1, GPD_WFT, word) || word == -1)
        return;
    const int shift = 8 * m_slot;
    auto value = static_cast<DWORD>(static_cast<long long>(word));
    value = (value & ~(0xFFu << shift)) | (static_cast<DWORD>(type) << shift);
    SendCommand(drive, kFilterTypeWordParameter, static_cast<LONG>(value));
    if (CGlobalParameterTable* table = m_pList ? m_pList->GetParameterTable() : nullptr)
        table->RequestParameterQuery(GetDrive(), GPD_WFT);
    if (!m_notGenerated[m_slot])
        ShowSentAsDriveFilter(type);
}

void CQvxGuiSetupFilters::ShowSentAsDriveFilter(int type)
{
    // The drive now holds the filter generated from these arguments: no guess from its coefficients is needed.
    const FilterPresetRecord sent = WorkingPanelRecord();
    FilterArguments args;
    for (int i = 0; i < 4; ++i)
        args.arg[i] = std::atof(sent.args[i]);
    m_drivePanelType[m_slot] = type;
    m_drivePanel[m_slot] = sent;
    m_driveArgsShown[m_slot] = true;
    ShowDrivePanel(type, &args);
}

CString CQvxGuiSetupFilters::PresetName() const
{
    CString name;
    Combo(IDC_FILTERS_PRESET)->GetWindowText(name);
    return name.IsEmpty() ? CString("NULL") : name;
}

void CQvxGuiSetupFilters::RefreshPresetList()
{
    CComboBox* list = Combo(IDC_FILTERS_PRESET);
    const CString current = CurrentSet();
    list->ResetContent();
    for (const CString& name : CFilterPresetFile(FiltersIniPath()).Names())
        list->AddString(name);
    const int index = list->FindStringExact(-1, current);
    list->SetCurSel(index);
}

void CQvxGuiSetupFilters::OnSavePreset()
{
    const CString name = PresetName();
    if (!CFilterPresetFile::IsValidName(name)) {
        CGuiUpdateItem::MessageBox(kBadPresetName, MB_OK, 0, IDOK);
        return;
    }
    CSaveLoadFilterPresetDlg dlg(CSaveLoadFilterPresetDlg::kSave, FilterTabName(m_slot), name, 0, this);
    if (dlg.DoModal() != IDOK)
        return;
    CFilterPresetFile file(FiltersIniPath());
    m_preset[m_slot] = WorkingPanelRecord();
    m_presetShown[m_slot] = true;
    for (int slot = 0; slot < kFilterSlots; ++slot) {
        if (slot != m_slot && dlg.GetChoice() != CSaveLoadFilterPresetDlg::kAllFilters)
            continue;
        // A filter never shown holds what the current preset gave it.
        if (!m_presetShown[slot]) {
            m_preset[slot] = file.Read(CurrentSet(), slot);
            m_presetShown[slot] = true;
        }
        file.Write(name, slot, m_preset[slot]);
    }
    SetCurrentSet(name);
    RefreshPresetList();
}

void CQvxGuiSetupFilters::OnLoadPreset()
{
    const CString name = PresetName();
    CSaveLoadFilterPresetDlg dlg(CSaveLoadFilterPresetDlg::kLoad, FilterTabName(m_slot), name, 0, this);
    if (dlg.DoModal() != IDOK)
        return;
    CFilterPresetFile file(FiltersIniPath());
    for (int slot = 0; slot < kFilterSlots; ++slot) {
        if (slot != m_slot && dlg.GetChoice() != CSaveLoadFilterPresetDlg::kAllFilters)
            continue;
        m_preset[slot] = file.Read(name, slot);
        m_presetShown[slot] = true;
        // The other filters design theirs when they are shown.
        if (slot != m_slot)
            m_generatedSinceOpen[slot] = false;
    }
    ShowPresetRecord(m_preset[m_slot]);
    m_notGenerated[m_slot] = true;
    double fs = 0;
    if (!ReadSampleFrequency(fs)) {
        // The previous design stays; the slot asks before it is sent.
        CGuiUpdateItem::MessageBox(kCouldNotReceive, MB_OK, 0, IDOK);
        return;
    }
    GenerateWorking(fs, false);
    ShowBlocks();
    CompareWithDrive();
}

void CQvxGuiSetupFilters::OnDeletePreset()
{
    const CString name = PresetName();
    CString question;
    question.Format("Delete Filter Preset\"%s\"?", static_cast<const char*>(name));
    if (CGuiUpdateItem::MessageBox(question, MB_YESNO, 0, IDYES) != IDYES)
        return;
    CFilterPresetFile(FiltersIniPath()).Delete(name);
    RefreshPresetList();
}

void CQvxGuiSetupFilters::OnFilterTool()
{
    FilterCoefficientBlock block;
    GetDriveBlock(block);
    CFilterParameterToolDlg tool(block, [this](double& fs) { return ReadSampleFrequency(fs); }, this);
    tool.DoModal();
}

CString CQvxGuiSetupFilters::PendingChangesQuestion()
{
    CString list;
    const auto addLine = [&list](int slot) { list += "\t-" + FilterTabName(slot) + "\r\n"; };
    for (int slot = 0; slot < kFilterSlots; ++slot)
        if (m_notGenerated[slot])
            addLine(slot);
    CString question;
    if (!list.IsEmpty()) {
        question.Format("The following need coefficients generated:\r\n%s\r\nAbandon changes?",
                        static_cast<const char*>(list));
        return question;
    }
    CompareWithDrive();
    if (m_differsFromDrive[m_slot])
        addLine(m_slot);
    for (int slot = 0; slot < kFilterSlots; ++slot)
        if (slot != m_slot && m_differsFromDrive[slot])
            addLine(slot);
    if (list.IsEmpty())
        return CString();
    question.Format("Generated coefficients have not been sent to drive for the following:\r\n%s\r\nAbandon changes?",
                    static_cast<const char*>(list));
    return question;
}

int CQvxGuiSetupFilters::GetPendingChangesState(int /*ignored*/) { return PendingChangesQuestion().IsEmpty() ? 2 : 1; }

int CQvxGuiSetupFilters::CanClose()
{
    if (m_closing)
        return 1;
    const CString question = PendingChangesQuestion();
    if (question.IsEmpty())
        return 1;
    return CGuiUpdateItem::MessageBox(question, MB_YESNO, 0, IDYES) == IDYES;
}

void CQvxGuiSetupFilters::SerializeLayout(CArchive& ar, int version)
{
    if (ar.IsStoring())
        m_properties.SetInt("m_nFilterIndex", m_slot);
    CGuiUpdateDlg::SerializeLayout(ar, version);
    if (ar.IsLoading()) {
        int slot = 0;
        m_properties.GetInt("m_nFilterIndex", slot);
        SelectSlot(slot);
    }
}

void CQvxGuiSetupFilters::OnDestroy()
{
    AfxWriteProfileInt("TABSAVE", "Filters", m_slot);
    CGuiUpdateDlg::OnDestroy();
}

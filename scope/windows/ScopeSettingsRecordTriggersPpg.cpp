#include "scope/windows/ScopeSettingsRecordTriggersPpg.h"

#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/PropertySheet.h"
#include "resources/ids/ScopeSettingsIds.h"
#include "scope/windows/ScopeSettingsChannelsPpg.h"

namespace {
const char* const kConditions[] = {"Rising Edge", "Falling Edge", "Level Greater Than", "Level Less Than"};

bool Checked(CWnd* page, int id) { return static_cast<CButton*>(page->GetDlgItem(id))->GetCheck() == BST_CHECKED; }

const char* LevelCaption(int condition)
{
    if (condition == 0 || condition == 1)
        return "Threshold:";
    return condition == 2 || condition == 3 ? "Level:" : "";
}
}  // namespace

CScopeSettingsRecordTriggersPpg::CScopeSettingsRecordTriggersPpg(CScopeSettingsChannelsPpg& channels)
    : CDialog(IDD_SCOPE_SETTINGS_TRIGGERS), m_channels(channels)
{
}

BOOL CScopeSettingsRecordTriggersPpg::OnInitDialog()
{
    for (int id : {IDC_SST_START_ON, IDC_SST_STOP_ON}) {
        auto* combo = static_cast<CComboBox*>(GetDlgItem(id));
        for (const char* text : kConditions)
            combo->AddString(text);
    }
    FillSources();
    CDialog::OnInitDialog();
    EnableControls();
    return TRUE;
}

void CScopeSettingsRecordTriggersPpg::DoDataExchange(CDataExchange* dx)
{
    // The modes are radio groups of their own; DDX_Radio reads the first of each group.
    DDX_Radio(dx, IDC_SST_START_BUTTON, StartMode);
    DDX_Radio(dx, IDC_SST_STOP_BUTTON, StopMode);
    DDX_CBIndex(dx, IDC_SST_START_ON, StartCondition);
    DDX_CBIndex(dx, IDC_SST_STOP_ON, StopCondition);
    DDX_Text(dx, IDC_SST_START_LEVEL, StartLevel);
    DDX_Text(dx, IDC_SST_STOP_LEVEL, StopLevel);
    DDX_Text(dx, IDC_SST_STOP_TIME, StopTime);
    DDV_MinMaxDouble(dx, StopTime, 0.0, kMaxStopTime);
    DDX_Check(dx, IDC_SST_ADVANCED, AdvancedRecording);
    DDX_Text(dx, IDC_SST_ADVANCED_SECS, AdvancedSeconds);
    DDV_MinMaxDouble(dx, AdvancedSeconds, 0.0, kMaxAdvancedSeconds);
    if (dx->m_bSaveAndValidate)
        ReadChoices();
}

void CScopeSettingsRecordTriggersPpg::FillSources()
{
    const struct {
        int id;
        int chosen;
    } combos[] = {{IDC_SST_START_SOURCE, StartSourceID}, {IDC_SST_STOP_SOURCE, StopSourceID}};
    for (const auto& c : combos) {
        auto* combo = static_cast<CComboBox*>(GetDlgItem(c.id));
        combo->ResetContent();
        for (CScopeSourceData* source : m_channels.Sources) {
            if (!source->Enabled)
                continue;
            const int item = combo->AddString(source->GetLabel(0, 1, 1, 0));
            combo->SetItemData(item, static_cast<DWORD_PTR>(source->SourceID));
            if (source->SourceID == c.chosen)
                combo->SetCurSel(item);
        }
    }
}

void CScopeSettingsRecordTriggersPpg::ReadChoices()
{
    auto chosen = [this](int id, int previous) {
        auto* combo = static_cast<CComboBox*>(GetDlgItem(id));
        const int item = combo->GetCurSel();
        return item < 0 ? previous : static_cast<int>(combo->GetItemData(item));
    };
    StartSourceID = chosen(IDC_SST_START_SOURCE, StartSourceID);
    StopSourceID = chosen(IDC_SST_STOP_SOURCE, StopSourceID);
}

void CScopeSettingsRecordTriggersPpg::ReadModes()
{
    StartMode = Checked(this, IDC_SST_START_LEVEL_MODE) ? 1 : 0;
    StopMode = Checked(this, IDC_SST_STOP_LEVEL_MODE) ? 1 : Checked(this, IDC_SST_STOP_TIME_MODE) ? 2 : 0;
}

void CScopeSettingsRecordTriggersPpg::EnableControls()
{
    ReadModes();
    for (int id : {IDC_SST_START_SOURCE, IDC_SST_START_ON, IDC_SST_START_LEVEL, IDC_SST_START_LEVEL_CAPTION})
        GetDlgItem(id)->EnableWindow(StartMode == 1);
    for (int id : {IDC_SST_STOP_SOURCE, IDC_SST_STOP_ON, IDC_SST_STOP_LEVEL, IDC_SST_STOP_LEVEL_CAPTION})
        GetDlgItem(id)->EnableWindow(StopMode == 1);
    GetDlgItem(IDC_SST_STOP_TIME)->EnableWindow(StopMode == 2);
    GetDlgItem(IDC_SST_ADVANCED_SECS)->EnableWindow(Checked(this, IDC_SST_ADVANCED));
    GetDlgItem(IDC_SST_START_LEVEL_CAPTION)
        ->SetWindowText(LevelCaption(static_cast<CComboBox*>(GetDlgItem(IDC_SST_START_ON))->GetCurSel()));
    GetDlgItem(IDC_SST_STOP_LEVEL_CAPTION)
        ->SetWindowText(LevelCaption(static_cast<CComboBox*>(GetDlgItem(IDC_SST_STOP_ON))->GetCurSel()));
}

BOOL CScopeSettingsRecordTriggersPpg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT code = HIWORD(static_cast<DWORD>(wParam));
    if (code == BN_CLICKED || code == CBN_SELCHANGE) {
        const BOOL handled = CDialog::OnCommand(wParam, lParam);
        EnableControls();
        return handled;
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CScopeSettingsRecordTriggersPpg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    switch (header->code) {
    case PSN_SETACTIVE:
        FillSources();
        EnableControls();
        *result = 0;
        return TRUE;
    case PSN_KILLACTIVE: *result = UpdateData(TRUE) ? 0 : 1; return TRUE;
    case PSN_APPLY:
    case PSN_RESET: *result = 0; return TRUE;
    default: return CDialog::OnNotify(wParam, lParam, result);
    }
}

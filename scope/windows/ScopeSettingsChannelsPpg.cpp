#include "scope/windows/ScopeSettingsChannelsPpg.h"

#include "comm/link/CommAppServices.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/Button.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/PropertySheet.h"
#include "resources/ids/ScopeSettingsIds.h"
#include "scope/ScopeDriveServices.h"
#include "scope/ScopeSampler.h"
#include "scope/ScopeSourceCatalogue.h"

namespace {
const struct {
    const char* name;
    int code;
} kTypes[] = {{"Current", 1}, {"Velocity", 2}, {"Volts", 3}, {"Degrees", 4},
              {"Percent", 5}, {"Raw", 0},      {"Primary", 6}};

void SelectByData(CComboBox* combo, int data)
{
    combo->SetCurSel(-1);
    for (int i = 0; i < combo->GetCount(); ++i)
        if (static_cast<int>(combo->GetItemData(i)) == data)
            combo->SetCurSel(i);
}
}  // namespace

CScopeSettingsChannelsPpg::CScopeSettingsChannelsPpg(CScopeDriveServices& services)
    : CDialog(IDD_SCOPE_SETTINGS_CHANNELS), m_services(services)
{
}

CListCtrl* CScopeSettingsChannelsPpg::List() { return static_cast<CListCtrl*>(GetDlgItem(IDC_SSC_LIST)); }
CComboBox* CScopeSettingsChannelsPpg::Combo(int id) { return static_cast<CComboBox*>(GetDlgItem(id)); }

BOOL CScopeSettingsChannelsPpg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_loading = 1;
    CListCtrl* list = List();
    list->SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const int colourWidth = 45;  // five capital Ms
    list->InsertColumn(0, "Channel", LVCFMT_LEFT, 90);
    list->InsertColumn(1, "Color", LVCFMT_LEFT, colourWidth);
    for (int i = 0; i < CScopeTraceDataArray::kTraceCount; ++i) {
        CString text;
        text.Format("Channel %d", i + 1);
        list->InsertItem(i, text);
    }
    FillDrives();
    for (const auto& type : kTypes) {
        const int item = Combo(IDC_SSC_TYPE)->AddString(type.name);
        Combo(IDC_SSC_TYPE)->SetItemData(item, static_cast<DWORD_PTR>(type.code));
    }
    for (const char* width : {"Thin", "Med", "Fat"})
        Combo(IDC_SSC_WIDTH)->AddString(width);
    static_cast<CButton*>(GetDlgItem(IDC_SSC_Y))->SetCheck(BST_CHECKED);
    m_loading = 0;
    ApplyModeChange();
    ShowChecks();
    EnableControls();
    return TRUE;
}

void CScopeSettingsChannelsPpg::FillDrives()
{
    if (Drives.empty())
        if (CCommAppServices* app = CCommAppServices::Get()) {
            CList<CDriveAssignment> drives;
            app->BuildScopeDriveList(drives);
            for (POSITION pos = drives.GetHeadPosition(); pos;)
                Drives.push_back(drives.GetNext(pos));
        }
    CComboBox* combo = Combo(IDC_SSC_DRIVE);
    combo->ResetContent();
    for (const CDriveAssignment& drive : Drives) {
        const int item = combo->AddString(drive.m_name);
        combo->SetItemData(item, static_cast<DWORD_PTR>(drive.m_address));
    }
}

CString CScopeSettingsChannelsPpg::DriveName(int address) const
{
    for (const CDriveAssignment& drive : Drives)
        if (drive.m_address == address)
            return drive.m_name;
    CString name;
    name.Format("@%d", address);
    return name;
}

const CScopeSourceQueryDataList& CScopeSettingsChannelsPpg::CatalogueOf(int address)
{
    auto found = m_catalogues.find(address);
    if (found == m_catalogues.end()) {
        found = m_catalogues.emplace(address, CScopeSourceQueryDataList()).first;
        if (m_services.IsDriveConnected(address))
            BuildDriveScopeSourceList(found->second, address, m_services);
    }
    return found->second;
}

void CScopeSettingsChannelsPpg::ApplyModeChange()
{
    if (!ModeChanged)
        return;
    // A new plot mode starts with every channel unassigned.
    Sources.RemoveAllSources();
    for (int i = 0; i < Traces.GetSize(); ++i) {
        Traces[i].XSourceID = -1;
        Traces[i].YSourceID = -1;
        Traces[i].Enabled = 0;
    }
    if (!XYMode)
        EditX = 0;
    ModeChanged = 0;
    ShowChecks();
    LoadChannel();
}

void CScopeSettingsChannelsPpg::ShowChecks()
{
    m_loading = 1;
    for (int i = 0; i < Traces.GetSize(); ++i)
        List()->SetCheck(i, Traces[i].Enabled ? TRUE : FALSE);
    m_loading = 0;
}

CScopeSourceData* CScopeSettingsChannelsPpg::EditedSource()
{
    if (m_channel < 0)
        return nullptr;
    const CScopeTraceData& trace = Traces[m_channel];
    return Sources.FindById(EditX ? trace.XSourceID : trace.YSourceID, 0);
}

void CScopeSettingsChannelsPpg::SelectChannel(int channel)
{
    m_channel = channel;
    List()->SetItemState(channel, LVIS_SELECTED, LVIS_SELECTED);
    LoadChannel();
}

void CScopeSettingsChannelsPpg::LoadChannel()
{
    m_loading = 1;
    CScopeSourceData* source = EditedSource();
    CComboBox* drive = Combo(IDC_SSC_DRIVE);
    if (source) {
        SelectByData(drive, source->AmpAddr);
        if (drive->GetCurSel() < 0 && source->AmpAddr >= 0) {
            const int item = drive->AddString(DriveName(source->AmpAddr));
            drive->SetItemData(item, static_cast<DWORD_PTR>(source->AmpAddr));
            drive->SetCurSel(item);
        }
        FillRegisters(source->AmpAddr);
        Combo(IDC_SSC_REGISTER)->SetCurSel(source->QvxSourceIndex);
        SelectByData(Combo(IDC_SSC_TYPE), source->UnitsCode);
        SetDlgItemText(IDC_SSC_COMMAND, source->Command);
        SetDlgItemText(IDC_SSC_DESCRIPTION, source->Description);
        CString text;
        text.Format("%d", source->MinUpdateMs);
        SetDlgItemText(IDC_SSC_MIN_UPDATE, text);
        text.Format("%g", source->Scale);
        SetDlgItemText(IDC_SSC_SCALE, text);
        text.Format("%g", source->Offset);
        SetDlgItemText(IDC_SSC_OFFSET, text);
    } else {
        drive->SetCurSel(-1);
        Combo(IDC_SSC_REGISTER)->ResetContent();
        Combo(IDC_SSC_TYPE)->SetCurSel(-1);
        for (int id : {IDC_SSC_COMMAND, IDC_SSC_DESCRIPTION, IDC_SSC_MIN_UPDATE, IDC_SSC_SCALE, IDC_SSC_OFFSET})
            SetDlgItemText(id, "");
    }
    Combo(IDC_SSC_WIDTH)->SetCurSel(m_channel >= 0 ? Traces[m_channel].WidthIndex : -1);
    m_loading = 0;
    EnableControls();
}

void CScopeSettingsChannelsPpg::FillRegisters(int address)
{
    CComboBox* combo = Combo(IDC_SSC_REGISTER);
    combo->ResetContent();
    combo->AddString("Custom");
    if (address < 0)
        return;
    const CScopeSourceQueryDataList& catalogue = CatalogueOf(address);
    for (POSITION pos = catalogue.GetHeadPosition(); pos;)
        combo->AddString(catalogue.GetNext(pos).m_name);
}

void CScopeSettingsChannelsPpg::EnableControls()
{
    const bool channel = m_channel >= 0;
    const bool source = EditedSource() != nullptr;
    for (int id : {IDC_SSC_DRIVE, IDC_SSC_Y, IDC_SSC_SET_COLOR, IDC_SSC_WIDTH, IDC_SSC_UNASSIGN})
        GetDlgItem(id)->EnableWindow(channel);
    GetDlgItem(IDC_SSC_X)->EnableWindow(channel && XYMode);
    for (int id : {IDC_SSC_REGISTER, IDC_SSC_TYPE, IDC_SSC_COMMAND, IDC_SSC_DESCRIPTION, IDC_SSC_MIN_UPDATE,
                   IDC_SSC_SCALE, IDC_SSC_OFFSET, IDC_SSC_RESET})
        GetDlgItem(id)->EnableWindow(source);
}

int CScopeSettingsChannelsPpg::ChosenDrive()
{
    const int item = Combo(IDC_SSC_DRIVE)->GetCurSel();
    return item < 0 ? -1 : static_cast<int>(Combo(IDC_SSC_DRIVE)->GetItemData(item));
}

int CScopeSettingsChannelsPpg::CheckedChannelsOfDrive(int address, int exceptChannel)
{
    int count = 0;
    for (int i = 0; i < Traces.GetSize(); ++i) {
        if (i == exceptChannel || !Traces[i].Enabled)
            continue;
        for (int id : {Traces[i].YSourceID, Traces[i].XSourceID})
            if (CScopeSourceData* source = Sources.FindById(id, 0))
                if (source->AmpAddr == address)
                    ++count;
    }
    return count;
}

bool CScopeSettingsChannelsPpg::DriveUsable(int address)
{
    if (!m_services.IsDriveConnected(address))
        return false;
    return CheckedChannelsOfDrive(address, m_channel) < CScopeSampler::kMaxQueriesPerDrive;
}

void CScopeSettingsChannelsPpg::OnDriveChosen()
{
    if (m_loading || m_channel < 0)
        return;
    const int address = ChosenDrive();
    CScopeSourceData* source = EditedSource();
    if (address >= 0 && !(source && source->AmpAddr == address) && !DriveUsable(address)) {
        CString text;
        text.Format("Drive \"%s\" has no available scope channels.  Either uncheck or unassign a channel for this "
                    "drive.",
                    DriveName(address).GetString());
        AfxEngineMessageBox(text, "Oscilloscope Settings", MB_OK | MB_ICONEXCLAMATION);
        LoadChannel();
        return;
    }
    if (!source) {
        source = Sources.AddNew();
        source->Enabled = 1;
        source->AmpAddr = address;
        source->IsXChannel = EditX;
        source->Command = CustomCommand;
        source->Description = CustomDescription;
        source->MinUpdateMs = CustomMinUpdateMs;
        source->UnitsCode = 0;
        CScopeTraceData& trace = Traces[m_channel];
        (EditX ? trace.XSourceID : trace.YSourceID) = source->SourceID;
        trace.Enabled = 1;
        trace.Color = CScopeTraceDataArray::DefaultColor(m_channel);
        ShowChecks();
    } else {
        source->AmpAddr = address;
        source->QvxSourceIndex = 0;
    }
    LoadChannel();
}

bool CScopeSettingsChannelsPpg::RegisterInUse(int address, int index)
{
    for (int i = 0; i < Traces.GetSize(); ++i) {
        for (int id : {Traces[i].YSourceID, Traces[i].XSourceID}) {
            CScopeSourceData* source = Sources.FindById(id, 0);
            if (source && source != EditedSource() && source->AmpAddr == address && source->QvxSourceIndex == index)
                return true;
        }
    }
    return false;
}

void CScopeSettingsChannelsPpg::OnRegisterChosen()
{
    CScopeSourceData* source = EditedSource();
    if (m_loading || !source)
        return;
    const int index = Combo(IDC_SSC_REGISTER)->GetCurSel();
    if (index > 0) {
        const CScopeSourceQueryDataList& catalogue = CatalogueOf(source->AmpAddr);
        POSITION pos = catalogue.FindIndex(index - 1);
        if (!pos)
            return;
        const CScopeSourceQueryDataItem& item = catalogue.GetAt(pos);
        if (RegisterInUse(source->AmpAddr, index)) {
            CString text;
            text.Format("Channel source \"%s:%s\" is currently being used by another channel.  Please select another.",
                        DriveName(source->AmpAddr).GetString(), item.m_name.GetString());
            AfxEngineMessageBox(text, "Oscilloscope Settings", MB_OK | MB_ICONEXCLAMATION);
            LoadChannel();
            return;
        }
        source->QvxSourceIndex = index;
        source->UnitsCode = static_cast<signed char>(item.m_unitsCode);
        source->Command = item.m_command;
        source->Description = item.m_name;
        source->MinUpdateMs = item.m_updateMs;
    } else {
        source->QvxSourceIndex = 0;
        source->Command = CustomCommand;
        source->Description = CustomDescription;
        source->MinUpdateMs = CustomMinUpdateMs;
    }
    LoadChannel();
}

void CScopeSettingsChannelsPpg::WriteBack()
{
    if (m_loading || m_channel < 0)
        return;
    CScopeTraceData& trace = Traces[m_channel];
    trace.WidthIndex = Combo(IDC_SSC_WIDTH)->GetCurSel();
    CScopeSourceData* source = EditedSource();
    if (!source)
        return;
    source->Enabled = static_cast<BYTE>(List()->GetCheck(m_channel) ? 1 : 0);
    source->AmpAddr = ChosenDrive();
    source->QvxSourceIndex = std::max(0, Combo(IDC_SSC_REGISTER)->GetCurSel());
    const int type = Combo(IDC_SSC_TYPE)->GetCurSel();
    source->UnitsCode = static_cast<signed char>(type < 0 ? -1 : static_cast<int>(Combo(IDC_SSC_TYPE)->GetItemData(type)));
    CString text;
    GetDlgItemText(IDC_SSC_COMMAND, source->Command);
    GetDlgItemText(IDC_SSC_DESCRIPTION, source->Description);
    GetDlgItemText(IDC_SSC_MIN_UPDATE, text);
    source->MinUpdateMs = atoi(text);
    GetDlgItemText(IDC_SSC_SCALE, text);
    source->Scale = atof(text);
    GetDlgItemText(IDC_SSC_OFFSET, text);
    source->Offset = atof(text);
    if (source->QvxSourceIndex == 0) {
        CustomCommand = source->Command;
        CustomDescription = source->Description;
        CustomMinUpdateMs = source->MinUpdateMs;
    }
}

void CScopeSettingsChannelsPpg::OnChannelChecked(int channel, bool checked)
{
    if (m_loading || channel < 0 || channel >= Traces.GetSize())
        return;
    CScopeTraceData& trace = Traces[channel];
    if (checked == static_cast<bool>(trace.Enabled))
        return;
    auto refuse = [this, channel]() {
        m_loading = 1;
        List()->SetCheck(channel, FALSE);
        m_loading = 0;
    };
    if (checked) {
        CScopeSourceData* y = Sources.FindById(trace.YSourceID, 0);
        if (!y) {
            // Without a source a channel can only be checked when there is one drive to give it.
            refuse();
            if (Drives.size() == 1) {
                SelectChannel(channel);
                SelectByData(Combo(IDC_SSC_DRIVE), Drives.front().m_address);
                OnDriveChosen();
            }
            return;
        }
        for (int id : {trace.YSourceID, trace.XSourceID})
            if (CScopeSourceData* source = Sources.FindById(id, 0))
                if (CheckedChannelsOfDrive(source->AmpAddr, channel) >= CScopeSampler::kMaxQueriesPerDrive) {
                    refuse();
                    AfxEngineMessageBox("Checking this channel would exceed the available scope channels for the "
                                        "associated drive(s).",
                                        "Oscilloscope Settings", MB_OK | MB_ICONEXCLAMATION);
                    return;
                }
    }
    trace.Enabled = checked ? 1 : 0;
    for (int id : {trace.YSourceID, trace.XSourceID})
        if (CScopeSourceData* source = Sources.FindById(id, 0))
            source->Enabled = static_cast<BYTE>(trace.Enabled);
}

void CScopeSettingsChannelsPpg::OnUnassign()
{
    if (m_channel < 0)
        return;
    CScopeTraceData& trace = Traces[m_channel];
    Sources.RemoveById(trace.XSourceID);
    Sources.RemoveById(trace.YSourceID);
    trace.XSourceID = trace.YSourceID = -1;
    trace.Enabled = 0;
    ShowChecks();
    LoadChannel();
}

void CScopeSettingsChannelsPpg::OnSetColor()
{
    if (m_channel < 0)
        return;
    CColorDialog dialog(Traces[m_channel].Color, 0, this);
    if (dialog.DoModal() == IDOK) {
        Traces[m_channel].Color = dialog.GetColor();
        List()->Invalidate();
    }
}

void CScopeSettingsChannelsPpg::OnReset()
{
    CScopeSourceData* source = EditedSource();
    if (!source || source->QvxSourceIndex <= 0)
        return;
    POSITION pos = CatalogueOf(source->AmpAddr).FindIndex(source->QvxSourceIndex - 1);
    if (!pos)
        return;
    source->MinUpdateMs = CatalogueOf(source->AmpAddr).GetAt(pos).m_updateMs;
    LoadChannel();
}

BOOL CScopeSettingsChannelsPpg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(static_cast<DWORD>(wParam));
    const UINT code = HIWORD(static_cast<DWORD>(wParam));
    if (code == CBN_SELCHANGE) {
        if (id == IDC_SSC_DRIVE)
            OnDriveChosen();
        else if (id == IDC_SSC_REGISTER)
            OnRegisterChosen();
        else
            WriteBack();
        return TRUE;
    }
    if (code == EN_KILLFOCUS) {
        WriteBack();
        return TRUE;
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_SSC_Y:
        case IDC_SSC_X:
            EditX = id == IDC_SSC_X ? 1 : 0;
            LoadChannel();
            return TRUE;
        case IDC_SSC_UNASSIGN: OnUnassign(); return TRUE;
        case IDC_SSC_SET_COLOR: OnSetColor(); return TRUE;
        case IDC_SSC_RESET: OnReset(); return TRUE;
        default: break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CScopeSettingsChannelsPpg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom == static_cast<UINT_PTR>(IDC_SSC_LIST) && header->code == NM_CUSTOMDRAW) {
        // The Color column shows each assigned channel's colour.
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
        const int row = static_cast<int>(draw->nmcd.dwItemSpec);
        if (draw->iSubItem == 1 && row >= 0 && row < Traces.GetSize() && Traces[row].YSourceID != -1)
            draw->clrTextBk = Traces[row].Color;
        *result = 0;
        return TRUE;
    }
    if (header->idFrom == static_cast<UINT_PTR>(IDC_SSC_LIST) && header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK)
            OnChannelChecked(change->iItem, List()->GetCheck(change->iItem) != FALSE);
        if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED) && change->iItem != m_channel) {
            WriteBack();
            m_channel = change->iItem;
            LoadChannel();
        }
        *result = 0;
        return TRUE;
    }
    switch (header->code) {
    case PSN_SETACTIVE:
        ApplyModeChange();
        EnableControls();
        *result = 0;
        return TRUE;
    case PSN_KILLACTIVE:
        WriteBack();
        *result = 0;
        return TRUE;
    case PSN_APPLY:
    case PSN_RESET: *result = 0; return TRUE;
    default: return CDialog::OnNotify(wParam, lParam, result);
    }
}

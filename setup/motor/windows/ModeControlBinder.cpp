#include "setup/motor/windows/ModeControlBinder.h"

#include <cmath>
#include <cstdint>

#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/GuiUpdateList.h"

namespace {
constexpr COLORREF kNormal = 0xFFFFFF;
constexpr COLORREF kOffline = 0xD9D9D9;
constexpr COLORREF kModified = 0xFAE6E6;
constexpr COLORREF kModifiedText = 0xFF0000;
constexpr WORD kHardwareCode = 13452;
constexpr WORD kHardwareIndexCode = 13449;
}  // namespace

void CModeControlBinder::BindEdit(CGuiUpdateDlg& owner, CQvxGuiEditCtrl& edit, const ModeEditRow& row)
{
    if (!edit.GetSafeHwnd())
        edit.SubclassDlgItem(row.id, &owner);
    // Listed first: the conversion bindings find the parameter table through the list.
    owner.GetControlList().AddControl(&edit, row.group);
    edit.m_flags = row.flags;
    if (row.code) {
        if (row.index >= 0)
            edit.SetPollRegisterAt(row.code, kBrakingIndexCode, row.index, kPollMs, kQueryFlags);
        else
            edit.SetPollRegister(row.code, kPollMs, kQueryFlags);
    }
    if (row.working && row.code) {
        if (row.index >= 0)
            edit.SetWriteRegisterAt(row.code, kBrakingIndexCode, row.index);
        else
            edit.SetWriteRegister(row.code);
        edit.SetControlName(row.name);
    }
    edit.SetLimits(row.minimum, row.maximum);
    edit.SetDisplayFormat(row.format, 0);
    if (row.parameter >= 0) {
        // Shown: drive units times the parameter; sent: the entry divided by it.
        edit.BindGlobalParameter(row.parameter, 0, 0);
        edit.BindValueParameter(row.parameter, 1, 0);
    }
    edit.m_absolute = row.magnitude ? 1 : 0;
    edit.SetColour(CQvxGuiEditCtrl::kColourNormal, kNormal);
    edit.SetColour(CQvxGuiEditCtrl::kColourOffline, kOffline);
    edit.SetColour(CQvxGuiEditCtrl::kColourUnavailable, kOffline);
    edit.SetColour(CQvxGuiEditCtrl::kColourModified, kModified);
    edit.m_textColour = row.working ? kModifiedText : 0;
}

void CModeControlBinder::BindCheck(CGuiUpdateDlg& owner, CQvxGuiCheckboxCtrl& box, int id, WORD code, int index,
                                   DWORD mask, bool working, int group)
{
    if (!box.GetSafeHwnd())
        box.SubclassDlgItem(id, &owner);
    owner.GetControlList().AddControl(&box, group);
    box.m_flags = working ? 0x300 : 0x304;
    box.m_bitMask = mask;
    if (!code)
        return;
    if (index >= 0)
        box.SetPollRegisterAt(code, kBrakingIndexCode, index, kPollMs, kQueryFlags);
    else
        box.SetPollRegister(code, kPollMs, kQueryFlags);
    if (!working)
        return;
    if (index >= 0)
        box.SetWriteRegisterAt(code, kBrakingIndexCode, index);
    else
        box.SetWriteRegister(code);
}

void CModeControlBinder::FollowDriveConversions(CGuiUpdateDlg& owner, CQvxGuiEditCtrl* edits, int count,
                                                std::initializer_list<int> parameters)
{
    CGuiUpdateList* list = owner.GetUpdateList();
    CGlobalParameterTable* table = list ? list->GetParameterTable() : nullptr;
    const int drive = owner.GetDrive();
    if (!table || drive == -1)
        return;
    for (int i = 0; i < count; ++i) {
        table->RemoveParameterClient(&edits[i]);
        edits[i].Initialise();
    }
    for (int id : parameters)
        table->RequestParameterQuery(drive, id);
}

int CModeControlBinder::SendUnsigned(CGuiUpdateDlg& owner, WORD code, double value)
{
    if (owner.GetDrive() == -1 || !(value >= 0) || value > 4294967295.0)
        return 0;
    const auto word = static_cast<std::uint32_t>(std::llround(value));
    return owner.SendCommand(static_cast<BYTE>(owner.GetDrive()), code, static_cast<LONG>(word)) > 0;
}

int CModeControlBinder::SendShown(CQvxGuiControlList& controls, int group)
{
    for (POSITION pos = controls.GetHeadPosition(); pos;) {
        CQvxGuiControl* control = controls.GetNext(pos);
        if (group != -1 && control->GetSendGroup() != group)
            continue;
        if (auto* edit = dynamic_cast<CQvxGuiEditCtrl*>(control)) {
            CString text;
            if (edit->GetSafeHwnd())
                edit->GetWindowText(text);
            text.Trim();
            if (text.IsEmpty())
                continue;
        }
        control->SendValue();
    }
    return 1;
}

void CModeControlBinder::QueryHardware(CDmQueryVar& hardware, BYTE address, WORD element, WORD pollMs)
{
    hardware.QueryWithArgument(address, kHardwareCode, kHardwareIndexCode, element, pollMs);
}

int CModeControlBinder::SubscribeAndRestartPolling(CGuiUpdateDlg& page)
{
    if (!page.CGuiUpdateItem::SubscribeStatusQueries())
        return 0;
    page.GetControlList().StopPollingAll();
    page.GetControlList().StartPollingAll();
    return 1;
}

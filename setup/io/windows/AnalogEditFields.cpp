#include "setup/io/windows/AnalogEditFields.h"

#include "framework/GuiUpdateDlg.h"

namespace {
constexpr WORD kReadMs = 600;
constexpr BYTE kOneShot = 0x60;
}  // namespace

void CAnalogEditFields::SetColourSet(CQvxGuiEditCtrl& edit)
{
    edit.SetColour(CQvxGuiEditCtrl::kColourNormal, RGB(255, 255, 255));
    edit.SetColour(CQvxGuiEditCtrl::kColourModified, RGB(230, 230, 250));
    edit.SetColour(CQvxGuiEditCtrl::kColourOffline, RGB(217, 217, 217));
    edit.SetColour(CQvxGuiEditCtrl::kColourUnavailable, RGB(217, 217, 217));
    edit.m_textColour = RGB(0, 0, 255);
}

void CAnalogEditFields::Add(int spinId, CQvxGuiEditCtrl* edit, const char* format, const SpinStepSetting& setting)
{
    m_entries.push_back({spinId, edit, format, setting});
}

CAnalogEditFields::Entry* CAnalogEditFields::Find(CQvxGuiEditCtrl* edit)
{
    for (Entry& entry : m_entries)
        if (entry.edit == edit)
            return &entry;
    return nullptr;
}

void CAnalogEditFields::SetStep(CQvxGuiEditCtrl* edit, const SpinStepSetting& setting)
{
    if (Entry* entry = Find(edit))
        entry->setting = setting;
}

void CAnalogEditFields::SetFormat(CQvxGuiEditCtrl* edit, const char* format)
{
    if (Entry* entry = Find(edit))
        entry->format = format;
}

double CAnalogEditFields::StepOf(CQvxGuiEditCtrl* edit)
{
    Entry* entry = Find(edit);
    if (!entry)
        return 0.0;
    double perDriveUnit = 0.0;
    // Without the conversion yet, a drive-unit step falls back to its minimum.
    if (entry->setting.inDriveUnits && !edit->ConvertValue(perDriveUnit, 1.0, 1))
        perDriveUnit = 0.0;
    return CAnalogIoRules::SpinStep(entry->setting, perDriveUnit);
}

bool CAnalogEditFields::OnDeltaPos(int spinId, int delta)
{
    for (Entry& entry : m_entries) {
        if (entry.spinId != spinId)
            continue;
        CQvxGuiEditCtrl* edit = entry.edit;
        if (edit->GetSafeHwnd() && edit->IsWindowEnabled() && edit->HasWriteRegister()) {
            CString text;
            text.Format(entry.format, edit->GetEnteredValue() + delta * StepOf(edit));
            edit->SetValueText(text);
        }
        return true;
    }
    return false;
}

bool CAnalogEditFields::OnNotify(LPARAM lParam, LRESULT* result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->code != UDN_DELTAPOS)
        return false;
    const auto* updown = reinterpret_cast<const NMUPDOWN*>(lParam);
    if (!OnDeltaPos(static_cast<int>(header->idFrom), updown->iDelta))
        return false;
    *result = 1;
    return true;
}

void CAnalogEditFields::EnableIds(CWnd& owner, std::initializer_list<int> ids, bool enable)
{
    for (int id : ids) {
        CWnd* control = owner.GetDlgItem(id);
        if (!control || (control->IsWindowEnabled() != 0) == enable)
            continue;
        control->EnableWindow(enable);
        control->Invalidate();
    }
}

void CAnalogEditFields::ShowSource(CComboBox& combo, const CDmQueryVar& reading)
{
    LONG source = -1;
    if (!reading.GetValue(source) || source < 0 || source >= combo.GetCount())
        source = -1;
    combo.SetCurSel(static_cast<int>(source));
}

void CAnalogEditFields::BindRow(CGuiUpdateDlg& owner, CQvxGuiEditCtrl& work, CQvxGuiEditCtrl& drive,
                                const AnalogEditRow& row)
{
    for (CQvxGuiEditCtrl* edit : {&work, &drive}) {
        const bool working = edit == &work;
        edit->SubclassDlgItem(working ? row.workId : row.driveId, &owner);
        // Listed first: the conversion bindings find the parameter table through the list.
        owner.GetControlList().AddControl(edit, -1);
        edit->SetPollRegister(row.reg, kReadMs, kOneShot);
        if (working) {
            edit->SetWriteRegister(row.reg);
            edit->SetControlName(row.name);
        }
        edit->SetDisplayFormat(row.format, 0);
        edit->BindGlobalParameter(row.conversion, 0, 0);
        edit->BindValueParameter(row.conversion, 1, 0);
        SetColourSet(*edit);
    }
}

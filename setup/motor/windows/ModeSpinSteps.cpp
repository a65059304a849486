#include "setup/motor/windows/ModeSpinSteps.h"

#include <cstdlib>

#include "foundation/TextHelpers.h"
#include "platform/ui/SpinButtonCtrl.h"

void CModeSpinSteps::Add(CWnd& owner, int spinId, CQvxGuiEditCtrl& edit, int low, int high, double step,
                         const char* format)
{
    if (auto* spin = static_cast<CSpinButtonCtrl*>(owner.GetDlgItem(spinId)))
        spin->SetRange32(low, high);
    m_entries.push_back({spinId, &edit, step, format});
}

CModeSpinSteps::Entry* CModeSpinSteps::Find(int spinId)
{
    for (Entry& entry : m_entries)
        if (entry.spinId == spinId)
            return &entry;
    return nullptr;
}

void CModeSpinSteps::SetStep(int spinId, double step)
{
    if (Entry* entry = Find(spinId))
        entry->step = step;
}

double CModeSpinSteps::GetStep(int spinId) const
{
    for (const Entry& entry : m_entries)
        if (entry.spinId == spinId)
            return entry.step;
    return 0.0;
}

void CModeSpinSteps::SetFormat(int spinId, const char* format)
{
    if (Entry* entry = Find(spinId))
        entry->format = format;
}

bool CModeSpinSteps::OnDeltaPos(int spinId, int delta)
{
    Entry* entry = Find(spinId);
    if (!entry)
        return false;
    CQvxGuiEditCtrl& edit = *entry->edit;
    if (!edit.GetSafeHwnd() || !edit.IsWindowEnabled())
        return true;
    CString text;
    edit.GetWindowText(text);
    const double value = std::atof(RemoveAllSubstrings(text, ",")) + delta * entry->step;
    CString shown;
    shown.Format(entry->format, value);
    edit.SetValueText(shown);
    return true;
}

bool CModeSpinSteps::OnNotify(LPARAM lParam, LRESULT* result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->code != UDN_DELTAPOS)
        return false;
    const auto* note = reinterpret_cast<const NMUPDOWN*>(lParam);
    if (!OnDeltaPos(static_cast<int>(header->idFrom), note->iDelta))
        return false;
    *result = 1;
    return true;
}

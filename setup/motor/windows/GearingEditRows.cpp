#include "setup/motor/windows/GearingEditRows.h"

#include "setup/motor/ElectronicGearing.h"

namespace {
// Custom values of the calculated rows.
enum { kWorkRatio = 2, kDriveRatio = 4, kWorkFactor = 5, kDriveFactor = 6 };
}  // namespace

void CGearingEditRows::BindCalculated(CQvxGuiEditCtrl (&edits)[kRows], WORD factorCode)
{
    edits[0].SetDisplayScale(1.0);
    edits[4].SetCustomPollId(kWorkRatio);
    edits[5].SetCustomPollId(kDriveRatio);
    edits[6].SetCustomPollId(kWorkFactor);
    edits[7].SetCustomPollId(kDriveFactor);
    edits[6].m_customSendId = factorCode;
}

bool CGearingEditRows::HasText(CQvxGuiEditCtrl& edit)
{
    CString text;
    edit.GetWindowText(text);
    text.Trim();
    return !text.IsEmpty();
}

int CGearingEditRows::CustomPoll(CQvxGuiEditCtrl (&edits)[kRows], const CDmQueryVar& factor, int id, double& value)
{
    LONG raw = 0;
    switch (id) {
    case kWorkRatio:
    case kDriveRatio: {
        CQvxGuiEditCtrl& out = edits[id == kWorkRatio ? 0 : 1];
        CQvxGuiEditCtrl& in = edits[id == kWorkRatio ? 2 : 3];
        if (!HasText(out) || !HasText(in))
            return 0;
        value = CElectronicGearing::LinkRatio(out.GetEnteredValue(), in.GetEnteredValue());
        return 1;
    }
    case kWorkFactor:
        if (!HasText(edits[2]))
            return 0;
        value = CElectronicGearing::GearInFactor(edits[2].GetEnteredValue());
        return 1;
    case kDriveFactor:
        if (!factor.GetRawValue(raw))
            return 0;
        value = static_cast<double>(static_cast<DWORD>(raw));
        return 1;
    default:
        return -2;
    }
}

int CGearingEditRows::ReverseGearOut(CQvxGuiEditCtrl (&edits)[kRows])
{
    const int reversed = CElectronicGearing::ReverseGearOut(edits[0].GetEnteredValue());
    CString text;
    text.Format("%d", reversed);
    edits[0].SetValueText(text);
    return reversed;
}

#include "DListComboCtrlCB.h"

#include "platform/core/DebugLog.h"

namespace {
// A missed override is the owner's slip, not a reason to stop the program.
void Missed(const char* operation) { AfxDebugLog("CDListComboCtrlCB::%s not overridden", operation); }
}  // namespace

int CDListComboCtrlCB::GetItemSelection(CDListComboCtrl*, int, int)
{
    Missed("GetItemSelection");
    return 0;
}

void CDListComboCtrlCB::OnItemSelectionChanged(CDListComboCtrl*, int, int, int, BOOL) { Missed("OnItemSelectionChanged"); }

CString CDListComboCtrlCB::GetItemText(CDListComboCtrl*, int, int)
{
    Missed("GetItemText");
    return CString();
}

void CDListComboCtrlCB::OnItemTextChanged(CDListComboCtrl*, int, int, CString, BOOL) { Missed("OnItemTextChanged"); }

int CDListComboCtrlCB::PreCommitEdit(CDListComboCtrl*, LVITEM*)
{
    Missed("PreCommitEdit");
    return 0;
}

int CDListComboCtrlCB::CanEditItem(CDListComboCtrl*, LVITEM*)
{
    Missed("CanEditItem");
    return 0;
}

int CDListComboCtrlCB::GetColumnEditType(CDListComboCtrl*, int, int) { return LCC_EDIT_LIST; }

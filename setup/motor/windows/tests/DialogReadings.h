// What the motor window tests read off a window, as a user would see it.
#pragma once

#include "platform/ui/Wnd.h"

struct MotorDialogReadings {
    static CString Text(CWnd* dlg, int id)
    {
        CString text;
        dlg->GetDlgItemText(id, text);
        return text;
    }
    static bool Checked(CWnd* dlg, int id) { return dlg->IsDlgButtonChecked(id) == BST_CHECKED; }
    static bool Enabled(CWnd* dlg, int id) { return dlg->GetDlgItem(id)->IsWindowEnabled() != FALSE; }
};

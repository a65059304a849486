// CFaultManagerHost: what the fault manager needs of the main frame, so its
// logic runs and is tested without one.
#pragma once

#include "platform/core/String.h"

class CFaultManagerHost {
public:
    virtual ~CFaultManagerHost() = default;
    // Pane 1 of the status bar.
    virtual void SetStatusText(const CString& text) = 0;
    // The exclamation sound of a new status-bar alert.
    virtual void Beep() = 0;
    // The program's one message box.
    virtual int MessageBox(const CString& text, UINT type) = 0;
};

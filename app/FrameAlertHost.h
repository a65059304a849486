// CFrameAlertHost: the main frame as the fault manager sees it: pane 1 of
// the status bar, the exclamation sound and the program's message box.
#pragma once

#include "alerts/FaultManagerHost.h"

class CStatusBar;

class CFrameAlertHost : public CFaultManagerHost {
public:
    explicit CFrameAlertHost(CStatusBar& statusBar) : m_statusBar(statusBar) {}

    void SetStatusText(const CString& text) override;
    void Beep() override;
    int MessageBox(const CString& text, UINT type) override;
    // How many times the sound was asked for (the tests' ear).
    int GetBeepCount() const { return m_beeps; }

private:
    CStatusBar& m_statusBar;
    int m_beeps = 0;
};

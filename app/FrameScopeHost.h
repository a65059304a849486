// CFrameScopeHost: the program's oscilloscope for the servo tuning window,
// opened with the settings file that window names.
#pragma once

#include "setup/tuning/windows/ServoScopeHost.h"

class CMainFrame;

class CFrameScopeHost : public CServoScopeHost {
public:
    explicit CFrameScopeHost(CMainFrame& frame) : m_frame(frame) {}

    CString GetDataFolder() override;
    void OpenScope(const CString& settingsFile) override;

private:
    CMainFrame& m_frame;
};

// CFrameFirmwareLink: the main frame's communications as a firmware window
// sees them: closed for a run, and opened again as they were afterwards
// (the demo or the same link settings).
#pragma once

#include "comm/link/CommLinkSettings.h"
#include "firmware/windows/FirmwareLinkControl.h"

class CMainFrame;

class CFrameFirmwareLink : public CFirmwareLinkControl {
public:
    explicit CFrameFirmwareLink(CMainFrame& frame) : m_frame(frame) {}
    int CloseLinkForRun() override;
    void ReopenLinkAfterRun() override;

private:
    CMainFrame& m_frame;
    CCommLinkSettings m_settings;
    bool m_demo = false;
};

// CFrameCommHost: the main frame as the interface chooser sees it.
#pragma once

#include "comm/windows/CommInterfaceHost.h"

class CMainFrame;

class CFrameCommHost : public CCommInterfaceHost {
public:
    explicit CFrameCommHost(CMainFrame& frame) : m_frame(frame) {}

    void CloseCommunication() override;
    int OpenCommunication(const CCommLinkSettings& settings) override;
    void SetInterfaceChooserOpen(bool open) override;
    void AddManageCloudDatabaseMenu() override;

private:
    CMainFrame& m_frame;
};

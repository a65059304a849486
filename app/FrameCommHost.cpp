#include "FrameCommHost.h"

#include "MainFrame.h"

void CFrameCommHost::CloseCommunication() { m_frame.CloseCommunication(0); }

int CFrameCommHost::OpenCommunication(const CCommLinkSettings& settings) { return m_frame.OpenCommunication(settings); }

void CFrameCommHost::SetInterfaceChooserOpen(bool open) { m_frame.SetInterfaceChooserOpen(open); }

void CFrameCommHost::AddManageCloudDatabaseMenu() { m_frame.AddManageCloudDatabaseMenu(); }

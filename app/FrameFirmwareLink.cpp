#include "app/FrameFirmwareLink.h"

#include "app/MainFrame.h"

int CFrameFirmwareLink::CloseLinkForRun()
{
    if (!m_frame.IsCommOpen())
        return 0;
    m_demo = m_frame.GetCommManager().IsDemo() != FALSE;
    m_settings = m_frame.GetLastCommSettings();
    m_frame.CloseCommunication(0);
    return 1;
}

void CFrameFirmwareLink::ReopenLinkAfterRun()
{
    if (m_demo)
        m_frame.OpenDemoCommunication();
    else
        m_frame.OpenCommunication(m_settings);
}

#include "FrameAlertHost.h"

#include "platform/core/MessageBox.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/Wnd.h"

void CFrameAlertHost::SetStatusText(const CString& text)
{
    if (m_statusBar.GetSafeHwnd())
        m_statusBar.SetPaneText(1, text);
}

void CFrameAlertHost::Beep()
{
    ++m_beeps;
    MessageBeep(MB_ICONEXCLAMATION);
}

int CFrameAlertHost::MessageBox(const CString& text, UINT type) { return AfxEngineMessageBox(text, "Korvane", type); }

#include "database/windows/WindowActionGuard.h"

#include "platform/ui/Wnd.h"

CWindowActionGuard::CWindowActionGuard(CWnd& window, std::vector<int> controls)
    : m_window(window), m_controls(std::move(controls))
{
}

void CWindowActionGuard::EnableControls(bool enable)
{
    if (!m_window.GetSafeHwnd())
        return;
    for (int id : m_controls)
        if (CWnd* control = m_window.GetDlgItem(id))
            control->EnableWindow(enable ? TRUE : FALSE);
}

bool CWindowActionGuard::Run(const std::function<void()>& action)
{
    if (m_busy)
        return false;
    m_busy = true;
    EnableControls(false);
    action();
    m_busy = false;
    EnableControls(true);
    return true;
}

bool CWindowActionGuard::PostponeClose()
{
    if (m_busy)
        m_closeAsked = true;
    return m_busy;
}

bool CWindowActionGuard::TakePostponedClose()
{
    const bool asked = m_closeAsked;
    m_closeAsked = false;
    return asked;
}

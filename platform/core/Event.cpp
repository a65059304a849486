#include "Event.h"

#include <chrono>

CEvent::CEvent(BOOL initiallyOwn, BOOL manualReset, const char* /*name*/, void* /*securityAttributes*/)
    : m_set(initiallyOwn != FALSE), m_manualReset(manualReset != FALSE)
{
}

BOOL CEvent::SetEvent()
{
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_set = true;
    }
    if (m_manualReset)
        m_changed.notify_all();
    else
        m_changed.notify_one();
    return TRUE;
}

BOOL CEvent::ResetEvent()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_set = false;
    return TRUE;
}

BOOL CEvent::PulseEvent()
{
    SetEvent();
    return ResetEvent();
}

BOOL CEvent::Lock(DWORD timeoutMs)
{
    std::unique_lock<std::mutex> guard(m_mutex);
    auto isSet = [this] { return m_set; };
    if (timeoutMs == INFINITE)
        m_changed.wait(guard, isSet);
    else if (!m_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), isSet))
        return FALSE;
    if (!m_manualReset)
        m_set = false;
    return TRUE;
}

#include "Mutex.h"

#include <chrono>

CMutex::CMutex(BOOL initiallyOwn, const char* /*name*/)
{
    if (initiallyOwn)
        m_mutex.lock();
}

BOOL CMutex::Lock(DWORD timeoutMs)
{
    if (timeoutMs == INFINITE) {
        m_mutex.lock();
        return TRUE;
    }
    return m_mutex.try_lock_for(std::chrono::milliseconds(timeoutMs)) ? TRUE : FALSE;
}

BOOL CMutex::Unlock()
{
    m_mutex.unlock();
    return TRUE;
}

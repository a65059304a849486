// CSingleLock: scoped ownership of one sync object; unlocks on destruction.
#pragma once

#include "SyncObject.h"

class CSingleLock {
public:
    explicit CSingleLock(CSyncObject* object, BOOL initialLock = FALSE) : m_object(object)
    {
        if (initialLock)
            Lock();
    }
    ~CSingleLock() { Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    BOOL Lock(DWORD timeoutMs = INFINITE)
    {
        if (!m_object || m_locked)
            return m_locked;
        m_locked = m_object->Lock(timeoutMs);
        return m_locked;
    }
    BOOL Unlock()
    {
        if (m_object && m_locked) {
            m_object->Unlock();
            m_locked = FALSE;
        }
        return TRUE;
    }
    BOOL IsLocked() const { return m_locked; }

private:
    CSyncObject* m_object;
    BOOL m_locked = FALSE;
};

// The lockable base of CMutex and CEvent, so CSingleLock can hold either.
#pragma once

#include "WinTypes.h"

class CSyncObject {
public:
    virtual ~CSyncObject() = default;
    virtual BOOL Lock(DWORD timeoutMs = INFINITE) = 0;
    virtual BOOL Unlock() = 0;
};

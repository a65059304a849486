// CMutex: recursive, so the thread that holds it may lock it again.
#pragma once

#include <mutex>

#include "SyncObject.h"

class CMutex : public CSyncObject {
public:
    explicit CMutex(BOOL initiallyOwn = FALSE, const char* name = nullptr);
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;

    BOOL Lock(DWORD timeoutMs = INFINITE) override;
    BOOL Unlock() override;

private:
    std::recursive_timed_mutex m_mutex;
};

// CEvent: a manual- or auto-reset event; Lock waits until it is set.
#pragma once

#include <condition_variable>
#include <mutex>

#include "SyncObject.h"

class CEvent : public CSyncObject {
public:
    explicit CEvent(BOOL initiallyOwn = FALSE, BOOL manualReset = FALSE, const char* name = nullptr,
                    void* securityAttributes = nullptr);

    BOOL SetEvent();
    BOOL ResetEvent();
    BOOL PulseEvent();
    BOOL Lock(DWORD timeoutMs = INFINITE) override;
    BOOL Unlock() override { return TRUE; }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_set;
    const bool m_manualReset;
};

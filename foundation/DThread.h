// CDThread: the base of every engine worker. A loop of sleeping one period and
// running one Step, with OnStart/OnEnd around it and a stop the owner can wait for.
#pragma once

#include "platform/core/Mutex.h"
#include "platform/core/WinThread.h"

class CDThread {
public:
    enum State { kStarting = 1, kRunning = 2, kStopRequested = 3, kIdle = 4 };

    CDThread() = default;
    virtual ~CDThread();
    CDThread(const CDThread&) = delete;
    CDThread& operator=(const CDThread&) = delete;

    // Non-zero when the thread was created; refused (0) unless the thread is idle.
    int StartThread(int priority, int periodMs);
    // Asks a running thread to stop; with wait, returns once it is idle.
    void StopThread(int wait);
    int GetState() const;
    int GetPeriod() const;

protected:
    virtual void OnStart() {}
    virtual void OnEnd(int /*reason*/) {}
    // One cycle: 0 keeps the loop running, anything else ends it.
    virtual int Step() { return 1; }

    mutable CMutex m_threadLock;

private:
    static UINT ThreadProc(LPVOID param);
    void Run();
    void SetState(int state);
    void ReapFinishedThread();

    int m_state = kIdle;
    int m_period = 0;
    CWinThread* m_thread = nullptr;  // kept so the finished thread can be joined
};

// CDThread: the base of every engine worker. A loop of sleeping one period and
// running one Step, with OnStart/OnEnd around it and a stop the owner can wait for.
// A worker with nothing to do rests longer than its period (GetRestMs) and is
// woken by whoever hands it work, so an idle engine costs no processor time.
#pragma once

#include <atomic>

#include "platform/core/Event.h"
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
    // Ends a rest at once: the next Step runs now. A wake that comes while the
    // thread works is kept, so work handed over during a Step is never missed.
    void Wake();
    // True while the thread rests past its period, waiting to be woken.
    bool IsResting() const { return m_resting.load(); }
    // Cycles run since the thread started: each one is a wake-up of the thread.
    long GetStepCount() const { return m_steps.load(); }

    // GetRestMs's answer for "until woken".
    static constexpr int kRestUntilWoken = -1;

protected:
    virtual void OnStart() {}
    virtual void OnEnd(int /*reason*/) {}
    // One cycle: 0 keeps the loop running, anything else ends it.
    virtual int Step() { return 1; }
    // Milliseconds to rest before the next Step, asked after each one: the
    // period while there is work, more (or kRestUntilWoken) when there is
    // none. Anything shorter than the period counts as the period.
    virtual int GetRestMs() { return GetPeriod(); }

    mutable CMutex m_threadLock;

private:
    static UINT ThreadProc(LPVOID param);
    void Run();
    void SetState(int state);
    void ReapFinishedThread();
    void Rest(int restMs);

    int m_state = kIdle;
    int m_period = 0;
    CWinThread* m_thread = nullptr;  // kept so the finished thread can be joined
    CEvent m_wake;                    // auto-reset: one wake ends one rest
    std::atomic<bool> m_resting{false};
    std::atomic<long> m_steps{0};
};

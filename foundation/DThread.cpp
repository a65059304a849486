#include "DThread.h"

#include "platform/core/Clock.h"
#include "platform/core/SingleLock.h"

CDThread::~CDThread()
{
    // Owners stop the thread first; joining here only collects a finished thread.
    ReapFinishedThread();
}

int CDThread::GetState() const
{
    CSingleLock lock(&m_threadLock, TRUE);
    return m_state;
}

int CDThread::GetPeriod() const
{
    CSingleLock lock(&m_threadLock, TRUE);
    return m_period;
}

void CDThread::Wake() { m_wake.SetEvent(); }

void CDThread::SetState(int state)
{
    CSingleLock lock(&m_threadLock, TRUE);
    m_state = state;
}

void CDThread::ReapFinishedThread()
{
    delete m_thread;  // joins; the thread has left Run by now or is about to
    m_thread = nullptr;
}

int CDThread::StartThread(int priority, int periodMs)
{
    {
        CSingleLock lock(&m_threadLock, TRUE);
        if (m_state != kIdle)
            return 0;
        m_period = periodMs;
        m_state = kStarting;
    }
    ReapFinishedThread();
    m_thread = AfxBeginThread(&CDThread::ThreadProc, this, priority, 0, CREATE_SUSPENDED);
    if (!m_thread) {
        // Without a thread nothing would ever leave the starting state.
        SetState(kIdle);
        return 0;
    }
    m_thread->m_bAutoDelete = FALSE;
    m_thread->ResumeThread();
    return 1;
}

void CDThread::StopThread(int wait)
{
    int state;
    {
        CSingleLock lock(&m_threadLock, TRUE);
        state = m_state;
        if (state == kRunning)
            m_state = kStopRequested;
    }
    Wake();  // a resting thread sees the request now, not at its next deadline
    if (!wait)
        return;
    while (state != kIdle) {
        Sleep(static_cast<DWORD>(GetPeriod() > 0 ? GetPeriod() : 1));
        CSingleLock lock(&m_threadLock, TRUE);
        if (m_state == kRunning)  // was still starting when the stop came
            m_state = kStopRequested;
        state = m_state;
        if (state == kStopRequested)
            Wake();
    }
    if (!(m_thread && m_thread->IsCurrentThread()))
        ReapFinishedThread();
}

void CDThread::Rest(int restMs)
{
    const int period = GetPeriod();
    if (restMs != kRestUntilWoken && restMs <= period) {
        // Working: the fixed cycle, whatever wakes come meanwhile.
        Sleep(static_cast<DWORD>(period));
        return;
    }
    m_resting = true;
    m_wake.Lock(restMs == kRestUntilWoken ? INFINITE : static_cast<DWORD>(restMs));
    m_resting = false;
}

UINT CDThread::ThreadProc(LPVOID param)
{
    static_cast<CDThread*>(param)->Run();
    return 0;
}

void CDThread::Run()
{
    OnStart();
    SetState(kRunning);
    int result = 0;
    int state = GetState();
    while (state == kRunning && result == 0) {
        Rest(GetRestMs());
        ++m_steps;
        result = Step();
        state = GetState();
    }
    state = GetState();
    OnEnd(state == kStopRequested ? 2 : result);
    SetState(kIdle);
}

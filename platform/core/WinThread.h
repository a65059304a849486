// CWinThread and AfxBeginThread on std::thread. Priorities are recorded, not
// applied, so no privileges are needed.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "WinTypes.h"

constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;
constexpr DWORD CREATE_SUSPENDED = 0x4;

using AFX_THREADPROC = UINT (*)(LPVOID);

class CWinThread {
public:
    CWinThread(AFX_THREADPROC proc, LPVOID param);
    // Joins the thread unless it deletes itself (m_bAutoDelete) or this is the thread itself.
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    BOOL CreateThread(DWORD flags = 0);
    DWORD ResumeThread();
    BOOL SetThreadPriority(int priority) { m_priority = priority; return TRUE; }
    int GetThreadPriority() const { return m_priority; }
    bool IsCurrentThread() const { return std::this_thread::get_id() == m_thread.get_id(); }

    BOOL m_bAutoDelete = TRUE;

private:
    void Body();

    AFX_THREADPROC m_proc;
    LPVOID m_param;
    int m_priority = THREAD_PRIORITY_NORMAL;
    std::thread m_thread;
    std::mutex m_gateMutex;
    std::condition_variable m_gateOpened;
    bool m_gateOpen = false;
};

// Returns null when the thread cannot be created.
CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD flags = 0, void* securityAttributes = nullptr);

namespace kvtest {
// The next `count` thread creations fail, as when the system is out of threads.
void FailThreadCreations(int count);
}  // namespace kvtest

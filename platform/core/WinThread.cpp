#include "WinThread.h"

#include <atomic>
#include <system_error>

namespace {
std::atomic<int> g_failCreations{0};

bool ShouldFailCreation()
{
    int left = g_failCreations.load();
    while (left > 0) {
        if (g_failCreations.compare_exchange_weak(left, left - 1))
            return true;
    }
    return false;
}
}  // namespace

namespace kvtest {
void FailThreadCreations(int count) { g_failCreations = count; }
}  // namespace kvtest

CWinThread::CWinThread(AFX_THREADPROC proc, LPVOID param) : m_proc(proc), m_param(param) {}

CWinThread::~CWinThread()
{
    if (!m_thread.joinable())
        return;
    if (IsCurrentThread())
        m_thread.detach();
    else
        m_thread.join();
}

BOOL CWinThread::CreateThread(DWORD flags)
{
    if (ShouldFailCreation())
        return FALSE;
    try {
        m_thread = std::thread(&CWinThread::Body, this);
    } catch (const std::system_error&) {
        return FALSE;
    }
    if (!(flags & CREATE_SUSPENDED))
        ResumeThread();
    return TRUE;
}

DWORD CWinThread::ResumeThread()
{
    {
        std::lock_guard<std::mutex> guard(m_gateMutex);
        if (m_gateOpen)
            return 0;
        m_gateOpen = true;
    }
    m_gateOpened.notify_all();
    return 1;
}

void CWinThread::Body()
{
    {
        std::unique_lock<std::mutex> guard(m_gateMutex);
        m_gateOpened.wait(guard, [this] { return m_gateOpen; });
    }
    m_proc(m_param);
    if (m_bAutoDelete)
        delete this;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT /*stackSize*/, DWORD flags,
                           void* /*securityAttributes*/)
{
    auto* thread = new CWinThread(proc, param);
    thread->SetThreadPriority(priority);
    if (!thread->CreateThread(flags | CREATE_SUSPENDED)) {
        delete thread;
        return nullptr;
    }
    if (!(flags & CREATE_SUSPENDED))
        thread->ResumeThread();
    return thread;
}

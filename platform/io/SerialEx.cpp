#include "SerialEx.h"

#include "platform/core/Clock.h"

CSerialEx::~CSerialEx() { CSerialEx::Close(); }

LONG CSerialEx::Open(const char* device, DWORD inQueue, DWORD outQueue, bool startListener)
{
    if (CSerial::Open(device, inQueue, outQueue, true) != ERROR_SUCCESS)
        return m_lastError;
    if (CreateStopEvent() != ERROR_SUCCESS) {
        const LONG error = m_lastError;
        CSerial::Close();
        return m_lastError = error;
    }
    if (startListener)
        return StartListener();
    return m_lastError;
}

LONG CSerialEx::CreateStopEvent()
{
    m_lastError = ERROR_SUCCESS;
    if (!m_stopEvent)
        m_stopEvent = new CEvent(FALSE, TRUE);
    return m_lastError;
}

LONG CSerialEx::Close()
{
    StopListener(1000);
    delete m_stopEvent;
    m_stopEvent = nullptr;
    return CSerial::Close();
}

LONG CSerialEx::StartListener()
{
    m_lastError = ERROR_SUCCESS;
    if (m_listener)
        return m_lastError;
    m_stopping = false;
    m_listenerDone.ResetEvent();
    m_listener = AfxBeginThread(ThreadProc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_listener)
        return m_lastError = ERROR_NOT_ENOUGH_MEMORY;
    m_listener->m_bAutoDelete = FALSE;  // joined by StopListener
    m_listener->ResumeThread();
    return m_lastError;
}

LONG CSerialEx::StopListener(DWORD waitMs)
{
    m_lastError = ERROR_SUCCESS;
    if (!m_listener)
        return m_lastError;
    m_stopping = true;
    // Setting the mask ends a pending event wait; it is repeated in case the
    // listener was between two waits when the first came.
    const ULONGLONG started = GetTickCount64();
    do {
        SetEventMask(GetEventMask());
    } while (!m_listenerDone.Lock(5) && (waitMs == INFINITE || GetTickCount64() - started < waitMs));
    // Joining even after the time-out keeps the thread from outliving the port.
    delete m_listener;
    m_listener = nullptr;
    m_stopping = false;
    return m_lastError = ERROR_SUCCESS;
}

UINT CSerialEx::ThreadProc(LPVOID param)
{
    auto* self = static_cast<CSerialEx*>(param);
    const LONG result = self->ListenLoop();
    self->m_listenerDone.SetEvent();
    return static_cast<UINT>(result);
}

LONG CSerialEx::ListenLoop()
{
    OVERLAPPED overlapped;
    overlapped.hEvent = m_stopEvent;
    while (!m_stopping) {
        m_stopEvent->ResetEvent();
        if (const LONG error = WaitForEvent(&overlapped, INFINITE); error != ERROR_SUCCESS)
            return error;
        if (!m_stopEvent->Lock(INFINITE))
            return ERROR_GEN_FAILURE;
        if (m_stopping)
            break;
        const DWORD events = TakeReceivedEvents();
        DWORD errors = 0;
        ClearLineErrors(&errors);
        if (events & GetEventMask())
            OnEvent(events, errors);
    }
    return ERROR_SUCCESS;
}

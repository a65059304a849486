#include "comm/udp/DSocketThread.h"

#include "comm/link/CommAppServices.h"
#include "comm/trace/CommStatistics.h"
#include "platform/core/Clock.h"
#include "platform/core/SingleLock.h"

namespace {

constexpr const char* kConnectFaultText =
    "Network connection error.  Please close and re-open communications.  (If you continue to receive this alert, "
    "it may be necessary to reboot the computer)";
constexpr const char* kWriteFaultText =
    "Network write error.  Please close and re-open communications.  (If you continue to receive this alert, it "
    "may be necessary to reboot the computer)";
constexpr const char* kReadFaultText =
    "Network read error.  Please close and re-open communications.  (If you continue to receive this alert, it may "
    "be necessary to reboot the computer)";

void SetCommStatus(int status)
{
    if (CCommAppServices* app = CCommAppServices::Get())
        app->SetCommStatus(status);
}

}  // namespace

CDSocketThread::CDSocketThread() : m_thread([this] { Run(); }) {}

CDSocketThread::~CDSocketThread()
{
    Exit();
    if (m_thread.joinable())
        m_thread.join();
}

int CDSocketThread::GetState()
{
    CSingleLock lock(&m_stateLock, TRUE);
    return m_state;
}

void CDSocketThread::SetState(int state)
{
    CSingleLock lock(&m_stateLock, TRUE);
    m_state = state;
}

UINT CDSocketThread::GetLocalPort()
{
    CSingleLock lock(&m_stateLock, TRUE);
    CString address;
    UINT port = 0;
    if (m_state != kSocketConnected || !m_socket.GetSockName(address, port))
        return 0;
    return port;
}

void CDSocketThread::WaitWhile(int state)
{
    while (GetState() == state)
        Sleep(5);
}

int CDSocketThread::Connect(const CString& host, WORD port, int kind)
{
    {
        CSingleLock lock(&m_stateLock, TRUE);
        if (m_state != kSocketIdle)
            return 0;
        // Datagrams of an earlier connection are not this one's.
        m_receive.RemoveAll();
        m_send.RemoveAll();
        m_host = host;
        m_port = port;
        m_kind = kind;
        m_state = kSocketConnectRequested;
    }
    WaitWhile(kSocketConnectRequested);
    if (GetState() == kSocketConnectFailed) {
        CloseConnection();
        return 0;
    }
    return 1;
}

int CDSocketThread::CloseConnection()
{
    {
        CSingleLock lock(&m_stateLock, TRUE);
        if (m_state == kSocketExited || m_state == kSocketExitRequested)
            return 0;
        m_state = kSocketCloseRequested;
    }
    WaitWhile(kSocketCloseRequested);
    return GetState() == kSocketIdle ? 1 : 0;
}

void CDSocketThread::Exit()
{
    {
        CSingleLock lock(&m_stateLock, TRUE);
        if (m_state == kSocketExited)
            return;
        m_state = kSocketExitRequested;
    }
    WaitWhile(kSocketExitRequested);
}

void CDSocketThread::Run()
{
    for (;;) {
        // Waiting on the socket in place of a plain 1 ms sleep answers a datagram as soon as it comes.
        if (GetState() == kSocketConnected)
            m_socket.WaitReadable(1);
        else
            Sleep(1);
        const int state = GetState();
        if (state == kSocketExitRequested)
            break;
        switch (state) {
        case kSocketConnectRequested: DoConnect(); break;
        case kSocketConnected:
            DoSend();
            if (GetState() == kSocketConnected)
                DoReceive();
            break;
        case kSocketCloseRequested:
            m_socket.Close();
            SetState(kSocketIdle);
            break;
        default: break;  // after a fault the thread idles until closed
        }
    }
    m_socket.Close();
    m_receive.RemoveAll();
    m_send.RemoveAll();
    SetState(kSocketExited);
}

void CDSocketThread::Fault(int state, const char* key, const char* text)
{
    // Alert and status first: whoever sees the fault state also finds them.
    if (CCommAppServices* app = CCommAppServices::Get())
        app->RaiseAlert(key, text, 5, kAlertPopup, -1);
    SetCommStatus(kCommAllDrivesLost);
    SetState(state);
}

void CDSocketThread::DoConnect()
{
    if (m_socket.Create(0) && m_socket.Connect(m_host, m_port) && m_socket.SetNonBlocking(TRUE)) {
        SetCommStatus(kCommAllDrives);
        SetState(kSocketConnected);
        return;
    }
    Fault(kSocketConnectFailed, "SOCKET_READ_FAULT", kConnectFaultText);
    m_socket.Close();
}

void CDSocketThread::DoSend()
{
    std::unique_ptr<CDSocketThreadData> item = m_send.TakeItem();
    if (!item || item->m_size <= 0)
        return;
    const int sent = m_socket.Send(item->m_bytes.get(), item->m_size);
    if (sent == item->m_size) {
        SetCommStatus(kCommAllDrives);
        return;
    }
    const int error = m_socket.GetLastError();
    if (error == WSAEWOULDBLOCK) {
        // A full socket buffer is no reason to lose the frames: the datagram goes out on a later loop.
        m_send.PutBack(std::move(item));
        return;
    }
    if (error != 0)
        Fault(kSocketWriteFault, "SOCKET_WRITE_FAULT", kWriteFaultText);
}

void CDSocketThread::CountReceiveError()
{
    if (CCommStatistics* statistics = m_statistics)
        statistics->AddSample(kStatRxFrameError, 0);
}

void CDSocketThread::DoReceive()
{
    // Only while the link trace is on: a line per loop would flood the watch window's log.
    CCommAppServices* app = CCommAppServices::Get();
    if (app && !app->IsCommTraceOn())
        app = nullptr;
    if (app)
        app->AddDebugMessage("Socket Input Update");
    // One byte more than the link takes tells an oversized datagram from a full one.
    BYTE buffer[kMaxDatagram + 1];
    const int got = m_socket.Receive(buffer, sizeof buffer);
    if (got > kMaxDatagram) {
        ++m_oversized;
        CountReceiveError();
        return;
    }
    if (got > 0) {
        if (app)
            app->AddDebugMessage("Socket Read Packet");
        if (!m_receive.Append(buffer, got)) {
            ++m_dropped;
            CountReceiveError();
            return;
        }
        if (m_onReceive)
            m_onReceive();
        return;
    }
    if (got == 0)
        return;
    const int error = m_socket.GetLastError();
    if (error == WSAEWOULDBLOCK) {
        SetCommStatus(kCommAllDrives);
        return;
    }
    // A refused datagram (no module listening yet) says the module is not there: a read fault.
    Fault(kSocketReadFault, "SOCKET_READ_FAULT", kReadFaultText);
}

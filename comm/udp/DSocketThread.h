// CDSocketThread: the thread that owns the UDP socket of the network link. It
// sends one waiting datagram and receives one per loop, so the communication
// manager never blocks on the socket. Other threads ask it to connect, close
// or exit and wait until it has done so.
#pragma once

#include <functional>

#include <atomic>
#include <thread>

#include "comm/udp/DSocketThreadDataList.h"
#include "platform/core/Mutex.h"
#include "platform/core/String.h"
#include "platform/io/AsyncSocket.h"

class CCommStatistics;

enum SocketThreadState : int {
    kSocketIdle = 0,
    kSocketConnectRequested = 1,
    kSocketConnected = 2,
    kSocketCloseRequested = 3,
    kSocketExitRequested = 4,
    kSocketExited = 5,
    kSocketConnectFailed = -1,
    kSocketReadFault = -2,
    kSocketWriteFault = -3,
};

class CDSocketThread {
public:
    static constexpr int kMaxDatagram = 2016;

    CDSocketThread();
    // Asks the thread to exit and joins it.
    ~CDSocketThread();
    CDSocketThread(const CDSocketThread&) = delete;
    CDSocketThread& operator=(const CDSocketThread&) = delete;

    // Only from the idle state; waits while the request is pending. 1 on success.
    int Connect(const CString& host, WORD port, int kind = 0);
    // 1 when the thread is idle again afterwards.
    int CloseConnection();
    void Exit();

    int GetState();
    CDSocketThreadDataList& GetReceiveList() { return m_receive; }
    CDSocketThreadDataList& GetSendList() { return m_send; }
    // Oversized datagrams are dropped and counted here as frame errors.
    void SetStatistics(CCommStatistics* statistics) { m_statistics = statistics; }
    // Called on the socket thread each time a datagram joins the receive list; set before connecting.
    void SetReceiveListener(std::function<void()> listener) { m_onReceive = std::move(listener); }
    // Datagrams dropped because they were larger than the link takes.
    int GetOversizedCount() const { return m_oversized; }
    // Datagrams dropped because the receive list was full.
    int GetDroppedCount() const { return m_dropped; }
    // The local port of the connected socket, 0 while not connected.
    UINT GetLocalPort();

private:
    std::function<void()> m_onReceive;
    void Run();
    void SetState(int state);
    void WaitWhile(int state);
    void DoConnect();
    void DoSend();
    void DoReceive();
    void CountReceiveError();
    void Fault(int state, const char* key, const char* text);

    CString m_host;
    WORD m_port = 0;
    int m_kind = 0;
    CAsyncSocket m_socket;
    CMutex m_stateLock;
    int m_state = kSocketIdle;
    CDSocketThreadDataList m_receive;
    CDSocketThreadDataList m_send;
    std::atomic<CCommStatistics*> m_statistics{nullptr};
    std::atomic<int> m_oversized{0};
    std::atomic<int> m_dropped{0};
    std::thread m_thread;
};

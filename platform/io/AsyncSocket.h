// CAsyncSocket: a datagram socket (POSIX) with the calls the link and the
// network discovery make. Errors are kept as the last error: 0, the
// would-block code, or the system's error number.
#pragma once

#include "platform/core/String.h"
#include "platform/core/WinTypes.h"

constexpr int WSAEWOULDBLOCK = 10035;
constexpr int SOCK_DGRAM_KIND = 2;
constexpr int MSG_DONTROUTE_FLAG = 4;
// Notification requests of Create; recorded only: the owner waits for data itself.
constexpr long FD_READ = 0x01;
constexpr long FD_WRITE = 0x02;

class CAsyncSocket {
public:
    CAsyncSocket() = default;
    virtual ~CAsyncSocket();
    CAsyncSocket(const CAsyncSocket&) = delete;
    CAsyncSocket& operator=(const CAsyncSocket&) = delete;

    // Binds a datagram socket to the port (0: any) on the address (null: any).
    BOOL Create(UINT port = 0, long events = FD_READ | FD_WRITE, const char* address = nullptr);
    // Host names resolve to their first IPv4 address.
    BOOL Connect(const char* host, UINT port);
    // Bytes sent or received, or -1 with the last error set.
    int Send(const void* bytes, int count, int flags = 0);
    int Receive(void* buffer, int size, int flags = 0);
    int SendTo(const void* bytes, int count, UINT port, const char* host, int flags = 0);
    int ReceiveFrom(void* buffer, int size, CString& address, UINT& port, int flags = 0);
    BOOL SetBroadcast(BOOL on);
    BOOL SetNonBlocking(BOOL on);
    // True when a datagram waits or arrives within the time.
    bool WaitReadable(int timeoutMs);
    BOOL GetSockName(CString& address, UINT& port);
    virtual void Close();
    bool IsOpen() const { return m_fd >= 0; }
    int GetLastError() const { return m_lastError; }

    // Called by the owner's wait loop when data waits.
    virtual void OnReceive(int /*error*/) {}

private:
    int Fail();
    static bool Resolve(const char* host, UINT port, void* address);

    int m_fd = -1;
    int m_lastError = 0;
};


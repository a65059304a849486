#include "platform/io/AsyncSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

CAsyncSocket::~CAsyncSocket()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int CAsyncSocket::Fail()
{
    m_lastError = (errno == EAGAIN || errno == EWOULDBLOCK) ? WSAEWOULDBLOCK : (errno ? errno : EIO);
    return -1;
}

bool CAsyncSocket::Resolve(const char* host, UINT port, void* out)
{
    auto* address = static_cast<sockaddr_in*>(out);
    std::memset(address, 0, sizeof *address);
    address->sin_family = AF_INET;
    address->sin_port = htons(static_cast<uint16_t>(port));
    if (!host || !*host)
        return false;
    if (inet_pton(AF_INET, host, &address->sin_addr) == 1)
        return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found)
        return false;
    address->sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

BOOL CAsyncSocket::Create(UINT port, long /*events*/, const char* address)
{
    Close();
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        return Fail(), FALSE;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<uint16_t>(port));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (address && *address && !Resolve(address, port, &local)) {
        m_lastError = EADDRNOTAVAIL;
        Close();
        return FALSE;
    }
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        Fail();
        const int error = m_lastError;
        Close();
        m_lastError = error;
        return FALSE;
    }
    m_lastError = 0;
    return TRUE;
}

BOOL CAsyncSocket::Connect(const char* host, UINT port)
{
    sockaddr_in remote{};
    if (m_fd < 0 || !Resolve(host, port, &remote)) {
        m_lastError = m_fd < 0 ? EBADF : EHOSTUNREACH;
        return FALSE;
    }
    if (::connect(m_fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0)
        return Fail(), FALSE;
    m_lastError = 0;
    return TRUE;
}

int CAsyncSocket::Send(const void* bytes, int count, int flags)
{
    const int sent = static_cast<int>(
        ::send(m_fd, bytes, static_cast<size_t>(count), MSG_NOSIGNAL | ((flags & MSG_DONTROUTE_FLAG) ? MSG_DONTROUTE : 0)));
    if (sent < 0)
        return Fail();
    m_lastError = 0;
    return sent;
}

int CAsyncSocket::Receive(void* buffer, int size, int /*flags*/)
{
    // A datagram larger than the buffer is cut, as the platform's sockets do.
    const int got = static_cast<int>(::recv(m_fd, buffer, static_cast<size_t>(size), 0));
    if (got < 0)
        return Fail();
    m_lastError = 0;
    return got;
}

int CAsyncSocket::SendTo(const void* bytes, int count, UINT port, const char* host, int flags)
{
    sockaddr_in remote{};
    if (!Resolve(host, port, &remote)) {
        m_lastError = EHOSTUNREACH;
        return -1;
    }
    const int sent = static_cast<int>(::sendto(m_fd, bytes, static_cast<size_t>(count),
                                               MSG_NOSIGNAL | ((flags & MSG_DONTROUTE_FLAG) ? MSG_DONTROUTE : 0),
                                               reinterpret_cast<sockaddr*>(&remote), sizeof remote));
    if (sent < 0)
        return Fail();
    m_lastError = 0;
    return sent;
}

int CAsyncSocket::ReceiveFrom(void* buffer, int size, CString& address, UINT& port, int /*flags*/)
{
    sockaddr_in remote{};
    socklen_t length = sizeof remote;
    const int got = static_cast<int>(
        ::recvfrom(m_fd, buffer, static_cast<size_t>(size), 0, reinterpret_cast<sockaddr*>(&remote), &length));
    if (got < 0)
        return Fail();
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &remote.sin_addr, text, sizeof text);
    address = text;
    port = ntohs(remote.sin_port);
    m_lastError = 0;
    return got;
}

BOOL CAsyncSocket::SetBroadcast(BOOL on)
{
    const int value = on ? 1 : 0;
    if (::setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &value, sizeof value) != 0)
        return Fail(), FALSE;
    return TRUE;
}

BOOL CAsyncSocket::SetNonBlocking(BOOL on)
{
    const int flags = ::fcntl(m_fd, F_GETFL, 0);
    if (flags < 0 || ::fcntl(m_fd, F_SETFL, on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK)) != 0)
        return Fail(), FALSE;
    return TRUE;
}

bool CAsyncSocket::WaitReadable(int timeoutMs)
{
    if (m_fd < 0)
        return false;
    pollfd entry{m_fd, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) > 0 && (entry.revents & (POLLIN | POLLERR));
}

BOOL CAsyncSocket::GetSockName(CString& address, UINT& port)
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (m_fd < 0 || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return FALSE;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &local.sin_addr, text, sizeof text);
    address = text;
    port = ntohs(local.sin_port);
    return TRUE;
}

void CAsyncSocket::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

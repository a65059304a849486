#include "testing/SimulatedNetworkModule.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr int kMaxDatagram = 2016;

int BindUdp(const char* address, int port, bool shared)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int on = 1;
    if (shared) {
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<uint16_t>(port));
    if (!address)
        local.sin_addr.s_addr = htonl(INADDR_ANY);
    else if (inet_pton(AF_INET, address, &local.sin_addr) != 1) {
        close(fd);
        return -1;
    }
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

UINT BoundPort(int fd)
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
    return ntohs(local.sin_port);
}

}  // namespace

SimulatedNetworkModule::SimulatedNetworkModule(const char* address, const char* name)
    : m_address(address), m_name(name)
{
}

SimulatedNetworkModule::~SimulatedNetworkModule() { Stop(); }

bool SimulatedNetworkModule::Start(int pollPort)
{
    m_linkFd = BindUdp(m_address.c_str(), 0, false);
    if (m_linkFd < 0)
        return false;
    m_linkPort = BoundPort(m_linkFd);
    if (pollPort >= 0) {
        m_pollFd = BindUdp(nullptr, pollPort, true);
        if (m_pollFd < 0)
            return false;
        m_pollPort = static_cast<int>(BoundPort(m_pollFd));
    }
    {
        const QVXREMOTEPOLLDATA record = Record();
        const auto* bytes = reinterpret_cast<const BYTE*>(&record);
        std::lock_guard<std::mutex> lock(m_peerLock);
        if (m_pollAnswer.empty())
            m_pollAnswer.assign(bytes, bytes + sizeof record);
    }
    m_running = true;
    m_thread = std::thread([this] { Run(); });
    return true;
}

void SimulatedNetworkModule::Stop()
{
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
    for (int* fd : {&m_linkFd, &m_pollFd}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

QVXREMOTEPOLLDATA SimulatedNetworkModule::Record() const
{
    QVXREMOTEPOLLDATA record{};
    record.signature[0] = kRemotePollSignature0;
    record.signature[1] = kRemotePollSignature1;
    record.port[0] = static_cast<BYTE>(m_linkPort & 0xFF);
    record.port[1] = static_cast<BYTE>(m_linkPort >> 8);
    std::strncpy(record.name, m_name.c_str(), sizeof record.name - 1);
    return record;
}

void SimulatedNetworkModule::SetPollAnswer(const std::vector<BYTE>& bytes)
{
    std::lock_guard<std::mutex> lock(m_peerLock);
    m_pollAnswer = bytes;
}

bool SimulatedNetworkModule::SendToPeer(const std::vector<BYTE>& bytes)
{
    std::lock_guard<std::mutex> lock(m_peerLock);
    if (!m_hasPeer)
        return false;
    return sendto(m_linkFd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(m_peer.bytes),
                  sizeof(sockaddr_in)) == static_cast<ssize_t>(bytes.size());
}

void SimulatedNetworkModule::Run()
{
    while (m_running) {
        pollfd fds[2] = {{m_linkFd, POLLIN, 0}, {m_pollFd, POLLIN, 0}};
        const int n = ::poll(fds, m_pollFd >= 0 ? 2 : 1, 1);
        if (n > 0 && (fds[0].revents & POLLIN))
            AnswerLink();
        if (n > 0 && m_pollFd >= 0 && (fds[1].revents & POLLIN))
            AnswerPoll();
        // The drives' own traffic (poll slots, procedures) between requests.
        m_simulator.RunCycle(true);
        SendOutput();
    }
}

void SimulatedNetworkModule::AnswerLink()
{
    BYTE buffer[kMaxDatagram];
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t got = recvfrom(m_linkFd, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from),
                                 &length);
    if (got < 0)
        return;
    ++m_received;
    {
        std::lock_guard<std::mutex> lock(m_peerLock);
        std::memcpy(m_peer.bytes, &from, sizeof from);
        m_hasPeer = true;
    }
    if (m_silent || got == 0)
        return;
    m_simulator.Write(static_cast<int>(got), buffer);
    m_simulator.RunCycle(true);
    SendOutput();
}

void SimulatedNetworkModule::SendOutput()
{
    BYTE buffer[kMaxDatagram];
    int count = 0;
    for (;;) {
        const int got = m_simulator.Read(kMaxDatagram - count, buffer + count);
        if (got <= 0)
            break;
        count += got;
        if (count == kMaxDatagram) {
            SendToPeer(std::vector<BYTE>(buffer, buffer + count));
            count = 0;
        }
    }
    if (count > 0 && !m_silent)
        SendToPeer(std::vector<BYTE>(buffer, buffer + count));
}

void SimulatedNetworkModule::AnswerPoll()
{
    BYTE buffer[64];
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t got = recvfrom(m_pollFd, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from),
                                 &length);
    if (got != 2 || buffer[0] != kRemotePollSignature0 || buffer[1] != kRemotePollSignature1)
        return;
    ++m_polls;
    std::vector<BYTE> answer;
    {
        std::lock_guard<std::mutex> lock(m_peerLock);
        answer = m_pollAnswer;
    }
    // The answer leaves from the module's own address, as a module on the network answers.
    sendto(m_linkFd, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from), sizeof from);
}

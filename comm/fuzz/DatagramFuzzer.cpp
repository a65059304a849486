// libFuzzer target for what arrives from the network. The first byte picks
// the path: even feeds the rest, cut at zero-length markers into datagrams,
// through the UDP link port into the communication manager's cycle; odd hands
// it to the network discovery as module answers. Checked: no crash, no hang.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "comm/link/CommManager.h"
#include "comm/udp/QVX_UDPCommPort.h"
#include "comm/udp/QvxPollForRemotes.h"

namespace {

// Bound and kept: frames the manager sends go nowhere and nothing refuses them.
UINT QuietPort()
{
    static int fd = -1;
    static UINT port = 0;
    if (fd < 0) {
        fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
        socklen_t length = sizeof local;
        getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
        port = ntohs(local.sin_port);
    }
    return port;
}

class FuzzManager : public CCommManager {
public:
    FuzzManager()
    {
        QVXREMOTEPOLLDATA record{};
        const UINT port = QuietPort();
        record.port[0] = static_cast<BYTE>(port & 0xFF);
        record.port[1] = static_cast<BYTE>(port >> 8);
        m_port = new CQVX_UDPCommPort("127.0.0.1", record);
        if (m_port->Open() != 1)
            std::abort();
        AttachPort(m_port, TRUE);
    }
    void Feed(const BYTE* bytes, int count)
    {
        m_port->GetSocketThread()->GetReceiveList().Append(bytes, count);
        Step();
    }

private:
    CQVX_UDPCommPort* m_port;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const BYTE* bytes = data + 1;
    const int count = static_cast<int>(size - 1);
    if (data[0] & 1) {
        CQvxRemotePollDataMap map;
        CQvxPollForRemotes poll;
        for (int at = 0; at < count;) {
            const int length = std::min<int>(bytes[at] % 64, count - at - 1);
            poll.FileAnswer(bytes + at + 1, std::max(length, 0), (at & 1) ? "10.0.0.1" : "10.0.0.2", map);
            at += std::max(length, 0) + 1;
        }
        return 0;
    }
    static FuzzManager manager;
    int start = 0;
    for (int at = 0; at <= count; ++at) {
        // A 0xC0 byte ends a datagram; a width of 6 is no frame header.
        if (at == count || bytes[at] == 0xC0) {
            manager.Feed(bytes + start, at - start);
            start = at + 1;
        }
    }
    return 0;
}

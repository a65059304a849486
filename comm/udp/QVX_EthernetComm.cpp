#include "comm/udp/QVX_EthernetComm.h"

#include <chrono>

#include "comm/link/AmplifierData.h"
#include "comm/trace/CommStatistics.h"
#include "platform/core/Clock.h"

namespace {
constexpr WORD kCodeVer = 22706;
constexpr int kIdentifyWaitMs = 500;

int FamilyFromVersion(LONG version)
{
    if (version >= 500)
        return kFamilyTavro;
    if (version >= 401)
        return kFamilyKreln;
    return kFamilyUnknown;
}
}  // namespace

CQVX_EthernetComm::CQVX_EthernetComm(const CString& host, const QVXREMOTEPOLLDATA& record)
    : m_host(host), m_udpPort(RemotePollPort(record))
{
    SetName(CString("QvxNet@") + host);
}

CQVX_EthernetComm::~CQVX_EthernetComm() = default;

void CQVX_EthernetComm::SetStatistics(CCommStatistics* statistics)
{
    m_statistics = statistics;
    if (m_thread)
        m_thread->SetStatistics(statistics);
}

int CQVX_EthernetComm::ConnectState() { return m_thread ? m_thread->GetState() : kSocketIdle; }

bool CQVX_EthernetComm::EnsureConnected()
{
    if (!m_thread) {
        m_thread = std::make_unique<CDSocketThread>();
        m_thread->SetStatistics(m_statistics);
        m_thread->SetReceiveListener([this] { WakeReader(); });
    }
    const int state = m_thread->GetState();
    if (state == kSocketConnected)
        return true;
    return state == kSocketIdle && m_thread->Connect(m_host, m_udpPort, 0) == 1 &&
           m_thread->GetState() == kSocketConnected;
}

int CQVX_EthernetComm::Write(int count, const BYTE* bytes)
{
    if (!m_thread || m_thread->GetState() != kSocketConnected || count <= 0)
        return 0;
    m_thread->GetSendList().Append(bytes, count);
    return 1;
}

int CQVX_EthernetComm::Read(int maximum, BYTE* buffer)
{
    if (!m_thread)
        return 0;
    if (m_thread->GetState() != kSocketConnected)
        return -2;
    return m_thread->GetReceiveList().Take(buffer, maximum);
}

int CQVX_EthernetComm::NextReadSize()
{
    return m_thread && m_thread->GetState() == kSocketConnected ? m_thread->GetReceiveList().PeekSize() : 0;
}

// Scans the datagram for a frame from the address; found tells whether one was there.
int CQVX_EthernetComm::FindIdentity(const BYTE* bytes, int count, int address, bool& found)
{
    for (int i = 0; i < count;) {
        const BYTE header = bytes[i];
        const int width = header >> 5;
        const int length = width + 4;
        if (width > 4 || i + length > count || bytes[i + length - 1] != static_cast<BYTE>(~header)) {
            ++i;
            continue;
        }
        if ((header & 31) == (address & 31)) {
            found = true;
            if (address == 0)
                return kFamilyCommModule;
            const int code = (bytes[i + 1] << 8) | bytes[i + 2];
            if (code != kCodeVer || width == 0)
                return 0;  // the module answered for the address, but no drive is there
            DWORD value = 0;
            for (int b = 0; b < width; ++b)
                value |= static_cast<DWORD>(bytes[i + 3 + b]) << (8 * b);
            return FamilyFromVersion(static_cast<LONG>(value));
        }
        i += length;
    }
    return 0;
}

int CQVX_EthernetComm::IdentifyDrive(int address)
{
    if (address < 0 || address > 31)
        return -1;
    if (!EnsureConnected())
        return -1;
    CDSocketThreadDataList& received = m_thread->GetReceiveList();
    received.RemoveAll();  // what came before the question is not its answer
    const BYTE header = static_cast<BYTE>(address);
    const BYTE request[] = {header, static_cast<BYTE>(kCodeVer >> 8), static_cast<BYTE>(kCodeVer & 0xFF),
                            static_cast<BYTE>(~header)};
    if (!Write(sizeof request, request))
        return -1;
    const auto start = std::chrono::steady_clock::now();
    BYTE buffer[CDSocketThread::kMaxDatagram];
    for (;;) {
        if (m_thread->GetState() != kSocketConnected)
            return -1;
        const int got = received.Take(buffer, sizeof buffer);
        if (got > 0) {
            bool found = false;
            const int family = FindIdentity(buffer, got, address, found);
            if (found)
                return family;
        }
        if (std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(kIdentifyWaitMs))
            return -2;
        if (got <= 0)
            Sleep(1);
    }
}

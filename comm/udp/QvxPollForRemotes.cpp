#include "comm/udp/QvxPollForRemotes.h"

#include <chrono>

#include "platform/core/MessageBox.h"

void CQvxPollForRemotes::SetTarget(const CString& address, UINT port)
{
    m_targetAddress = address.IsEmpty() ? CString(kRemotePollAddress) : address;
    m_targetPort = port ? port : kRemotePollPort;
}

int CQvxPollForRemotes::PollForRemotes(CQvxRemotePollDataMap& map)
{
    m_map = &map;
    m_ignored = 0;
    if (!Create(0, FD_READ | FD_WRITE) || !SetBroadcast(TRUE) || !SetNonBlocking(TRUE)) {
        Close();
        return -1;
    }
    const BYTE poll[] = {kRemotePollSignature0, kRemotePollSignature1};
    if (SendTo(poll, sizeof poll, m_targetPort, m_targetAddress, MSG_DONTROUTE_FLAG) != static_cast<int>(sizeof poll)) {
        Close();
        return -1;
    }
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        if (elapsed >= kPollMs || !IsOpen())
            break;
        if (WaitReadable(static_cast<int>(std::min<long long>(10, kPollMs - elapsed))))
            OnReceive(0);
    }
    Close();
    m_map = nullptr;
    return map.GetCount();
}

void CQvxPollForRemotes::OnReceive(int /*error*/)
{
    // One byte more than a record, so an oversized answer is told from a record.
    BYTE bytes[sizeof(QVXREMOTEPOLLDATA) + 1];
    CString address;
    UINT port = 0;
    const int got = ReceiveFrom(bytes, sizeof bytes, address, port);
    if (got < 0) {
        if (GetLastError() != WSAEWOULDBLOCK) {
            AfxEngineMessageBox("Network error occurred", "Korvane", MB_OK);
            Close();
        }
        return;
    }
    if (m_map)
        FileAnswer(bytes, got, address, *m_map);
}

void CQvxPollForRemotes::FileAnswer(const BYTE* bytes, int count, const CString& address, CQvxRemotePollDataMap& map)
{
    // An empty datagram is skipped; it says nothing about any module.
    if (!bytes || count < 2 || bytes[0] != kRemotePollSignature0 || bytes[1] != kRemotePollSignature1) {
        ++m_ignored;
        return;
    }
    map.File(address, MakeRemotePollData(bytes, std::min<int>(count, sizeof(QVXREMOTEPOLLDATA))));
}

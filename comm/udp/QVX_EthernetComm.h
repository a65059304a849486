// CQVX_EthernetComm: a link port to a communications module on the network.
// The socket work runs on its CDSocketThread; reads and writes meet it only
// in the thread's datagram lists.
#pragma once

#include <memory>

#include "comm/link/QVXCommPort.h"
#include "comm/udp/DSocketThread.h"
#include "comm/udp/QvxRemotePollData.h"

class CQVX_EthernetComm : public CQVXCommPort {
public:
    // The module's host and its discovery record (the record gives the UDP port).
    CQVX_EthernetComm(const CString& host, const QVXREMOTEPOLLDATA& record);
    ~CQVX_EthernetComm() override;

    // 0 without a socket thread or unless connected; else the bytes become one datagram: 1.
    int Write(int count, const BYTE* bytes) override;
    // 0 without a socket thread; -2 unless connected; else the oldest datagram's size,
    // 0 when none waits, -1 when it is larger than the buffer (it is dropped).
    int Read(int maximum, BYTE* buffer) override;
    int NextReadSize() override;
    // Each datagram that arrives wakes the manager, so it can rest between them.
    bool WakesReader() override { return true; }
    // Asks the drive for its version through the link: 8 for the module at 0,
    // 2 or 4 for a drive, 0 when the address answers without a version, -2
    // when nothing answers, -1 when the link cannot be set up.
    int IdentifyDrive(int address) override;
    // Nothing to purge or to hold: a datagram link has no line state. Synchronous
    // mode keeps the base's success, so its caller always leaves it again.
    int Purge(int /*what*/) override { return 0; }
    int GetPortKind() override { return 0; }

    void SetStatistics(CCommStatistics* statistics);
    CDSocketThread* GetSocketThread() { return m_thread.get(); }

protected:
    // Connects the socket thread (made on first use) when it is idle; true when connected.
    bool EnsureConnected();
    int ConnectState();

    CString m_host;
    WORD m_udpPort = 0;
    std::unique_ptr<CDSocketThread> m_thread;
    CCommStatistics* m_statistics = nullptr;

private:
    int FindIdentity(const BYTE* bytes, int count, int address, bool& found);
};

// A communications module on the network for tests and benchmarks: the demo
// simulator's register model and frame answering behind a UDP socket on
// loopback. Each datagram is answered at once with one datagram; what the
// drives send on their own (poll slots) goes to the last peer. With a poll
// port it also answers the discovery poll with its 54-byte record.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "comm/demo/CommunicationsModuleSimulator.h"
#include "comm/udp/QvxRemotePollData.h"

class SimulatedNetworkModule {
public:
    // address: the loopback address the module's link socket binds (any 127.x.y.z).
    explicit SimulatedNetworkModule(const char* address = "127.0.0.1", const char* name = "QvxModule");
    ~SimulatedNetworkModule();
    SimulatedNetworkModule(const SimulatedNetworkModule&) = delete;
    SimulatedNetworkModule& operator=(const SimulatedNetworkModule&) = delete;

    // pollPort: the discovery port to listen on, shared with other modules; 0
    // takes a free one (PollPort() tells which); -1 answers no polls.
    bool Start(int pollPort = -1);
    void Stop();

    const std::string& Address() const { return m_address; }
    UINT LinkPort() const { return m_linkPort; }
    int PollPort() const { return m_pollPort; }
    QVXREMOTEPOLLDATA Record() const;
    CCommunicationsModuleSimulator& Simulator() { return m_simulator; }

    // Replaces the bytes answered to a poll (a wrong signature, a short record...).
    void SetPollAnswer(const std::vector<BYTE>& bytes);
    // Sends bytes to the link's last peer as one datagram, outside the answering.
    bool SendToPeer(const std::vector<BYTE>& bytes);
    // Stops answering link datagrams (they are still counted).
    void SetSilent(bool silent) { m_silent = silent; }
    int DatagramsReceived() const { return m_received; }
    int PollsReceived() const { return m_polls; }

private:
    void Run();
    void AnswerLink();
    void AnswerPoll();
    void SendOutput();

    std::string m_address;
    std::string m_name;
    CCommunicationsModuleSimulator m_simulator;
    int m_linkFd = -1;
    int m_pollFd = -1;
    UINT m_linkPort = 0;
    int m_pollPort = -1;
    std::mutex m_peerLock;
    bool m_hasPeer = false;
    struct { unsigned char bytes[16]; } m_peer{};
    std::vector<BYTE> m_pollAnswer;
    std::atomic<bool> m_silent{false};
    std::atomic<bool> m_running{false};
    std::atomic<int> m_received{0};
    std::atomic<int> m_polls{0};
    std::thread m_thread;
};

// The UDP link on loopback: the port and its socket thread against a
// simulated network module, and the whole engine through the port.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "CommTestSupport.h"
#include "comm/link/LinkPortFactory.h"
#include "comm/protocol/AmpCommand.h"
#include "comm/protocol/AmpErrors.h"
#include "comm/udp/QVX_UDPCommPort.h"
#include "platform/core/MessageBox.h"
#include "testing/SimulatedNetworkModule.h"
#include "testing/TempDir.h"
#include "testing/WaitFor.h"

namespace {

std::string Log()
{
    std::string text;
    for (const CString& line : AfxTakeScriptedMessageLog())
        text += std::string(line.GetString()) + "\n";
    return text;
}

QVXREMOTEPOLLDATA RecordFor(UINT port)
{
    QVXREMOTEPOLLDATA record{};
    record.signature[0] = kRemotePollSignature0;
    record.signature[1] = kRemotePollSignature1;
    record.port[0] = static_cast<BYTE>(port & 0xFF);
    record.port[1] = static_cast<BYTE>(port >> 8);
    return record;
}

// A UDP port on loopback that nothing listens on.
UINT DeadPort()
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    socklen_t length = sizeof local;
    getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
    close(fd);
    return ntohs(local.sin_port);
}

std::vector<BYTE> ReadDatagram(CQVX_UDPCommPort& port, int size = 4100)
{
    std::vector<BYTE> bytes(static_cast<size_t>(size));
    int got = 0;
    WaitFor([&] { return (got = port.Read(size, bytes.data())) != 0; });
    bytes.resize(static_cast<size_t>(std::max(got, 0)));
    return bytes;
}

class UdpPortTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.Start()); }

    TestAppServices app;
    SimulatedNetworkModule module;
};

}  // namespace

TEST_F(UdpPortTest, WritesAndReadsWholeDatagramsOnceConnected)
{
    CQVX_UDPCommPort port("127.0.0.1", module.Record());
    const BYTE readVersion[] = {0x01, 0x58, 0xB2, 0xFE};
    EXPECT_EQ(port.Write(4, readVersion), 0) << "nothing is sent before the connection is up";
    EXPECT_EQ(port.Read(100, nullptr), 0) << "no socket thread yet";
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(port.GetOpenState(), 1);
    EXPECT_EQ(module.DatagramsReceived(), 0);
    EXPECT_EQ(app.m_commStatus, kCommAllDrives);

    ASSERT_EQ(port.Write(4, readVersion), 1);
    const std::vector<BYTE> reply = ReadDatagram(port);
    ASSERT_GE(reply.size(), 8u);
    EXPECT_EQ(reply[0], 0x81);  // width 4, drive 1
    EXPECT_EQ(reply[3] | (reply[4] << 8), 416);
    EXPECT_EQ(module.DatagramsReceived(), 1);
}

TEST_F(UdpPortTest, OversizedDatagramIsDroppedAndLaterOnesStillCome)
{
    CQVX_UDPCommPort port("127.0.0.1", module.Record());
    ASSERT_EQ(port.Open(), 1);
    const BYTE hello[] = {0};
    port.Write(1, hello);  // lets the module learn where we are
    ASSERT_TRUE(WaitFor([&] { return module.DatagramsReceived() == 1; }));
    ASSERT_TRUE(module.SendToPeer(std::vector<BYTE>(20, 0x55)));
    ASSERT_TRUE(module.SendToPeer({1, 2, 3}));
    ASSERT_TRUE(WaitFor([&] { return port.NextReadSize() == 20; }));
    BYTE small[10];
    EXPECT_EQ(port.Read(sizeof small, small), -1);
    ASSERT_TRUE(WaitFor([&] { return port.NextReadSize() == 3; }));
    EXPECT_EQ(port.Read(sizeof small, small), 3);
    EXPECT_EQ(port.Read(sizeof small, small), 0);

    // Larger than the link ever takes: dropped by the socket thread and counted.
    CCommStatistics statistics;
    port.SetStatistics(&statistics);
    ASSERT_TRUE(module.SendToPeer(std::vector<BYTE>(CDSocketThread::kMaxDatagram + 1, 0)));
    ASSERT_TRUE(WaitFor([&] { return port.GetSocketThread()->GetOversizedCount() == 1; }));
    EXPECT_EQ(statistics.GetStatistics(kStatRxFrameError)->GetCount(), 1);
    EXPECT_EQ(port.Read(4100, std::vector<BYTE>(4100).data()), 0);
}

// A reader that stalls while a sender floods the module address: the queue
// stops growing at its bound, and each datagram dropped counts as an error.
TEST_F(UdpPortTest, AFloodWhileNobodyReadsIsBoundedAndCounted)
{
    CQVX_UDPCommPort port("127.0.0.1", module.Record());
    ASSERT_EQ(port.Open(), 1);
    CCommStatistics statistics;
    port.SetStatistics(&statistics);
    const BYTE hello[] = {0};
    port.Write(1, hello);
    ASSERT_TRUE(WaitFor([&] { return module.DatagramsReceived() == 1; }));
    const int sent = CDSocketThreadDataList::kMaxItems + 40;
    int delivered = 0;
    for (int i = 0; i < sent; ++i) {
        ASSERT_TRUE(module.SendToPeer(std::vector<BYTE>(CDSocketThread::kMaxDatagram, 0x11)));
        // Paced so the socket's own buffer never drops what the list could take.
        WaitFor([&] { return port.GetSocketThread()->GetReceiveList().GetCount() +
                                 port.GetSocketThread()->GetDroppedCount() > i; });
        delivered = i + 1;
    }
    ASSERT_EQ(delivered, sent);
    CDSocketThread* thread = port.GetSocketThread();
    ASSERT_TRUE(WaitFor([&] { return thread->GetReceiveList().GetCount() + thread->GetDroppedCount() == sent; }));
    EXPECT_EQ(thread->GetReceiveList().GetCount(), CDSocketThreadDataList::kMaxItems);
    EXPECT_EQ(statistics.GetStatistics(kStatRxFrameError)->GetCount(), sent - CDSocketThreadDataList::kMaxItems);
    EXPECT_EQ(port.NextReadSize(), CDSocketThread::kMaxDatagram) << "what was queued still reads";
}

TEST_F(UdpPortTest, ReadFaultHoldsUntilTheLinkIsReopenedOnTheSameThread)
{
    CQVX_UDPCommPort port("127.0.0.1", RecordFor(DeadPort()));
    ASSERT_EQ(port.Open(), 1);
    CDSocketThread* thread = port.GetSocketThread();
    const BYTE frame[] = {0x01, 0x58, 0xB2, 0xFE};
    ASSERT_EQ(port.Write(4, frame), 1);
    // Nobody listens: the refusal comes back as a read fault.
    BYTE buffer[100];
    ASSERT_TRUE(WaitFor([&] { return port.Read(sizeof buffer, buffer) == -2; }));
    EXPECT_EQ(port.Read(sizeof buffer, buffer), -2);
    EXPECT_EQ(port.Write(4, frame), 0);
    EXPECT_EQ(app.m_commStatus, kCommAllDrivesLost);
    const auto alerts = app.TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].key, "SOCKET_READ_FAULT");
    EXPECT_EQ(alerts[0].text.rfind("Network read error.", 0), 0u);
    EXPECT_EQ(alerts[0].level, 5);
    EXPECT_EQ(alerts[0].flags, 2);

    EXPECT_EQ(port.Close(), 1);
    EXPECT_EQ(port.GetOpenState(), 0);
    EXPECT_EQ(port.Read(sizeof buffer, buffer), -2) << "closed is not connected";
    ASSERT_EQ(port.Open(), 1);
    EXPECT_EQ(port.GetSocketThread(), thread);
    EXPECT_EQ(port.Read(sizeof buffer, buffer), 0);
}

TEST_F(UdpPortTest, ConnectFailureRaisesTheAlertAndLeavesThePortFailed)
{
    // Connecting to the broadcast address without permission to broadcast fails at once.
    CQVX_UDPCommPort port("255.255.255.255", module.Record());
    EXPECT_EQ(port.Open(), 0);
    EXPECT_EQ(port.GetOpenState(), 2);
    EXPECT_EQ(port.GetSocketThread()->GetState(), kSocketIdle);
    EXPECT_EQ(app.m_commStatus, kCommAllDrivesLost);
    const auto alerts = app.TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].key, "SOCKET_READ_FAULT");
    EXPECT_EQ(alerts[0].text.rfind("Network connection error.", 0), 0u);
    CQVX_UDPCommPort unnamed("", module.Record());
    EXPECT_EQ(unnamed.Open(), 0);
}

TEST_F(UdpPortTest, IdentifiesTheModuleAndItsDrivesThroughTheLink)
{
    CQVX_UDPCommPort port("127.0.0.1", module.Record());
    EXPECT_EQ(port.IdentifyDrive(0), kFamilyCommModule);
    EXPECT_EQ(port.IdentifyDrive(1), kFamilyKreln);
    EXPECT_EQ(port.IdentifyDrive(2), kFamilyTavro);
    EXPECT_EQ(port.IdentifyDrive(7), 0) << "the module answers for an address with no drive";
    module.SetSilent(true);
    EXPECT_EQ(port.IdentifyDrive(1), -2);
}

TEST_F(UdpPortTest, DatagramTheRingCannotTakeYetWaitsForTheNextRead)
{
    FrozenClock clock;
    TestableCommManager manager;
    auto* port = new CQVX_UDPCommPort("127.0.0.1", module.Record());
    ASSERT_EQ(port->Open(), 1);
    struct Attacher : TestableCommManager {
        using CCommManager::AttachPort;
    };
    static_cast<Attacher&>(manager).AttachPort(port, TRUE);
    const BYTE hello[] = {0};
    port->Write(1, hello);
    ASSERT_TRUE(WaitFor([&] { return module.DatagramsReceived() == 1; }));
    const std::vector<BYTE> filler(1500, 0);
    manager.GetReceiveRing().Write(filler.data(), static_cast<int>(filler.size()));
    ASSERT_TRUE(module.SendToPeer(std::vector<BYTE>(1000, 0)));
    ASSERT_TRUE(WaitFor([&] { return port->NextReadSize() == 1000; }));
    EXPECT_EQ(manager.ReadPort(0), 0);
    EXPECT_EQ(port->NextReadSize(), 1000) << "kept for the next read";
    manager.GetReceiveRing().Clear();
    EXPECT_EQ(manager.ReadPort(0), 1);
    EXPECT_EQ(manager.GetReceiveRing().GetCount(), 1000);
}

namespace {

class UdpLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(module.Start());
        app.m_iniPath = home.File("kvsettings.ini");
        app.m_assignments = {{0, "Module"}, {1, "Kreln"}, {2, "Tavro"}};
        factory.m_made = &m_made;
        manager.SetPortFactory(&factory);
        settings.m_linkType = kLinkUdp;
        settings.m_remoteName = "127.0.0.1";
        settings.m_description = "QvxNet@127.0.0.1";
        const QVXREMOTEPOLLDATA record = module.Record();
        std::memcpy(settings.m_remoteRecord, &record, sizeof record);
        AfxTakeScriptedMessageLog();
    }
    void TearDown() override { manager.CloseCommunications(); }
    CQVXCommPort* factoryPort() { return m_made; }

    CAmpResponseToDistMngr Ask(int address, const char* mnemonic, LONG value = 0, int width = 0, WORD flags = 0)
    {
        manager.SubmitJob(Job(address, MnemonicToCode(mnemonic), value, width, flags));
        return Wait(m_lastJobId);
    }
    CAmpQryCmdFromDistMngr Job(int address, int code, LONG value, int width, WORD flags)
    {
        CAmpQryCmdFromDistMngr job;
        job.m_address = static_cast<BYTE>(address);
        job.m_code = static_cast<WORD>(code);
        job.SetValue(value, static_cast<BYTE>(width));
        job.m_jobId = ++m_lastJobId;
        job.m_jobFlags = flags;
        return job;
    }
    CAmpResponseToDistMngr Wait(DWORD jobId)
    {
        CAmpResponseToDistMngr response;
        EXPECT_TRUE(WaitFor([&] {
            while (manager.GetResponseList().PopResponse(response))
                if (response.m_jobId == jobId)
                    return true;
            return false;
        }));
        return response;
    }
    LONG Model(int address, const char* mnemonic)
    {
        LONG value = 0;
        module.Simulator().Model().GetRegister(address, MnemonicToCode(mnemonic), value);
        return value;
    }

    TempDir home;
    TestAppServices app;
    SimulatedNetworkModule module;
    CCommManager manager;
    struct KeepingFactory : CLinkPortFactory {
        using CLinkPortFactory::CLinkPortFactory;
        CQVXCommPort* CreateUdpPort(const CString& name, const BYTE* record) override
        {
            return *m_made = CLinkPortFactory::CreateUdpPort(name, record);
        }
        CQVXCommPort** m_made = nullptr;
    };
    CQVXCommPort* m_made = nullptr;
    KeepingFactory factory{manager};
    CCommLinkSettings settings;
    DWORD m_lastJobId = 0;
};

}  // namespace

TEST_F(UdpLinkTest, OpensScansAndReachesTheModulesRegisters)
{
    ASSERT_EQ(manager.OpenCommunications(settings), 1) << Log();
    EXPECT_EQ(manager.GetPortName(), "QvxNet@127.0.0.1");
    const auto drives = app.Connected();
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives[0].m_family, kFamilyCommModule);
    EXPECT_EQ(drives[1].m_family, kFamilyKreln);
    EXPECT_EQ(drives[2].m_family, kFamilyTavro);

    EXPECT_EQ(Ask(1, "VER").m_value, 416);
    EXPECT_EQ(Ask(2, "CS", 42, 1, kJobReplyOnWriteSuccess).m_error, 0);
    EXPECT_EQ(Model(2, "CS"), 42);
    EXPECT_EQ(Ask(2, "CS").m_value, 42);
    EXPECT_EQ(Ask(1, "ZZZ").m_error, AMP_ERR_INVALID_COMMAND);
}

TEST_F(UdpLinkTest, PollSlotsStreamAndRepliesCarryTimeStamps)
{
    ASSERT_EQ(manager.OpenCommunications(settings), 1) << Log();
    // The drive's poll slot streams its register on its own; the trace sees every frame read.
    struct Tracer : CCommManagerTraceClient {
        int Count(int address, int code)
        {
            int count = 0;
            CAmpMsg message;
            DWORD tag;
            while (GetNextItem(message, tag))
                count += tag == 0 && message.m_address == address && message.m_code == code;
            return count;
        }
    } tracer;
    manager.AddClient(&tracer);
    const int sia = MnemonicToCode("SIA");
    EXPECT_EQ(Ask(1, "OSA", (20 << 16) | ((sia & 0xFF) << 8) | (sia >> 8), 4, kJobReplyOnWriteSuccess).m_error, 0);
    int streamed = 0;
    EXPECT_TRUE(WaitFor([&] { return (streamed += tracer.Count(1, sia)) >= 5; }));
    Ask(1, "OSA", 0, 4, kJobReplyOnWriteSuccess);
    manager.RemoveClient(&tracer);

    const auto stamped = Ask(1, "VER", 0, 0, kJobPollSlotData);
    EXPECT_EQ(stamped.m_value, 416);
    // The first read switches time stamps on; later replies carry one.
    EXPECT_TRUE(WaitFor([&] { return Ask(1, "VER", 0, 0, kJobPollSlotData).m_timeStampValid == 1; }));
}

TEST_F(UdpLinkTest, CloseAndReopenReachTheModuleAgain)
{
    ASSERT_EQ(manager.OpenCommunications(settings), 1);
    Ask(1, "CS", 7, 1, kJobReplyOnWriteSuccess);
    manager.CloseCommunications();
    EXPECT_FALSE(manager.IsOpen());
    ASSERT_EQ(manager.OpenCommunications(settings), 1) << Log();
    EXPECT_EQ(Ask(1, "CS").m_value, 7) << "the module kept its registers";
}

TEST_F(UdpLinkTest, NoModuleMeansNoDrivesAndNoLink)
{
    const QVXREMOTEPOLLDATA record = RecordFor(DeadPort());
    std::memcpy(settings.m_remoteRecord, &record, sizeof record);
    EXPECT_EQ(manager.OpenCommunications(settings), 0);
    EXPECT_FALSE(manager.IsOpen());
}

TEST_F(UdpLinkTest, BadDatagramsAreDroppedAndCountedWhileTheLinkGoesOn)
{
    ASSERT_EQ(manager.OpenCommunications(settings), 1);
    const std::vector<std::vector<BYTE>> bad = {
        {0x81},                                    // short
        {0x81, 0x58, 0xB2, 0x01, 0x02, 0x03, 0x04, 0x00},  // wrong check byte
        {0xFF, 0xFF, 0xFF, 0xFF, 0x13, 0x37},      // garbage
        std::vector<BYTE>(CDSocketThread::kMaxDatagram + 10, 0xA5),  // oversized
    };
    for (const auto& datagram : bad) {
        ASSERT_TRUE(module.SendToPeer(datagram));
        EXPECT_EQ(Ask(2, "VER").m_value, 510);
    }
    EXPECT_GT(manager.GetStatistics().GetStatistics(kStatRxFrameError)->GetCount(), 0);

    // Another sender's answer never reaches a connected socket.
    auto* port = static_cast<CQVX_UDPCommPort*>(factoryPort());
    ASSERT_NE(port, nullptr);
    const UINT local = port->GetSocketThread()->GetLocalPort();
    ASSERT_NE(local, 0u);
    const int stranger = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(local));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const BYTE forged[] = {0x81, 0x58, 0xB2, 0xE7, 0x03, 0x00, 0x00, 0x7E};  // VER = 999 from drive 1
    for (int i = 0; i < 20; ++i)
        sendto(stranger, forged, sizeof forged, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    close(stranger);
    EXPECT_EQ(Ask(1, "VER").m_value, 416);
    EXPECT_EQ(Ask(1, "VER").m_value, 416);
}

TEST_F(UdpLinkTest, SynchronousModeTalksToTheModuleDirectly)
{
    ASSERT_EQ(manager.OpenCommunications(settings), 1);
    ASSERT_EQ(manager.EnterSynchronousMode(), 1);
    CAmpResponseMsg response;
    EXPECT_EQ(manager.SendReceiveSynchronous(CAmpMsg(2, static_cast<WORD>(MnemonicToCode("VER")), 0, 0), response, 500),
              1);
    EXPECT_EQ(response.m_value, 510);
    manager.LeaveSynchronousMode();
    EXPECT_EQ(Ask(1, "VER").m_value, 416) << "the cycle runs again";
}

#include <algorithm>
#include <termios.h>

#include "SerialLinkTestSupport.h"
#include "comm/protocol/AmpErrors.h"
#include "platform/core/Clock.h"

using namespace std::chrono_literals;

namespace {

constexpr int kTre = 21061;
constexpr int kTss = 21107;
constexpr int kTsr = 21106;
constexpr int kVrm = 23117;
constexpr int kOsa = 15969;
constexpr int kPosition = 0x4142;  // any drive register

using SerialLinkPort = SerialLinkFixture;

TEST_F(SerialLinkPort, RequestsAndRepliesAreByteExactOnOneDrive)
{
    sim.AddDrive(2, 650);
    sim.SetRegister(2, kPosition, -2, 2);
    sim.Start();
    Connect(2, kFamilyTavro);
    OpenPort();

    Send(LinkFrame(2, kVer, 0, 0));
    EXPECT_EQ(LinkFrame(2, kVer, 650, 2), Receive(6));
    Send(LinkFrame(2, kPosition, 0, 0));
    EXPECT_EQ(LinkFrame(2, kPosition, 0xFFFE, 2), Receive(6));
    Send(LinkFrame(2, kPosition, 0x01020304, 4));
    ASSERT_TRUE(WaitFor([&] { return sim.RequestCount() == 3; }));
    EXPECT_EQ((std::vector<Bytes>{{0x02, 0x58, 0xB2, 0xFD},
                                  {0x02, 0x41, 0x42, 0xFD},
                                  {0x82, 0x41, 0x42, 0x04, 0x03, 0x02, 0x01, 0x7D}}),
              sim.TakeRequests());
    ASSERT_TRUE(WaitFor([&] { return sim.GetRegister(2, kPosition).first == 0x01020304; }));
    // Writes are not echoed until the manager asks for it.
    EXPECT_TRUE(Receive(1, 50ms).empty());
}

TEST_F(SerialLinkPort, APacedLineTakesTheWireTimeOfRequestAndReply)
{
    sim.AddDrive(1, 450);
    sim.SetBaudRate(9600);  // 1.04 ms a byte
    sim.Start();
    Connect(1, kFamilyKreln);
    OpenPort();
    const auto start = std::chrono::steady_clock::now();
    Send(LinkFrame(1, kVer, 0, 0));
    EXPECT_EQ(LinkFrame(1, kVer, 450, 2), Receive(6));
    // Four bytes out and five back.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(9 * 1041));
}

TEST_F(SerialLinkPort, RequestsArePaddedToEightBytesOnAMultiDropLine)
{
    sim.AddDrive(2, 650);
    sim.AddDrive(31, 450);
    sim.Start();
    Connect(2, kFamilyTavro);
    Connect(31, kFamilyKreln);
    OpenPort();

    Send(LinkFrame(2, kVer, 0, 0));
    EXPECT_EQ(LinkFrame(2, kVer, 650, 2), Receive(6));
    // Address 31 goes out as 0, and its reply from 0 counts as 31.
    Send(LinkFrame(31, kVer, 0, 0));
    EXPECT_EQ(LinkFrame(31, kVer, 450, 2), Receive(6));
    Send(LinkFrame(2, kPosition, 7, 1));
    Send(LinkFrame(2, kPosition, 0x01020304, 4));
    ASSERT_TRUE(WaitFor([&] { return sim.RequestCount() == 4; }));
    EXPECT_EQ((std::vector<Bytes>{{0x02, 0x58, 0xB2, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF},
                                  {0x00, 0x58, 0xB2, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                                  {0x22, 0x41, 0x42, 0x07, 0xDD, 0xFF, 0xFF, 0xFF},
                                  {0x82, 0x41, 0x42, 0x04, 0x03, 0x02, 0x01, 0x7D}}),
              sim.TakeRequests());
}

TEST_F(SerialLinkPort, BadRequestsAndBadRepliesGiveErrorFrames)
{
    auto& drive = sim.AddDrive(3, 650);
    sim.Start();
    Connect(3, kFamilyTavro);
    OpenPort();

    // A link frame with a wrong check byte never reaches the line.
    Bytes corrupt = LinkFrame(3, kVer, 0, 0);
    corrupt.back() ^= 0x10;
    Send(corrupt);
    EXPECT_EQ(ErrorFrame(3, kVer, AMP_ERR_CRC), Receive(7));
    // An address that is not connected is refused without traffic.
    Send(LinkFrame(4, kVer, 0, 0));
    EXPECT_EQ(ErrorFrame(4, kVer, AMP_ERR_INVALID_ADDRESS), Receive(7));
    EXPECT_EQ(0, sim.RequestCount());

    // The drive's own error is handed on at once, without a retry.
    drive.errorCode = 1;
    Send(LinkFrame(3, kPosition, 0, 0));
    EXPECT_EQ(ErrorFrame(3, kPosition, 1), Receive(7));
    EXPECT_EQ(1, drive.requests.load());
    drive.errorCode = 0;

    // A corrupt reply is tried three times, each counted.
    drive.corruptCheck = true;
    Send(LinkFrame(3, kPosition, 0, 0));
    EXPECT_EQ(ErrorFrame(3, kPosition, AMP_ERR_CRC), Receive(7));
    EXPECT_EQ(4, drive.requests.load());
    EXPECT_EQ(3, StatCount(kStatDriveCrcError));
    EXPECT_EQ(3, StatCount(kStatDriveCrcError, 3));
    EXPECT_EQ(3, StatCount(kStatSerialRetry));
    drive.corruptCheck = false;

    // A reply from the wrong drive is a retry too; the drive stays connected.
    drive.answerAs = 5;
    Send(LinkFrame(3, kPosition, 0, 0));
    EXPECT_EQ(ErrorFrame(3, kPosition, AMP_ERR_INVALID_MESSAGE), Receive(7));
    EXPECT_EQ(7, drive.requests.load());
    EXPECT_EQ(3, StatCount(kStatRxFrameError, 3));
    EXPECT_EQ(6, StatCount(kStatSerialRetry));
    EXPECT_EQ(0, port->GetLostDriveCount());
    drive.answerAs = -1;

    // A late answer within the time-out is still taken.
    drive.lateMs = 120;
    Send(LinkFrame(3, kVer, 0, 0));
    EXPECT_EQ(LinkFrame(3, kVer, 650, 2), Receive(6));
}

// The reply is awaited on the line until the time-out, not in steps: a drive
// answering inside it costs no retry, one answering past it is timed out once
// and its late reply then answers the retry.
TEST_F(SerialLinkPort, ALateDriveIsTimedOutAtTheDeadlineOnly)
{
    auto& drive = sim.AddDrive(3, 650);
    sim.Start();
    Connect(3, kFamilyTavro);
    OpenPort();

    drive.lateMs = 150;
    Send(LinkFrame(3, kVer, 0, 0));
    EXPECT_EQ(LinkFrame(3, kVer, 650, 2), Receive(6));
    EXPECT_EQ(1, drive.requests.load());
    EXPECT_EQ(0, StatCount(kStatReplyTimeout));

    drive.lateMs = 260;
    const auto start = std::chrono::steady_clock::now();
    Send(LinkFrame(3, kVer, 0, 0));
    EXPECT_EQ(LinkFrame(3, kVer, 650, 2), Receive(6));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 260ms);
    EXPECT_TRUE(WaitFor([&] { return drive.requests.load() == 3; }));  // the retry went out
    EXPECT_EQ(1, StatCount(kStatReplyTimeout, 3));
    EXPECT_EQ(1, StatCount(kStatSerialRetry));
    EXPECT_EQ(0, port->GetLostDriveCount());
}

TEST_F(SerialLinkPort, ASilentDriveIsLostThenProbedBack)
{
    auto& drive = sim.AddDrive(1, 450);
    sim.AddDrive(2, 650);
    sim.Start();
    Connect(1, kFamilyKreln);
    Connect(2, kFamilyTavro);
    OpenPort();

    drive.silent = true;
    Send(LinkFrame(1, kPosition, 0, 0));
    EXPECT_EQ(ErrorFrame(1, kPosition, AMP_ERR_DRIVE_OFFLINE), Receive(7));
    EXPECT_EQ(3, drive.requests.load());
    EXPECT_EQ(3, StatCount(kStatSerialRetry));
    EXPECT_EQ(3, StatCount(kStatReplyTimeout));
    EXPECT_EQ(3, StatCount(kStatReplyTimeout, 1));
    EXPECT_EQ(1, app.CountAlerts("SER_COMM_LOSTCONNECTION"));
    EXPECT_EQ(kCommSomeDrivesLost, app.Status());

    // While lost, a request is answered at once from the list.
    const int before = drive.requests;
    Send(LinkFrame(1, kPosition, 0, 0));
    EXPECT_EQ(ErrorFrame(1, kPosition, AMP_ERR_DRIVE_OFFLINE), Receive(7, 150ms));
    EXPECT_LE(drive.requests - before, 1);  // at most a probe

    drive.silent = false;
    ASSERT_TRUE(WaitFor([&] { return app.CountAlerts("SER_COMM_REESTABLISHED") == 1; }, 4s));
    EXPECT_EQ(kCommAllDrives, app.Status());
    EXPECT_TRUE(app.Reconnected());
    // Whoever reacts to the alert finds the flag already set.
    for (const auto& alert : app.Alerts()) {
        if (alert.key == "SER_COMM_REESTABLISHED") {
            EXPECT_TRUE(alert.reconnected);
        }
    }
    EXPECT_FALSE(app.TypeChanged());
    Send(LinkFrame(1, kVer, 0, 0));
    EXPECT_EQ(LinkFrame(1, kVer, 450, 2), Receive(6));

    // Back with another version, it is another kind of drive.
    drive.silent = true;
    Send(LinkFrame(1, kVer, 0, 0));
    EXPECT_EQ(ErrorFrame(1, kVer, AMP_ERR_DRIVE_OFFLINE), Receive(7));
    sim.SetRegister(1, kVer, 700, 2);
    drive.silent = false;
    ASSERT_TRUE(WaitFor([&] { return app.CountAlerts("SER_COMM_REESTABLISHED") == 2; }, 4s));
    const auto alerts = app.Alerts();
    const auto second = std::find_if(alerts.rbegin(), alerts.rend(),
                                      [](const auto& alert) { return alert.key == "SER_COMM_REESTABLISHED"; });
    EXPECT_TRUE(second->typeChanged);
}

TEST_F(SerialLinkPort, TheOnlyDriveLostMeansAllDrivesLost)
{
    auto& drive = sim.AddDrive(1, 450);
    sim.Start();
    Connect(1, kFamilyKreln);
    OpenPort();
    drive.lateMs = 700;  // later than all three tries: no answer at all
    Send(LinkFrame(1, kVer, 0, 0));
    EXPECT_EQ(ErrorFrame(1, kVer, AMP_ERR_DRIVE_OFFLINE), Receive(7));
    EXPECT_EQ(kCommAllDrivesLost, app.Status());
    EXPECT_EQ(1, app.CountAlerts("SER_COMM_LOSTCONNECTION"));
}

TEST_F(SerialLinkPort, TheModuleCommandsAreAnsweredByThePortItself)
{
    sim.AddDrive(1, 450);
    sim.Start();
    Connect(1, kFamilyKreln);
    OpenPort();

    // VRM 2 turns the echo on and is echoed; VRM 0 turns it off and is not.
    Send(LinkFrame(0, kVrm, 2, 1));
    EXPECT_EQ(LinkFrame(0, kVrm, 2, 1), Receive(5));
    Send(LinkFrame(1, kPosition, 300, 2));
    EXPECT_EQ(LinkFrame(1, kPosition, 300, 2), Receive(6));
    Send(LinkFrame(0, kVrm, 0, 1));
    Send(LinkFrame(1, kPosition, 301, 2));
    EXPECT_TRUE(Receive(1, 300ms).empty());
    EXPECT_EQ(301, sim.GetRegister(1, kPosition).first);

    // TSS 1000 sets the clock to a second; TRE 1 stamps every frame after.
    Send(LinkFrame(0, kTss, 1000, 2));
    Send(LinkFrame(0, kTre, 1, 1));
    Send(LinkFrame(1, kVer, 0, 0));
    Bytes got = Receive(6 + 6);
    ASSERT_EQ(12u, got.size());
    EXPECT_EQ(LinkFrame(1, kVer, 450, 2), Bytes(got.begin(), got.begin() + 6));
    EXPECT_EQ(0x40, got[6]);  // address 0, width 2: more than 127 ms and less than 32768
    EXPECT_EQ(kTsr, got[7] * 256 + got[8]);
    const int stamp = got[9] | (got[10] << 8);
    EXPECT_GE(stamp, 1000);
    EXPECT_LT(stamp, 3000);
    EXPECT_EQ(0, sim.RequestCount() - 3);  // only the two writes and the read reached the drive
}

TEST_F(SerialLinkPort, PollSlotsReadTheirRegisterEachPeriodUntilStopped)
{
    auto& drive = sim.AddDrive(1, 450);
    sim.SetRegister(1, kPosition, 77, 2);
    sim.Start();
    Connect(1, kFamilyKreln);
    OpenPort();

    // OSA's value: the code high and low byte, then the period in ms.
    const long slot = 0x4241 | (100L << 16);
    Send(LinkFrame(1, kOsa, slot, 4));
    Bytes got = Receive(12, 3s);
    ASSERT_EQ(12u, got.size());
    EXPECT_EQ(LinkFrame(1, kPosition, 77, 2), Bytes(got.begin(), got.begin() + 6));

    // A slot of a lost drive costs one error frame per period, not one per cycle.
    drive.silent = true;
    ASSERT_TRUE(WaitFor([&] {
        Receive(1000, 10ms);
        return port->GetLostDriveCount() == 1;
    }, 4s));
    Receive(1000, 150ms);  // the period that was running when the drive was marked lost
    const Bytes lost = Receive(1000, 500ms);
    EXPECT_GE(lost.size(), 7u);
    EXPECT_LE(lost.size(), 7u * 7);
    drive.silent = false;

    ASSERT_TRUE(WaitFor([&] { return port->GetLostDriveCount() == 0; }, 4s));
    // Synchronous mode holds the poll and empties the rings; leaving it resumes the poll.
    ASSERT_EQ(1, port->EnterSync());
    EXPECT_TRUE(Receive(1, 300ms).empty());
    port->LeaveSync();
    EXPECT_EQ(6u, Receive(6, 1s).size());
    Send(LinkFrame(1, kOsa, 0, 4));  // period 0 stops the slot
    Receive(1000, 250ms);
    EXPECT_TRUE(Receive(1, 250ms).empty()) << "more than two periods without a frame";
}

TEST_F(SerialLinkPort, AFrameWithAWidthAboveFourIsRefusedBeforeItIsRead)
{
    sim.AddDrive(1, 450);
    sim.Start();
    Connect(1, kFamilyKreln);
    OpenPort();
    // Width 7 would claim eleven bytes, running into the next frame.
    Bytes bytes = {0xE1};
    const Bytes read = LinkFrame(1, kVer, 0, 0);
    bytes.insert(bytes.end(), read.begin(), read.end());
    Send(bytes);
    EXPECT_EQ(LinkFrame(1, kVer, 450, 2), Receive(6));
    EXPECT_EQ(1, sim.RequestCount());
}

TEST_F(SerialLinkPort, ATransmitOverflowRefusesTheNewBytesAndKeepsTheQueuedFrames)
{
    OpenPort(false);  // no thread: nothing drains the ring
    const Bytes frame = LinkFrame(1, kVer, 0, 0);
    int stored = 0;
    while (port->Write(static_cast<int>(frame.size()), frame.data()))
        ++stored;
    EXPECT_EQ(4095 / 4, stored);
    EXPECT_EQ(1, app.CountAlerts("SER_TX_BUFF_OVRFLW"));
    // A smaller frame that still fits goes in after the refusal.
    const Bytes small = {0xAA, 0xBB, 0xCC};
    EXPECT_EQ(1, port->Write(3, small.data()));

    port->SetSilent(TRUE);
    EXPECT_EQ(0, port->Write(static_cast<int>(frame.size()), frame.data()));
    EXPECT_EQ(1, app.CountAlerts("SER_TX_BUFF_OVRFLW"));
}

TEST_F(SerialLinkPort, OpenAppliesTheSerialSettingsAndAHeldPortFailsToOpen)
{
    OpenPort(false);
    termios applied{};
    const int fd = open(sim.portPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    tcgetattr(fd, &applied);
    close(fd);
    EXPECT_EQ(B115200, cfgetospeed(&applied));
    EXPECT_EQ(static_cast<tcflag_t>(CS8), applied.c_cflag & CSIZE);
    EXPECT_EQ(0u, applied.c_cflag & (CSTOPB | CRTSCTS));
    EXPECT_EQ(0u, applied.c_iflag & (INPCK | IXON | IXOFF));
    EXPECT_EQ(0u, applied.c_lflag & (ICANON | ECHO));

    CQVXSerialCommPort second(sim.portPath().c_str(), 115200, 8, 0, 0);
    EXPECT_EQ(0, second.Open(TRUE));
    EXPECT_EQ(2, second.GetOpenState());
    EXPECT_EQ(kCommAllDrivesLost, app.Status());
    EXPECT_EQ(1, app.CountAlerts("SER_OPEN_ERROR"));
    EXPECT_EQ(-1, second.Read(10, nullptr));
    EXPECT_EQ(0, second.Write(1, nullptr));

    // A silent port (the interface chooser's test) fails quietly.
    CQVXSerialCommPort quiet(sim.portPath().c_str(), 115200, 8, 0, 0);
    quiet.SetSilent(TRUE);
    EXPECT_EQ(0, quiet.Open(FALSE));
    EXPECT_EQ(1, app.CountAlerts("SER_OPEN_ERROR"));
}

TEST_F(SerialLinkPort, IdentifyDriveTellsTheFamilyFromTheVersion)
{
    sim.AddDrive(1, 450);
    sim.AddDrive(2, 650);
    sim.AddDrive(3, 300);
    auto& silent = sim.AddDrive(4, 650);
    silent.silent = true;
    sim.Start();
    port = std::make_unique<CQVXSerialCommPort>(sim.portPath().c_str(), 115200, 8, 0, 0);
    EXPECT_EQ(kFamilyKreln, port->IdentifyDrive(1));
    EXPECT_EQ(kFamilyTavro, port->IdentifyDrive(2));
    EXPECT_EQ(kFamilyUnknown, port->IdentifyDrive(3));
    EXPECT_EQ(-2, port->IdentifyDrive(4));
    const auto requests = sim.TakeRequests();
    ASSERT_GE(requests.size(), 1u);
    EXPECT_EQ((Bytes{0x01, 0x58, 0xB2, 0xFE}), requests[0]);  // then the filler zero
}

TEST_F(SerialLinkPort, AnUnpluggedLineRaisesAnAlertAndClosesCleanly)
{
    sim.AddDrive(1, 450);
    sim.Start();
    Connect(1, kFamilyKreln);
    OpenPort();
    Send(LinkFrame(1, kVer, 0, 0));
    EXPECT_EQ(LinkFrame(1, kVer, 450, 2), Receive(6));

    sim.Unplug();
    Send(LinkFrame(1, kVer, 0, 0));
    const Bytes got = Receive(7);
    ASSERT_EQ(7u, got.size());
    EXPECT_TRUE(got == ErrorFrame(1, kVer, AMP_ERR_COMM_WRITE) || got == ErrorFrame(1, kVer, AMP_ERR_COMM_READ));
    EXPECT_EQ(1, app.CountAlerts("SER_WRITE_ERROR") + app.CountAlerts("SER_READ_TO_ERROR"));

    const ULONGLONG before = GetTickCount64();
    EXPECT_EQ(1, port->Close());
    EXPECT_LT(GetTickCount64() - before, 1000u);
    EXPECT_EQ(0, port->GetOpenState());
}

}  // namespace

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>

#include <atomic>
#include <chrono>
#include <fstream>

#include "platform/core/Clock.h"
#include "platform/core/WinThread.h"
#include "platform/io/SerialEx.h"
#include "testing/PtyPair.h"
#include "testing/TempDir.h"
#include "testing/WaitFor.h"

using namespace std::chrono_literals;

namespace {

class SerialOnPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        ASSERT_EQ(ERROR_SUCCESS, port.Open(pty.slavePath().c_str(), 2048, 2048, true));
    }

    // The settings the port really has, as the kernel reports them.
    termios Applied() const
    {
        termios settings{};
        const int fd = open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        EXPECT_GE(fd, 0);
        tcgetattr(fd, &settings);
        close(fd);
        return settings;
    }

    PtyPair pty;
    CSerial port;
};

TEST_F(SerialOnPty, OpenPutsTheLineInRawModeAndConfigureAppliesTheSettings)
{
    termios raw = Applied();
    EXPECT_EQ(0u, raw.c_lflag & (ICANON | ECHO | ISIG | IEXTEN));
    EXPECT_EQ(0u, raw.c_iflag & (ICRNL | IXON | ISTRIP));
    EXPECT_EQ(0u, raw.c_oflag & OPOST);
    EXPECT_EQ(CSerial::kDefaultEventMask, port.GetEventMask());
    EXPECT_EQ(193u, port.GetEventMask());

    ASSERT_EQ(ERROR_SUCCESS, port.Configure(115200, 8, NOPARITY, ONESTOPBIT));
    termios applied = Applied();
    EXPECT_EQ(B115200, cfgetospeed(&applied));
    EXPECT_EQ(B115200, cfgetispeed(&applied));
    EXPECT_EQ(static_cast<tcflag_t>(CS8), applied.c_cflag & CSIZE);
    EXPECT_EQ(0u, applied.c_cflag & (PARENB | CSTOPB));
    EXPECT_EQ(0u, applied.c_iflag & INPCK);
    EXPECT_EQ(115200, port.GetBaudRate());
    EXPECT_EQ(8, port.GetDataBits());
    EXPECT_EQ(ONESTOPBIT, port.GetStopBits());

    // A pty always reports 8 data bits and no parity bit, but keeps the speed,
    // the stop bits and the parity check.
    ASSERT_EQ(ERROR_SUCCESS, port.Configure(9600, 7, EVENPARITY, TWOSTOPBITS));
    applied = Applied();
    EXPECT_EQ(B9600, cfgetospeed(&applied));
    EXPECT_NE(0u, applied.c_cflag & CSTOPB);
    EXPECT_NE(0u, applied.c_iflag & INPCK);
    EXPECT_EQ(9600, port.GetBaudRate());
    EXPECT_EQ(TWOSTOPBITS, port.GetStopBits());
}

TEST_F(SerialOnPty, InvalidSettingsAreRefusedAndLeaveThePortAsItWas)
{
    ASSERT_EQ(ERROR_SUCCESS, port.Configure(115200, 8, NOPARITY, ONESTOPBIT));
    ASSERT_EQ(ERROR_SUCCESS, port.SetHandshaking(CSerial::EHandshakeSoftware));
    struct Case {
        DWORD baud;
        BYTE dataBits, parity, stopBits;
    } cases[] = {
        {12345, 8, NOPARITY, ONESTOPBIT},     // no such speed
        {9600, 9, NOPARITY, ONESTOPBIT},      // data bits
        {9600, 4, NOPARITY, ONESTOPBIT},
        {9600, 8, 5, ONESTOPBIT},             // parity code
        {9600, 8, NOPARITY, 3},               // stop bits code
        {9600, 8, NOPARITY, ONE5STOPBITS},    // 1.5 stop bits need 5 data bits
        {9600, 5, NOPARITY, TWOSTOPBITS},     // 2 stop bits not with 5 data bits
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ERROR_INVALID_PARAMETER, port.Configure(c.baud, c.dataBits, c.parity, c.stopBits)) << c.baud;
        EXPECT_EQ(ERROR_INVALID_PARAMETER, port.GetLastError());
    }
    EXPECT_EQ(ERROR_INVALID_PARAMETER, port.SetHandshaking(3));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, port.SetReadTimeouts(2));
    termios applied = Applied();
    EXPECT_EQ(B115200, cfgetospeed(&applied));
    EXPECT_EQ(0u, applied.c_cflag & CSTOPB);
    EXPECT_EQ(CSerial::EHandshakeSoftware, port.GetHandshaking());
}

TEST_F(SerialOnPty, HandshakingModesSetTheFlowControlFlags)
{
    struct Case {
        int mode;
        bool rtscts, xonxoff;
    } cases[] = {{CSerial::EHandshakeHardware, true, false},
                 {CSerial::EHandshakeSoftware, false, true},
                 {CSerial::EHandshakeOff, false, false}};
    for (const Case& c : cases) {
        ASSERT_EQ(ERROR_SUCCESS, port.SetHandshaking(c.mode));
        const termios applied = Applied();
        EXPECT_EQ(c.rtscts, (applied.c_cflag & CRTSCTS) != 0) << c.mode;
        EXPECT_EQ(c.xonxoff, (applied.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF)) << c.mode;
        EXPECT_EQ(c.mode, port.GetHandshaking());
    }
}

TEST_F(SerialOnPty, NonBlockingReadReturnsAtOnceAndBytesPassBothWays)
{
    BYTE buffer[16];
    DWORD read = 99;
    const ULONGLONG before = GetTickCount64();
    ASSERT_EQ(ERROR_SUCCESS, port.Read(buffer, sizeof buffer, &read));
    EXPECT_EQ(0u, read);
    EXPECT_LT(GetTickCount64() - before, 100u);

    pty.Send({0x01, 0x67, 0x02});
    ASSERT_TRUE(WaitFor([&] {
        DWORD got = 0;
        port.Read(buffer + read, sizeof buffer - read, &got);
        read += got;
        return read == 3;
    }));
    EXPECT_EQ(0x67, buffer[1]);

    const BYTE request[] = {0x02, 0x58, 0xB2, 0xFD};
    DWORD written = 0;
    ASSERT_EQ(ERROR_SUCCESS, port.Write(request, sizeof request, &written));
    EXPECT_EQ(4u, written);
    EXPECT_EQ((std::vector<unsigned char>{0x02, 0x58, 0xB2, 0xFD}), pty.Receive(4, 2s));
    ASSERT_EQ(ERROR_SUCCESS, port.WriteText("VER\r"));
    EXPECT_EQ((std::vector<unsigned char>{'V', 'E', 'R', '\r'}), pty.Receive(4, 2s));
}

TEST_F(SerialOnPty, BlockingReadWaitsForTheWholeCountOrTimesOut)
{
    ASSERT_EQ(ERROR_SUCCESS, port.SetReadTimeouts(CSerial::EReadTimeoutBlocking));
    BYTE buffer[4];
    DWORD read = 0;
    EXPECT_EQ(ERROR_TIMEOUT, port.Read(buffer, sizeof buffer, &read, nullptr, 30));
    pty.Send({1, 2, 3, 4, 5});
    ASSERT_EQ(ERROR_SUCCESS, port.Read(buffer, sizeof buffer, &read, nullptr, 2000));
    EXPECT_EQ(4u, read);
    EXPECT_EQ(4, buffer[3]);
}

TEST_F(SerialOnPty, PurgeDiscardsPendingInput)
{
    pty.Send({9, 9, 9});
    ASSERT_TRUE(WaitFor([&] {
        int pending = 0;
        int fd = open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ioctl(fd, FIONREAD, &pending);
        close(fd);
        return pending == 3;
    }));
    ASSERT_EQ(ERROR_SUCCESS, port.Purge(PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT));
    BYTE buffer[4];
    DWORD read = 0;
    ASSERT_EQ(ERROR_SUCCESS, port.Read(buffer, sizeof buffer, &read));
    EXPECT_EQ(0u, read);
}

TEST_F(SerialOnPty, AHungUpLineIsAnErrorNotAnEmptyRead)
{
    pty.ReleaseSlave();
    pty.CloseMaster();
    BYTE buffer[4];
    DWORD read = 0;
    EXPECT_EQ(ERROR_DEVICE_NOT_CONNECTED, port.Read(buffer, sizeof buffer, &read));
    EXPECT_EQ(ERROR_DEVICE_NOT_CONNECTED, port.WaitForEvent(nullptr, 1000));
}

TEST_F(SerialOnPty, AnEventWaitSeesArrivingBytesOrTimesOut)
{
    EXPECT_EQ(ERROR_TIMEOUT, port.WaitForEvent(nullptr, 20));
    pty.Send({0x55});
    CEvent done(FALSE, TRUE);
    OVERLAPPED record;
    record.hEvent = &done;
    ASSERT_EQ(ERROR_SUCCESS, port.WaitForEvent(&record, 2000));
    EXPECT_TRUE(done.Lock(0));
    EXPECT_EQ(EV_RXCHAR, port.TakeReceivedEvents());
    EXPECT_EQ(0u, port.TakeReceivedEvents());
}

TEST(Serial, OpenAndUseErrorsGiveTheSystemCodes)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    CSerial closed;
    BYTE byte = 0;
    DWORD count = 0;
    EXPECT_EQ(ERROR_INVALID_HANDLE, closed.Read(&byte, 1, &count));
    EXPECT_EQ(ERROR_INVALID_HANDLE, closed.Write(&byte, 1, &count));
    EXPECT_EQ(ERROR_INVALID_HANDLE, closed.Configure(9600, 8, 0, 0));
    EXPECT_EQ(ERROR_INVALID_HANDLE, closed.Purge(PURGE_RXCLEAR));
    EXPECT_EQ(-1, closed.GetBaudRate());
    EXPECT_EQ(-1, closed.GetHandshaking());
    EXPECT_EQ(0u, closed.GetEventMask());

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, closed.Open("/dev/no-such-serial-port"));
    EXPECT_FALSE(closed.IsOpen());

    TempDir dir;
    dir.Write("plain", "not a tty");
    EXPECT_EQ(ERROR_INVALID_FUNCTION, closed.Open(dir.File("plain").c_str()));
    EXPECT_FALSE(closed.IsOpen());

    CSerial first;
    ASSERT_EQ(ERROR_SUCCESS, first.Open(pty.slavePath().c_str()));
    EXPECT_EQ(ERROR_ALREADY_INITIALIZED, first.Open(pty.slavePath().c_str()));
    CSerial second;
    EXPECT_EQ(ERROR_ALREADY_EXISTS, second.Open(pty.slavePath().c_str()));
    EXPECT_FALSE(second.IsOpen());
    first.Close();
    EXPECT_EQ(ERROR_SUCCESS, second.Open(pty.slavePath().c_str()));

    // Without overlapped use, a completion record or a limited wait is refused.
    CEvent event(FALSE, TRUE);
    OVERLAPPED record;
    record.hEvent = &event;
    EXPECT_EQ(ERROR_INVALID_FUNCTION, second.Read(&byte, 1, &count, &record));
    EXPECT_EQ(ERROR_INVALID_FUNCTION, second.Write(&byte, 1, &count, nullptr, 100));
    EXPECT_EQ(ERROR_INVALID_FUNCTION, second.WaitForEvent(nullptr, 100));
}

class CountingSerial : public CSerialEx {
public:
    std::atomic<int> events{0};

protected:
    void OnEvent(DWORD received, DWORD /*errors*/) override
    {
        if (received & EV_RXCHAR)
            ++events;
    }
};

TEST(SerialEx, TheListenerReportsEventsAndStopsAtOnceWithoutThem)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    CountingSerial port;
    ASSERT_EQ(ERROR_SUCCESS, port.Open(pty.slavePath().c_str(), 0, 0, true));
    EXPECT_EQ(ERROR_SUCCESS, port.StartListener());  // a second start does nothing
    pty.Send({1, 2, 3});
    EXPECT_TRUE(WaitFor([&] { return port.events > 0; }));
    // Unread bytes raise no further events.
    const int seen = port.events;
    Sleep(30);
    EXPECT_EQ(seen, port.events.load());

    const ULONGLONG before = GetTickCount64();
    EXPECT_EQ(ERROR_SUCCESS, port.Close());
    EXPECT_LT(GetTickCount64() - before, 1000u);
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialEx, AListenerThatCannotStartReportsTheError)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    CSerialEx port;
    kvtest::FailThreadCreations(1);
    EXPECT_EQ(ERROR_NOT_ENOUGH_MEMORY, port.Open(pty.slavePath().c_str(), 0, 0, true));
    kvtest::FailThreadCreations(0);
    EXPECT_EQ(ERROR_SUCCESS, port.StartListener());
    EXPECT_EQ(ERROR_SUCCESS, port.StopListener(1000));
}

}  // namespace

// A refused port names the group a user must join; it is the device's own group.
TEST(SerialDeviceGroupTest, NamesTheGroupThatOwnsTheDevice)
{
    TempDir dir;
    dir.Write("tty", "");
    struct stat info {};
    ASSERT_EQ(stat(dir.File("tty").c_str(), &info), 0);
    const struct group* owner = getgrgid(info.st_gid);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(SerialDeviceGroup(dir.File("tty").c_str()), CString(owner->gr_name));
    EXPECT_TRUE(SerialDeviceGroup(dir.File("gone").c_str()).IsEmpty());
}

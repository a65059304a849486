#include <gtest/gtest.h>

#include "testing/FakeCommServices.h"
#include "comm/serial/SerialDevicePort.h"
#include "platform/core/Clock.h"
#include "platform/core/MessageBox.h"
#include "testing/PtyPair.h"

namespace {

class TracingServices : public FakeCommServices {
public:
    bool IsCommTraceOn() override { return true; }
    void AddDebugMessage(const char* text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

TEST(SerialDevicePort, OpenFailuresShowTheDeviceAndTheReason)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    CSerialDevicePort holder;
    holder.m_portName = pty.slavePath().c_str();
    ASSERT_EQ(1, holder.OpenDevice(TRUE));
    EXPECT_TRUE(holder.IsOpen());
    EXPECT_EQ(9600, holder.GetBaudRate());

    AfxTakeScriptedMessageLog();
    CSerialDevicePort second;
    second.m_portName = pty.slavePath().c_str();
    second.m_description = "USB Serial Port";
    EXPECT_EQ(0, second.OpenDevice(TRUE));
    EXPECT_FALSE(second.IsOpen());
    CSerialDevicePort missing;
    missing.m_portName = "/dev/no-such-tty";
    missing.m_description = "Gone";
    EXPECT_EQ(0, missing.OpenDevice(TRUE));
    EXPECT_EQ(0, missing.OpenDevice(FALSE));  // no box without asking
    const std::vector<CString> boxes = AfxTakeScriptedMessageLog();
    ASSERT_EQ(2u, boxes.size());
    const CString inUse = CString("Could not open serial device: USB Serial Port (") + pty.slavePath().c_str() +
                          ") - Already in use.";
    EXPECT_NE(-1, boxes[0].Find(inUse)) << boxes[0].GetString();
    EXPECT_NE(-1, boxes[1].Find("Could not open serial device: Gone (/dev/no-such-tty) - Access denied."))
        << boxes[1].GetString();

    // Reads and writes on a port that cannot open fail.
    BYTE buffer[4];
    EXPECT_EQ(-1, missing.ReadBytes(buffer, 4, FALSE));
    EXPECT_EQ(0, missing.WriteBytes(buffer, 4));
    CString text = "old";
    EXPECT_EQ(0, missing.ReadString(text));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(SerialDevicePort, BytesAndTextPassAndAreTraced)
{
    TracingServices app;
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    CSerialDevicePort port;
    port.m_portName = pty.slavePath().c_str();
    port.m_baudRate = 115200;
    // Reads and writes open the device themselves.
    BYTE buffer[8];
    const ULONGLONG before = GetTickCount64();
    EXPECT_EQ(0, port.ReadBytes(buffer, sizeof buffer, TRUE));
    EXPECT_LT(GetTickCount64() - before, 100u);
    EXPECT_EQ(115200, port.GetBaudRate());

    const BYTE request[] = {0x02, 0x58, 0xB2, 0xFD};
    EXPECT_EQ(1, port.WriteBytes(request, 4));
    EXPECT_EQ((std::vector<unsigned char>{0x02, 0x58, 0xB2, 0xFD}), pty.Receive(4, std::chrono::seconds(2)));
    pty.Send({0x42, 0x67, 0x8A, 0x02, 0xBD});
    int got = 0;
    for (int i = 0; i < 2000 && got < 5; ++i) {
        const int n = port.ReadBytes(buffer + got, 5 - got, TRUE);
        ASSERT_GE(n, 0);
        got += n;
        if (got < 5)
            Sleep(1);
    }
    ASSERT_EQ(5, got);
    ASSERT_GE(app.lines.size(), 2u);
    EXPECT_NE(std::string::npos, app.lines[0].find(": Serial >>>>:0258b2fd"));
    EXPECT_NE(std::string::npos, app.lines.back().find("42678a02bd"));

    EXPECT_EQ(1, port.WriteString("VER\r"));
    EXPECT_EQ((std::vector<unsigned char>{'V', 'E', 'R', '\r'}), pty.Receive(4, std::chrono::seconds(2)));
    pty.Send({'o', 'k'});
    CString text;
    for (int i = 0; i < 2000 && text.IsEmpty(); ++i) {
        ASSERT_EQ(1, port.ReadString(text));
        if (text.IsEmpty())
            Sleep(1);
    }
    EXPECT_EQ(CString("ok"), text.Left(2));
    EXPECT_EQ(1, port.Close());
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace

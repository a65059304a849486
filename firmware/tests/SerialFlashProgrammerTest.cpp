#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FirmwareTestSupport.h"
#include "testing/SimulatedBootLoader.h"
#include "testing/PtyPair.h"
#include "testing/TempDir.h"
#include "testing/WaitFor.h"

using namespace fwtest;
using Bytes = std::vector<unsigned char>;

namespace {

constexpr auto kWithin = std::chrono::milliseconds(2000);

// The programmer against a bare line whose far end the test plays.
class ProgrammerLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(line.ok());
        ASSERT_EQ(programmer.OpenPort(line.slavePath().c_str(), 115200), 1);
        line.ReleaseSlave();
    }

    Bytes Packet(std::vector<uint16_t> words)
    {
        Bytes bytes;
        for (uint16_t w : words) {
            bytes.push_back(static_cast<unsigned char>(w & 0xFF));
            bytes.push_back(static_cast<unsigned char>(w >> 8));
        }
        return bytes;
    }

    PtyPair line;
    FastProgrammer programmer;
};

}  // namespace

TEST_F(ProgrammerLineTest, SendCommandWritesThePacketAndReadsTheAnswer)
{
    struct Case {
        unsigned char answer;
        int result;
        const char* error;
    };
    const Case cases[] = {
        {0x2D, 1, ""},
        {0xA5, 0, "Packet write rejected by kernel."},
        {'x', 0, "Error reading packet."},
    };
    for (const Case& c : cases) {
        line.Send({c.answer});
        EXPECT_EQ(programmer.SendCommand(CSerialFlashProgrammer::cmdBootCpu2, 0, nullptr), c.result);
        if (!c.result) {
            EXPECT_EQ(programmer.GetLastErrorText(), c.error);
        }
        EXPECT_EQ(line.Receive(10, kWithin), (Bytes{0xE4, 0x1B, 0x00, 0x00, 0x07, 0x00, 0x07, 0x00, 0x1B, 0xE4}));
    }

    const BYTE data[] = {1, 2, 3, 4};
    line.Send({0x2D});
    EXPECT_EQ(programmer.SendCommand(0x0100, 4, data), 1);
    EXPECT_EQ(line.Receive(14, kWithin), (Bytes{0xE4, 0x1B, 4, 0, 0x00, 0x01, 1, 2, 3, 4, 11, 0, 0x1B, 0xE4}));
}

TEST_F(ProgrammerLineTest, SendCommandRefusesAnOversizedPacketBeforeWriting)
{
    std::vector<BYTE> data(CSerialFlashProgrammer::kMaxPacketSize, 0);
    EXPECT_EQ(programmer.SendCommand(0x0100, CSerialFlashProgrammer::kMaxPacketSize, data.data()), 0);
    EXPECT_EQ(programmer.GetLastErrorText(), "Packet length exceeds nMaxPacketSize.");
    EXPECT_TRUE(line.Receive(1, std::chrono::milliseconds(50)).empty());
}

TEST_F(ProgrammerLineTest, ReadPacketChecksEveryField)
{
    struct Case {
        const char* name;
        std::vector<uint16_t> words;
        int result;
        const char* error;
    };
    const Case cases[] = {
        {"good", {0x1BE4, 4, 0x0100, 0x1000, 0x0002, 0x0013, 0xE41B}, 1, ""},
        {"header", {0x1BE5, 4, 0x0100, 0x1000, 0x0002, 0x0013, 0xE41B}, 0, "Invalid packet header."},
        {"length at the maximum", {0x1BE4, 20, 0x0100}, 0, "Data length exceeds nMaxDataSize."},
        {"checksum", {0x1BE4, 4, 0x0100, 0x1000, 0x0002, 0x0014, 0xE41B}, 0, "Invalid checksum."},
        {"footer", {0x1BE4, 4, 0x0100, 0x1000, 0x0002, 0x0013, 0xE41C}, 0, "Invalid packet footer."},
    };
    programmer.SetCpu(CSerialFlashProgrammer::cpuCm);  // no acknowledgement per byte
    for (const Case& c : cases) {
        line.Send(Packet(c.words));
        WORD command = 0;
        WORD data[10] = {};
        EXPECT_EQ(programmer.ReadPacket(&command, data, 20), c.result) << c.name;
        if (c.result) {
            EXPECT_EQ(command, 0x0100);
            EXPECT_EQ(data[0], 0x1000);
            EXPECT_EQ(data[1], 0x0002);
        } else {
            EXPECT_EQ(programmer.GetLastErrorText(), c.error) << c.name;
        }
        EXPECT_EQ(line.Receive(1, kWithin), Bytes{static_cast<unsigned char>(c.result ? 0x2D : 0xA5)}) << c.name;
    }
}

TEST_F(ProgrammerLineTest, ReadPacketAcknowledgesEachByteExceptForTheCm)
{
    const Bytes packet = Packet({0x1BE4, 2, 0x0200, 0x1000, 0x0012, 0xE41B});
    for (int cpu : {1, 2, 3}) {
        programmer.SetCpu(cpu);
        line.Send(packet);
        WORD command = 0;
        WORD data[10] = {};
        ASSERT_EQ(programmer.ReadPacket(&command, data, 20), 1) << programmer.GetLastErrorText().GetString();
        const size_t expected = cpu == 3 ? 1 : 6 * 2 + 1;
        const Bytes answers = line.Receive(expected + 1, std::chrono::milliseconds(300));
        EXPECT_EQ(answers, Bytes(expected, 0x2D)) << "cpu " << cpu;
    }
}

TEST_F(ProgrammerLineTest, AFailedPacketReadPurgesStaleInput)
{
    programmer.SetCpu(CSerialFlashProgrammer::cpuCm);
    // A bad header followed by the rest of a broken answer.
    line.Send({0x00, 0x00, 0xE4, 0x1B, 0x33, 0x44});
    WORD command = 0;
    WORD data[10] = {};
    EXPECT_EQ(programmer.ReadPacket(&command, data, 20), 0);
    EXPECT_EQ(programmer.GetLastErrorText(), "Invalid packet header.");
    line.Receive(1, kWithin);

    line.Send(Packet({0x1BE4, 0, 0x0040, 0x0040, 0xE41B}));
    EXPECT_EQ(programmer.ReadPacket(&command, data, 20), 1) << programmer.GetLastErrorText().GetString();
    EXPECT_EQ(command, 0x0040);
}

TEST_F(ProgrammerLineTest, ReadTimeOutsCountWholeSeconds)
{
    line.Send({'x'});
    BYTE value = 0;
    // Below one second it gives up at once and leaves the byte where it is.
    EXPECT_EQ(programmer.ReadByte(&value, 999, 0), 0);
    EXPECT_EQ(programmer.GetLastErrorText(), "Serial read timeout error");
    EXPECT_EQ(programmer.ReadByte(&value, 1000, 0), 1);
    EXPECT_EQ(value, 'x');
}

TEST_F(ProgrammerLineTest, AutoBaudLockWantsTheEcho)
{
    line.Send({'a'});
    EXPECT_EQ(programmer.AutoBaudLock(), 1);
    EXPECT_EQ(line.Receive(1, kWithin), Bytes{'a'});

    line.Send({'b'});
    EXPECT_EQ(programmer.AutoBaudLock(), 0);
    EXPECT_EQ(programmer.GetLastErrorText(), "Invalid autobaudlock character received.");
}

TEST(ProgrammerTest, FailuresChainFromTheLowestLevelUp)
{
    FastProgrammer programmer;  // no port open
    EXPECT_EQ(programmer.SendCommand(0x0007, 0, nullptr), 0);
    EXPECT_EQ(programmer.GetLastErrorText(), "Serial write error. - Failed on writing data. - Failed sending packet.");
    EXPECT_EQ(programmer.ReadAckNak(), -1);
    EXPECT_EQ(programmer.GetLastErrorText(), "Serial read error. - Failed on ACK.");
    EXPECT_EQ(programmer.AutoBaudLock(), 0);
    EXPECT_EQ(programmer.GetLastErrorText(), "Serial write error. - Failed writing autobaudlock character.");
    EXPECT_EQ(programmer.OpenPort("/dev/no-such-port", 38400), 0);
    EXPECT_EQ(programmer.GetLastErrorText(), "Could not open serial port.");
}

TEST(ProgrammerTest, NamesAndStatusTexts)
{
    EXPECT_EQ(CSerialFlashProgrammer::GetCpuName(1), "CPU1");
    EXPECT_EQ(CSerialFlashProgrammer::GetCpuName(2), "CPU2");
    EXPECT_EQ(CSerialFlashProgrammer::GetCpuName(3), "CM");
    EXPECT_EQ(CSerialFlashProgrammer::GetCpuName(-1), "Invalid CPU code");
    EXPECT_EQ(CSerialFlashProgrammer::GetKernelStatusText(0x4000), "ERROR Status: PROGRAM_ERROR");
    EXPECT_EQ(CSerialFlashProgrammer::GetKernelStatusText(0xE000), "Flash API Error: Failure");
    EXPECT_EQ(CSerialFlashProgrammer::GetKernelStatusText(0x1000), "Error not recognized");
}

namespace {

// The programmer against the simulated boot loader.
class ProgrammerLoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(programmer.OpenPort(boot.PortName().c_str(), 115200), 1);
        programmer.SetReportCallback(&reports);
    }

    std::string WriteImage(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        dir.Write(name, ImageText(bytes));
        return dir.File(name);
    }

    bool LoadKernel(int cpu)
    {
        programmer.SetCpu(cpu);
        kernel = BootImage(cpu, {{0x8000, Words(40, 0x1111)}});
        return programmer.LoadKernel(WriteImage("kernel.txt", kernel).c_str(), 0) == 1;
    }

    TempDir dir;
    SimulatedBootLoader boot;
    FastProgrammer programmer;
    ReportRecorder reports;
    std::vector<uint8_t> kernel;
};

}  // namespace

TEST_F(ProgrammerLoadTest, KernelAndFirmwareLandByteForByte)
{
    ASSERT_TRUE(LoadKernel(1)) << programmer.GetLastErrorText().GetString();
    EXPECT_TRUE(WaitFor([&] { return boot.Kernel(1) == kernel; }));

    // Long blocks take a checksum every 128 words as well as at their end.
    const std::vector<Block> blocks = {{0x080000, Words(300, 0x0102)}, {0x0A0000, Words(5, 0x7F00)}};
    const std::string firmware = WriteImage("firmware.txt", BootImage(1, blocks));
    ASSERT_EQ(programmer.LoadFirmware(firmware.c_str(), 0), 1) << programmer.GetLastErrorText().GetString();
    EXPECT_TRUE(WaitFor([&] { return boot.FlashOf(1) == FlashOf(blocks); }));

    EXPECT_EQ(reports.Of("Status"),
              (std::vector<std::string>{"Loading Kernel for CPU1...", "CPU1 Kernel load complete.",
                                        "Loading Firmware for CPU1...", "CPU1 Firmware load complete."}));
    EXPECT_EQ(reports.Of("Begin"), (std::vector<std::string>{"Loading CPU1 kernel...", "Loading CPU1 firmware..."}));
    EXPECT_EQ(reports.totals.back(), static_cast<int>(dir.Read("firmware.txt").size()));
    EXPECT_EQ(reports.lastPosition, reports.totals.back());
    EXPECT_TRUE(reports.Of("Error").empty());
    EXPECT_EQ(boot.ProtocolErrors(), 0);
}

TEST_F(ProgrammerLoadTest, TheCmIsBootedAndLoadedWithItsOwnByteOrder)
{
    ASSERT_TRUE(LoadKernel(1));
    ASSERT_EQ(programmer.BootCm(), 1) << programmer.GetLastErrorText().GetString();
    ASSERT_TRUE(LoadKernel(3)) << programmer.GetLastErrorText().GetString();
    EXPECT_TRUE(WaitFor([&] { return boot.Kernel(3) == kernel; }));
    const std::vector<Block> blocks = {{0x200000, Words(130, 0x3300)}};
    ASSERT_EQ(programmer.LoadFirmware(WriteImage("cm.txt", BootImage(3, blocks)).c_str(), 0), 1)
        << programmer.GetLastErrorText().GetString();
    EXPECT_TRUE(WaitFor([&] { return boot.FlashOf(3) == FlashOf(blocks); }));
    EXPECT_TRUE(boot.FlashOf(1).empty());
    EXPECT_EQ(boot.ProtocolErrors(), 0);
}

TEST_F(ProgrammerLoadTest, FirmwareWithoutLoadCommandAndAnEmptyImage)
{
    ASSERT_TRUE(LoadKernel(1));
    EXPECT_EQ(programmer.LoadFirmware(WriteImage("empty.txt", BootImage(1, {})).c_str(), 0), 1)
        << programmer.GetLastErrorText().GetString();
    const std::vector<Block> blocks = {{0x090000, Words(3, 0x0A0B)}};
    EXPECT_EQ(programmer.LoadFirmware(WriteImage("raw.txt", BootImage(1, blocks)).c_str(),
                                      CSerialFlashProgrammer::flagNoLoadCommand),
              1)
        << programmer.GetLastErrorText().GetString();
    // No status packet follows: the target has it once it took the last bytes.
    EXPECT_TRUE(WaitFor([&] { return boot.FlashOf(1) == FlashOf(blocks); }));
}

TEST_F(ProgrammerLoadTest, BadFilesAndSettingsAreReported)
{
    ASSERT_TRUE(LoadKernel(1));
    const std::string missing = dir.File("missing.txt");
    struct Case {
        int cpu;
        std::string path;
        std::string error;
    };
    std::vector<uint8_t> truncated = BootImage(1, {{0x1000, Words(10, 1)}});
    truncated.resize(truncated.size() - 8);
    const Case cases[] = {
        {1, missing, "Could not open file \"" + missing + "\"."},
        {5, WriteImage("fw.txt", BootImage(1, {})), "Invalid CPU selected for firmware load."},
        {1, WriteImage("short.txt", truncated), "Not a valid firmware file."},
    };
    for (const Case& c : cases) {
        reports.events.clear();
        programmer.SetCpu(c.cpu);
        EXPECT_EQ(programmer.LoadFirmware(c.path.c_str(), 0), 0);
        EXPECT_EQ(programmer.GetLastErrorText(), c.error.c_str());
        EXPECT_EQ(reports.Of("Error"), std::vector<std::string>{c.error});
        if (c.cpu == 5 || c.path == missing) {
            EXPECT_EQ(boot.Resets(), 0);  // the kernel was not disturbed
        }
    }

    EXPECT_EQ(programmer.LoadKernel(missing.c_str(), CSerialFlashProgrammer::flagNoAutoBaud), 0);
    EXPECT_EQ(programmer.GetLastErrorText(), ("Kernel file \"" + missing + "\" not found.").c_str());
}

TEST_F(ProgrammerLoadTest, ACancelledStreamEndsQuietly)
{
    class CancellingRecorder : public ReportRecorder {
    public:
        explicit CancellingRecorder(CSerialFlashProgrammer& p) : programmer(p) {}
        void BeginProgress(int total, CString text) override
        {
            ReportRecorder::BeginProgress(total, text);
            programmer.Cancel();
        }
        CSerialFlashProgrammer& programmer;
    } cancelling(programmer);
    programmer.SetReportCallback(&cancelling);
    programmer.SetCpu(1);
    EXPECT_EQ(programmer.LoadKernel(WriteImage("k.txt", BootImage(1, {{0, Words(4, 1)}})).c_str(), 0), 0);
    EXPECT_TRUE(cancelling.Of("Error").empty());
    EXPECT_EQ(cancelling.Of("Status"), std::vector<std::string>{"Loading Kernel for CPU1..."});
}

TEST_F(ProgrammerLoadTest, ASecondaryKernelIsAnnouncedAsSuch)
{
    ASSERT_TRUE(LoadKernel(1));
    ASSERT_EQ(programmer.BootCpu2(), 1) << programmer.GetLastErrorText().GetString();
    programmer.SetCpu(2);
    const std::vector<uint8_t> secondary = BootImage(2, {{0x8000, Words(6, 0x2222)}});
    ASSERT_EQ(programmer.LoadKernel(WriteImage("k2.txt", secondary).c_str(), CSerialFlashProgrammer::flagSecondaryKernel),
              1);
    EXPECT_TRUE(WaitFor([&] { return boot.Kernel(2) == secondary; }));
    const std::vector<std::string> statuses = reports.Of("Status");
    EXPECT_EQ(statuses[2], "Booting to CPU2...");
    EXPECT_EQ(statuses[3], "Loading secondary Kernel for CPU2...");
}

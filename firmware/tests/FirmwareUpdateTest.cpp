// Whole firmware updates over a serial line against the simulated boot
// loader: packed into an update file, unpacked, checked and run; and the same
// update run again after each kind of fault on the line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "FirmwareTestSupport.h"
#include "testing/SimulatedBootLoader.h"
#include "firmware/SerialFlashProgrammerScript.h"
#include "foundation/Scramblers.h"
#include "platform/core/Clock.h"
#include "testing/TempDir.h"
#include "testing/WaitFor.h"

using namespace fwtest;

namespace {

struct Processor {
    int cpu;
    std::vector<uint8_t> kernel;
    std::vector<Block> blocks;
};

class FirmwareUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir.File("factory"));
        std::filesystem::create_directory(dir.File("unpack"));
        processors = {
            {1, BootImage(1, {{0x8000, Words(64, 0x1000)}}), {{0x080000, Words(260, 0x0101)}, {0x0A0000, Words(7, 9)}}},
            {2, BootImage(2, {{0x8000, Words(48, 0x2000)}}), {{0x080000, Words(129, 0x0202)}}},
            {3, BootImage(3, {{0x20000000, Words(32, 0x3000)}}), {{0x00200000, Words(200, 0x0303)}}},
        };
        programmer.SetReportCallback(&reports);
        runner.SetProgrammer(&programmer);
    }

    std::string Factory(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        dir.Write("factory/" + name, ImageText(bytes));
        return dir.File("factory/" + name);
    }

    // Records the update as the factory does, exports it scrambled and
    // imports it into the runner as a customer does.
    void PackAndUnpack(int processorCount)
    {
        CSerialFlashProgrammerScript factory;
        factory.SetConstant("PartNum", "QX-100");
        factory.SetConstantInt("Baudrate", 115200);
        factory.AppendScript("OpenPort\n");
        for (int i = 0; i < processorCount; ++i) {
            const Processor& p = processors[static_cast<size_t>(i)];
            const std::string n = std::to_string(p.cpu);
            factory.AddSetCpu(p.cpu);
            factory.AddLoadKernel(Factory("kernel" + n + ".txt", p.kernel).c_str(), 0);
            factory.AddLoadFirmware(Factory("firmware" + n + ".txt", BootImage(p.cpu, p.blocks)).c_str(), 0);
            if (p.cpu == 1 && processorCount > 1)
                factory.AppendScript("ResetCpu1AndBootCpu2\n");
            if (p.cpu == 2 && processorCount > 2)
                factory.AppendScript("ResetCpu1AndLoadCm\n");
        }
        factory.AppendScript("ReportAction(\"Update complete\")\nClosePort\n");
        ASSERT_EQ(factory.WriteUpdateFile(dir.File("export.tmp").c_str()), 1) << factory.GetErrorText().GetString();
        const int seed = CSerialFlashProgrammerScript::kUpdateFileSeed;
        ASSERT_EQ(ScrambleFile(dir.File("export.tmp").c_str(), dir.File("update.qfu").c_str(), seed, 1), 1);
        ASSERT_EQ(ScrambleFile(dir.File("update.qfu").c_str(), dir.File("import.tmp").c_str(), seed, 0), 1);
        ASSERT_EQ(runner.ReadUpdateFile(dir.File("import.tmp").c_str(), dir.File("unpack").c_str()), 1)
            << runner.GetErrorText().GetString();
        CString errors;
        ASSERT_EQ(runner.CheckScript(errors), 1) << errors.GetString();
    }

    int Run()
    {
        m_resetsBeforeRun = boot.Resets();
        runner.SetConstant("SerialPort", boot.PortName().c_str());
        reports = ReportRecorder();
        return runner.RunScript(0);
    }

    // As after a power cycle: the port is closed and the target is back in its boot loader.
    void ResetTarget()
    {
        programmer.ClosePort();
        ASSERT_TRUE(WaitFor([&] { return boot.Resets() > m_resetsBeforeRun; }));
    }

    void ExpectFlashed(int processorCount)
    {
        for (int i = 0; i < processorCount; ++i) {
            const Processor& p = processors[static_cast<size_t>(i)];
            EXPECT_TRUE(WaitFor([&] { return boot.Kernel(p.cpu) == p.kernel; })) << "cpu " << p.cpu;
            EXPECT_TRUE(WaitFor([&] { return boot.FlashOf(p.cpu) == FlashOf(p.blocks); })) << "cpu " << p.cpu;
        }
    }

    TempDir dir;
    SimulatedBootLoader boot;
    std::vector<Processor> processors;
    FastProgrammer programmer;
    ReportRecorder reports;
    CSerialFlashProgrammerScript runner;
    int m_resetsBeforeRun = 0;
};

}  // namespace

TEST_F(FirmwareUpdateTest, AWholeUpdateOfAllThreeProcessors)
{
    PackAndUnpack(3);
    ASSERT_EQ(Run(), 1) << runner.GetErrorText().GetString();
    ExpectFlashed(3);
    EXPECT_EQ(boot.ProtocolErrors(), 0);

    const std::vector<std::string> statuses = {
        "Loading Kernel for CPU1...",           "CPU1 Kernel load complete.",
        "Loading Firmware for CPU1...",         "CPU1 Firmware load complete.",
        "Booting to CPU2...",                   "Loading Kernel for CPU2...",
        "CPU2 Kernel load complete.",           "Loading Firmware for CPU2...",
        "CPU2 Firmware load complete.",         "Booting to CM...",
        "Loading Kernel for CM...",             "CM Kernel load complete.",
        "Loading Firmware for CM...",           "CM Firmware load complete.",
    };
    EXPECT_EQ(reports.Of("Status"), statuses);
    EXPECT_EQ(reports.Of("Begin"),
              (std::vector<std::string>{"Loading CPU1 kernel...", "Loading CPU1 firmware...", "Loading CPU2 kernel...",
                                        "Loading CPU2 firmware...", "Loading CM kernel...",
                                        "Loading CM firmware..."}));
    EXPECT_EQ(reports.Of("Action"), std::vector<std::string>{"Update complete"});
    EXPECT_TRUE(reports.Of("Error").empty());
    EXPECT_GE(runner.GetRunSeconds(), 0.0);
}

TEST_F(FirmwareUpdateTest, AfterEachFaultTheSameUpdateRunsAgain)
{
    PackAndUnpack(1);
    const int kernelBytes = 1 + static_cast<int>(processors[0].kernel.size());  // with the baud-rate 'a'
    struct Case {
        SimulatedBootLoader::Fault fault;
        int afterBytes;
        const char* error;
    };
    using F = SimulatedBootLoader::Fault;
    const Case cases[] = {
        {F::NakPacket, 0, "Packet write rejected by kernel. - Failed while loading firmware."},
        {F::WrongEcho, 10, "Data error occurred during kernel load."},
        {F::BadChecksum, kernelBytes + 40, "Checksum failed during firmware load."},
        {F::BadStatus, 0, "Kernel reported error: ERROR Status: PROGRAM_ERROR."},
        {F::CorruptPacket, 0, "Invalid checksum. - Failed to load firmware."},
        {F::Stall, 20, "Serial read timeout error - Failed during kernel load."},
        {F::DropLine, 30, "Serial read error. - Failed during kernel load."},
        {F::Stall, kernelBytes + 100,
         "Serial read timeout error - Failed expecting checksum. - Failed loading firmware."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        boot.ArmFault(c.fault, c.afterBytes);
        // A stall would keep the programmer waiting ten seconds: the clock is moved on instead.
        std::thread clockMover([&] {
            if (c.fault != F::Stall)
                return;
            WaitFor([&] { return boot.FaultStruck(); }, std::chrono::seconds(10));
            kvtest::SetClockOffset(60000);
        });
        EXPECT_EQ(Run(), 0);
        clockMover.join();
        kvtest::SetClockOffset(0);
        EXPECT_TRUE(boot.FaultStruck());
        EXPECT_EQ(runner.GetErrorText(), c.error);
        EXPECT_EQ(programmer.GetLastErrorText(), c.error);
        EXPECT_EQ(reports.Of("Error"), std::vector<std::string>{c.error});

        ResetTarget();
        boot.Forget();
        ASSERT_EQ(Run(), 1) << runner.GetErrorText().GetString();
        ExpectFlashed(1);
        ResetTarget();
    }
}

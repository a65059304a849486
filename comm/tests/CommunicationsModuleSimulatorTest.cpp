#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "comm/protocol/AmpCommand.h"
#include "testing/TestAppServices.h"
#include "comm/demo/CommunicationsModuleSimulator.h"
#include "comm/demo/DemoRegisterCodes.h"
#include "platform/core/Clock.h"
#include "platform/core/MessageBox.h"
#include "testing/WaitFor.h"

using namespace demo_codes;

namespace {

struct Answer {
    int address;
    int code;
    int width;
    LONG value;  // zero-extended
    bool operator==(const Answer&) const = default;
};

std::vector<BYTE> Frame(int address, int code, LONG value, int width)
{
    const BYTE header = static_cast<BYTE>((width << 5) | address);
    std::vector<BYTE> bytes = {header, static_cast<BYTE>(code >> 8), static_cast<BYTE>(code)};
    for (int i = 0; i < width; ++i)
        bytes.push_back(static_cast<BYTE>(static_cast<DWORD>(value) >> (8 * i)));
    bytes.push_back(static_cast<BYTE>(header ^ 0xFF));
    return bytes;
}

// Drives the simulator one cycle at a time on the test's thread, moving its
// clocks forward by hand so that no test waits for real time.
class SimulatorTest : public ::testing::Test {
protected:
    void SetUp() override { app.AddConnectedDrive(CAmplifierData(2, 4, "Tavro")); }
    void TearDown() override { kvtest::SetClockOffset(0); }

    void Advance(ULONGLONG ms)
    {
        m_offset += ms;
        kvtest::SetClockOffset(m_offset);
    }
    void Cycle()
    {
        Advance(1);
        sim.RunCycle();
    }
    void Send(int address, int code, LONG value = 0, int width = 0)
    {
        const auto bytes = Frame(address, code, value, width);
        ASSERT_EQ(sim.Write(static_cast<int>(bytes.size()), bytes.data()), 1);
    }
    std::vector<BYTE> RawOutput()
    {
        std::vector<BYTE> all;
        BYTE buffer[4100];
        for (int n; (n = sim.Read(sizeof buffer, buffer)) > 0;)
            all.insert(all.end(), buffer, buffer + n);
        return all;
    }
    // The answer frames, with the filler bytes between them skipped.
    std::vector<Answer> Answers()
    {
        const std::vector<BYTE> raw = RawOutput();
        std::vector<Answer> out;
        size_t i = 0;
        while (i < raw.size()) {
            if (raw[i] == 0) {
                ++i;
                continue;
            }
            const int width = raw[i] >> 5;
            Answer a{raw[i] & 31, (raw[i + 1] << 8) | raw[i + 2], width, 0};
            for (int k = 0; k < width; ++k)
                a.value |= static_cast<LONG>(raw[i + 3 + k]) << (8 * k);
            EXPECT_EQ(raw[i + 3 + width], static_cast<BYTE>(raw[i] ^ 0xFF));
            out.push_back(a);
            i += 4 + width;
        }
        return out;
    }
    std::vector<Answer> Ask(int address, int code, LONG value = 0, int width = 0)
    {
        Send(address, code, value, width);
        Cycle();
        return Answers();
    }
    static Answer Error(int address, int failedCode, int error)
    {
        return {address, CB, 3, static_cast<LONG>(((failedCode >> 8) & 0xFF) | ((failedCode & 0xFF) << 8) | (error << 16))};
    }
    LONG Get(int address, int code)
    {
        LONG v = -999;
        sim.Model().GetRegister(address, code, v);
        return v;
    }

    TestAppServices app;
    CCommunicationsModuleSimulator sim;
    ULONGLONG m_offset = 0;
};

}  // namespace

TEST_F(SimulatorTest, ReadOfVersionGivesTheExactReplyBytes)
{
    Send(1, VER);
    Cycle();
    EXPECT_EQ(RawOutput(), (std::vector<BYTE>{0x81, 0x58, 0xB2, 0xA0, 0x01, 0x00, 0x00, 0x7E, 0, 0, 0, 0}));
}

TEST_F(SimulatorTest, ErrorsForUnknownRegistersAddressesAndCheckBytes)
{
    EXPECT_EQ(Ask(2, MnemonicToCode("ZZZ")), (std::vector<Answer>{Error(2, MnemonicToCode("ZZZ"), 1)}));
    EXPECT_EQ(Ask(2, SDT), (std::vector<Answer>{{2, SDT, 4, 4}}));
    EXPECT_EQ(Ask(1, SDT), (std::vector<Answer>{{1, SDT, 4, -1}}));
    Send(0, TRE, 1, 1);
    Cycle();
    Answers();
    EXPECT_EQ(Ask(5, VER), (std::vector<Answer>{Error(5, VER, 32)}));  // no time stamp either
    auto bad = Frame(1, VER, 0, 0);
    bad.back() ^= 0x10;
    sim.Write(static_cast<int>(bad.size()), bad.data());
    Cycle();
    EXPECT_EQ(Answers(), (std::vector<Answer>{Error(1, VER, 2)}));
}

TEST_F(SimulatorTest, IdentifiesTheTwoDrivesByVersion)
{
    EXPECT_EQ(sim.IdentifyDrive(0), 8);
    EXPECT_EQ(sim.IdentifyDrive(1), 2);
    EXPECT_EQ(sim.IdentifyDrive(2), 4);
    EXPECT_EQ(sim.IdentifyDrive(3), -2);
    EXPECT_EQ(sim.GetName(), "DEMO Drive");
}

TEST_F(SimulatorTest, TimeStampsFollowRepliesWhileSwitchedOn)
{
    Ask(0, TSS, 2000, 2);
    Ask(0, TRE, 1, 1);
    const auto answers = Ask(1, CS);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0], (Answer{1, CS, 4, 21}));
    EXPECT_EQ(answers[1].address, 0);
    EXPECT_EQ(answers[1].code, TSR);
    EXPECT_GE(answers[1].value, 2000);
    EXPECT_LT(answers[1].value, 2100);
    Ask(0, TRE, 0, 1);
    EXPECT_EQ(Ask(1, CS).size(), 1u);
}

TEST_F(SimulatorTest, WritesAreEchoedAndStoredExceptAVrmOfZero)
{
    EXPECT_TRUE(Ask(1, VRM, 0, 1).empty());
    EXPECT_EQ(Get(1, VRM), 0);
    EXPECT_EQ(Ask(1, CS, -5, 1), (std::vector<Answer>{{1, CS, 1, 0xFB}}));
    EXPECT_EQ(Get(1, CS), -5);
    EXPECT_EQ(Ask(1, VRM, 2, 1).size(), 1u);
    EXPECT_EQ(Get(1, VRM), 1);
    EXPECT_EQ(Ask(1, VRM, 4, 1).size(), 1u);  // VRM already set: echoed, stored as 0
    EXPECT_EQ(Get(1, VRM), 0);
    EXPECT_EQ(Ask(1, VER, 520, 2).size(), 1u);
    EXPECT_EQ(app.m_menuUpdates.load(), 1);
    EXPECT_EQ(sim.IdentifyDrive(1), 4);
}

TEST_F(SimulatorTest, SdtWriteChangesTheVersionAndPostsItsNoticeWithoutWaiting)
{
    AfxTakeScriptedMessageLog();
    EXPECT_EQ(Ask(1, SDT, 4, 1).size(), 1u);
    EXPECT_EQ(Get(1, VER), 520);
    const auto log = AfxTakeScriptedMessageLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "MSGBOX:SDT is currently not implemented");
}

TEST_F(SimulatorTest, EnableMovesTheStatusBitAndTheMotionValues)
{
    Ask(1, EN, 1, 1);
    EXPECT_EQ(Get(1, SSA) & 0x100, 0x100);
    Advance(500);
    Cycle();
    const LONG position = Get(1, PSC);
    Advance(500);
    Cycle();
    EXPECT_NE(Get(1, PSC), position);
    Ask(1, SSA, 0, 1);
    EXPECT_EQ(Get(1, EN), 0);
    const LONG stopped = Get(1, PSC);
    Advance(500);
    Cycle();
    EXPECT_EQ(Get(1, PSC), stopped);
}

TEST_F(SimulatorTest, PollSlotStreamsAtItsPeriodAndStopsOnAMissingRegister)
{
    const LONG sia = (100 << 16) | ((SIA & 0xFF) << 8) | (SIA >> 8);
    EXPECT_EQ(Ask(1, OSA, sia, 4).size(), 1u);  // the echo
    Cycle();
    EXPECT_TRUE(Answers().empty());
    Advance(100);
    Cycle();
    EXPECT_EQ(Answers(), (std::vector<Answer>{{1, SIA, 4, Get(1, SIA)}}));
    Cycle();
    EXPECT_TRUE(Answers().empty());

    const int missing = MnemonicToCode("ZZZ");
    Ask(2, OSB, (50 << 16) | ((missing & 0xFF) << 8) | (missing >> 8), 4);
    Advance(50);
    Cycle();
    const auto answers = Answers();
    ASSERT_FALSE(answers.empty());
    EXPECT_EQ(answers.back(), Error(2, missing, 1));
    Advance(50);
    Cycle();
    for (const auto& a : Answers())
        EXPECT_NE(a.address, 2);
}

TEST_F(SimulatorTest, PhaseFindingRunsThreeSecondsOnAnEnabledDrive)
{
    Ask(1, EN, 1, 1);
    Ask(1, CPF, 1, 1);
    EXPECT_EQ(Get(1, SSA) & 0x4000, 0x4000);
    Advance(2900);
    Cycle();
    EXPECT_EQ(Get(1, SSA) & 0x4000, 0x4000);
    Advance(200);
    Cycle();
    EXPECT_EQ(Get(1, SSA) & 0x4000, 0);
    EXPECT_EQ(Get(1, CPF), 0);
    EXPECT_EQ(Get(1, SAP), 0);
    EXPECT_GE(Get(1, MAA), -32768);
    EXPECT_LE(Get(1, MAA), 32767);

    Ask(2, CPF, 1, 1);  // drive 2 is disabled
    EXPECT_EQ(Get(2, SAP), 2048);
    EXPECT_EQ(Get(2, SSA) & 0x4000, 0);
}

TEST_F(SimulatorTest, BalancingAndAnalogFeedbackProcedures)
{
    Ask(2, EN, 1, 1);
    Ask(2, IB, 1, 1);
    EXPECT_EQ(Get(2, SSA) & 0x800, 0x800);
    Advance(3000);
    Cycle();
    EXPECT_EQ(Get(2, SSA) & 0x800, 0);

    Ask(2, AMI, 0, 1);
    Ask(2, AMF, 0, 1);
    Ask(2, AMI, 2, 1);
    Ask(2, AMF, 0, 1);
    Ask(2, BAF, 1, 1);
    Advance(2000);
    Cycle();
    EXPECT_EQ(Get(2, BAF), 0);
    EXPECT_EQ(Get(2, AMI), 2);
}

TEST_F(SimulatorTest, LinkedIndexStepsThroughWaveformEntries)
{
    Ask(1, WFI, 0, 1);
    for (int i = 0; i < 100; ++i) {
        const auto answers = Ask(1, WFC);
        ASSERT_EQ(answers.size(), 1u);
        ASSERT_EQ(answers[0].code, WFC) << i;
    }
    EXPECT_EQ(Ask(1, WFC), (std::vector<Answer>{Error(1, WFC, 1)}));
}

TEST_F(SimulatorTest, IndexOutsideAByteNeverAliasesAnotherRegister)
{
    Ask(1, WFI, 0x200, 2);  // 2 << 8 would land on address bits
    EXPECT_EQ(Ask(1, WFC), (std::vector<Answer>{Error(1, WFC, 1)}));
    EXPECT_EQ(Ask(1, WFC, 5, 1), (std::vector<Answer>{Error(1, WFC, 1)}));
}

TEST_F(SimulatorTest, ParameterTablesSaveAndRestore)
{
    Ask(1, PPI, 3, 1);
    Ask(1, PTI, 2, 1);
    Ask(1, PTA, 777, 2);
    Ask(1, MnemonicToCode("SC"), 40, 1);
    Ask(1, PTA, 1, 1);
    EXPECT_EQ(Get(1, PTA), 1);
    Ask(1, RC, 40, 1);
    EXPECT_EQ(Get(1, PTA), 777);
    Ask(1, PPI, 16, 1);
    EXPECT_EQ(Ask(1, PTA), (std::vector<Answer>{Error(1, PTA, 1)}));
}

TEST(SimulatorThreadTest, OpenRunsTheCycleOnItsOwnThread)
{
    CCommunicationsModuleSimulator sim;
    ASSERT_EQ(sim.Open(), 1);
    const auto frame = Frame(2, demo_codes::VER, 0, 0);
    sim.Write(static_cast<int>(frame.size()), frame.data());
    std::vector<BYTE> got;
    EXPECT_TRUE(WaitFor([&] {
        BYTE buf[64];
        const int n = sim.Read(sizeof buf, buf);
        got.insert(got.end(), buf, buf + n);
        return got.size() >= 12;
    }));
    EXPECT_EQ(got[0], 0x82);
    EXPECT_EQ(sim.Close(), 1);
    EXPECT_EQ(sim.GetState(), CDThread::kIdle);
}

// The loop model: a step command makes the mode's measured value overshoot and
// settle, cycle by cycle; disabling freezes it; other drives keep circling.
TEST_F(SimulatorTest, StepCommandDrivesTheMeasuredValueOfTheModesLoop)
{
    struct Case {
        LONG mode;
        int commandCode;
        int measuredCode;
    };
    for (const Case& c : {Case{0, 3, SIA}, Case{2, 3, SVS}, Case{4, PSC, PSF}}) {
        SCOPED_TRACE(c.mode);
        Ask(1, MOD, c.mode, 4);
        Ask(1, EN, 1, 1);
        Ask(1, c.commandCode, 1000, 2);
        double peak = 0;
        for (int cycle = 0; cycle < 100; ++cycle) {
            Cycle();
            peak = std::max(peak, static_cast<double>(Get(1, c.measuredCode)));
        }
        EXPECT_GT(peak, 1200);  // visible overshoot
        EXPECT_NEAR(Get(1, c.measuredCode), 1000, 20);  // settled after two seconds
        Ask(1, c.commandCode, 0, 2);
        Cycle();
        Ask(1, EN, 0, 1);
        const LONG frozen = Get(1, c.measuredCode);
        for (int cycle = 0; cycle < 5; ++cycle)
            Cycle();
        EXPECT_EQ(Get(1, c.measuredCode), frozen);
    }
}

TEST_F(SimulatorTest, HandRunCyclesGiveTheSameCurveAndUncommandedDrivesKeepTheirSinusoids)
{
    auto curve = [this](CCommunicationsModuleSimulator& s) {
        std::vector<LONG> values;
        for (auto& bytes : {Frame(1, MOD, 2, 4), Frame(1, EN, 1, 1), Frame(1, 3, 500, 2)}) {
            s.Write(static_cast<int>(bytes.size()), bytes.data());
            s.RunCycle();
        }
        for (int i = 0; i < 30; ++i) {
            Advance(i % 2 ? 3 : 40);  // the wall clock never shapes the curve
            s.RunCycle();
            LONG v = 0;
            s.Model().GetRegister(1, SVS, v);
            values.push_back(v);
        }
        return values;
    };
    CCommunicationsModuleSimulator other;
    EXPECT_EQ(curve(sim), curve(other));
    // Writing C to a disabled drive or PSC outside position mode commands nothing.
    Ask(2, MOD, 0, 4);
    Ask(2, 3, 700, 2);
    Ask(2, EN, 1, 1);
    Ask(2, PSC, 700, 4);
    Advance(300);
    Cycle();
    const LONG first = Get(2, SIA);
    Advance(300);
    Cycle();
    EXPECT_NE(Get(2, SIA), first);
    EXPECT_LT(std::abs(Get(2, SIA)), 2001);  // still the sinusoid of amplitude 2000
}

TEST_F(SimulatorTest, ZeroSpeedWindowOnEachDriveAndAFailedWriteAnswersItsError)
{
    constexpr int kZeroSpeedWindow = 27255;
    for (int drive : {1, 2})
        EXPECT_EQ(Ask(drive, kZeroSpeedWindow), (std::vector<Answer>{{drive, kZeroSpeedWindow, 4, 0}})) << drive;
    sim.FailWrites(2, kZeroSpeedWindow, 36);
    EXPECT_EQ(Ask(2, kZeroSpeedWindow, 40, 1), (std::vector<Answer>{Error(2, kZeroSpeedWindow, 36)}));
    EXPECT_EQ(Get(2, kZeroSpeedWindow), 0);
    EXPECT_EQ(Ask(1, kZeroSpeedWindow, 40, 1).size(), 1u) << "only the chosen address fails";
    EXPECT_EQ(Get(1, kZeroSpeedWindow), 40);
    sim.FailWrites(2, kZeroSpeedWindow, 0);
    EXPECT_EQ(Ask(2, kZeroSpeedWindow, 40, 1).size(), 1u);
    EXPECT_EQ(Get(2, kZeroSpeedWindow), 40);
}

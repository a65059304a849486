#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "comm/demo/CommunicationsModuleSimulator.h"
#include "comm/link/CommManager.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "distribution/AmpResponseToGui.h"
#include "platform/core/Archive.h"
#include "platform/core/Exception.h"
#include "platform/core/File.h"
#include "platform/core/MessageBox.h"
#include "setup/tuning/ProfileStepUnits.h"
#include "setup/tuning/QvxMoveBuilderStepArray.h"
#include "testing/DemoEngine.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"
#include "testing/WaitFor.h"

namespace {

CQvxMoveBuilderStep Step(int control, int trigger, int action, int controlValue = 0, int triggerValue = 0)
{
    CQvxMoveBuilderStep step;
    step.m_controlType = control;
    step.m_triggerType = trigger;
    step.m_action = action;
    step.m_controlValue = controlValue;
    step.m_triggerValue = triggerValue;
    return step;
}

std::string Store(CQvxMoveBuilderStepArray& steps, const TempDir& dir)
{
    const std::string path = dir.File("steps.bin");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive archive(&file, CArchive::store);
        steps.Serialize(archive);
        archive.Close();
        file.Close();
    }
    return dir.Read("steps.bin");
}

void Load(CQvxMoveBuilderStepArray& steps, const TempDir& dir, const std::string& bytes)
{
    dir.Write("load.bin", bytes);
    CFile file(dir.File("load.bin").c_str(), CFile::modeRead);
    CArchive archive(&file, CArchive::load);
    steps.Serialize(archive);
}

}  // namespace

TEST(ProfileStepTest, PackedWordsAndTexts)
{
    CQvxMoveBuilderStep step = Step(kControlVelocity, kTriggerPositionInc, kActionNextStep);
    EXPECT_EQ(step.PackedWord(), 0x452u);
    CQvxMoveBuilderStep back;
    back.Unpack(0x452);
    EXPECT_EQ(back.m_controlType, kControlVelocity);
    EXPECT_EQ(back.m_triggerType, kTriggerPositionInc);
    EXPECT_EQ(back.m_action, kActionNextStep);
    EXPECT_EQ(std::string(step.TriggerTypeText()), "Position (inc)");
    EXPECT_EQ(std::string(step.ActionText()), "Next Step");
    CQvxMoveBuilderStep torque = Step(kControlTorque, 9, 7);
    EXPECT_EQ(std::string(torque.ControlTypeText(false)), "Torque");
    EXPECT_EQ(std::string(torque.ControlTypeText(true)), "Torque Sens");
    EXPECT_EQ(std::string(torque.TriggerTypeText()), "<ERROR>");
    EXPECT_EQ(std::string(torque.ActionText()), "<ERROR>");
    CQvxMoveBuilderStep fresh;
    EXPECT_EQ(fresh.m_controlType, kControlVelocity);
    EXPECT_EQ(fresh.PackedWord(), 0x002u);
}

TEST(ProfileStepTest, ArchiveFormIsTheCountAndSevenWordsAStep)
{
    CQvxMoveBuilderStepArray steps;
    steps.AddStep(Step(0, 0, 4, 100, 50));
    steps.AddStep(Step(2, 3, 4, -7, 9));
    steps.AddStep(Step(3, 5, 2, 123456, -1));
    TempDir dir;
    const std::string bytes = Store(steps, dir);
    ASSERT_EQ(bytes.size(), 2u + 84u);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(static_cast<BYTE>(bytes[2 + 28 + 12]), 0xF9) << "step 1's control value, little-endian";

    CQvxMoveBuilderStepArray read;
    Load(read, dir, bytes);
    ASSERT_EQ(read.GetSize(), 3);
    EXPECT_EQ(read[1].m_controlValue, -7);
    EXPECT_EQ(read[2].m_triggerType, 5);
    for (const CQvxMoveBuilderStep& step : read)
        EXPECT_EQ(step.m_owner, &read);

    // A cut form or an absurd count throws and leaves the steps as they were.
    for (size_t cut : {1u, 2u + 27u, 2u + 83u}) {
        EXPECT_THROW(Load(read, dir, bytes.substr(0, cut)), CArchiveException) << cut;
        EXPECT_EQ(read.GetSize(), 3) << cut;
    }
    EXPECT_THROW(Load(read, dir, std::string("\xFF\xFF\xFF\xFF\xFF\x7F", 6)), CArchiveException);
    EXPECT_EQ(read.GetSize(), 3);
}

TEST(ProfileStepTest, ValueTextsByUnitKind)
{
    ProfileUnitContext c;
    c.haveCurrentGain = true;
    c.currentGain = 0.01;
    c.haveVelocityGain = true;
    c.velocityGain = 0.5;
    c.haveMdl13 = true;
    c.mdl13 = 32767;
    c.firmwareVersion = 5.1;
    c.SetTorqueWord(250);  // 2.5 Lb-in/A
    struct Case {
        int kind;
        int value;
        const char* withUnits;
        const char* without;
    };
    const Case cases[] = {
        {kUnitTime, 150, "1.500 s", "1.500"},           {kUnitCurrent, 200, "2.000 a", "2.000"},
        {kUnitTorque, 200, "5.000 Lb-in", "5.000"},     {kUnitVelocity, -10, "-5.000 rpm", "-5.000"},
        {kUnitTorqueSensorVolts, 3, "3.000 v", "3.000"}, {kUnitPosition, 4000, "4000 cts", "4000"},
        {kUnitDigitalInput, 1, "N/A", "N/A"},           {9, 1, "<ERROR>", "<ERROR>"},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(std::string(FormatUnitValue(k.kind, k.value, c, true)), k.withUnits) << k.kind;
        EXPECT_EQ(std::string(FormatUnitValue(k.kind, k.value, c, false)), k.without) << k.kind;
    }
    c.SetTorqueWord((1u << 16) | 100);
    EXPECT_EQ(std::string(FormatUnitValue(kUnitTorque, 200, c, true)), "2.000 Nm");
    c.torqueUnit = 2;
    EXPECT_EQ(std::string(FormatUnitValue(kUnitTorque, 200, c, true)), "2.000") << "no unit for an unknown unit";
    c.firmwareVersion = 5.2;
    EXPECT_EQ(std::string(FormatUnitValue(kUnitTorque, 200, c, true)), "2.000 v");
    c.motorType = 1;
    EXPECT_EQ(std::string(FormatUnitValue(kUnitVelocity, 2, c, true)), "1.000 mm/s");
    c.haveCurrentGain = false;
    EXPECT_EQ(std::string(FormatUnitValue(kUnitCurrent, 2, c, true)), "<Unavailable>");

    // The control value's kind follows the firmware for torque.
    const CQvxMoveBuilderStep torque = Step(kControlTorque, kTriggerTime, 0);
    EXPECT_EQ(ControlUnitKind(torque, c), kUnitTorqueSensorVolts);
    c.firmwareVersion = 4.0;
    EXPECT_EQ(ControlUnitKind(torque, c), kUnitTorque);
}

TEST(ProfileStepTest, EntriesConvertBackWithinTheirRanges)
{
    ProfileUnitContext c;
    c.haveCurrentGain = true;
    c.currentGain = 0.01;
    int value = 77;
    EXPECT_TRUE(ParseUnitValue(kUnitTime, 1.239, c, value));
    EXPECT_EQ(value, 123) << "truncated";
    EXPECT_FALSE(ParseUnitValue(kUnitTime, -0.5, c, value));
    EXPECT_FALSE(ParseUnitValue(kUnitTime, 400, c, value)) << "beyond 32767 counts";
    EXPECT_EQ(value, 123) << "a refused entry leaves the value";
    EXPECT_TRUE(ParseUnitValue(kUnitCurrent, -327.67, c, value));
    EXPECT_EQ(value, -32767);
    c.currentGain = 0;
    EXPECT_FALSE(ParseUnitValue(kUnitCurrent, 1, c, value)) << "a zero factor";
    EXPECT_FALSE(ParseUnitValue(kUnitVelocity, 1, c, value)) << "a missing factor";
    EXPECT_FALSE(ParseUnitValue(kUnitDigitalInput, 1, c, value));
    long long low = 0, high = 0;
    UnitRange(kUnitPosition, low, high);
    EXPECT_EQ(low, -2147483648LL);
    EXPECT_EQ(high, 2147483647LL);
}

namespace {

// A window stand-in on the demo link: it runs the exchange from the responses it gets.
class ProfileExchangeTest : public ::testing::Test, public CDistMngrResponseReceiver, protected DemoEngine {
protected:
    void SetUp() override { Open(); }
    void TearDown() override
    {
        CancelAllQueries();
        Close();
    }
    // Feeds responses to the exchange until it ends; its last result.
    int Run(CQvxMoveBuilderStepArray& steps)
    {
        int result = CQvxMoveBuilderStepArray::kContinue;
        WaitFor([&] {
            CAmpResponseToGui response;
            while (GetNextResponse(response)) {
                const int r = steps.OnStepResponse(response, kDrive);
                if (r == CQvxMoveBuilderStepArray::kFinished || r == CQvxMoveBuilderStepArray::kFailed) {
                    result = r;
                    return true;
                }
            }
            return false;
        }, std::chrono::seconds(10));
        return result;
    }

    static constexpr int kDrive = 1;
};

}  // namespace

TEST_F(ProfileExchangeTest, AOneStepProfileIsWrittenAndReadAsOneStep)
{
    CQvxMoveBuilderStepArray sent(this);
    sent.AddStep(Step(kControlVelocity, kTriggerTime, kActionStopZeroVelocity, 1500, 200));
    sent.AddStep(Step(kControlCurrent, kTriggerTime, kActionStopDisable, 9, 9));  // never reached
    ASSERT_EQ(sent.BeginSend(kDrive), 1);
    EXPECT_EQ(Run(sent), CQvxMoveBuilderStepArray::kFinished);
    EXPECT_EQ(sent.m_state, CQvxMoveBuilderStepArray::kIdle);

    CQvxMoveBuilderStepArray read(this);
    ASSERT_EQ(read.BeginReceive(kDrive), 1);
    EXPECT_EQ(Run(read), CQvxMoveBuilderStepArray::kFinished);
    ASSERT_EQ(read.GetSize(), 1);
    EXPECT_EQ(read[0].m_controlValue, 1500);
    EXPECT_EQ(read[0].m_triggerValue, 200);
    EXPECT_EQ(read[0].m_action, kActionStopZeroVelocity);
    EXPECT_EQ(read[0].m_received, 1);
}

TEST_F(ProfileExchangeTest, SixteenChainedStepsStopAfterTheLastIndex)
{
    CQvxMoveBuilderStepArray sent(this);
    for (int i = 0; i < 16; ++i)
        sent.AddStep(Step(kControlVelocity, kTriggerTime, kActionNextStep, i * 10, i));
    ASSERT_EQ(sent.BeginSend(kDrive), 1);
    Run(sent);  // the last step chains into nothing past the array
    CQvxMoveBuilderStepArray read(this);
    ASSERT_EQ(read.BeginReceive(kDrive), 1);
    EXPECT_EQ(Run(read), CQvxMoveBuilderStepArray::kFinished);
    ASSERT_EQ(read.GetSize(), 16);
    EXPECT_EQ(read[15].m_controlValue, 150);
    EXPECT_EQ(read[15].m_action, kActionNextStep);
}

TEST_F(ProfileExchangeTest, AnErrorReplyEndsTheExchange)
{
    CQvxMoveBuilderStepArray read(this);
    ASSERT_EQ(read.BeginReceive(5), 1) << "submitted; the drive at 5 does not exist";
    EXPECT_EQ(Run(read), CQvxMoveBuilderStepArray::kFailed);
    EXPECT_EQ(read.m_state, CQvxMoveBuilderStepArray::kIdle);
    EXPECT_EQ(read.m_previousState, CQvxMoveBuilderStepArray::kReceiving);
}

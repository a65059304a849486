#include <gtest/gtest.h>

#include <vector>

#include "platform/core/Clock.h"
#include "platform/core/IniFile.h"
#include "setup/tuning/FunctionGeneratorProfileGen.h"
#include "testing/TempDir.h"

namespace {

// A generator on a frozen clock the test moves.
struct GeneratorTest : ::testing::Test {
    GeneratorTest() { kvtest::FreezeClock(1000000); }
    ~GeneratorTest() override { kvtest::ThawClock(); }

    void Start(int direction, int testMode, int steps = 3)
    {
        modes.m_settings.Duration = 0.5;
        modes.m_settings.Dwell = 0.25;
        modes.m_settings.Direction = direction;
        modes.m_settings.TestMode = testMode;
        modes.m_settings.StepsPerTest = steps;
        modes.Mode(1).m_base = 10;
        modes.Mode(1).m_target = 100;
        context.driveModeFlags = kTuningVelocityMode;
        generator.Start(context);
    }
    // The value at each of these milliseconds after the start; NAN once over.
    std::vector<double> ValuesAt(std::initializer_list<int> times)
    {
        std::vector<double> values;
        int now = 0;
        for (int t : times) {
            kvtest::AdvanceClock(static_cast<ULONGLONG>(t - now));
            now = t;
            double value = 0;
            values.push_back(generator.GetValue(value) ? value : -999);
        }
        return values;
    }

    CTuningModeSet modes;
    TuningContext context;
    CFunctionGeneratorProfileGen generator{modes};
};

}  // namespace

TEST_F(GeneratorTest, ASampleTestStepsItsCountThenEnds)
{
    Start(1, 1, 3);
    EXPECT_EQ(generator.m_period, 0.75);
    EXPECT_EQ(ValuesAt({0, 499, 501, 749, 751, 1400, 1600, 2249, 2251}),
              (std::vector<double>{110, 110, 10, 10, 110, 10, 110, 10, -999}));
    EXPECT_EQ(generator.m_remaining, 0);
}

TEST_F(GeneratorTest, ReverseAndBidirectionalSteps)
{
    Start(-1, 0);
    EXPECT_EQ(ValuesAt({0, 600}), (std::vector<double>{-90, 10}));
    Start(0, 1, 1);
    EXPECT_EQ(generator.m_period, 1.5) << "up, base, down, base";
    EXPECT_EQ(ValuesAt({0, 600, 800, 1300, 1499, 1501}), (std::vector<double>{110, 10, -90, 10, 10, -999}));
}

TEST_F(GeneratorTest, AContinuousTestNeverEndsAndCountsBelowZero)
{
    Start(1, 0);
    EXPECT_EQ(generator.m_steps, -1);
    EXPECT_EQ(ValuesAt({0, 3600 * 1000}), (std::vector<double>{110, 110}));
    EXPECT_LT(generator.m_remaining, -1000);
}

TEST_F(GeneratorTest, StartTextFollowsTheTestMode)
{
    modes.m_settings.TestMode = 1;
    EXPECT_EQ(std::string(generator.GetStartText()), "Start (Sample)");
    modes.m_settings.TestMode = 0;
    EXPECT_EQ(std::string(generator.GetStartText()), "Start (Continuous)");
    generator.Start(context);
    EXPECT_EQ(std::string(generator.GetStartText()), "Stop");
}

TEST_F(GeneratorTest, DriveValuesStayWithinTheirRegister)
{
    context.currentGain = 0.01;
    context.driveModeFlags = 0;
    modes.Mode(0).m_base = 300;  // past 32767 counts of current
    modes.Mode(0).m_target = 100;
    modes.m_settings.TestMode = 0;
    modes.m_settings.Direction = 1;
    generator.Start(context);
    int value = 0;
    ASSERT_TRUE(generator.GetDriveValue(context, value));
    EXPECT_EQ(value, 32767) << "held, not wrapped";
    context.driveModeFlags = kTuningPositionMode;
    modes.Mode(2).m_base = 4000000000.0;
    modes.Mode(2).m_target = 1;
    generator.Start(context);
    ASSERT_TRUE(generator.GetDriveValue(context, value));
    EXPECT_EQ(value, 2147483647);
}

TEST(TuningModesTest, LabelsUnitsAndRanges)
{
    CTuningModeSet modes;
    TuningContext context;
    context.currentGain = 0.002;
    context.velGain = 0.5;
    context.velTachGain = 0.25;
    EXPECT_EQ(&modes.ActiveMode(kTuningPositionMode | kTuningVelocityMode), &modes.Mode(2));
    EXPECT_EQ(&modes.ActiveMode(kTuningVelocityMode), &modes.Mode(1));
    EXPECT_EQ(&modes.ActiveMode(0), &modes.Mode(0));
    EXPECT_EQ(std::string(modes.Mode(1).GetBaseLabel(1)), "Base Velocity (mm/sec):");
    EXPECT_EQ(std::string(modes.Mode(1).GetTargetLabel(0)), "Target Velocity (rpm):");
    EXPECT_EQ(std::string(modes.Mode(0).GetTargetLabel(0)), "Target Current (amps):");
    EXPECT_EQ(std::string(modes.Mode(2).GetBaseLabel(0)), "Base Position");

    EXPECT_DOUBLE_EQ(modes.Mode(0).ToDriveUnits(1.0, context), 500);
    EXPECT_DOUBLE_EQ(modes.Mode(1).ToDriveUnits(10.3, context), 20) << "truncated";
    context.cs = 20;
    context.etf = 1.0;
    EXPECT_DOUBLE_EQ(modes.Mode(1).ToDriveUnits(10.3, context), 41) << "the tach gain with CS above 15 and ETF 1";
    TuningContext zero;
    EXPECT_EQ(modes.Mode(0).ToDriveUnits(5, zero), 0);
    EXPECT_EQ(modes.Mode(1).ToDriveUnits(5, zero), 0);

    struct Case {
        int slot;
        double value;
        bool ok;
        const char* message;
    };
    context.cs = 0;
    const Case cases[] = {
        {0, 66.0, true, ""},
        {0, 67.0, false, "ERROR:\tBase Current\tRange:-66.00  ..   66.00"},
        {1, 16383.0, true, ""},
        {1, 16384.0, false, "ERROR:\tBase Velocity\tRange:-16383.50..16383.50"},
        {2, 4294967295.0, true, ""},
        {2, -4294967296.0, false, "ERROR:\tBase Position\tRange:-4294967295.00..4294967295.00"},
    };
    for (const Case& c : cases) {
        CString error;
        EXPECT_EQ(modes.Mode(c.slot).Validate(c.value, "Base", context, error), c.ok) << c.value;
        EXPECT_EQ(std::string(error), c.message) << c.value;
    }
    // The step itself, base plus the target, must be commandable.
    modes.Mode(1).m_base = 10000;
    modes.Mode(1).m_target = 10000;
    CString error;
    EXPECT_FALSE(modes.Mode(1).ValidateStep(context, error));
    EXPECT_EQ(std::string(error), "ERROR:\tTarget Velocity\tRange:-16383.50..16383.50");
}

TEST(StepResponseRecordTest, ReadsDefaultsAndWritesOnlyTheDialogsKeys)
{
    TempDir home;
    const CString ini = home.File("kvsettings.ini").c_str();
    StepResponseRecord record;
    record.Read(ini);
    EXPECT_EQ(record.TargetCurrent, 5);
    EXPECT_EQ(record.TargetVelocity, 200);
    EXPECT_EQ(record.Duration, 0.5);
    EXPECT_EQ(record.Dwell, 0.1);
    EXPECT_EQ(record.Direction, 1);

    record.TargetCurrent = 2.5;
    record.StepsPerTest = 7;
    record.RiseSlewRate = 9;
    ASSERT_TRUE(record.Write(ini));
    const std::string text = home.Read("kvsettings.ini");
    for (const char* key : {"SR_Base_Current", "SR_Target_Current", "SR_Base_Velocity", "SR_Target_Velocity",
                            "SR_Base_Position", "SR_Target_Position", "SR_Duration", "SR_Steps_Per_Test",
                            "SR_Test_Direction", "SR_Inter_Step_Dwell", "SR_Mode"})
        EXPECT_NE(text.find(key), std::string::npos) << key;
    for (const char* key : {"SR_Rise_Slew_Rate", "RT_Velocity_Conversion", "RT_Current_Conversion", "WindowLeft"})
        EXPECT_EQ(text.find(key), std::string::npos) << key;
    StepResponseRecord back;
    back.Read(ini);
    EXPECT_EQ(back.TargetCurrent, 2.5);
    EXPECT_EQ(back.StepsPerTest, 7);

    // Values outside the dialog's ranges take the key's default: never a zero period.
    for (const auto& [key, value] : {std::pair{"SR_Duration", "0"}, {"SR_Inter_Step_Dwell", "-3"}, {"SR_Duration", "nan"},
                                     {"SR_Inter_Step_Dwell", "61"}}) {
        WritePrivateProfileString("TUNING", key, value, ini);
    }
    WritePrivateProfileString("TUNING", "SR_Steps_Per_Test", "40000", ini);
    back.Read(ini);
    EXPECT_EQ(back.Duration, 0.5);
    EXPECT_EQ(back.Dwell, 0.1);
    EXPECT_EQ(back.StepsPerTest, 1);
}

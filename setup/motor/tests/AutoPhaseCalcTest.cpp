#include <gtest/gtest.h>

#include "setup/motor/AutoPhaseCalc.h"
#include "setup/motor/AutoPhaseProcedure.h"

namespace {

TEST(AutoPhaseCalcTest, SpeedRampFollowsTheFirmwareVersion)
{
    // Drive speed 1000 at increment 50: factor 10 before 505, 2 from it on.
    EXPECT_DOUBLE_EQ(CAutoPhaseCalc::SpeedRampTime(1000, 50, 504), 2.0);
    EXPECT_DOUBLE_EQ(CAutoPhaseCalc::SpeedRampTime(1000, 50, 505), 10.0);
    EXPECT_EQ(CAutoPhaseCalc::SpeedIncrement(1000, 2.0, 504), 50);
    EXPECT_EQ(CAutoPhaseCalc::SpeedIncrement(1000, 10.0, 505), 50);
    EXPECT_DOUBLE_EQ(CAutoPhaseCalc::SpeedRampTime(1000, 50, std::nullopt), 0.0);
    EXPECT_DOUBLE_EQ(CAutoPhaseCalc::SpeedRampTime(1000, 0, 505), 0.0);
}

TEST(AutoPhaseCalcTest, RampTimesOfZeroOrLessSendTheNoRampIncrements)
{
    const struct {
        double seconds;
        long current;
        long speed;
    } cases[] = {{0, 32767, 65535}, {-1.5, 32767, 65535}, {1000, 1, 1}, {0.5, 20, 1000}};
    for (const auto& c : cases) {
        EXPECT_EQ(CAutoPhaseCalc::CurrentIncrement(1000, c.seconds), c.current) << c.seconds;
        EXPECT_EQ(CAutoPhaseCalc::SpeedIncrement(1000, c.seconds, 505), c.speed) << c.seconds;
    }
    EXPECT_EQ(CAutoPhaseCalc::SpeedIncrement(1000, 1.0, std::nullopt), 65535);
    // An increment of 0 is taken as 1.
    EXPECT_DOUBLE_EQ(CAutoPhaseCalc::CurrentRampTime(1000, 0), 10.0);
}

TEST(AutoPhaseCalcTest, SpeedsWithoutAPoleValue)
{
    // P = 4: 1000 rpm is round(2 x 1000 x 65536 / 600000) = 218 drive units.
    EXPECT_EQ(CAutoPhaseCalc::DriveSpeed(1000, 4), 218);
    EXPECT_NEAR(CAutoPhaseCalc::SpeedFromDrive(218, 4), 998.0, 0.1);
    // P = 0 shows speeds as if it were 1 and gives no drive speed.
    EXPECT_DOUBLE_EQ(CAutoPhaseCalc::SpeedFromDrive(218, 0), CAutoPhaseCalc::SpeedFromDrive(218, 1));
    EXPECT_EQ(CAutoPhaseCalc::DriveSpeed(1000, 0), 0);
    const AutoPhaseCheck check = CAutoPhaseCalc::CheckFinalSpeed(300, 0);
    EXPECT_DOUBLE_EQ(check.high, 0.0);
    EXPECT_DOUBLE_EQ(check.value, 0.0);
    EXPECT_TRUE(check.adjusted);
}

TEST(AutoPhaseCalcTest, EntryChecksCorrectToTheirLimits)
{
    // Continuous current 1234 drive units at 0.0123 A each: 15.1782 A, cut to 15.17.
    AutoPhaseCheck current = CAutoPhaseCalc::CheckFinalCurrent(20, 1234, 0.0123);
    EXPECT_TRUE(current.adjusted);
    EXPECT_DOUBLE_EQ(current.high, 15.17);
    EXPECT_DOUBLE_EQ(current.value, 15.17);
    current = CAutoPhaseCalc::CheckFinalCurrent(3.456, 1234, 0.0123);
    EXPECT_FALSE(current.adjusted);
    EXPECT_DOUBLE_EQ(current.value, 3.45);

    // 10 A at 0.01 A per unit is 1000 units: 0.0003 s (increment 32767) to 10 s (increment 1).
    const AutoPhaseCheck ramp = CAutoPhaseCalc::CheckCurrentRampTime(20, 10, 0.01);
    EXPECT_DOUBLE_EQ(ramp.low, 0.0);
    EXPECT_DOUBLE_EQ(ramp.high, 10.0);
    EXPECT_DOUBLE_EQ(ramp.value, 10.0);

    AutoPhaseCheck speed = CAutoPhaseCalc::CheckFinalSpeed(10, 4);
    EXPECT_DOUBLE_EQ(speed.value, 50.0);
    speed = CAutoPhaseCalc::CheckFinalSpeed(5000, 4);
    EXPECT_DOUBLE_EQ(speed.value, 1000.0);
    // A large pole pitch lowers the limit to the speed the register still holds.
    speed = CAutoPhaseCalc::CheckFinalSpeed(900, 32000);
    EXPECT_LT(speed.high, 1000.0);
    EXPECT_LE(CAutoPhaseCalc::DriveSpeed(speed.value, 32000), 32767);

    // 1000 rpm at P = 4 is 218 units: from increment 2000 (0.054 s) to increment 1 (109 s) at factor 2.
    const AutoPhaseCheck speedRamp = CAutoPhaseCalc::CheckSpeedRampTime(500, 1000, 4, 505);
    EXPECT_DOUBLE_EQ(speedRamp.high, 109.0);
    EXPECT_DOUBLE_EQ(speedRamp.low, 0.054);
    EXPECT_DOUBLE_EQ(speedRamp.value, 109.0);
}

AutoPhaseTick Step(CAutoPhaseProcedure& run, double seconds, long status, std::optional<long> result = {})
{
    return run.Tick(seconds, status, result);
}

TEST(AutoPhaseProcedureTest, ASuccessfulRunPassesThroughItsStates)
{
    CAutoPhaseProcedure run;
    run.Start();
    EXPECT_EQ(run.GetState(), 1);
    EXPECT_EQ(Step(run, 0.1, 0).kind, AutoPhaseTick::kNothing);
    EXPECT_FALSE(run.TakeOwnerEnded());
    Step(run, 0.2, 0x4000);
    EXPECT_EQ(run.GetState(), 2);
    EXPECT_EQ(Step(run, 5.0, 0x4000).kind, AutoPhaseTick::kNothing) << "no time-out once running";
    EXPECT_EQ(Step(run, 5.1, 0).kind, AutoPhaseTick::kQueryResult);
    EXPECT_TRUE(run.TakeOwnerEnded());
    EXPECT_EQ(Step(run, 5.2, 0).kind, AutoPhaseTick::kNothing) << "no result yet";
    const AutoPhaseTick tick = Step(run, 5.3, 0, 0x100);
    ASSERT_EQ(tick.kind, AutoPhaseTick::kFinish);
    EXPECT_EQ(tick.outcome, AutoPhaseOutcome::kSuccessful);
    const AutoPhaseFinish finish = run.Finish(tick.outcome, 0x100);
    EXPECT_EQ(finish.status, AutoPhaseStatus::kSuccessful);
    EXPECT_EQ(finish.beep, 0x30u);
    EXPECT_FALSE(run.TakeOwnerEnded()) << "told once per start";
    EXPECT_FALSE(run.HasErrorToExplain());
}

TEST(AutoPhaseProcedureTest, EveryWayOutEndsTheRunForTheOwnerOnce)
{
    const struct {
        AutoPhaseOutcome outcome;
        AutoPhaseStatus status;
        UINT beep;
        bool abortWrite;
    } cases[] = {
        {AutoPhaseOutcome::kAborted, AutoPhaseStatus::kAborted, 0, true},
        {AutoPhaseOutcome::kTimedOut, AutoPhaseStatus::kError, 0x10, false},
        {AutoPhaseOutcome::kFailed, AutoPhaseStatus::kError, 0x10, false},
    };
    for (const auto& c : cases) {
        CAutoPhaseProcedure run;
        run.Start();
        const AutoPhaseFinish finish = run.Finish(c.outcome, std::nullopt);
        EXPECT_EQ(finish.status, c.status);
        EXPECT_EQ(finish.beep, c.beep);
        EXPECT_EQ(finish.writeAbort, c.abortWrite);
        EXPECT_EQ(run.GetState(), 0);
        EXPECT_TRUE(run.TakeOwnerEnded());
        EXPECT_FALSE(run.TakeOwnerEnded());
    }
}

TEST(AutoPhaseProcedureTest, AStartWithoutTheInProgressBitTimesOut)
{
    CAutoPhaseProcedure run;
    run.Start();
    EXPECT_EQ(Step(run, 0.99, 0).kind, AutoPhaseTick::kNothing);
    const AutoPhaseTick tick = Step(run, 1.0, 0);
    ASSERT_EQ(tick.kind, AutoPhaseTick::kFinish);
    ASSERT_EQ(tick.outcome, AutoPhaseOutcome::kTimedOut);
    run.Finish(tick.outcome, std::nullopt);
    EXPECT_TRUE(run.HasErrorToExplain());
    EXPECT_EQ(run.ErrorText(), "Auto-phase timed out before executing.");
}

TEST(AutoPhaseProcedureTest, AFailedResultExplainsEachBitInOrder)
{
    CAutoPhaseProcedure run;
    run.Start();
    Step(run, 0.1, 0x4000);
    Step(run, 0.2, 0);
    const AutoPhaseTick tick = Step(run, 0.3, 0, 0x860);
    ASSERT_EQ(tick.outcome, AutoPhaseOutcome::kFailed);
    run.Finish(tick.outcome, 0x860);
    EXPECT_EQ(run.ErrorText(),
              "Motor not moving.  Possible causes:\r\n\t- Current too low\r\n\t- motor leads not connected\r\n\t- motor "
              "is locked\r\n\r\nPlease check motor pole pair or encoder count entries.\r\n\r\nDrive disabled during "
              "auto-phasing.  Please check inhibit or fault condition.");
    // The idle lamp keeps the error once, then asks for the drive again.
    EXPECT_EQ(run.IdleStatus(false), std::nullopt);
    EXPECT_EQ(run.IdleStatus(false), AutoPhaseStatus::kEnableDrive);
    EXPECT_EQ(run.IdleStatus(true), AutoPhaseStatus::kReady);
    EXPECT_TRUE(run.HasErrorToExplain()) << "the click still explains the last run";
    run.Start();
    EXPECT_EQ(run.IdleStatus(true), std::nullopt) << "nothing while a run is in progress";
}

TEST(AutoPhaseProcedureTest, LampsOfTheStatuses)
{
    const struct {
        AutoPhaseStatus status;
        const char* text;
        COLORREF colour;
        bool blink;
    } cases[] = {
        {AutoPhaseStatus::kReady, " Ready to start", 0x006000, false},
        {AutoPhaseStatus::kEnableDrive, " Please enable drive", 0x006060, false},
        {AutoPhaseStatus::kRunning, " Auto-phasing...", 0x00C400, true},
        {AutoPhaseStatus::kSuccessful, " Auto-phase successful", 0x006000, false},
        {AutoPhaseStatus::kError, " Error (click for more...)", 0x000080, false},
        {AutoPhaseStatus::kAborted, " Auto-phase aborted", 0x00B4B4, false},
    };
    for (const auto& c : cases) {
        const AutoPhaseLamp lamp = CAutoPhaseProcedure::Lamp(c.status);
        EXPECT_STREQ(lamp.text, c.text);
        EXPECT_EQ(lamp.colour, c.colour) << c.text;
        EXPECT_EQ(lamp.blink, c.blink) << c.text;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include "foundation/HPTimer.h"
#include "platform/core/Clock.h"

class HPTimerTest : public ::testing::Test {
protected:
    void SetUp() override { kvtest::FreezeClock(1000000); }
    void TearDown() override { kvtest::ThawClock(); }
};

TEST_F(HPTimerTest, CountsSecondsWithOffset)
{
    CHPTimer t;
    t.Restart(2.0);
    kvtest::AdvanceClock(1500);
    EXPECT_DOUBLE_EQ(t.GetElapsedSeconds(), 3.5);
}

TEST_F(HPTimerTest, PauseFreezesAndResumeSkipsThePausedSpan)
{
    CHPTimer t;
    t.Restart();
    kvtest::AdvanceClock(1000);
    t.Pause();
    kvtest::AdvanceClock(5000);
    EXPECT_DOUBLE_EQ(t.GetElapsedSeconds(), 1.0);
    EXPECT_DOUBLE_EQ(t.GetElapsedSeconds(), 1.0);
    t.Resume();
    kvtest::AdvanceClock(250);
    EXPECT_DOUBLE_EQ(t.GetElapsedSeconds(), 1.25);
}

TEST_F(HPTimerTest, ScaleAppliesToLaterIntervals)
{
    CHPTimer t;
    t.Restart();
    kvtest::AdvanceClock(1000);
    t.SetScale(0.5);
    EXPECT_DOUBLE_EQ(t.GetElapsedSeconds(), 0.5);
    kvtest::AdvanceClock(1000);
    EXPECT_DOUBLE_EQ(t.GetElapsedSeconds(), 1.0);
}

TEST_F(HPTimerTest, DoesNotJumpBackWhenTheMillisecondClockWraps)
{
    kvtest::FreezeClock(0xFFFFFFFFull - 10);
    CHPTimer t;
    t.Restart();
    kvtest::AdvanceClock(30);
    EXPECT_NEAR(t.GetElapsedSeconds(), 0.030, 1e-9);
}

TEST_F(HPTimerTest, CopyCarriesTheCount)
{
    CHPTimer t;
    t.Restart(1.0);
    kvtest::AdvanceClock(500);
    t.Pause();
    CHPTimer copy(t);
    kvtest::AdvanceClock(500);
    EXPECT_DOUBLE_EQ(copy.GetElapsedSeconds(), 1.5);
}

#include <gtest/gtest.h>

#include "setup/motor/TrajectoryLimits.h"

using T = CTrajectoryLimits;

TEST(TrajectoryLimitsTest, Labels)
{
    struct Case { int cs; int mode; int mc; const char* accel; const char* decel; const char* zero; const char* vel; };
    const Case cases[] = {
        {5, 0x04, 1, "Acceleration (rpm/sec):", "Deceleration (rpm/sec):", "Zero Speed Window (mm/sec):", "Velocity Limit (mm/sec):"},
        {5, 0x00, 1, "Acceleration (amps/sec):", "Deceleration (amps/sec):", "Zero Speed Window (rpm):", "Velocity Limit (rpm):"},
        {5, 0x02, 1, "Acceleration (mm/sec^2):", "Deceleration (mm/sec^2):", "Zero Speed Window (mm/sec):", "Velocity Limit (mm/sec):"},
        {5, 0x02, 0, "Acceleration (rpm/sec):", "Deceleration (rpm/sec):", "Zero Speed Window (rpm):", "Velocity Limit (rpm):"},
        {1, 0x00, 0, "Acceleration (rpm/sec):", "Deceleration (rpm/sec):", "Zero Speed Window (rpm):", "Velocity Limit (rpm):"},
        {10, 0x02, 1, nullptr, nullptr, "Zero Speed Window (mm/sec):", "Velocity Limit (mm/sec):"},
    };
    for (const Case& c : cases) {
        const TrajectoryLabels labels = T::Labels(c.cs, c.mode, c.mc);
        SCOPED_TRACE(testing::Message() << c.cs << " " << c.mode << " " << c.mc);
        if (c.accel) {
            EXPECT_EQ(labels.acceleration, CString(c.accel));
            EXPECT_EQ(labels.deceleration, CString(c.decel));
        } else {
            EXPECT_FALSE(labels.acceleration);
            EXPECT_FALSE(labels.deceleration);
        }
        EXPECT_EQ(labels.zeroSpeed, c.zero);
        EXPECT_EQ(labels.velocityLimit, c.vel);
    }
}

TEST(TrajectoryLimitsTest, EnablesAndSignFlip)
{
    EXPECT_FALSE(T::LimitsAvailable(0, 10, 0));
    EXPECT_TRUE(T::LimitsAvailable(0x1000, 10, 0));
    EXPECT_FALSE(T::LimitsAvailable(std::nullopt, 5, 0x04));
    EXPECT_TRUE(T::LimitsAvailable(std::nullopt, 5, 0x02));
    const TrajectoryEnables off = T::Enables(false, 10, false, false);
    EXPECT_FALSE(off.acceleration || off.deceleration || off.disabledBoxes);
    const TrajectoryEnables on = T::Enables(true, 9, true, false);
    EXPECT_FALSE(on.acceleration);
    EXPECT_TRUE(on.deceleration && on.disabledBoxes);
    EXPECT_FALSE(on.velocityLimit);

    EXPECT_EQ(T::FlippedLimit(-500, 5, 1.0), 500);
    EXPECT_EQ(T::FlippedLimit(-40000, 5, 1.0), 32767);
    EXPECT_EQ(T::FlippedLimit(500, 5, 1.0), -500);
    EXPECT_FALSE(T::FlippedLimit(-500, 10, 1.0));
    EXPECT_FALSE(T::FlippedLimit(-500, 5, 0.0));
}

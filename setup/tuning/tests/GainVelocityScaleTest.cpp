#include <gtest/gtest.h>

#include "setup/tuning/GainVelocityScale.h"

namespace {
GvsMotorData Motor(int type, int counts = 4000, int tachScale = 32768, double servoFreq = 10000)
{
    GvsMotorData motor;
    motor.motorType = type;
    motor.counts = counts;
    motor.tachScale = tachScale;
    motor.servoFreq = servoFreq;
    return motor;
}
}  // namespace

TEST(GainVelocityScaleTest, TheWorkedExample)
{
    const GvsMotorData rotary = Motor(0);
    EXPECT_EQ(CalcGvsForVelocity(rotary, 3000), 8);  // g = 409.6
    EXPECT_EQ(CalcMaxVelocityForGvs(rotary, 8), 4800);
}

TEST(GainVelocityScaleTest, TheMaximumVelocityOfAnExponentGivesThatExponentBack)
{
    for (int type : {0, 1}) {
        for (int counts : {1000, 4096, 131072}) {
            const GvsMotorData motor = Motor(type, counts, 16384, 8000);
            for (int p = 0; p <= 12; ++p) {
                const double velocity = CalcMaxVelocityForGvs(motor, p);
                ASSERT_GT(velocity, 0) << type << " " << counts << " " << p;
                EXPECT_EQ(CalcGvsForVelocity(motor, velocity), p) << "type " << type << ", counts " << counts;
            }
        }
    }
}

TEST(GainVelocityScaleTest, WhatCannotBeComputedIsMinusOne)
{
    EXPECT_EQ(CalcGvsForVelocity(Motor(0, 0), 3000), -1);
    EXPECT_EQ(CalcMaxVelocityForGvs(Motor(0, 0), 8), -1);
    EXPECT_EQ(CalcGvsForVelocity(Motor(0), 0), -1);
    EXPECT_EQ(CalcGvsForVelocity(Motor(0), -5), -1);
    EXPECT_EQ(CalcGvsForVelocity(Motor(0, 4000, 0), 3000), -1);
    EXPECT_EQ(CalcGvsForVelocity(Motor(0, 4000, 32768, 0), 3000), -1);
    EXPECT_EQ(CalcGvsForVelocity(Motor(2), 3000), -1);
    EXPECT_EQ(CalcMaxVelocityForGvs(Motor(2), 3), -1);
}

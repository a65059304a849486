#include <gtest/gtest.h>

#include <climits>

#include "setup/motor/LinearMotor.h"
#include "setup/motor/RotaryMotor.h"

namespace {
struct RotaryCase {
    int poles;
    double lines;
    int counts;
    int cycles;
    double countsPerCycle;
    DWORD scaling;
};
}  // namespace

TEST(MotorModelTest, RotaryWorkedValuesAndEdges)
{
    const RotaryCase cases[] = {
        {8, 1000, 1000, 1, 1000.0, 4294967},
        {6, 1000, 4000, 3, 4000.0 / 3, 1073742},
        {2, 1000, 4000, 1, 4000.0, 1073742},
        {8, 1000.7, 1000, 1, 1000.0, 4294967},  // a fraction of a line does not count
        {12, 1024, 2048, 3, 2048.0 / 3, 2097152},  // gcd of 6 pairs and 4096 is 2
    };
    for (const RotaryCase& c : cases) {
        SCOPED_TRACE(c.poles);
        CRotaryMotor motor(c.poles, 0, 0, 0);
        motor.m_lineValue = c.lines;
        EXPECT_EQ(motor.UpdateCounts(), c.counts);
        EXPECT_DOUBLE_EQ(motor.UpdateCountsPerCycle(), c.countsPerCycle);
        EXPECT_EQ(motor.m_cycles, c.cycles);
        EXPECT_EQ(motor.ComputeScaling(1, 1), c.scaling);
        EXPECT_EQ(motor.ComputeScaling(0, 0), c.scaling);
    }
}

TEST(MotorModelTest, OnePoleGivesNoCycles)
{
    CRotaryMotor motor(1, 0, 1000, 0);
    EXPECT_EQ(motor.UpdateCounts(), 4000);
    EXPECT_EQ(motor.ComputeCycles(), 0);
    EXPECT_DOUBLE_EQ(motor.UpdateCountsPerCycle(), 1.0);
}

TEST(MotorModelTest, ScalingOfSmallAndInvalidCountsStaysInRange)
{
    CRotaryMotor motor(2, 1, 1000, 1);
    EXPECT_EQ(motor.ComputeScaling(0, 0), 4294967295u);
    motor.m_counts = 2;
    EXPECT_EQ(motor.ComputeScaling(0, 0), 2147483648u);
    for (int counts : {0, -5}) {
        motor.m_counts = counts;
        EXPECT_EQ(motor.ComputeScaling(0, 0), 0u) << counts;
    }
}

TEST(MotorModelTest, LinearCountsScalingAndCycles)
{
    CLinearMotor motor(5000, 0, 500, 7);
    EXPECT_EQ(motor.m_scaling, 4u);
    EXPECT_EQ(motor.ComputeScaling(0, 0), 4u);  // b 0 keeps the old scaling
    EXPECT_EQ(motor.UpdateCounts(), 10000);
    EXPECT_DOUBLE_EQ(motor.UpdateCountsPerCycle(), 10000.0);
    EXPECT_EQ(motor.m_cycles, 1);
    EXPECT_EQ(motor.ComputeScaling(0, 1), 429497u);

    EXPECT_EQ(motor.ComputeCounts(5000, 0), 0);
    EXPECT_EQ(motor.ComputeCounts(5000, -100), 0);
    EXPECT_EQ(motor.ComputeCounts(INT_MAX, 1e-9), 0);  // would overflow
    motor.m_counts = 0;
    EXPECT_EQ(motor.ComputeScaling(0, 1), 429497u);  // counts 0 leave it
    EXPECT_DOUBLE_EQ(motor.UpdateCountsPerCycle(), 1.0);
}

TEST(MotorModelTest, SwitchingKindAndBackRestoresTheValues)
{
    CRotaryMotor rotary(8, 1000, 2048, 1);
    rotary.SwitchMotorKind(0, 1);
    EXPECT_EQ(rotary.m_poleValue, 5000);
    EXPECT_DOUBLE_EQ(rotary.m_lineValue, 500.0);
    rotary.SwitchMotorKind(0, 0);
    EXPECT_EQ(rotary.m_poleValue, 8);
    EXPECT_DOUBLE_EQ(rotary.m_lineValue, 2048.0);

    CLinearMotor linear(3000, 0, 100, 1);
    linear.m_poleValue = 3200;  // edited before switching: the edit is saved
    linear.SwitchMotorKind(1, 0);
    EXPECT_EQ(linear.m_poleValue, 2);
    EXPECT_DOUBLE_EQ(linear.m_lineValue, 1000.0);
    linear.SwitchMotorKind(1, 1);
    EXPECT_EQ(linear.m_poleValue, 3200);
    EXPECT_DOUBLE_EQ(linear.m_lineValue, 100.0);

    linear.m_counts = 77;
    linear.SwitchMotorKind(2, 0);  // an unknown kind changes nothing
    EXPECT_EQ(linear.m_poleValue, 3200);
    EXPECT_EQ(linear.m_counts, 77);
}

TEST(MotorModelTest, ValidityOfTheEntries)
{
    struct Case {
        bool linear;
        int poles;
        double lines;
        bool valid;
    } const cases[] = {
        {false, 8, 1000, true}, {false, 1, 1000, false},  // no cycles
        {false, 0, 1000, false}, {false, 8, 0, false}, {false, 8, 0.5, false},  // no counts
        {true, 5000, 500, true}, {true, 5000, 0, false}, {true, -1, 500, false},
        {true, 1, 500000, false},  // rounds to no counts
    };
    for (const Case& c : cases) {
        CRotaryMotor rotary(c.poles, 0, 0, 0);
        CLinearMotor linear(c.poles, 0, 0, 0);
        CAbstractMotor& motor = c.linear ? static_cast<CAbstractMotor&>(linear) : rotary;
        motor.m_lineValue = c.lines;
        EXPECT_EQ(motor.RecomputeAndCheck(c.linear ? 1 : 0), c.valid) << c.poles << " " << c.lines;
    }
}

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "setup/motor/CommutationFormulas.h"

namespace {
PhaseLeadInputs Rotary(double lines = 1000, int gvs = 10, double servoFreq = 16000)
{
    PhaseLeadInputs in;
    in.motorKind = 0;
    in.gvs = gvs;
    in.lines = lines;
    in.servoFreq = servoFreq;
    return in;
}

PhaseLeadInputs Linear(int controlSystem)
{
    PhaseLeadInputs in = Rotary(500, 20);
    in.motorKind = 1;
    in.controlSystem = controlSystem;
    return in;
}

double Shown(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return std::atof(text);
}
}  // namespace

TEST(CommutationFormulasTest, PhaseLeadToCpl)
{
    // rotary: 10 x 16000 x 2^31 / (1000 x 1024 x 24000) = 13981.01...
    EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(10, Rotary()), 13981);
    EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(-10, Rotary()), -13981);
    // 400 on a rotary drive is limited to 15 first: 20971.5 rounds away.
    EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(400, Rotary()), 20972);
    // linear: s x f x 2^31 / 2^g x L / K
    EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(1, Linear(1)), 46);  // K 3.6e8: 45.51
    EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(90, Linear(2)), 41);  // K 3.6e10: 40.96
    EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(200, Linear(2)), 41);  // limited to 90
}

TEST(CommutationFormulasTest, PhaseLeadClampsBeforeBecomingAnInteger)
{
    // Tiny lines make the product far beyond 32 bits: the result is the limit, sign kept.
    EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(15, Rotary(1e-9, 1)), 32767);
    EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(-15, Rotary(1e-9, 1)), -32768);
    PhaseLeadInputs linear = Linear(1);
    linear.lines = 1e15;
    EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(90, linear), 32767);
    EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(-90, linear), -32768);
}

TEST(CommutationFormulasTest, PhaseLeadThatCannotBeComputedIsZero)
{
    const PhaseLeadInputs cases[] = {Rotary(0), Rotary(-5), Rotary(1000, 0), Rotary(1000, 31),
                                     Rotary(1000, 10, 0)};
    for (const PhaseLeadInputs& in : cases) {
        EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(10, in), 0);
        EXPECT_EQ(CCommutationFormulas::CplToPhaseLead(1000, in), 0.0);
    }
    EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(NAN, Rotary()), 0);
    PhaseLeadInputs linear = Linear(1);
    linear.lines = 0;
    EXPECT_EQ(CCommutationFormulas::CplToPhaseLead(100, linear), 0.0);
}

TEST(CommutationFormulasTest, ShownPhaseLeadGoesBackToTheSameCpl)
{
    for (int cpl : {0, 1, 13981, -2000, 20000}) {
        const double shown = CCommutationFormulas::CplToPhaseLead(cpl, Rotary());
        EXPECT_EQ(CCommutationFormulas::PhaseLeadToCpl(shown, Rotary()), cpl) << cpl;
    }
}

TEST(CommutationFormulasTest, RampConversions)
{
    // q 1 A: 40 us per step.
    EXPECT_DOUBLE_EQ(*CCommutationFormulas::RampSeconds(1000, 1, 2), 0.04);
    EXPECT_EQ(*CCommutationFormulas::RampCir(0.04, 1, 2), 1000);
    EXPECT_EQ(*CCommutationFormulas::RampCir(0, 1, 2), 0);
    EXPECT_EQ(*CCommutationFormulas::RampCir(32767 * 40e-6, 1, 2), 32767);
    // A final current not above the initial one fails every conversion.
    EXPECT_FALSE(CCommutationFormulas::RampSeconds(1000, 2, 2));
    EXPECT_FALSE(CCommutationFormulas::RampSeconds(1000, 3, 2));
    EXPECT_FALSE(CCommutationFormulas::RampCir(0.04, 2, 2));
    EXPECT_FALSE(CCommutationFormulas::RampCir(0.04, 3, 2));
    // No CIR outside the register's range.
    EXPECT_FALSE(CCommutationFormulas::RampCir(32768 * 40e-6, 1, 2));
    EXPECT_FALSE(CCommutationFormulas::RampCir(-0.001, 1, 2));
    EXPECT_FALSE(CCommutationFormulas::RampSeconds(-1, 1, 2));
    EXPECT_FALSE(CCommutationFormulas::RampSeconds(32768, 1, 2));
}

TEST(CommutationFormulasTest, ShownValuesSentBackUnchangedKeepTheRegister)
{
    for (int ctt : {0, 1, 124, 125, 126, 977, -125, 32715}) {
        const double shown = Shown("%0.2f", CCommutationFormulas::TimerTickSeconds(ctt));
        EXPECT_EQ(CCommutationFormulas::TimerTicks(shown), ctt) << ctt;
    }
    // 25 A of difference: 1 ms per step, shown with three decimals.
    for (int cir : {0, 1, 124, 125, 32767}) {
        const double shown = Shown("%0.3f", *CCommutationFormulas::RampSeconds(cir, 0, 25));
        EXPECT_EQ(CCommutationFormulas::RampCir(shown, 0, 25), cir) << cir;
    }
    EXPECT_FALSE(CCommutationFormulas::TimerTicks(336));
    EXPECT_FALSE(CCommutationFormulas::TimerTicks(INFINITY));
}

TEST(CommutationFormulasTest, ConfigPagePoleEntry)
{
    struct Case {
        double entered;
        int poles;
        bool message;
    } const cases[] = {
        {7, 6, false}, {8, 8, false}, {7.6, 8, false}, {1, 2, true}, {101, 100, false},
        {103, 100, true}, {-4, 2, true}, {1e12, 100, true}, {NAN, 2, true},
    };
    for (const Case& c : cases) {
        bool outOfRange = false;
        EXPECT_EQ(CCommutationFormulas::ConfigPagePoles(c.entered, outOfRange), c.poles) << c.entered;
        EXPECT_EQ(outOfRange, c.message) << c.entered;
    }
}

TEST(CommutationFormulasTest, KrelnPolesAndLinesEntries)
{
    EXPECT_EQ(CCommutationFormulas::KrelnPolesShown(9, true), 8);
    EXPECT_EQ(CCommutationFormulas::KrelnPolesTaken(9, true), 8);
    EXPECT_EQ(CCommutationFormulas::KrelnPolesShown(1, true), 0);
    EXPECT_FALSE(CCommutationFormulas::KrelnPolesTaken(1, true));  // stays in the edit only
    EXPECT_EQ(CCommutationFormulas::KrelnPolesTaken(99, true), 98);
    EXPECT_FALSE(CCommutationFormulas::KrelnPolesTaken(100, true));
    EXPECT_EQ(CCommutationFormulas::KrelnPolesShown(4999, false), 4999);  // a linear pitch as typed
    EXPECT_EQ(CCommutationFormulas::KrelnPolesTaken(4999, false), 4999);

    EXPECT_EQ(CCommutationFormulas::KrelnLinesTaken(2048, true, 1000), 2048);
    EXPECT_FALSE(CCommutationFormulas::KrelnLinesTaken(1000, true, 1000));
    EXPECT_FALSE(CCommutationFormulas::KrelnLinesTaken(1, true, 1000));
    EXPECT_FALSE(CCommutationFormulas::KrelnLinesTaken(1000000, true, 1000));
    EXPECT_DOUBLE_EQ(*CCommutationFormulas::KrelnLinesTaken(0.5, false, 0), 50);
    EXPECT_FALSE(CCommutationFormulas::KrelnLinesTaken(NAN, false, 0));

    EXPECT_DOUBLE_EQ(CCommutationFormulas::AngleDegrees(65534), 360);
    EXPECT_DOUBLE_EQ(CCommutationFormulas::AngleUnits(180), 32767);
}

#include <gtest/gtest.h>

#include "setup/motor/CommutationConfigLayout.h"
#include "setup/motor/CommutationSheetCalc.h"

TEST(CommutationSheetCalcTest, CountsCyclesAndScaling)
{
    struct Case {
        int kind;
        double poles, lines;
        int counts, cycles;
        DWORD scaling;
    } const cases[] = {
        {0, 8, 1000, 1000, 1, 4294967},
        {0, 6, 1000, 4000, 3, 1073742},
        {0, 8, 1000.9, 1000, 1, 4294967},  // lines cut to whole lines
        {0, 2, 1, 4, 1, 1073741824},
        {1, 5000, 5, 10000, 1, 429497},    // 50 mm pitch, 5 um resolution
        {1, 1, 10, 1, 1, 4294967295u},     // one count: beyond INT_MAX
        {1, 1, 5, 2, 1, 2147483648u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.poles);
        const auto r = CCommutationSheetCalc::ComputeCounts(c.kind, c.poles, c.lines);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->counts, c.counts);
        EXPECT_EQ(r->cycles, c.cycles);
        EXPECT_EQ(r->scaling, c.scaling);
    }
}

TEST(CommutationSheetCalcTest, EntriesWithoutPositiveCountsOrCyclesFail)
{
    struct Case {
        int kind;
        double poles, lines;
    } const cases[] = {
        {1, 5000, 0}, {1, 5000, -5}, {1, 0, 5}, {1, -100, 5}, {1, 1, 100},  // rounds to 0 counts
        {0, 8, 0},    {0, 8, 0.5},   {0, 1, 1000}, {0, 0, 1000}, {0, -8, 1000}, {0, 8, 1e12},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(CCommutationSheetCalc::ComputeCounts(c.kind, c.poles, c.lines)) << c.kind << " " << c.poles
                                                                                       << " " << c.lines;
}

TEST(CommutationSheetCalcTest, CountsPerCycleOfNoCyclesIsZero)
{
    EXPECT_EQ(CCommutationSheetCalc::CountsPerCycle(4000, 0), 0.0);
    EXPECT_DOUBLE_EQ(CCommutationSheetCalc::CountsPerCycle(4000, 3), 4000.0 / 3);
}

TEST(CommutationSheetCalcTest, FeedbackExclusions)
{
    const int all = kFeedbackQuadrature | kFeedbackSinCos | kFeedbackResolver | kFeedbackAbsEncoder |
                    kFeedbackTach | kFeedbackHall;
    EXPECT_EQ(CCommutationSheetCalc::ApplyExclusions(all, kFeedbackQuadrature),
              kFeedbackQuadrature | kFeedbackAbsEncoder | kFeedbackTach | kFeedbackHall);
    EXPECT_EQ(CCommutationSheetCalc::ApplyExclusions(all, kFeedbackSinCos),
              kFeedbackSinCos | kFeedbackAbsEncoder | kFeedbackTach | kFeedbackHall);
    EXPECT_EQ(CCommutationSheetCalc::ApplyExclusions(all, kFeedbackResolver),
              kFeedbackResolver | kFeedbackTach | kFeedbackHall);
    EXPECT_EQ(CCommutationSheetCalc::ApplyExclusions(all, kFeedbackAbsEncoder),
              kFeedbackQuadrature | kFeedbackSinCos | kFeedbackAbsEncoder | kFeedbackTach);
    EXPECT_EQ(CCommutationSheetCalc::ApplyExclusions(all, kFeedbackHall),
              kFeedbackQuadrature | kFeedbackSinCos | kFeedbackResolver | kFeedbackTach | kFeedbackHall);
    EXPECT_EQ(CCommutationSheetCalc::ApplyExclusions(0, kFeedbackTach), kFeedbackTach);
}

TEST(CommutationSheetCalcTest, FeedbackAvailability)
{
    const int quadHallTach = kFeedbackQuadrature | kFeedbackHall | kFeedbackTach;
    EXPECT_EQ(CCommutationSheetCalc::AvailableFeedback(kMotorBrushless, std::nullopt, true), quadHallTach);
    EXPECT_EQ(CCommutationSheetCalc::AvailableFeedback(kMotorBrush, 0, true), kFeedbackQuadrature | kFeedbackTach);
    EXPECT_EQ(CCommutationSheetCalc::AvailableFeedback(kMotorInduction, 0, true), kFeedbackQuadrature);
    EXPECT_EQ(CCommutationSheetCalc::AvailableFeedback(kMotorTwoPhase, 0, true),
              kFeedbackQuadrature | kFeedbackHall);
    EXPECT_EQ(CCommutationSheetCalc::AvailableFeedback(kMotorBrushless, 0x8090, true),
              quadHallTach | kFeedbackResolver | kFeedbackSinCos | kFeedbackAbsEncoder);
    EXPECT_EQ(CCommutationSheetCalc::AvailableFeedback(kMotorBrushless, 0x8090, false),
              quadHallTach | kFeedbackResolver | kFeedbackSinCos);
}

TEST(CommutationSheetCalcTest, MotorTypeAndBoxesFromTheDrive)
{
    for (int cim : {1, 3, 4, 8, 9})
        EXPECT_EQ(CCommutationSheetCalc::MotorTypeFromCim(cim), kMotorBrushless) << cim;
    EXPECT_EQ(CCommutationSheetCalc::MotorTypeFromCim(2), kMotorBrush);
    EXPECT_EQ(CCommutationSheetCalc::MotorTypeFromCim(5), kMotorInduction);
    for (int cim : {0, 6, 7, 10, -1})
        EXPECT_FALSE(CCommutationSheetCalc::MotorTypeFromCim(cim)) << cim;

    struct Case {
        int mft, cim, boxes;
    } const cases[] = {
        {0x01, 1, kFeedbackQuadrature},
        {0x03, 1, kFeedbackQuadrature},          // SIN/COS only without quadrature
        {0x02, 1, kFeedbackSinCos},
        {0x00, 8, kFeedbackResolver},            // the resolver method implies one
        {0x04, 9, kFeedbackAbsEncoder},          // the absolute encoder method excludes it
        {0x05, 1, kFeedbackQuadrature},
        {0x08, 3, kFeedbackHall},                // Hall excludes the absolute encoder
        {0x08, 8, kFeedbackResolver},
        {0x30, 1, kFeedbackTach | kFeedbackHall},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCommutationSheetCalc::FeedbackFromDrive(c.mft, c.cim), c.boxes) << c.mft << " " << c.cim;
}

#include <gtest/gtest.h>

#include "foundation/NumberHelpers.h"
#include "platform/core/Rand.h"

TEST(NumberHelpersTest, RoundingAndTruncation)
{
    struct Case {
        double got;
        double expected;
    };
    const Case cases[] = {
        {TruncateToStep(7.9, 2), 6},
        {TruncateToStep(-7.9, 2), -6},
        {TruncateToStep(7.9, 0), 7.9},
        {RoundHalfAway(2.5), 3},
        {RoundHalfAway(-2.5), -3},
        {RoundHalfAway(-2.4), -2},
        {ScalePer10000To32767(10000), 32767},
        {ScalePer10000To32767(-5000), -16384},
        {MapRangeRounded(0, 10, 100, 1000, 5), 600},
        {MapRangeRounded(0, 10, 100, 1000, 20), 1100},
        {MapRangeRounded(0, 10, 100, 1000, -3), 100},
        {MapRangeRounded(0, 0, 100, 1000, 5), 100},
        {TruncateToDecimals(-2.567, 2), -2.56},
        {TruncateToDecimals(1234.5, -2), 1200},
        {TruncateToDecimals(2.567, 0), 2},
        {RoundAwayToHundredths(1.001), 1.01},
        {RoundAwayToHundredths(-1.001), -1.01},
        {RoundByFormat("%0.3f", 2.71828), 2.718},
        {RoundByFormat("%0.2e", 12345), 12300},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        EXPECT_DOUBLE_EQ(cases[i].got, cases[i].expected) << i;
    EXPECT_EQ(ClampToShort(40000), 32767);
    EXPECT_EQ(ClampToShort(-40000), -32768);
    EXPECT_EQ(ClampToShort(-5), -5);
}

TEST(NumberHelpersTest, ComparisonsAndClamps)
{
    EXPECT_EQ(NearlyEqualPercent(0, 0, 5), 0);
    EXPECT_EQ(NearlyEqualPercent(100, 104, 5), 1);
    EXPECT_EQ(NearlyEqualPercent(100, 106, 5), 0);

    struct Case {
        double value;
        int result;
        double after;
    };
    const Case cases[] = {{10.5, 1, 10.5}, {10.6, 0, 10}, {-0.5, 1, -0.5}, {-0.6, 0, 0}, {5, 1, 5}};
    for (const Case& c : cases) {
        double v = c.value;
        EXPECT_EQ(ClampWithTolerance(0, 10, 0.5, v), c.result) << c.value;
        EXPECT_DOUBLE_EQ(v, c.after);
    }

    EXPECT_EQ(BinaryGcd(0, 0), 0u);
    EXPECT_EQ(BinaryGcd(12, 18), 6u);
    EXPECT_EQ(BinaryGcd(0, 7), 7u);
    EXPECT_EQ(BinaryGcd(48, 0), 48u);
    EXPECT_EQ(BinaryGcd(17, 5), 1u);
    EXPECT_EQ(BinaryGcd(1u << 31, 1u << 20), 1u << 20);
}

TEST(NumberHelpersTest, RandomValuesStayInRangeAndFollowTheSeed)
{
    SRand(1);
    const double first = RandomUpTo(10);
    SRand(1);
    EXPECT_DOUBLE_EQ(RandomUpTo(10), first);
    EXPECT_DOUBLE_EQ(first, 41 * 10.0 / 32767);  // the classic generator's first draw
    for (int i = 0; i < 1000; ++i) {
        const double v = RandomInRange(-2, 3);
        ASSERT_GE(v, -2);
        ASSERT_LE(v, 3);
    }
}

TEST(NumberHelpersTest, ColourChannels)
{
    EXPECT_EQ(ScaleColorPercent(0x00804020, 50), 0x00402010u);
    EXPECT_EQ(ScaleColorPercent(0x00FF8001, 300), 0x00FFFF03u);
    EXPECT_EQ(ScaleColorPercent(0x00FFFFFF, -10), 0u);
    EXPECT_EQ(LightenColorChannels(0xFF10A0FF), 0x0090FFFFu);
}

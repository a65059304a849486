#include <gtest/gtest.h>

#include "setup/motor/CommutationConfigLayout.h"
#include "setup/motor/FeedbackConfigLayout.h"

namespace {
using Groups = std::vector<int>;
}

TEST(FeedbackConfigLayoutTest, BoxesAndWritersByFeedback)
{
    struct Case {
        const char* what;
        int mask;
        int motorType;
        bool resolverSupported;
        Groups left, right;
        int faultWriter;
        bool simulatedBits, interpolation;
    } const cases[] = {
        {"quadrature", kFeedbackQuadrature, kMotorBrushless, true, {8}, {}, kFaultWriterEncoder, false, false},
        {"SIN/COS and resolver", kFeedbackSinCos | kFeedbackResolver, kMotorBrushless, true, {8, 18}, {10, 11, 15},
         kFaultWriterEncoder, true, true},
        {"resolver on old firmware", kFeedbackResolver, kMotorBrushless, false, {}, {}, kFaultWriterNone, false,
         false},
        {"resolver", kFeedbackResolver, kMotorBrushless, true, {18}, {11, 15}, kFaultWriterResolver, true, false},
        {"resolver, brush motor", kFeedbackResolver, kMotorBrush, true, {18}, {11}, kFaultWriterResolver, true,
         false},
        {"absolute encoder and resolver", kFeedbackAbsEncoder | kFeedbackResolver, kMotorBrushless, true, {9},
         {20, 11, 15}, kFaultWriterAbsEncoder, true, false},
        {"tach", kFeedbackTach, kMotorBrush, true, {}, {12}, kFaultWriterNone, false, false},
        {"Hall only", kFeedbackHall, kMotorBrushless, true, {}, {}, kFaultWriterNone, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const FeedbackLayoutResult r = CFeedbackConfigLayout::Arrange(c.mask, c.motorType, c.resolverSupported);
        EXPECT_EQ(r.leftGroups, c.left);
        EXPECT_EQ(r.rightGroups, c.right);
        EXPECT_EQ(r.faultWriter, c.faultWriter);
        EXPECT_EQ(r.simulatedBitsWritable, c.simulatedBits);
        EXPECT_EQ(r.interpolationWritable, c.interpolation);
    }
}

TEST(FeedbackConfigLayoutTest, DivisorChoices)
{
    EXPECT_EQ(CFeedbackConfigLayout::DivisorChoices(1000), (Groups{1, 2, 4, 5, 8}));
    EXPECT_EQ(CFeedbackConfigLayout::DivisorChoices(50), (Groups{1, 2, 5}));  // 0.5 um linear
    EXPECT_EQ(CFeedbackConfigLayout::DivisorChoices(0), (Groups{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(CFeedbackConfigLayout::DivisorChoices(7), (Groups{1, 7}));
    EXPECT_EQ(CFeedbackConfigLayout::DivisorChoices(2147483647LL * 100), (Groups{1, 2, 4, 5}));  // beyond 32 bits
}

TEST(FeedbackConfigLayoutTest, OutputWordKeepsWhatThePageDoesNotOffer)
{
    const EncoderOutputWord read = CFeedbackConfigLayout::DecodeOutputWord(0xA5B3);
    EXPECT_EQ(read.divisor, 3);
    EXPECT_EQ(read.ezMode, 3);
    EXPECT_TRUE(read.reverse);
    // Divisor and EZ offered: bits 8-15 and the reverse bit stay as read.
    EXPECT_EQ(CFeedbackConfigLayout::ComposeOutputWord(0xA5B3, 4, 1), 0xA594);
    // The encoder box hidden: the word goes back as it was read.
    EXPECT_EQ(CFeedbackConfigLayout::ComposeOutputWord(0xA5B3, std::nullopt, std::nullopt), 0xA5B3);
    EXPECT_EQ(CFeedbackConfigLayout::ComposeOutputWord(0x0000, 8, std::nullopt), 0x0008);
    EXPECT_EQ(CFeedbackConfigLayout::ComposeOutputWord(0x00FF, std::nullopt, 0), 0x008F);
}

TEST(FeedbackConfigLayoutTest, AbsoluteEncoderBitFields)
{
    EXPECT_EQ(CFeedbackConfigLayout::PackBits(5, 3), 0x35);
    EXPECT_EQ(CFeedbackConfigLayout::PackBits(20, -1), 0x0F);  // each field kept to four bits
    EXPECT_EQ(CFeedbackConfigLayout::PackShifts(7, 12), 0x0C07);
    EXPECT_EQ(CFeedbackConfigLayout::PackShifts(40, 31), 0x1F1F);
    EXPECT_EQ(CFeedbackConfigLayout::CdsBits(0x35), 5);
    EXPECT_EQ(CFeedbackConfigLayout::AlignBits(0x35), 3);
    EXPECT_EQ(CFeedbackConfigLayout::PositionShift(0x0C07), 7);
    EXPECT_EQ(CFeedbackConfigLayout::VelocityShift(0x0C07), 12);
}

TEST(FeedbackConfigLayoutTest, NamesAndLineCounts)
{
    EXPECT_EQ(CFeedbackConfigLayout::LineCountForBits(11), 512);
    EXPECT_EQ(CFeedbackConfigLayout::LineCountForBits(14), 4096);
    EXPECT_FALSE(CFeedbackConfigLayout::LineCountForBits(10));
    EXPECT_FALSE(CFeedbackConfigLayout::LineCountForBits(15));
    EXPECT_STREQ(CFeedbackConfigLayout::ProtocolName(2), "T-format");
    EXPECT_STREQ(CFeedbackConfigLayout::ProtocolName(3), "");
    EXPECT_STREQ(CFeedbackConfigLayout::EzModeName(4), "One full encoder period");
    EXPECT_STREQ(CFeedbackConfigLayout::EzModeName(5), "Reserved");
    EXPECT_STREQ(CFeedbackConfigLayout::EzModeName(7), "Reserved");
}

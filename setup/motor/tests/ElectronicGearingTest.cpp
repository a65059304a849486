#include <gtest/gtest.h>

#include "setup/motor/ElectronicGearing.h"

using G = CElectronicGearing;

TEST(ElectronicGearingTest, RatioFactorAndReverse)
{
    EXPECT_NEAR(G::LinkRatio(-100, 3), -33.3333, 1e-4);
    EXPECT_EQ(G::LinkRatio(5, 0), 0.0);
    EXPECT_EQ(G::GearInFactor(1), 4294967295u);
    EXPECT_EQ(G::GearInFactor(3), 1431655765u);
    EXPECT_EQ(G::GearInFactor(0), 0u);
    EXPECT_EQ(G::GearInFactor(-2), 0u);
    EXPECT_EQ(G::ReverseGearOut(100), -100);
    EXPECT_EQ(G::ReverseGearOut(-32768), 32767);
    EXPECT_EQ(G::ReverseGearOut(12.7), -12);
}

TEST(ElectronicGearingTest, DivisorKindAndDisplay)
{
    EXPECT_EQ(G::DivisorKind(std::nullopt, 419), -1);
    EXPECT_EQ(G::DivisorKind(0, std::nullopt), -1);
    EXPECT_EQ(G::DivisorKind(2, 418), 0);
    EXPECT_EQ(G::DivisorKind(0, 419), 1);
    EXPECT_EQ(G::DivisorKind(2, 419), 2);
    EXPECT_FALSE(G::ReverseAvailable(422));
    EXPECT_TRUE(G::ReverseAvailable(423));

    EXPECT_EQ(G::DriveValueText(1, 0x83), "4");
    EXPECT_EQ(G::CheckedRadio(0x83), 3);
    EXPECT_EQ(G::DriveValueText(2, 0x83), "3");   // the reverse bit is not part of the divisor
    EXPECT_EQ(G::DriveValueText(1, 0), "");       // no setting, no divisor
    EXPECT_EQ(G::DriveValueText(0, 3), "");
    EXPECT_EQ(G::DivisorCaption(1, 8), "128");
    EXPECT_EQ(G::DivisorCaption(0, 3), "4");
    EXPECT_EQ(G::DivisorCaption(2, 8), "8");
    EXPECT_EQ(G::DivisorCaption(-1, 8), "");
}

TEST(ElectronicGearingTest, EncoderOutputWordNeverSendsAnUnchosenDivisor)
{
    EXPECT_EQ(G::EncoderOutputWord(1, 5, true, true, 0x01), 0x85);   // radio "16" and reverse
    EXPECT_EQ(G::EncoderOutputWord(1, 5, false, true, 0x01), 0x05);
    EXPECT_EQ(G::EncoderOutputWord(1, 0, true, true, 0x03), 0x83);   // divisor as read
    EXPECT_EQ(G::EncoderOutputWord(1, 0, true, false, 0x83), 0x03);
    EXPECT_FALSE(G::EncoderOutputWord(1, 0, false, true, 0x03));
    EXPECT_FALSE(G::EncoderOutputWord(1, 0, true, true, std::nullopt));
    EXPECT_FALSE(G::EncoderOutputWord(0, 2, false, false, 0x03));
}

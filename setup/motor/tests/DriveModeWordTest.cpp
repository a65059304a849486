#include <gtest/gtest.h>

#include "setup/motor/DriveModeWord.h"
#include "setup/motor/VelModePageRules.h"

TEST(DriveModeWordTest, EnableBoxesKeepOtherPagesBits)
{
    struct Case { int (*edit)(int, bool); int last; bool checked; int written; };
    const Case cases[] = {
        {CDriveModeWord::VelocityEnable, 0x1A, true, 0x0A},   // leaves two-phase mode
        {CDriveModeWord::VelocityEnable, 0x0E, false, 0x0C},
        {CDriveModeWord::PositionEnable, 0x12, true, 0x06},
        {CDriveModeWord::PositionEnable, 0x0E, false, 0x0A},
        {CDriveModeWord::TwoPhase, 0x02, true, 0x12},
        {CDriveModeWord::TwoPhase, 0x1A, false, 0x0A},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.edit(c.last, c.checked), c.written) << std::hex << c.last << " " << c.checked;
    EXPECT_EQ(CDriveModeWord::DigitalOnly(0x0E), 0x06);
    EXPECT_EQ(CDriveModeWord::PulseFollower(0x06), 0x0E);
    EXPECT_EQ(CDriveModeWord::InputType(0x1B, 2), 0x1A);
}

TEST(DriveModeWordTest, VelocitySourceRadios)
{
    EXPECT_EQ(CDriveModeWord::VelocitySource(false, true, false), 1);
    EXPECT_EQ(CDriveModeWord::VelocitySource(false, false, true), 2);
    EXPECT_EQ(CDriveModeWord::VelocitySource(true, false, false), 0);
    EXPECT_FALSE(CDriveModeWord::VelocitySource(false, false, false));
    // Shown only in velocity mode.
    EXPECT_EQ(CDriveModeWord::VelocityRadios(0x02, 2), (std::array<bool, 3>{false, false, true}));
    EXPECT_EQ(CDriveModeWord::VelocityRadios(0x04, 2), (std::array<bool, 3>{false, false, false}));
    EXPECT_EQ(CDriveModeWord::TabCaption(true, "Velocity"), "[X] Velocity");
    EXPECT_EQ(CDriveModeWord::TabCaption(false, "Position"), "[  ] Position");
}

TEST(DriveModeWordTest, VelocityPageEnableStates)
{
    // Both velocity and position bits set: position mode owns the drive.
    EXPECT_FALSE(CVelModePageRules::ModeOn(true, 0x06));
    EXPECT_TRUE(CVelModePageRules::ModeOn(true, 0x02));
    struct Case { int id; bool modeOn; bool driveEnabled; std::optional<bool> enabled; };
    const Case cases[] = {
        {2380, true, true, true},     // gain working edit follows the mode only
        {2380, false, false, false},
        {2401, false, true, true},    // brake deceleration always
        {2403, true, true, false},    // max deceleration time needs a disabled drive
        {2403, true, false, true},
        {2403, false, false, false},
        {2737, false, false, true},   // braking send button: drive disabled
        {2737, true, true, false},
        {2453, true, false, false},   // drive check boxes never
        {2736, true, false, false},
        {2343, false, true, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CVelModePageRules::ControlEnabled(c.id, c.modeOn, c.driveEnabled), c.enabled) << c.id;
}

TEST(DriveModeWordTest, PwmGatesByFirmware)
{
    EXPECT_FALSE(CVelModePageRules::PwmEnabled(true, std::nullopt, -1.0));
    EXPECT_TRUE(CVelModePageRules::PwmEnabled(true, 3.0, -1.0));   // no factory key
    EXPECT_TRUE(CVelModePageRules::PwmEnabled(true, 3.04, 3.04));
    EXPECT_FALSE(CVelModePageRules::PwmEnabled(true, 3.03, 3.04));
    EXPECT_FALSE(CVelModePageRules::PwmEnabled(false, 4.0, -1.0));
}

#include <gtest/gtest.h>

#include "setup/motor/CommandModeBoxes.h"

namespace {
CommandModeState State(int mode, int type, double cs = 5, double version = 3.04, int cim = 0, double mdl14 = 0)
{
    CommandModeState s;
    s.mode = mode;
    s.inputType = type;
    s.cs = cs;
    s.version = version;
    s.cim = cim;
    s.mdl14 = mdl14;
    return s;
}
}  // namespace

TEST(CommandModeBoxesTest, PwmShownCheckedFromFirmware304)
{
    EXPECT_FALSE(CCommandModeBoxes(State(0x08, 3, 5, 3.03)).Checked(6));
    EXPECT_TRUE(CCommandModeBoxes(State(0x08, 3, 5, 3.04)).Checked(6));
    EXPECT_TRUE(CCommandModeBoxes(State(0x08, 3, 5, 304 / 100.0)).Checked(6));
    EXPECT_FALSE(CCommandModeBoxes(State(0x08, 3, 16 | 5, 3.04)).Checked(6));   // CS16
}

TEST(CommandModeBoxesTest, ShownStates)
{
    // CS 9 in velocity mode shows the two-phase input without the two-phase bit.
    EXPECT_TRUE(CCommandModeBoxes(State(0x02, 0, 9)).Checked(4));
    EXPECT_FALSE(CCommandModeBoxes(State(0x02, 0, 5)).Checked(4));
    // Two-phase hardware: CS16, method 4, model bit 8.
    EXPECT_TRUE(CCommandModeBoxes(State(0x00, 0, 16, 3.04, 4, 8)).Checked(4));
    const CCommandModeBoxes pulse(State(0x0C, 0x19, 5));
    EXPECT_TRUE(pulse.Checked(1) && pulse.Checked(3) && pulse.Checked(8) && pulse.Checked(10));
    EXPECT_FALSE(pulse.Checked(2) || pulse.Checked(5) || pulse.Checked(7) || pulse.Checked(9));
    EXPECT_TRUE(pulse.Checked(12) && pulse.Checked(13));
    EXPECT_FALSE(pulse.Checked(14));
}

TEST(CommandModeBoxesTest, EnabledStates)
{
    EXPECT_FALSE(CCommandModeBoxes(State(0x02, 0, 1)).Enabled(2));   // CS 1: never
    EXPECT_TRUE(CCommandModeBoxes(State(0x02, 0, 5)).Enabled(2));
    EXPECT_FALSE(CCommandModeBoxes(State(0x02, 0, 5)).Enabled(1));
    const CCommandModeBoxes pwm(State(0x08, 3, 5));
    EXPECT_TRUE(pwm.Enabled(12) && pwm.Enabled(13) && pwm.Enabled(5) && pwm.Enabled(6));
    EXPECT_FALSE(pwm.Enabled(9) || pwm.Enabled(10) || pwm.Enabled(7));
    const CCommandModeBoxes follower(State(0x0C, 0, 5));
    EXPECT_TRUE(follower.Enabled(7) && follower.Enabled(8) && follower.Enabled(9) && follower.Enabled(11));
    EXPECT_FALSE(follower.Enabled(5) || follower.Enabled(6) || follower.Enabled(12));
}

TEST(CommandModeBoxesTest, Clicks)
{
    const CommandModeClick pwm = CCommandModeBoxes::Click(6, true, 0x14, 0x11);
    EXPECT_EQ(pwm.mode, 0x0C);
    EXPECT_EQ(pwm.inputType, 0x13);
    const CommandModeClick analogOff = CCommandModeBoxes::Click(5, false, 0x00, 0);
    EXPECT_TRUE(analogOff.recheck);
    EXPECT_FALSE(analogOff.mode || analogOff.inputType);
    const CommandModeClick cw = CCommandModeBoxes::Click(10, true, 0x0C, 0x12);
    EXPECT_TRUE(cw.uncheckOtherTypes);
    EXPECT_EQ(cw.inputType, 0x11);
    EXPECT_FALSE(cw.mode);
    EXPECT_EQ(CCommandModeBoxes::Click(4, false, 0x02, 0).mode, 0x13);
    EXPECT_EQ(CCommandModeBoxes::Click(8, true, 0x04, 0x1B).inputType, 0x18);
    EXPECT_EQ(CCommandModeBoxes::Click(2, true, 0x10, 0).mode, 0x02);
    const CommandModeClick none = CCommandModeBoxes::Click(12, true, 0, 0);
    EXPECT_FALSE(none.mode || none.inputType || none.recheck);
}

// What the analog I/O windows enable, label and step, as tables of cases.
#include <gtest/gtest.h>

#include <string>

#include "setup/io/AnalogIoRules.h"

namespace {

TEST(AnalogIoRules, AuxOutputPresence)
{
    const struct {
        bool flagsRead;
        long flags;
        bool versionKnown;
        double version;
        bool present;
    } cases[] = {
        {true, 0x000, true, 5.0, true},    // version 5 brings the aux output
        {true, 0x000, true, 4.99, false},  // an older one without the flag has none
        {true, 0x100, true, 4.16, true},   // the flag gives one on any version
        {true, 0x0FF, true, 4.16, false},  // other bits do not
        {false, 0x100, true, 6.0, false},  // flags not read (or read in error)
        {true, 0x100, false, 0.0, false},  // version unknown: absent
    };
    for (const auto& c : cases)
        EXPECT_EQ(CAnalogIoRules::TavroAuxPresent(c.flagsRead, c.flags, c.versionKnown, c.version), c.present)
            << c.flags << " " << c.version << " " << c.flagsRead << c.versionKnown;
}

TEST(AnalogIoRules, TavroTestRowsFollowTheSources)
{
    const struct {
        int output, aux;
        bool present;
        bool outputTest, auxRows, auxTest;
    } cases[] = {
        {0, 0, true, true, true, true},   {3, 0, true, false, true, true},
        {0, 2, true, true, true, false},  {0, 0, false, true, false, false},
        {-1, -1, true, false, true, false},  // nothing selected: no test value to send
    };
    for (const auto& c : cases) {
        const TavroAnalogEnables e = CAnalogIoRules::TavroEnables(c.output, c.present, c.aux);
        EXPECT_EQ(e.outputTest, c.outputTest) << c.output << "/" << c.aux;
        EXPECT_EQ(e.aux, c.auxRows) << c.output << "/" << c.aux;
        EXPECT_EQ(e.auxTest, c.auxTest) << c.output << "/" << c.aux;
    }
}

TEST(AnalogIoRules, KrelnInputsByModelModeAndFeedback)
{
    constexpr int kCurrent = 0, kVelocity = 2, kPosition = 4 | 2;
    const struct {
        int ch, mode, etf;
        long feedback;
        bool primary, aux;
        const char* unit;
    } cases[] = {
        {21, kCurrent, 0, 0, true, false, "amps/volt"},
        {21, kVelocity, 1, 0, true, true, "rpm/volt"},
        {21, kPosition, 0, 4, false, true, ""},
        {21, kVelocity, 2, 0, true, false, "rpm/volt"},  // tach only when ETF is 1 or the feedback is 4
        {10, kCurrent, 1, 4, false, false, "amps/volt"},
        {11, kVelocity, 0, 0, false, false, "rpm/volt"},
        {9, kCurrent, 0, 0, true, true, "amps/volt"},
        {1, kCurrent, 0, 0, true, false, "rpm/volt"},
        {1, kPosition, 0, 0, false, false, "rpm/volt"},
        {15, kCurrent, 1, 4, true, false, "amps/volt"},
    };
    for (const auto& c : cases) {
        const KrelnInputEnables e = CAnalogIoRules::KrelnInputs(c.ch, c.mode, c.etf, c.feedback);
        EXPECT_EQ(e.primary, c.primary) << c.ch << " mode " << c.mode;
        EXPECT_EQ(e.aux, c.aux) << c.ch << " mode " << c.mode;
        EXPECT_EQ(std::string(e.gainUnit), c.unit) << c.ch << " mode " << c.mode;
    }
}

TEST(AnalogIoRules, BindingWarningAndSteps)
{
    const AuxGainBinding tach = CAnalogIoRules::AuxBinding(3);
    EXPECT_EQ(tach.reg, 21091);
    EXPECT_EQ(std::string(tach.gainName), "Tach Gain");
    EXPECT_EQ(std::string(tach.offsetName), "Tach Offset");
    const AuxGainBinding plain = CAnalogIoRules::AuxBinding(0);
    EXPECT_EQ(plain.reg, 1075);
    EXPECT_EQ(std::string(plain.gainName), "Aux Analog Input Signal Gain");

    EXPECT_TRUE(CAnalogIoRules::WarnsOfZeroInputScale(21, 0));
    EXPECT_FALSE(CAnalogIoRules::WarnsOfZeroInputScale(21, 32767));
    EXPECT_FALSE(CAnalogIoRules::WarnsOfZeroInputScale(10, 0));
    EXPECT_FALSE(CAnalogIoRules::WarnsOfZeroInputScale(11, 0));

    const struct {
        SpinStepSetting setting;
        double perUnit, step;
    } steps[] = {
        {{0.1, 0, 0.0}, 5.0, 0.1},           // fixed
        {{1.0, 1, 0.01}, 0.390625, 0.390625},  // one drive unit
        {{1.0, 1, 0.0001}, 0.0000305, 0.0001},  // but never below the minimum
        {{1.0, 1, 0.01}, -0.5, 0.5},           // a negative conversion steps by its size
    };
    for (const auto& s : steps)
        EXPECT_DOUBLE_EQ(CAnalogIoRules::SpinStep(s.setting, s.perUnit), s.step) << s.perUnit;
    EXPECT_EQ(CAnalogIoRules::InputGainStep(2).inDriveUnits, 1);
    EXPECT_EQ(CAnalogIoRules::InputGainStep(6).inDriveUnits, 0);
    EXPECT_DOUBLE_EQ(CAnalogIoRules::InputGainStep(0).step, 0.01);
}

}  // namespace

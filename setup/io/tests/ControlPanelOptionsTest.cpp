#include <gtest/gtest.h>

#include <map>
#include <string>

#include "setup/io/AnalogSignalLists.h"
#include "setup/io/ControlSignalRules.h"
#include "setup/io/PanelBarMath.h"
#include "setup/io/PanelOptionsModeList.h"
#include "setup/io/PanelOptionsSettings.h"
#include "setup/io/PanelScaling.h"
#include "testing/TempDir.h"

namespace {

class PanelOptionsTest : public ::testing::Test {
protected:
    void SetUp() override { m_modes.BuildDefaults(); }
    std::string Ini() const { return m_home.File("kvsettings.ini"); }
    // The dialog's texts: each option's shown value unless typed over.
    CPanelOptionsSettings::TextOf Texts(std::map<int, std::string> typed) const
    {
        return [typed](const CPanelOption& option) {
            const auto found = typed.find(option.m_keyNumber);
            return found != typed.end() ? CString(found->second.c_str()) : CPanelOptionsSettings::ShowText(option);
        };
    }

    TempDir m_home;
    CPanelOptionsModeList m_modes;
};

TEST_F(PanelOptionsTest, NoSectionKeepsTheDefaultsAndTextGivesZero)
{
    CPanelOptionsSettings::Load(m_modes, Ini().c_str());
    EXPECT_EQ(m_modes.GetMode(kPanelVelocity)->Max(), 2000.0);
    EXPECT_EQ(m_modes.GetMode(kPanelCurrent)->Min(), -2.0);
    EXPECT_EQ(m_modes.GetMode(kPanelPosition)->Step(), 250.0);
    EXPECT_EQ(m_modes.GetMode(kPanelPosition)->Option(kPanelMin).EditId(), 1571);

    m_home.Write("kvsettings.ini", "[CONTROL PANEL OPTIONS]\r\nVelocityStep=abc\r\nMaximumCurrent=3.5\r\n");
    CPanelOptionsSettings::Load(m_modes, Ini().c_str());
    EXPECT_EQ(m_modes.GetMode(kPanelVelocity)->Step(), 0.0);
    EXPECT_EQ(m_modes.GetMode(kPanelCurrent)->Max(), 3.5);
    EXPECT_THROW(m_modes.GetMode(12), std::out_of_range);
    EXPECT_EQ(m_modes.GetMode(0), nullptr);
}

TEST_F(PanelOptionsTest, LimitsWithoutARangeGiveThatModeItsDefaults)
{
    m_home.Write("kvsettings.ini",
                 "[CONTROL PANEL OPTIONS]\r\nMinimumVelocity=abc\r\nMaximumVelocity=abc\r\nMaximumCurrent=5\r\n");
    CPanelOptionsSettings::Load(m_modes, Ini().c_str());
    EXPECT_EQ(m_modes.GetMode(kPanelVelocity)->Min(), -2000.0);
    EXPECT_EQ(m_modes.GetMode(kPanelVelocity)->Max(), 2000.0);
    EXPECT_EQ(m_modes.GetMode(kPanelCurrent)->Max(), 5.0);
}

TEST_F(PanelOptionsTest, Validation)
{
    // Keys: 9 MinimumVelocity, 8 MaximumVelocity, 10 VelocityStep, 13 PositionStep.
    const struct {
        std::map<int, std::string> typed;
        const char* message;
    } cases[] = {
        {{}, ""},
        {{{9, "0"}, {8, "2000"}}, ""},
        {{{9, "10"}, {8, "2000"}}, "Velocity Min/Max must include zero within the range."},
        {{{9, "100"}, {8, "100"}}, "Velocity Min option must be less than the Max option."},
        {{{10, "4000"}}, "Velocity Step option must be less than difference between Min and Max."},
        {{{13, "0"}}, "Position Step option must be within the range 2 to 32766."},
        {{{13, "40000"}}, "Position Step option must be within the range 2 to 32766."},
        {{{11, "3000000000"}}, "Position Max option must be within the range -2147483646 to 2147483646."},
        {{{6, "-1"}, {5, "-0.5"}, {7, "0.1"}}, "Current Min/Max must include zero within the range."},
        {{{9, "abc"}, {8, "abc"}}, "Velocity Min option must be less than the Max option."},
    };
    for (const auto& c : cases) {
        CString message;
        EXPECT_EQ(CPanelOptionsSettings::Validate(m_modes, Texts(c.typed), message), *c.message == 0);
        EXPECT_EQ(std::string(message), c.message);
    }
}

TEST_F(PanelOptionsTest, OnlyChangedKeysAreWrittenAsTyped)
{
    CPanelOption& step = m_modes.GetMode(kPanelVelocity)->Option(kPanelStep);
    CPanelOption& max = m_modes.GetMode(kPanelVelocity)->Option(kPanelMax);
    EXPECT_EQ(CPanelOptionsSettings::SaveOption(max, "2000.00", Ini().c_str()), 0);
    EXPECT_EQ(CPanelOptionsSettings::SaveOption(step, " 150", Ini().c_str()), 1);
    EXPECT_EQ(step.m_value, 150.0);
    const std::string text = m_home.Read("kvsettings.ini");
    EXPECT_NE(text.find("[CONTROL PANEL OPTIONS]"), std::string::npos) << text;
    EXPECT_NE(text.find("VelocityStep= 150"), std::string::npos) << text;
    EXPECT_EQ(text.find("MaximumVelocity"), std::string::npos) << text;
}

CPanelScaling Scaling(int modeValue)
{
    CPanelScaling s;
    s.m_modeValue = modeValue;
    s.m_cs = 5;
    s.m_velInduction = 0.5;
    s.m_currentGain = 0.001;
    s.m_velGain = 0.25;
    s.m_tachGain = 2.0;
    s.m_etf = 1;
    return s;
}

TEST(PanelScaling, Conversions)
{
    CPanelScaling position = Scaling(4 | 2);
    CPanelScaling velocity = Scaling(2);
    CPanelScaling current = Scaling(0);
    CPanelScaling induction = Scaling(2);
    induction.m_cs = 1;
    CPanelScaling tach = Scaling(2);
    tach.m_cs = 16;
    CPanelScaling tiny = Scaling(2);
    tiny.m_velGain = 1e-300;
    CPanelScaling none = Scaling(0);
    none.m_currentGain = 0;

    const struct {
        const char* name;
        const CPanelScaling& scaling;
        double reading;
        double engineering;
        double command;
        LONG drive;
    } cases[] = {
        {"position", position, 123, 123, 3000000000.0, 2147483647},
        {"velocity", velocity, 4, 1, 1.9, 7},
        {"velocity negative", velocity, -4, -1, -1.9, -7},
        {"tach", tach, 4, 8, 9, 4},
        {"current", current, 1000, 1.0, 2.0005, 2001},
        {"current saturates", current, 0, 0, 50.0, 32767},
        {"induction", induction, 10, 5, -1e9, -32768},
        {"tiny factor", tiny, 0, 0, 1000.0, 2147483647},
        {"zero gain", none, 7, 0, 1.0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(c.scaling.EngineeringFromDrive(c.reading), c.engineering) << c.name;
        EXPECT_EQ(c.scaling.DriveFromEngineering(c.command), c.drive) << c.name;
    }
    EXPECT_EQ(PanelRegisterValue(3, 40000), 32767);
    EXPECT_EQ(PanelRegisterValue(35, -40000), -32767);
    EXPECT_EQ(PanelRegisterValue(16995, 40000), 40000);
    EXPECT_DOUBLE_EQ(position.FineIncrement(), 1.0);
    EXPECT_DOUBLE_EQ(velocity.FineIncrement(), 0.251);
    EXPECT_DOUBLE_EQ(current.FineIncrement(), 0.0011);
    EXPECT_EQ(CPanelScaling::EntryOf(CPanelScaling::ModeOf(6)), kPanelPosition);
    EXPECT_EQ(CPanelScaling::EntryOf(CPanelScaling::ModeOf(2)), kPanelVelocity);
    EXPECT_EQ(CPanelScaling::EntryOf(CPanelScaling::ModeOf(1)), kPanelCurrent);
}

TEST(PanelBarMath, StepsClicksAndMarker)
{
    CPanelOptionsModeList modes;
    modes.BuildDefaults();
    const CPanelOptionsMode& velocity = *modes.GetMode(kPanelVelocity);
    EXPECT_EQ(CPanelBarMath::Stepped(velocity, 1950, velocity.Step(), 1), 2000.0);
    EXPECT_EQ(CPanelBarMath::Stepped(velocity, 2000, velocity.Step(), 1), 2000.0);
    EXPECT_EQ(CPanelBarMath::Stepped(velocity, -1950, velocity.Step(), 0), -2000.0);

    CPanelScaling scaling = Scaling(2);
    scaling.m_velGain = 1.0;
    EXPECT_DOUBLE_EQ(CPanelBarMath::ClickTarget(velocity, scaling, 100, 0, 200), 0.0);
    EXPECT_DOUBLE_EQ(CPanelBarMath::ClickTarget(velocity, scaling, 0, 0, 200), -2000.0);
    EXPECT_DOUBLE_EQ(CPanelBarMath::ClickTarget(velocity, scaling, 150, 0, 200), 1000.0);
    scaling.m_velGain = 3.0;
    EXPECT_DOUBLE_EQ(CPanelBarMath::ClickTarget(velocity, scaling, 150, 0, 200), 999.0);
    const CPanelOptionsMode& position = *modes.GetMode(kPanelPosition);
    EXPECT_DOUBLE_EQ(CPanelBarMath::ClickTarget(position, Scaling(4), 133, 0, 200), 2640.0);

    EXPECT_EQ(CPanelBarMath::MarkerX(velocity, 0, 0, 200), 100);
    EXPECT_EQ(CPanelBarMath::MarkerX(velocity, -2000, 0, 200), 2);
    EXPECT_EQ(CPanelBarMath::MarkerX(velocity, 2000, 0, 200), 198);
    CPanelOptionsModeList flat;
    flat.BuildDefaults();
    flat.GetMode(kPanelVelocity)->Option(kPanelMax).m_value = -2000;
    EXPECT_EQ(CPanelBarMath::MarkerX(*flat.GetMode(kPanelVelocity), 5, 0, 200), 2);
}

}  // namespace

namespace {

TEST(ControlSignalRules, EnableRules)
{
    const int E = kBoxEnabled, D = kBoxDisabled, B = kBoxBlanked;
    const struct {
        int mode, cs, linear;
        int currentCommanded, velocityMeasured, velocityCommanded, velocityError, positionCommanded, positionError,
            positionMeasured, rpmEnabled;
        const char* rpm;
    } cases[] = {
        {0x0, 5, 0, E, E, B, B, D, D, E, 1, "Rpm"},
        {0x2, 9, 1, E, E, E, E, D, D, D, 1, "mm/sec"},
        {0x6, 16, 0, E, E, E, E, E, E, E, 1, "Rpm"},
        {0x12, 12, 0, B, B, E, E, D, D, D, 0, "Rpm"},
        {0x0, 1, 0, B, E, E, B, D, D, E, 1, "Rpm"},
        {0x10, 15, 0, B, B, B, B, D, D, D, 0, "Rpm"},
    };
    for (const auto& c : cases) {
        const ControlSignalBoxes b = CControlSignalRules::Apply(c.mode, c.cs, c.linear);
        EXPECT_EQ(b.currentCommanded, c.currentCommanded) << c.mode << " " << c.cs;
        EXPECT_EQ(b.velocityMeasured, c.velocityMeasured) << c.mode << " " << c.cs;
        EXPECT_EQ(b.velocityCommanded, c.velocityCommanded) << c.mode << " " << c.cs;
        EXPECT_EQ(b.velocityError, c.velocityError) << c.mode << " " << c.cs;
        EXPECT_EQ(b.positionCommanded, c.positionCommanded) << c.mode << " " << c.cs;
        EXPECT_EQ(b.positionError, c.positionError) << c.mode << " " << c.cs;
        EXPECT_EQ(b.positionMeasured, c.positionMeasured) << c.mode << " " << c.cs;
        EXPECT_EQ(b.rpmEnabled, c.rpmEnabled) << c.mode << " " << c.cs;
        EXPECT_EQ(std::string(b.rpmCaption), c.rpm);
    }
}

}  // namespace

namespace {

TEST(AnalogSignalLists, SectionsLabelsAndCounts)
{
    const struct {
        int ch, param7;
        const char* output;
        const char* aux;
        int disabled;
    } cases[] = {
        {9, 1, "Analog_Out_SIGNALS_TWO_PH", "", 0},
        {16, 0, "Analog_Out_SIGNALS_Kreln", "Analog_Out_SIGNALS_Kreln", 0},
        {13, 0, "Analog_Out_SIGNALS_FW3", "Analog_Out_SIGNALS_FW3", 1},
        {13, 1, "Analog_Out_SIGNALS_FW3", "Analog_Out_SIGNALS_FW3", 0},
        {5, 1, "Analog_Out_SIGNALS_FW3", "Analog_Out_SIGNALS_FW3", 0},
        {5, 0, "Analog_Out_SIGNALS_FW3", "", 0},
    };
    for (const auto& c : cases) {
        const AnalogListSections s = CAnalogSignalLists::SectionsFor(c.ch, c.param7);
        EXPECT_EQ(std::string(s.output), c.output) << c.ch;
        EXPECT_EQ(std::string(s.aux), c.aux) << c.ch;
        EXPECT_EQ(s.disableAuxOutput, c.disabled) << c.ch;
    }
    EXPECT_EQ(std::string(CAnalogSignalLists::AuxLabels(16, 1).gain), "Tach Scale:");
    EXPECT_EQ(std::string(CAnalogSignalLists::AuxLabels(16, 0).gainUnit), "amps/volt");
    EXPECT_EQ(std::string(CAnalogSignalLists::AuxLabels(9, 1).offset), "Signal Offset:");

    TempDir home;
    home.Write("kvfact.ini", "[AO_SIGNAL_COUNT]\r\nAnalog_Out_SIGNALS_FW3=3\r\nAnalog_Out_SIGNALS_Kreln=99999999\r\n"
                             "[Analog_Out_SIGNALS_FW3]\r\nSource 1=Velocity\r\n");
    CStringArray entries;
    CAnalogSignalLists::ReadList(home.File("kvfact.ini").c_str(), "Analog_Out_SIGNALS_FW3", entries);
    ASSERT_EQ(entries.GetSize(), 4);
    EXPECT_EQ(std::string(entries[0]), "Source 0");
    EXPECT_EQ(std::string(entries[1]), "Velocity");
    EXPECT_EQ(std::string(entries[3]), "Source 3");
    CAnalogSignalLists::ReadList(home.File("kvfact.ini").c_str(), "Analog_Out_SIGNALS_TWO_PH", entries);
    ASSERT_EQ(entries.GetSize(), 1);
    CAnalogSignalLists::ReadList(home.File("kvfact.ini").c_str(), "Analog_Out_SIGNALS_Kreln", entries);
    EXPECT_EQ(entries.GetSize(), 1025) << "a damaged count is capped";
}

}  // namespace

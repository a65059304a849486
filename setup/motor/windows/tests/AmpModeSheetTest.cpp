#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "MotorDemoFixture.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "framework/tests/FakeGuiAppServices.h"
#include "platform/ui/UserInput.h"
#include "setup/motor/windows/QvxGuiAmpModeSettingsSheet.h"
#include "testing/WindowShot.h"

namespace {
constexpr WORD kModeCode = 13796;
constexpr WORD kSourceCode = 3188;
constexpr WORD kStatusCode = 20065;
constexpr LONG kEnabledStatus = 0x100;
}  // namespace

class AmpModeSheetTest : public MotorDemoTest {
protected:
    void PrepareDrives() override
    {
        MotorDemoTest::PrepareDrives();
        SetRegister(kTavro, kModeCode, m_mode);
        SetRegister(kTavro, kSourceCode, 0);
        SetRegister(kTavro, 419, 0);
    }
    CQvxGuiAmpModeSettingsSheet* Open()
    {
        auto* sheet = dynamic_cast<CQvxGuiAmpModeSettingsSheet*>(
            m_frame.m_registry.CreateGui("AMP_MODE_SETTINGS_SHEET", nullptr, 1));
        if (sheet) {
            EXPECT_TRUE(Wait([&] {
                return sheet->GetDrive() == kTavro && sheet->m_velocityPage.AreStagesDone() &&
                       sheet->m_positionPage.AreStagesDone() && sheet->m_currentPage.AreStagesDone();
            }));
        }
        return sheet;
    }
    static CString Tab(CGuiUpdatePpg& page) { return CGuiUpdatePpg::GetTabText(&page); }

    LONG m_mode = 0x02;
};

class AmpModeSheetEnableTest : public AmpModeSheetTest {
protected:
    AmpModeSheetEnableTest() { m_mode = 0x12; }
};

TEST_F(AmpModeSheetEnableTest, EnableBoxesWriteTheModeWordAndTheTabsFollow)
{
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiAmpVelModePpg& velocity = sheet->m_velocityPage;
    CQvxGuiAmpPosModePpg& position = sheet->m_positionPage;
    ASSERT_TRUE(Wait([&] { return Tab(velocity) == "[X] Velocity"; })) << Tab(velocity).GetString();
    EXPECT_EQ(Tab(sheet->m_currentPage), "[X] Current");
    EXPECT_EQ(Tab(position), "[  ] Position");

    kvtest::Click(position.GetDlgItem(IDC_POS_ENABLE));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kModeCode) == 0x06; })) << Register(kTavro, kModeCode);
    EXPECT_TRUE(Wait([&] { return Tab(position) == "[X] Position"; })) << Tab(position).GetString();

    kvtest::Click(velocity.GetDlgItem(IDC_VEL_ENABLE));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kModeCode) == 0x04; })) << Register(kTavro, kModeCode);
    EXPECT_TRUE(Wait([&] { return Tab(velocity) == "[  ] Velocity"; })) << Tab(velocity).GetString();
    EXPECT_EQ(Tab(sheet->m_currentPage), "[X] Current");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(AmpModeSheetTest, SourceRadiosWriteTheCommandSourceAndShowItOnlyInVelocityMode)
{
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiAmpVelModePpg& page = sheet->m_velocityPage;
    ASSERT_TRUE(Wait([&] { return Checked(&page, IDC_VEL_ANALOG); }));
    ASSERT_TRUE(Wait([&] { return Enabled(&page, IDC_VEL_PWM100); })) << "no factory settings: every source offered";
    kvtest::Click(page.GetDlgItem(IDC_VEL_PWM100));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kSourceCode) == 2; })) << Register(kTavro, kSourceCode);
    kvtest::Click(page.GetDlgItem(IDC_VEL_PWM50));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kSourceCode) == 1; })) << Register(kTavro, kSourceCode);

    SetRegister(kTavro, kModeCode, 0);
    EXPECT_TRUE(Wait([&] {
        return !Checked(&page, IDC_VEL_ANALOG) && !Checked(&page, IDC_VEL_PWM50) && !Checked(&page, IDC_VEL_PWM100);
    }));
    EXPECT_FALSE(Enabled(&page, IDC_VEL_ANALOG));
    EXPECT_EQ(Tab(page), "[  ] Velocity");
}

TEST_F(AmpModeSheetTest, BothColumnsShowTheDriveAndASentWorkingValueReachesIt)
{
    SetRegister(kTavro, 9267, 1000);
    SetRegister(kTavro, 27255, 40);
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiAmpVelModePpg& page = sheet->m_velocityPage;
    double gain = 0;
    ASSERT_TRUE(Wait([&] { return m_table.GetParameterValue(kTavro, GPD_PRIMARY_ANAIN_SCALE, gain) && gain > 0; }));
    CString shown;
    shown.Format("%0.2f", 1000 * gain);
    const auto plain = [&](int id) {
        CString text = Text(&page, id);
        text.Replace(",", "");
        return text;
    };
    EXPECT_TRUE(Wait([&] { return plain(IDC_VEL_GAIN_DRIVE) == shown && plain(IDC_VEL_GAIN_WORK) == shown; }))
        << plain(IDC_VEL_GAIN_DRIVE).GetString() << " / " << plain(IDC_VEL_GAIN_WORK).GetString() << " want "
        << shown.GetString();
    EXPECT_TRUE(Wait([&] { return !Text(&page, IDC_VEL_ZERO_SPEED_DRIVE).IsEmpty(); }));

    // The spin moves the working entry by its step, in the units shown.
    CWnd* spin = page.GetDlgItem(IDC_VEL_GAIN_SPIN);
    CRect box;
    spin->GetClientRect(&box);
    const double before = std::atof(plain(IDC_VEL_GAIN_WORK));
    kvtest::ClickAt(spin, CPoint(box.Width() / 2, box.Height() / 4));
    // The entry then settles on the nearest drive unit.
    EXPECT_TRUE(Wait([&] { return std::fabs(std::atof(plain(IDC_VEL_GAIN_WORK)) - (before + 0.1)) <= gain; }))
        << plain(IDC_VEL_GAIN_WORK).GetString() << " after " << before;

    CString command, reply;
    command.Format("CONTROL(\"Analog Input Signal Gain\").SETVALUE(%.6f)", 1500 * gain);
    ASSERT_EQ(page.ExecuteCommand(command, reply), 1) << reply.GetString();
    ASSERT_EQ(sheet->ExecuteCommand("SENDTOAMP(-1)", reply), 1) << reply.GetString();
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 9267) == 1500; })) << Register(kTavro, 9267);

    kvtest::Click(&sheet->GetSendButton());
    EXPECT_TRUE(Wait([&] { return Shown(Boxes(), "Send settings to drive?"); }));
}

TEST_F(AmpModeSheetTest, BrakingValuesGoOutWithTheirOwnButton)
{
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiAmpVelModePpg& page = sheet->m_velocityPage;
    ASSERT_EQ(Indexed(kTavro, 67, 73, 0), 0);
    ASSERT_TRUE(Wait([&] { return Enabled(&page, IDC_VEL_BRAKING_WORK); }));
    kvtest::Click(page.GetDlgItem(IDC_VEL_BRAKING_WORK));
    kvtest::Click(page.GetDlgItem(IDC_VEL_SEND_BRAKING));
    EXPECT_TRUE(Wait([&] { return Indexed(kTavro, 67, 73, 0) == 1; })) << Indexed(kTavro, 67, 73, 0);
    EXPECT_TRUE(Shown(Boxes(), "Send brake settings to drive?"));
}

class AmpModeSheetBothModesTest : public AmpModeSheetTest {
protected:
    AmpModeSheetBothModesTest() { m_mode = 0x06; }
};

TEST_F(AmpModeSheetBothModesTest, OnlyTheBrakingRowsStayAndTheDriveEnableLocksThem)
{
    SetRegister(kTavro, 9267, 1000);
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiAmpVelModePpg& page = sheet->m_velocityPage;
    ASSERT_TRUE(Wait([&] { return Checked(&page, IDC_VEL_ENABLE); }));
    Settle();
    EXPECT_TRUE(Text(&page, IDC_VEL_GAIN_DRIVE).IsEmpty()) << Text(&page, IDC_VEL_GAIN_DRIVE).GetString();
    for (int id : {IDC_VEL_GAIN_WORK, IDC_VEL_ZERO_SPEED_WORK, IDC_VEL_ANALOG, IDC_VEL_PWM50, IDC_VEL_MAX_TIME_WORK,
                   IDC_VEL_DELAY_WORK, IDC_VEL_FET_DRIVE, IDC_VEL_BRAKING_DRIVE})
        EXPECT_FALSE(Enabled(&page, id)) << id;
    const int whileDisabled[] = {IDC_VEL_FET_WORK, IDC_VEL_FET_LABEL, IDC_VEL_BRAKING_WORK, IDC_VEL_BRAKING_LABEL,
                                 IDC_VEL_SEND_BRAKING};
    for (int id : whileDisabled)
        EXPECT_TRUE(Enabled(&page, id)) << id;
    for (int id : {IDC_VEL_DECEL_LABEL, IDC_VEL_DECEL_WORK, IDC_VEL_DECEL_DRIVE})
        EXPECT_TRUE(Enabled(&page, id)) << id;
    Screenshot(sheet, "amp_mode_both_modes");

    SetRegister(kTavro, kStatusCode, kEnabledStatus);
    EXPECT_TRUE(Wait([&] { return !Enabled(&page, IDC_VEL_SEND_BRAKING); }));
    for (int id : whileDisabled)
        EXPECT_FALSE(Enabled(&page, id)) << id;
    EXPECT_TRUE(Enabled(&page, IDC_VEL_DECEL_WORK));
}

namespace {
struct PwmCase {
    const char* ini;
    bool pwm50;
    bool pwm100;
};
void PrintTo(const PwmCase& c, std::ostream* os) { *os << "50% " << c.pwm50 << ", 100% " << c.pwm100; }
}  // namespace

class AmpModeSheetPwmTest : public AmpModeSheetTest, public ::testing::WithParamInterface<PwmCase> {};

TEST_P(AmpModeSheetPwmTest, PwmSourcesFollowTheFirmwareGates)
{
    const std::string path = m_home.File("kvfact.ini");
    std::ofstream(path) << GetParam().ini;
    FakeGuiAppServices services(path);
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiAmpVelModePpg& page = sheet->m_velocityPage;
    ASSERT_TRUE(Wait([&] { return Enabled(&page, IDC_VEL_ANALOG) && Enabled(&page, IDC_VEL_PWM50); }));
    EXPECT_EQ(Enabled(&page, IDC_VEL_PWM50), GetParam().pwm50);
    EXPECT_EQ(Enabled(&page, IDC_VEL_PWM100), GetParam().pwm100);
}

// The demo Tavro runs firmware 5.10.
INSTANTIATE_TEST_SUITE_P(Gates, AmpModeSheetPwmTest,
                         ::testing::Values(PwmCase{"[UNLOCK_TAVRO_FUNCTION_VER]\r\nPwm50=5.00\r\nPwm100=5.20\r\n",
                                                   true, false},
                                           PwmCase{"[UNLOCK_TAVRO_FUNCTION_VER]\r\nPwm50=5.10\r\nPwm100=5.10\r\n",
                                                   true, true},
                                           PwmCase{"[MODEL DISPLAY]\r\n", true, true}));

class AmpModeSheetGearingTest : public AmpModeSheetTest {
protected:
    AmpModeSheetGearingTest() { m_mode = 0x0C; }
    void PrepareDrives() override
    {
        AmpModeSheetTest::PrepareDrives();
        SetRegister(kTavro, CQvxGuiAmpPosModePpg::kGearOutCode, 5);
        SetRegister(kTavro, CQvxGuiAmpPosModePpg::kGearInCode, 2);
    }
    CString SetWorking(CGuiUpdatePpg& page, const char* name, const char* value)
    {
        CString command, reply;
        command.Format("CONTROL(\"%s\").SETVALUE(%s)", name, value);
        page.ExecuteCommand(command, reply);
        return reply;
    }
};

TEST_F(AmpModeSheetGearingTest, CalculatedRowsAndReverse)
{
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiAmpPosModePpg& page = sheet->m_positionPage;
    ASSERT_TRUE(Wait([&] { return Text(&page, IDC_POS_RATIO_DRIVE) == "2.5000"; }))
        << Text(&page, IDC_POS_RATIO_DRIVE).GetString();
    const struct {
        const char* gearOut;
        const char* gearIn;
        const char* ratio;
        const char* factor;
    } cases[] = {{"-100", "3", "-33.3333", "1431655765"}, {"7", "1", "7.0000", "4294967295"}};
    for (const auto& c : cases) {
        SetWorking(page, "Gear Out", c.gearOut);
        SetWorking(page, "Gear In", c.gearIn);
        EXPECT_TRUE(Wait([&] { return Text(&page, IDC_POS_RATIO_WORK) == c.ratio; }))
            << c.gearIn << ": " << Text(&page, IDC_POS_RATIO_WORK).GetString();
        EXPECT_TRUE(Wait([&] { return Text(&page, IDC_POS_FACTOR_WORK) == c.factor; }))
            << c.gearIn << ": " << Text(&page, IDC_POS_FACTOR_WORK).GetString();
    }
    SetWorking(page, "Gear Out", "-32768");
    kvtest::Click(page.GetDlgItem(IDC_POS_REVERSE));
    CString reversed = Text(&page, IDC_POS_GEAR_OUT_WORK);
    reversed.Replace(",", "");
    EXPECT_EQ(reversed, "32767");
    EXPECT_FALSE(Checked(&page, IDC_POS_REVERSE));
    EXPECT_EQ(Register(kTavro, CQvxGuiAmpPosModePpg::kGearOutCode), 5) << "Reverse does not send";
}

TEST_F(AmpModeSheetGearingTest, GearingGoesOnlyToADisabledDrive)
{
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiAmpPosModePpg& page = sheet->m_positionPage;
    ASSERT_TRUE(Wait([&] { return !Text(&page, IDC_POS_GEAR_OUT_WORK).IsEmpty(); }));
    SetRegister(kTavro, kStatusCode, kEnabledStatus);
    ASSERT_TRUE(Wait([&] { return page.GetEnableBit() == 1 && sheet->GetEnableBit() == 1; }));
    SetWorking(page, "Gear Out", "9");
    SetWorking(page, "Gear In", "4");
    CString reply;
    sheet->ExecuteCommand("SENDTOAMP(-1)", reply);
    kvtest::Click(page.GetDlgItem(IDC_POS_SEND_GEARING));
    kvtest::Click(&sheet->GetSendButton());
    Settle();
    EXPECT_EQ(Register(kTavro, CQvxGuiAmpPosModePpg::kGearOutCode), 5);
    EXPECT_EQ(Register(kTavro, CQvxGuiAmpPosModePpg::kGearInCode), 2);
    EXPECT_TRUE(Shown(Boxes(), "Please disable drive before sending values to drive"));

    SetRegister(kTavro, kStatusCode, 0);
    ASSERT_TRUE(Wait([&] { return page.GetEnableBit() == 0; }));
    SetWorking(page, "Gear Out", "9");
    SetWorking(page, "Gear In", "4");
    SetWorking(page, "Gear In Factor", "4294967295");
    kvtest::Click(page.GetDlgItem(IDC_POS_SEND_GEARING));
    EXPECT_TRUE(Wait([&] {
        return Register(kTavro, CQvxGuiAmpPosModePpg::kGearOutCode) == 9 &&
               Register(kTavro, CQvxGuiAmpPosModePpg::kGearInCode) == 4;
    }));
    EXPECT_TRUE(Wait([&] { return static_cast<DWORD>(Register(kTavro, CQvxGuiAmpPosModePpg::kGearFactorCode)) == 0xFFFFFFFFu; }))
        << Register(kTavro, CQvxGuiAmpPosModePpg::kGearFactorCode);
    EXPECT_TRUE(Shown(Boxes(), "Send gearing values to drive?"));
}

TEST_F(AmpModeSheetGearingTest, ShowCalculatedFieldsSurvivesALayoutRoundTrip)
{
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    sheet->SelectPage(&sheet->m_positionPage);
    CQvxGuiAmpPosModePpg* page = &sheet->m_positionPage;
    ASSERT_TRUE(Wait([&] { return page->IsWindowVisible() != FALSE; }));
    EXPECT_FALSE(page->GetDlgItem(IDC_POS_RATIO_LABEL)->IsWindowVisible());
    kvtest::Click(page->GetDlgItem(IDC_POS_SHOW_CALCULATED));
    ASSERT_TRUE(page->GetDlgItem(IDC_POS_RATIO_WORK)->IsWindowVisible());
    Screenshot(sheet, "amp_mode_position");

    const std::string path = m_home.File("layout.kvl");
    ASSERT_EQ(m_frame.m_list.SaveLayout(path.c_str(), 0, 0), 1);
    m_frame.DestroyAllWindows();
    ASSERT_TRUE(Wait([&] { return !IsOpen("CQvxGuiAmpModeSettingsSheet"); }));
    m_frame.m_list.SetInteractive(0);
    ASSERT_EQ(m_frame.m_list.LoadLayout(path.c_str()), 1);
    auto* loaded = dynamic_cast<CQvxGuiAmpModeSettingsSheet*>(m_frame.m_list.FindItem("CQvxGuiAmpModeSettingsSheet", kTavro));
    ASSERT_NE(loaded, nullptr);
    page = &loaded->m_positionPage;
    EXPECT_TRUE(Checked(page, IDC_POS_SHOW_CALCULATED));
    loaded->SelectPage(page);
    EXPECT_TRUE(Wait([&] { return page->GetDlgItem(IDC_POS_RATIO_LABEL)->IsWindowVisible() != FALSE; }));
}

namespace {
struct CurrentCase {
    LONG mode;
    LONG hardware14;
    bool primary;
    bool twoPhase;
    const char* unit;
};
void PrintTo(const CurrentCase& c, std::ostream* os) { *os << "mode " << c.mode << ", hardware " << c.hardware14; }
}  // namespace

class AmpModeSheetCurrentTest : public AmpModeSheetTest, public ::testing::WithParamInterface<CurrentCase> {
protected:
    AmpModeSheetCurrentTest() { m_mode = GetParam().mode; }
    void PrepareDrives() override
    {
        AmpModeSheetTest::PrepareDrives();
        SetIndexed(kTavro, 13452, 13449, 14, GetParam().hardware14);
    }
};

TEST_P(AmpModeSheetCurrentTest, PrimaryRowsAndTwoPhaseFollowTheModeAndHardware)
{
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiAmpCurModePpg& page = sheet->m_currentPage;
    ASSERT_TRUE(Wait([&] { return Text(&page, IDC_CUR_GAIN_UNIT) == GetParam().unit; }))
        << Text(&page, IDC_CUR_GAIN_UNIT).GetString();
    EXPECT_TRUE(Wait([&] { return Enabled(&page, IDC_CUR_TWO_PHASE) == GetParam().twoPhase; }));
    EXPECT_EQ(Enabled(&page, IDC_CUR_GAIN_WORK), GetParam().primary);
    EXPECT_EQ(Enabled(&page, IDC_CUR_DEADBAND_LABEL), GetParam().primary);
    EXPECT_TRUE(Checked(&page, IDC_CUR_ENABLE));
    EXPECT_FALSE(Enabled(&page, IDC_CUR_ENABLE));
    EXPECT_EQ(Checked(&page, IDC_CUR_TWO_PHASE), (GetParam().mode & 16) != 0);
    EXPECT_EQ(Enabled(&page, IDC_CUR_AUX_GAIN_WORK), (GetParam().mode & 16) != 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, AmpModeSheetCurrentTest,
                         ::testing::Values(CurrentCase{0x02, 8, false, false, "rpm/volt"},
                                           CurrentCase{0x04, 8, false, false, ""},
                                           CurrentCase{0x00, 8, true, true, "amp/volt"},
                                           CurrentCase{0x10, 8, true, true, "amp/volt"},
                                           CurrentCase{0x00, 0, true, false, "amp/volt"}));

TEST_F(AmpModeSheetTest, ALinearMotorReadsInMillimetres)
{
    SetRegister(kTavro, 419, 1);
    SetRegister(kTavro, 27255, 40);
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiAmpVelModePpg& page = sheet->m_velocityPage;
    ASSERT_TRUE(Wait([&] { return Text(&page, IDC_VEL_ZERO_SPEED_LABEL) == "Zero Speed Window (mm/sec):"; }));
    EXPECT_EQ(Text(&page, IDC_VEL_DECEL_LABEL), "Brake Deceleration (mm/sec^2):");
    EXPECT_EQ(Text(&page, IDC_VEL_GAIN_UNIT), "mm/sec/volt");
    ASSERT_TRUE(Wait([&] { return !Text(&page, IDC_VEL_ZERO_SPEED_DRIVE).IsEmpty(); }));
    EXPECT_EQ(Text(&page, IDC_VEL_ZERO_SPEED_DRIVE).Find('.'), -1) << Text(&page, IDC_VEL_ZERO_SPEED_DRIVE).GetString();
}

class AmpModeSheetDigitalTest : public AmpModeSheetTest {
protected:
    AmpModeSheetDigitalTest() { m_mode = 0x04; }
};

TEST_F(AmpModeSheetDigitalTest, DigitalOnlyLeavesTheModeChoicesAndThePulseFollowerOpensTheRest)
{
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    CQvxGuiAmpPosModePpg& page = sheet->m_positionPage;
    ASSERT_TRUE(Wait([&] { return Checked(&page, IDC_POS_ENABLE) && Checked(&page, IDC_POS_DIGITAL); }));
    for (int id : {IDC_POS_ENABLE, IDC_POS_DIGITAL, IDC_POS_PULSE})
        EXPECT_TRUE(Enabled(&page, id)) << id;
    for (int id : {IDC_POS_TYPE_PULSE_DIR, IDC_POS_GEAR_OUT_WORK, IDC_POS_SHOW_CALCULATED, IDC_POS_SEND_GEARING})
        EXPECT_FALSE(Enabled(&page, id)) << id;
    EXPECT_TRUE(Text(&page, IDC_POS_GEAR_OUT_DRIVE).IsEmpty());

    kvtest::Click(page.GetDlgItem(IDC_POS_PULSE));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kModeCode) == 0x0C; })) << Register(kTavro, kModeCode);
    EXPECT_TRUE(Enabled(&page, IDC_POS_GEAR_OUT_WORK));
    EXPECT_TRUE(Wait([&] { return !Text(&page, IDC_POS_GEAR_OUT_DRIVE).IsEmpty(); }));
    kvtest::Click(page.GetDlgItem(IDC_POS_TYPE_QUADRATURE));
    EXPECT_TRUE(Wait([&] { return (Register(kTavro, CQvxGuiAmpPosModePpg::kInputTypeCode) & 3) == 2; }));
}

TEST_F(AmpModeSheetTest, EnableBeforeTheModeWordIsKnownAsksToRetryAndChangesNothing)
{
    auto* sheet = dynamic_cast<CQvxGuiAmpModeSettingsSheet*>(
        m_frame.m_registry.CreateGui("AMP_MODE_SETTINGS_SHEET", nullptr, 1));
    ASSERT_NE(sheet, nullptr);
    // No tick has run yet: the page has no reply of its mode query.
    CQvxGuiAmpPosModePpg& page = sheet->m_positionPage;
    Boxes();
    kvtest::Click(page.GetDlgItem(IDC_POS_ENABLE));
    EXPECT_FALSE(Checked(&page, IDC_POS_ENABLE));
    EXPECT_TRUE(Shown(Boxes(), "Could not complete operation.  Please try again"));
    CQvxGuiAmpVelModePpg& velocity = sheet->m_velocityPage;
    const bool before = Checked(&velocity, IDC_VEL_ENABLE);
    kvtest::Click(velocity.GetDlgItem(IDC_VEL_ENABLE));
    EXPECT_EQ(Checked(&velocity, IDC_VEL_ENABLE), before);
    EXPECT_TRUE(Shown(Boxes(), "Could not complete operation.  Please try again"));
    Settle();
    EXPECT_EQ(Register(kTavro, kModeCode), 0x02);
}

TEST_F(AmpModeSheetDigitalTest, TheWholeSendLeavesClearedRowsAlone)
{
    SetRegister(kTavro, 9267, 1000);
    SetRegister(kTavro, 27255, 40);
    SetRegister(kTavro, 1075, 300);
    CQvxGuiAmpModeSettingsSheet* sheet = Open();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(Wait([&] { return Checked(&sheet->m_positionPage, IDC_POS_ENABLE); }));
    ASSERT_TRUE(Wait([&] { return Text(&sheet->m_velocityPage, IDC_VEL_GAIN_WORK).IsEmpty(); }));
    ASSERT_TRUE(Wait([&] { return Text(&sheet->m_positionPage, IDC_POS_GEAR_IN_WORK).IsEmpty(); }));
    // What the drive holds now; the cleared rows saw other values, or none.
    SetRegister(kTavro, 9267, 1234);
    SetRegister(kTavro, CQvxGuiAmpPosModePpg::kGearInCode, 6);
    CString reply;
    ASSERT_EQ(sheet->ExecuteCommand("SENDTOAMP(-1)", reply), 1) << reply.GetString();
    // A write queued behind the send: once it has landed, so has the send.
    CDistMngrResponseReceiver writer;
    ASSERT_GT(writer.SendCommand(kTavro, 1071, 77), 0);
    ASSERT_TRUE(Wait([&] { return Register(kTavro, 1071) == 77; }));
    EXPECT_EQ(Register(kTavro, 9267), 1234);
    EXPECT_EQ(Register(kTavro, CQvxGuiAmpPosModePpg::kGearInCode), 6);
    EXPECT_EQ(Register(kTavro, 27255), 40);
    EXPECT_EQ(Register(kTavro, 1075), 300);
}

#include <gtest/gtest.h>

#include "MotorDemoFixture.h"
#include "platform/ui/UserInput.h"
#include "setup/motor/windows/QvxGuiSetupMode2.h"
#include "testing/WindowShot.h"

namespace {
constexpr WORD kModeCode = 13796;
constexpr WORD kCsCode = 115;  // CS
}  // namespace

// On the Kreln drive, whose family the window serves; CS 5 offers every input.
class SetupMode2Test : public MotorDemoTest {
protected:
    void PrepareDrives() override
    {
        MotorDemoTest::PrepareDrives();
        SetRegister(kKreln, kCsCode, 5);
        SetRegister(kKreln, QvxGuiSetupMode2::kCimCode, 0);
        SetRegister(kKreln, QvxGuiSetupMode2::kGearInCode, 1);
        SetRegister(kKreln, QvxGuiSetupMode2::kPwmTimeoutCode, 2600);
        SetRegister(kKreln, kModeCode, m_mode);
        SetRegister(kKreln, QvxGuiSetupMode2::kInputTypeCode, m_type);
    }
    QvxGuiSetupMode2* Open()
    {
        auto* dlg = dynamic_cast<QvxGuiSetupMode2*>(m_frame.m_registry.CreateGui("MODE", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kKreln && dlg->AreStagesDone(); }));
            // Shown once every reply and conversion parameter is in.
            EXPECT_TRUE(Wait([&] { return Checked(dlg, IDC_CMD_CURRENT_LOOP); }));
        }
        return dlg;
    }

    LONG m_mode = 0x10;
    LONG m_type = 0x11;
};

TEST_F(SetupMode2Test, PwmClickWritesTheModeWordThenTheInputType)
{
    QvxGuiSetupMode2* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Enabled(dlg, IDC_CMD_PWM); }));
    EXPECT_TRUE(Checked(dlg, IDC_CMD_TWO_PHASE));
    EXPECT_TRUE(Checked(dlg, IDC_CMD_ANALOG));
    EXPECT_FALSE(Checked(dlg, IDC_CMD_PWM));
    EXPECT_FALSE(Enabled(dlg, IDC_CMD_CURRENT_LOOP));
    EXPECT_TRUE(Enabled(dlg, IDC_CMD_VELOCITY_LOOP));
    Screenshot(dlg, "setup_mode2");
    kvtest::Click(dlg->GetDlgItem(IDC_CMD_PWM));
    EXPECT_TRUE(Wait([&] { return Register(kKreln, kModeCode) == 0x08 && Register(kKreln, 16589) == 0x13; }))
        << Register(kKreln, kModeCode) << " " << Register(kKreln, 16589);
    EXPECT_TRUE(Wait([&] { return Checked(dlg, IDC_CMD_PWM) && !Checked(dlg, IDC_CMD_ANALOG); }));
}

TEST_F(SetupMode2Test, ACheckedInputCannotBeUncheckedByAClick)
{
    QvxGuiSetupMode2* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Enabled(dlg, IDC_CMD_ANALOG) && Checked(dlg, IDC_CMD_ANALOG); }));
    kvtest::Click(dlg->GetDlgItem(IDC_CMD_ANALOG));
    Settle();
    EXPECT_TRUE(Checked(dlg, IDC_CMD_ANALOG));
    EXPECT_EQ(Register(kKreln, kModeCode), 0x10);
    EXPECT_EQ(Register(kKreln, 16589), 0x11);
}

class SetupMode2PulseTest : public SetupMode2Test {
protected:
    SetupMode2PulseTest() { m_mode = 0x0C, m_type = 0; }
};

TEST_F(SetupMode2PulseTest, PulseTypesAreExclusiveAtOnceAndTheTimeoutIsShownScaled)
{
    QvxGuiSetupMode2* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Checked(dlg, IDC_CMD_PULSE_DIR) && Enabled(dlg, IDC_CMD_CW_CCW); }));
    EXPECT_TRUE(Checked(dlg, IDC_CMD_POSITION_LOOP));
    EXPECT_TRUE(Checked(dlg, IDC_CMD_PULSE_FOLLOWER));
    kvtest::Click(dlg->GetDlgItem(IDC_CMD_CW_CCW));
    EXPECT_TRUE(Wait([&] { return !Checked(dlg, IDC_CMD_PULSE_DIR); }));
    EXPECT_TRUE(Checked(dlg, IDC_CMD_CW_CCW));
    EXPECT_FALSE(Checked(dlg, IDC_CMD_QUADRATURE));
    EXPECT_TRUE(Wait([&] { return Register(kKreln, 16589) == 1; }));
    CString timeout;
    EXPECT_TRUE(Wait([&] {
        dlg->GetDlgItemText(IDC_CMD_PWM_TIMEOUT, timeout);
        return timeout == "100";
    })) << timeout.GetString();
    EXPECT_FALSE(Enabled(dlg, IDC_CMD_PWM_TIMEOUT));
}

TEST_F(SetupMode2Test, AZeroGearInIsReported)
{
    QvxGuiSetupMode2* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    Boxes();
    // Written through the link, as another window would: the window hears the change.
    CDistMngrResponseReceiver writer;
    ASSERT_GT(writer.SendCommand(kKreln, QvxGuiSetupMode2::kGearInCode, 0), 0);
    std::vector<CString> boxes;
    EXPECT_TRUE(Wait([&] {
        for (const CString& box : Boxes())
            boxes.push_back(box);
        return Shown(boxes, "Gear In cannot be zero in Position Loop - Pulse Follower.");
    })) << boxes.size() << " " << Register(kKreln, QvxGuiSetupMode2::kGearInCode);
}

class SetupMode2VersionTest : public SetupMode2Test, public ::testing::WithParamInterface<LONG> {
protected:
    SetupMode2VersionTest() { m_mode = 0x08, m_type = 0x03; }
    void PrepareDrives() override
    {
        SetupMode2Test::PrepareDrives();
        SetRegister(kKreln, QvxGuiSetupMode2::kVersionCode, GetParam());
    }
};

TEST_P(SetupMode2VersionTest, PwmInputShowsFromFirmware304)
{
    QvxGuiSetupMode2* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Checked(dlg, IDC_CMD_PULSE_FOLLOWER) == false && Enabled(dlg, IDC_CMD_PWM50); }));
    EXPECT_EQ(Checked(dlg, IDC_CMD_PWM), GetParam() >= 304);
}

INSTANTIATE_TEST_SUITE_P(Firmware, SetupMode2VersionTest, ::testing::Values(303, 304));

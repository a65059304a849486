#include <gtest/gtest.h>

#include <cstdlib>

#include "DialogReadings.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "framework/tests/DriveWindowDemoTest.h"
#include "platform/core/IniFile.h"
#include "platform/ui/UserInput.h"
#include "setup/motor/windows/CommutationWindowClasses.h"
#include "setup/motor/windows/QvxGuiMotorSafetyDlg.h"
#include "framework/QvxSelectAmpCombo.h"
#include "testing/WindowShot.h"

namespace {
enum Code : WORD { IFE = 9413, IFR = 9426, IFT = 9428, IL = 300, MI = 425, MPK = 429, MT = 436, SSA = 20065 };
}  // namespace

// The Tavro drive (address 2) with all four protections off but the breaker.
class MotorSafetyWindowTest : public DriveWindowDemoTest, protected MotorDialogReadings {
protected:
    void PrepareDrives() override
    {
        for (int drive : {kKreln, kTavro}) {
            SetServoFrequency(drive);
            SetRegister(drive, IFE, 1);
            SetRegister(drive, IFR, 100);
            SetRegister(drive, SSA, 0);
            if (m_version)
                SetRegister(drive, demo_codes::VER, m_version);
        }
        SetRegister(kKreln, IL, 1000);
        SetRegister(kTavro, IL, 2000);
    }
    void RegisterWindows(CGuiUpdateDlgIdMap& registry) override { RegisterCommutationWindows(registry); }

    CQvxGuiMotorSafetyDlg* Open()
    {
        auto* dlg = dynamic_cast<CQvxGuiMotorSafetyDlg*>(m_frame.m_registry.CreateGui("MOTOR_SAFETY", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kTavro && dlg->AreStagesDone(); }));
            EXPECT_TRUE(Wait([&] { return Checked(dlg, IDC_MSAFE_LOW_SPEED_BREAKER); }));
        }
        return dlg;
    }
    static bool Shows(CWnd* dlg, int id)
    {
        const CString text = Text(dlg, id);
        return !text.IsEmpty() && text != "Waiting..." && text != "Unavailable";
    }
    CString Setting(const char* key)
    {
        char text[64];
        GetPrivateProfileString(CQvxGuiMotorSafetyDlg::kSection, key, "<none>", text, sizeof(text),
                                m_app.m_iniPath.c_str());
        return text;
    }

    LONG m_version = 0;
};

TEST_F(MotorSafetyWindowTest, SettingsDefaultAndAreWrittenBackOnClose)
{
    CQvxGuiMotorSafetyDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(Text(dlg, IDC_MSAFE_DESIRED_TIME), "10");
    EXPECT_EQ(Text(dlg, IDC_MSAFE_DESIRED_CURRENT), "15");
    dlg->SetDlgItemText(IDC_MSAFE_DESIRED_TIME, "2.5");
    dlg->SetDlgItemText(IDC_MSAFE_DESIRED_CURRENT, "7");
    Screenshot(dlg, "motor_safety");
    dlg->SetClosing(1);
    dlg->DestroyWindow();
    ASSERT_TRUE(Wait([&] { return m_frame.m_list.IsEmpty(); }));
    EXPECT_EQ(Setting("DesiredTime"), "2.5");
    EXPECT_EQ(Setting("DesiredCurrent"), "7");
    for (const char* key : {"AllowedTime1", "AllowedCurrent1", "AllowedTime2", "AllowedCurrent2"})
        EXPECT_NE(Setting(key), "<none>") << key;

    CQvxGuiMotorSafetyDlg* again = Open();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Text(again, IDC_MSAFE_DESIRED_TIME), "2.5");
    EXPECT_EQ(Text(again, IDC_MSAFE_DESIRED_CURRENT), "7");
}

TEST_F(MotorSafetyWindowTest, UncheckingTheLastProtectionBringsTheBreakerBack)
{
    CQvxGuiMotorSafetyDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Enabled(dlg, IDC_MSAFE_LOW_TRIP_CURRENT); }));
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_MSAFE_LOW_SPEED_BREAKER));
    EXPECT_TRUE(Wait([&] { return Shown(Boxes(), "At least one protection method must be enabled."); }));
    EXPECT_TRUE(Checked(dlg, IDC_MSAFE_LOW_SPEED_BREAKER));
    EXPECT_TRUE(Enabled(dlg, IDC_MSAFE_LOW_TRIP_CURRENT));

    // Another protection on, the breaker may go.
    kvtest::Click(dlg->GetDlgItem(IDC_MSAFE_FOLD_BACK));
    kvtest::Click(dlg->GetDlgItem(IDC_MSAFE_LOW_SPEED_BREAKER));
    Settle();
    Settle();
    EXPECT_FALSE(Shown(Boxes(), "At least one protection"));
    EXPECT_FALSE(Checked(dlg, IDC_MSAFE_LOW_SPEED_BREAKER));
    EXPECT_TRUE(Wait([&] { return !Enabled(dlg, IDC_MSAFE_LOW_TRIP_CURRENT); }));
    EXPECT_TRUE(Enabled(dlg, IDC_MSAFE_FOLD_RATE));

    CString reply;
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(-1)", reply), 1);
    EXPECT_TRUE(Wait([&] { return Register(kTavro, IFE) == 2; })) << Register(kTavro, IFE);
}

TEST_F(MotorSafetyWindowTest, AnEnabledDriveRefusesTheSendAndTheScriptsSend)
{
    CQvxGuiMotorSafetyDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return !Text(dlg, IDC_MSAFE_FOLD_RATE).IsEmpty() && Text(dlg, IDC_MSAFE_FOLD_RATE) != "Waiting..."; }));
    SetRegister(kTavro, SSA, 0x100);
    ASSERT_TRUE(Wait([&] { return dlg->GetEnableBit() != 0; }));
    SetRegister(kTavro, IL, 1234);
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_MSAFE_SEND));
    CString reply;
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(-1)", reply), 1);
    Settle();
    const std::vector<CString> boxes = Boxes();
    EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(),
                            [](const CString& b) {
                                return b.Find("Motor is Enabled.\nMotor Safety values not sent to drive.") >= 0;
                            }),
              2);
    EXPECT_EQ(Register(kTavro, IL), 1234);

    SetRegister(kTavro, SSA, 0);
    ASSERT_TRUE(Wait([&] { return dlg->GetEnableBit() == 0; }));
    kvtest::Click(dlg->GetDlgItem(IDC_MSAFE_SEND));
    EXPECT_TRUE(Wait([&] { return Shown(Boxes(), "Press OK to send the following values to the drive:"); }));
    // The shown fold-back rate goes back as the register it came from, never as
    // the shown number itself.
    Settle();
    Settle();
    EXPECT_EQ(Register(kTavro, IFR), 100);
}

TEST_F(MotorSafetyWindowTest, PredictionShowsNumbers)
{
    // Drive ratings of 10 A continuous, 20 A peak (current gain read from the drive).
    CQvxGuiMotorSafetyDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(dlg->Features().i2tPrediction);
    ASSERT_TRUE(Wait([&] { return dlg->RunPrediction(); }));
    for (int id : {IDC_MSAFE_ALLOWED_TIME1, IDC_MSAFE_ALLOWED_CURRENT1, IDC_MSAFE_ALLOWED_TIME2,
                   IDC_MSAFE_ALLOWED_CURRENT2}) {
        const CString text = Text(dlg, id);
        EXPECT_EQ(text.Find("nan"), -1) << text.GetString();
        EXPECT_EQ(text.Find("inf"), -1) << text.GetString();
        EXPECT_EQ(text.Find("-0.00"), -1) << text.GetString();
    }
    EXPECT_EQ(Text(dlg, IDC_MSAFE_ALLOWED_TIME1), "10.00");
}

class MotorSafetyOldFirmwareTest : public MotorSafetyWindowTest {
protected:
    void SetUp() override
    {
        m_version = 409;
        MotorSafetyWindowTest::SetUp();
    }
};

TEST_F(MotorSafetyOldFirmwareTest, FoldBackWithoutI2tPrediction)
{
    CQvxGuiMotorSafetyDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(dlg->FeaturesKnown());
    EXPECT_TRUE(dlg->Features().foldBack);
    EXPECT_FALSE(dlg->Features().i2tPrediction);
    EXPECT_FALSE(dlg->Features().overspeedAndFollowing);
    EXPECT_TRUE(Enabled(dlg, IDC_MSAFE_FOLD_BACK));
    for (int id : {IDC_MSAFE_I2T, IDC_MSAFE_THERMAL_TC, IDC_MSAFE_CONT_CURRENT_DRIVE, IDC_MSAFE_PEAK_CURRENT,
                   IDC_MSAFE_FOLLOWING_LIMIT, IDC_MSAFE_OVERSPEED})
        EXPECT_FALSE(Enabled(dlg, id)) << id;
    EXPECT_TRUE(Wait([&] { return !Text(dlg, IDC_MSAFE_FOLD_RATE_DRIVE).IsEmpty(); }));
    Screenshot(dlg, "motor_safety_409");
}

TEST_F(MotorSafetyWindowTest, ATypedCurrentLimitIsListedAndSentWithoutEnter)
{
    CQvxGuiMotorSafetyDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    // The engineer types once the drive's current conversion is known, as a window open a moment shows it.
    double scale = 0;
    ASSERT_TRUE(Wait([&] { return m_table.GetParameterValue(kTavro, GPD_CURRENT_LIMIT, scale) && scale > 0; }));
    ASSERT_TRUE(Wait([&] { return Shows(dlg, IDC_MSAFE_CURRENT_LIMIT); }));
    CWnd* limit = dlg->GetDlgItem(IDC_MSAFE_CURRENT_LIMIT);
    limit->SetWindowText("");
    // Typed, and straight to Send without Enter.
    kvtest::TypeText(limit, "10");
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_MSAFE_SEND));
    // The entry is taken in (to the drive's resolution) before it is listed and sent.
    const CString entered = Text(dlg, IDC_MSAFE_CURRENT_LIMIT);
    EXPECT_NEAR(std::atof(entered), 10.0, 0.01) << entered.GetString();
    EXPECT_TRUE(Shown(Boxes(), "Current Limit = " + entered + "\r\n"));
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_MSAFE_CURRENT_LIMIT_DRIVE) == entered; }))
        << Text(dlg, IDC_MSAFE_CURRENT_LIMIT_DRIVE).GetString();
    EXPECT_NE(Register(kTavro, IL), 2000);
    EXPECT_EQ(Register(kKreln, IL), 1000);
}

TEST_F(MotorSafetyWindowTest, AnotherDriveShowsAndIsOfferedItsOwnValues)
{
    CQvxGuiMotorSafetyDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Shows(dlg, IDC_MSAFE_CURRENT_LIMIT) && Shows(dlg, IDC_MSAFE_CURRENT_LIMIT_DRIVE); }));
    const CString tavro = Text(dlg, IDC_MSAFE_CURRENT_LIMIT_DRIVE);

    CQvxSelectAmpCombo& selector = dlg->GetToolbar().GetSelector();
    int kreln = -1;
    for (int i = 0; i < selector.GetCount(); ++i)
        if (static_cast<int>(selector.GetItemData(i)) == kKreln)
            kreln = i;
    ASSERT_GE(kreln, 0);
    ASSERT_TRUE(kvtest::PickItem(&selector, kreln));
    ASSERT_TRUE(Wait([&] { return dlg->GetDrive() == kKreln && dlg->AreStagesDone(); }));
    EXPECT_TRUE(Wait([&] {
        return Shows(dlg, IDC_MSAFE_CURRENT_LIMIT_DRIVE) && Text(dlg, IDC_MSAFE_CURRENT_LIMIT_DRIVE) != tavro &&
               Text(dlg, IDC_MSAFE_CURRENT_LIMIT) == Text(dlg, IDC_MSAFE_CURRENT_LIMIT_DRIVE);
    })) << Text(dlg, IDC_MSAFE_CURRENT_LIMIT).GetString() << " / " << Text(dlg, IDC_MSAFE_CURRENT_LIMIT_DRIVE).GetString();
    const CString krelnLimit = Text(dlg, IDC_MSAFE_CURRENT_LIMIT_DRIVE);

    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_MSAFE_SEND));
    const std::vector<CString> boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Current Limit = " + krelnLimit));
    EXPECT_FALSE(Shown(boxes, "Current Limit = " + tavro));
    Settle();
    EXPECT_EQ(Register(kKreln, IL), 1000);
    EXPECT_EQ(Register(kTavro, IL), 2000);
}

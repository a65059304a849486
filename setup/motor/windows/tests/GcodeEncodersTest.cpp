#include <gtest/gtest.h>

#include "MotorDemoFixture.h"
#include "platform/ui/UserInput.h"
#include "setup/motor/windows/QvxGuiGcodeEncodersDlg.h"
#include "testing/WindowShot.h"

namespace {
constexpr WORD kModeCode = 13796;
constexpr WORD kStatusCode = 20065;
constexpr int kMdlCode = 13452;
constexpr int kMdlIndexCode = 13449;
}  // namespace

// On the Kreln drive in position mode with the pulse follower.
class GcodeEncodersTest : public MotorDemoTest {
protected:
    void PrepareDrives() override
    {
        MotorDemoTest::PrepareDrives();
        SetRegister(kKreln, kModeCode, 0x0C);
        SetRegister(kKreln, CQvxGuiGcodeEncodersDlg::kVersionCode, m_version);
        SetIndexed(kKreln, kMdlCode, kMdlIndexCode, 23, m_hardware23);
        SetRegister(kKreln, CQvxGuiGcodeEncodersDlg::kEncoderOutputCode, 0x83);
        SetRegister(kKreln, CQvxGuiGcodeEncodersDlg::kGearOutCode, 100);
        SetRegister(kKreln, CQvxGuiGcodeEncodersDlg::kGearInCode, 3);
    }
    CQvxGuiGcodeEncodersDlg* Open()
    {
        auto* dlg = dynamic_cast<CQvxGuiGcodeEncodersDlg*>(m_frame.m_registry.CreateGui("ENCODERS", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kKreln && dlg->AreStagesDone(); }));
        }
        return dlg;
    }
    LONG EncoderWord() { return Register(kKreln, CQvxGuiGcodeEncodersDlg::kEncoderOutputCode); }

    LONG m_version = 423;
    LONG m_hardware23 = 0;
};

TEST_F(GcodeEncodersTest, ShowsTheDivisorAndSendsTheChosenOne)
{
    CQvxGuiGcodeEncodersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->DivisorKind(), 1);
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_GEAR_DRIVE_VALUE) == "4"; })) << Text(dlg, IDC_GEAR_DRIVE_VALUE).GetString();
    EXPECT_TRUE(Checked(dlg, IDC_GEAR_DIVISOR_1 + 2));
    EXPECT_EQ(Text(dlg, IDC_GEAR_DIVISOR_1 + 4), "16");
    EXPECT_TRUE(Wait([&] { return Checked(dlg, IDC_GEAR_ENC_REVERSE_DRIVE); }));
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_GEAR_RATIO_DRIVE) == "33.3333"; }))
        << Text(dlg, IDC_GEAR_RATIO_DRIVE).GetString();
    Screenshot(dlg, "gcode_encoders");

    ASSERT_TRUE(Wait([&] { return Enabled(dlg, IDC_GEAR_SEND) && Enabled(dlg, IDC_GEAR_ENC_REVERSE_WORK); }));
    kvtest::Click(dlg->GetDlgItem(IDC_GEAR_DIVISOR_1 + 4));
    if (!Checked(dlg, IDC_GEAR_ENC_REVERSE_WORK))
        kvtest::Click(dlg->GetDlgItem(IDC_GEAR_ENC_REVERSE_WORK));
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_GEAR_SEND));
    EXPECT_TRUE(Wait([&] { return EncoderWord() == 0x85; })) << EncoderWord();
    const std::vector<CString> boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Press OK to send the following values:\r\n\r\nGear Out = 100"))
        << (boxes.empty() ? "" : boxes.front().GetString());
}

TEST_F(GcodeEncodersTest, ReverseNegatesTheEntryWithoutSending)
{
    CQvxGuiGcodeEncodersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_GEAR_OUT_WORK) == "100"; })) << Text(dlg, IDC_GEAR_OUT_WORK).GetString();
    ASSERT_TRUE(Wait([&] { return Enabled(dlg, IDC_GEAR_REVERSE); })) << "with the mode word from the status poll";
    kvtest::Click(dlg->GetDlgItem(IDC_GEAR_REVERSE));
    EXPECT_EQ(Text(dlg, IDC_GEAR_OUT_WORK), "-100");
    EXPECT_TRUE(Checked(dlg, IDC_GEAR_REVERSE));
    CString reply;
    ASSERT_EQ(dlg->ExecuteCommand("CONTROL(\"Gear Out\").SETVALUE(-32768)", reply), 1) << reply.GetString();
    kvtest::Click(dlg->GetDlgItem(IDC_GEAR_REVERSE));
    EXPECT_EQ(Text(dlg, IDC_GEAR_OUT_WORK), "32767");
    EXPECT_FALSE(Checked(dlg, IDC_GEAR_REVERSE));
    Settle();
    EXPECT_EQ(Register(kKreln, CQvxGuiGcodeEncodersDlg::kGearOutCode), 100);
}

TEST_F(GcodeEncodersTest, TextCommandsSendAndNothingGoesToAnEnabledDrive)
{
    CQvxGuiGcodeEncodersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_GEAR_IN_WORK) == "3"; }));
    CString reply;
    ASSERT_EQ(dlg->ExecuteCommand("CONTROL(\"Gear In\").SETVALUE(7)", reply), 1) << reply.GetString();
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(-1)", reply), 1) << reply.GetString();
    EXPECT_TRUE(Wait([&] { return Register(kKreln, CQvxGuiGcodeEncodersDlg::kGearInCode) == 7; }));

    ASSERT_TRUE(Enabled(dlg, IDC_GEAR_ENABLE_DRIVE));
    kvtest::Click(dlg->GetDlgItem(IDC_GEAR_ENABLE_DRIVE));
    ASSERT_TRUE(Wait([&] { return dlg->GetEnableBit() == 1; }));
    EXPECT_EQ(Text(dlg, IDC_GEAR_ENABLE_DRIVE), "DISABLE DRIVE");
    Boxes();
    ASSERT_EQ(dlg->ExecuteCommand("CONTROL(\"Gear In\").SETVALUE(9)", reply), 1) << reply.GetString();
    dlg->ExecuteCommand("SENDTOAMP(-1)", reply);
    EXPECT_EQ(reply.Left(6), "ERROR:") << "a script hears that the window refused";
    kvtest::Click(dlg->GetDlgItem(IDC_GEAR_DIVISOR_1));
    kvtest::Click(dlg->GetDlgItem(IDC_GEAR_SEND));
    Settle();
    EXPECT_EQ(Register(kKreln, CQvxGuiGcodeEncodersDlg::kGearInCode), 7);
    EXPECT_EQ(EncoderWord(), 0x83);
    const std::vector<CString> boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Motor is Enabled.\nGearing settings not sent to drive."));
    EXPECT_FALSE(Shown(boxes, "Press OK"));
}

class GcodeEncodersNoRadioTest : public GcodeEncodersTest {
protected:
    void PrepareDrives() override
    {
        GcodeEncodersTest::PrepareDrives();
        SetRegister(kKreln, CQvxGuiGcodeEncodersDlg::kEncoderOutputCode, 0x8C);
    }
};

TEST_F(GcodeEncodersNoRadioTest, WithoutAChosenDivisorOnlyTheReverseChanges)
{
    CQvxGuiGcodeEncodersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Checked(dlg, IDC_GEAR_ENC_REVERSE_DRIVE) && Enabled(dlg, IDC_GEAR_SEND); }));
    for (int k = 0; k < 8; ++k)
        EXPECT_FALSE(Checked(dlg, IDC_GEAR_DIVISOR_1 + k)) << k;
    if (Checked(dlg, IDC_GEAR_ENC_REVERSE_WORK))
        kvtest::Click(dlg->GetDlgItem(IDC_GEAR_ENC_REVERSE_WORK));
    ASSERT_FALSE(Checked(dlg, IDC_GEAR_ENC_REVERSE_WORK));
    kvtest::Click(dlg->GetDlgItem(IDC_GEAR_SEND));
    EXPECT_TRUE(Wait([&] { return EncoderWord() == 0x0C; })) << EncoderWord();
}

namespace {
struct DivisorCase {
    LONG version;
    LONG hardware23;
    int kind;
    const char* fifthCaption;
    const char* driveValue;
};
void PrintTo(const DivisorCase& c, std::ostream* os) { *os << "VER " << c.version << ", element 23 " << c.hardware23; }
}  // namespace

class GcodeEncodersKindTest : public GcodeEncodersTest, public ::testing::WithParamInterface<DivisorCase> {
protected:
    GcodeEncodersKindTest()
    {
        m_version = GetParam().version;
        m_hardware23 = GetParam().hardware23;
    }
};

TEST_P(GcodeEncodersKindTest, DivisorKindDecidesCaptionsAndTheDriveValue)
{
    CQvxGuiGcodeEncodersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->DivisorKind(), GetParam().kind);
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_GEAR_DIVISOR_1 + 4) == GetParam().fifthCaption; }));
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_GEAR_DRIVE_VALUE) == GetParam().driveValue; }))
        << Text(dlg, IDC_GEAR_DRIVE_VALUE).GetString();
    EXPECT_EQ(Enabled(dlg, IDC_GEAR_DIVISOR_1), GetParam().kind != 0);
    EXPECT_EQ(Enabled(dlg, IDC_GEAR_DIVISOR_GROUP), GetParam().kind != 0);
    if (GetParam().kind == 0) {
        // Nothing chosen can go out: the send writes no divisor.
        ASSERT_TRUE(Wait([&] { return Enabled(dlg, IDC_GEAR_SEND); }));
        Boxes();
        kvtest::Click(dlg->GetDlgItem(IDC_GEAR_SEND));
        EXPECT_TRUE(Wait([&] { return Shown(Boxes(), "Press OK to send the following values:"); }));
        Settle();
        EXPECT_EQ(EncoderWord(), 0x83);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, GcodeEncodersKindTest,
                         ::testing::Values(DivisorCase{418, 0, 0, "16", ""}, DivisorCase{419, 0, 1, "16", "4"},
                                           DivisorCase{423, 2, 2, "5", "3"}));

TEST_F(GcodeEncodersTest, TheGearOutTypedIsTheOneListedAndSent)
{
    CQvxGuiGcodeEncodersDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_GEAR_OUT_WORK) == "100" && Enabled(dlg, IDC_GEAR_OUT_WORK); }));
    CWnd* gearOut = dlg->GetDlgItem(IDC_GEAR_OUT_WORK);
    gearOut->SetWindowText("");
    // Typed, and straight to Send without Enter.
    kvtest::TypeText(gearOut, "1000");
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_GEAR_SEND));
    EXPECT_TRUE(Shown(Boxes(), "Gear Out = 1000"));
    EXPECT_TRUE(Wait([&] { return Register(kKreln, CQvxGuiGcodeEncodersDlg::kGearOutCode) == 1000; }))
        << Register(kKreln, CQvxGuiGcodeEncodersDlg::kGearOutCode);
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_GEAR_OUT_WORK) == "1000" && Text(dlg, IDC_GEAR_OUT_DRIVE) == "1000"; }));
}

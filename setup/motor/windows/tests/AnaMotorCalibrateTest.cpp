#include <gtest/gtest.h>

#include "ProcedureDemoFixture.h"
#include "setup/motor/windows/QvxAnaMotorCalibrateDlg.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

class AnaMotorCalibrateTest : public ProcedureDemoTest {
protected:
    CQvxAnaMotorCalibrateDlg* Open()
    {
        auto* dlg = OpenByName<CQvxAnaMotorCalibrateDlg>("TAVRO_ANAMOTORCALIB");
        if (dlg) {
            dlg->SetOwnerPage(&m_owner);
            EXPECT_TRUE(Wait([&] { return !Text(dlg, IDC_CAL_SINE_OFFSET_DRIVE).IsEmpty(); }));
        }
        return dlg;
    }
    static CString Plain(CWnd* dlg, int id)
    {
        CString text = Text(dlg, id);
        text.Replace(",", "");
        return text;
    }
    static CString Number(LONG value)
    {
        CString text;
        text.Format("%ld", static_cast<long>(value));
        return text;
    }
};

TEST_F(AnaMotorCalibrateTest, AnOffsetRunShowsTheDrivesNewValues)
{
    CQvxAnaMotorCalibrateDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CString reply;
    ASSERT_EQ(dlg->ExecuteCommand("CONTROL(\"Sine Scale\").SETVALUE(1234)", reply), 1) << reply.GetString();
    // Replies come every 200 ms while no run changes the state: the entry stays.
    int rounds = 0;
    AfxPumpMessagesUntil([&] { return ++rounds > 40; }, 1000);
    EXPECT_EQ(Plain(dlg, IDC_CAL_SINE_SCALE), "1234");

    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_CAL_EXECUTE));
    EXPECT_TRUE(Shown(Boxes(), "Execute calibration?"));
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_CAL_EXECUTE) == "Stop Calibration"; }));
    EXPECT_EQ(dlg->GetCalibrationState(), 1);
    EXPECT_TRUE(Wait([&] { return Plain(dlg, IDC_CAL_SINE_SCALE) == "0"; })) << "the unsent entry gave way";
    Screenshot(dlg, "calibration_running");

    JumpClock(2500);  // the drive measures for two seconds
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_CAL_EXECUTE) == "Execute Calibration"; }));
    const LONG sineOffset = Indexed(kTavro, AMF, AMI, 0);
    const LONG cosineOffset = Indexed(kTavro, AMF, AMI, 2);
    EXPECT_TRUE(Wait([&] {
        return Plain(dlg, IDC_CAL_SINE_OFFSET_DRIVE) == Number(sineOffset) &&
               Plain(dlg, IDC_CAL_COSINE_OFFSET_DRIVE) == Number(cosineOffset) &&
               Plain(dlg, IDC_CAL_SINE_OFFSET) == Number(sineOffset);
    })) << Plain(dlg, IDC_CAL_SINE_OFFSET_DRIVE) << " " << sineOffset;
    EXPECT_EQ(Indexed(kTavro, AMF, AMI, 1), 0) << "an offset run leaves the scales";
    Screenshot(dlg, "calibration_done");
}

TEST_F(AnaMotorCalibrateTest, TheButtonStopsARunWithoutAsking)
{
    CQvxAnaMotorCalibrateDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    kvtest::Click(dlg->GetDlgItem(IDC_CAL_EXECUTE));
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_CAL_EXECUTE) == "Stop Calibration"; }));
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_CAL_EXECUTE));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(Wait([&] { return Register(kTavro, BAF) == 0 && Text(dlg, IDC_CAL_EXECUTE) == "Execute Calibration"; }));
}

TEST_F(AnaMotorCalibrateTest, ALayoutInGainModeStartsAGainRun)
{
    CQvxAnaMotorCalibrateDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    dlg->GetProperties().SetInt("nCalibrateMode", 2);
    StoreLayout(dlg, true);
    LoadLayout(dlg);
    EXPECT_TRUE(Checked(dlg, IDC_CAL_GAIN));
    EXPECT_FALSE(Checked(dlg, IDC_CAL_OFFSET));
    EXPECT_EQ(dlg->GetCalibrationMode(), 2);
    kvtest::Click(dlg->GetDlgItem(IDC_CAL_EXECUTE));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, BAF) == 2; }));
}

TEST_F(AnaMotorCalibrateTest, SendingIsRefusedWhileTheDriveIsEnabled)
{
    CQvxAnaMotorCalibrateDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    CString reply;
    ASSERT_EQ(dlg->ExecuteCommand("CONTROL(\"Cosine Offset\").SETVALUE(-321)", reply), 1);
    ASSERT_TRUE(SetEnabled(dlg, true));
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_CAL_SEND));
    EXPECT_TRUE(Shown(Boxes(), "Please DISABLE drive before sending data."));
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(-1)", reply), 1);
    EXPECT_NE(reply.Find("ERROR"), -1);
    Settle();
    EXPECT_EQ(Indexed(kTavro, AMF, AMI, 2), 0);

    ASSERT_TRUE(SetEnabled(dlg, false));
    kvtest::Click(dlg->GetDlgItem(IDC_CAL_SEND));
    EXPECT_TRUE(Shown(Boxes(), "Send settings to drive?"));
    EXPECT_TRUE(Wait([&] { return Indexed(kTavro, AMF, AMI, 2) == -321; }));

    dlg->SendMessage(WM_CLOSE);
    EXPECT_EQ(m_owner.closed.size(), 1u) << "the page gets its button back";
}

}  // namespace

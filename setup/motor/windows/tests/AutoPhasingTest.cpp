#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ProcedureDemoFixture.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "setup/motor/windows/QvxAutoPhasingDlg.h"
#include "testing/WindowPixels.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

class AutoPhasingTest : public ProcedureDemoTest {
protected:
    CQvxAutoPhasingDlg* Open(StandInProcedureOwner* owner = nullptr)
    {
        auto* dlg = OpenByName<CQvxAutoPhasingDlg>("TAVRO_AUTOPHASING");
        if (dlg && owner)
            dlg->SetOwnerPage(owner);
        return dlg;
    }
    static CString Lamp(CQvxAutoPhasingDlg* dlg) { return dlg->GetLamp().m_onText; }
    // The lamp's colour as the window shows it, read inside its sunken edge.
    static COLORREF LampPixel(CQvxAutoPhasingDlg* dlg)
    {
        CBitmap image;
        Render(*dlg, image);
        CRect lamp;
        dlg->GetDlgItem(IDC_AP_STATUS)->GetWindowRect(&lamp);
        dlg->ScreenToClient(&lamp);
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&image);
        return dc.GetPixel(lamp.left + 3, lamp.top + 3);
    }
    // Starts a run on the enabled drive in current mode and waits until the drive reports it.
    bool StartRun(CQvxAutoPhasingDlg* dlg)
    {
        if (!SetEnabled(dlg, true))
            return false;
        kvtest::Click(dlg->GetDlgItem(IDC_AP_EXECUTE));
        return Wait([&] { return dlg->GetProcedure().GetState() == 2; });
    }
};

TEST_F(AutoPhasingTest, ExecuteRefusesADisabledDriveAndOneNotInCurrentMode)
{
    CQvxAutoPhasingDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_AP_EXECUTE));
    EXPECT_TRUE(Shown(Boxes(), "Please ENABLE drive before executing auto-phase function."));
    ASSERT_TRUE(SetEnabled(dlg, true));
    SetRegister(kTavro, MOD, 2);
    ASSERT_TRUE(Wait([&] { return dlg->GetModeWord() == 2; }));
    kvtest::Click(dlg->GetDlgItem(IDC_AP_EXECUTE));
    EXPECT_TRUE(Shown(Boxes(), "Please put drive in CURRENT mode."));
    Settle();
    EXPECT_EQ(Register(kTavro, CPF), 0) << "nothing was written";
    EXPECT_EQ(dlg->GetProcedure().GetState(), 0);
}

TEST_F(AutoPhasingTest, ARunOnTheDemoDriveSucceedsAndTheOwnerHearsOfItOnce)
{
    StandInProcedureOwner& owner = m_owner;
    CQvxAutoPhasingDlg* dlg = Open(&owner);
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(StartRun(dlg));
    EXPECT_TRUE(Shown(Boxes(), "Execute auto-phase?"));
    EXPECT_EQ(Lamp(dlg), " Auto-phasing...");
    EXPECT_EQ(Text(dlg, IDC_AP_EXECUTE), "Abort Auto-phase");
    EXPECT_EQ(owner.told, std::vector<bool>{true}) << "the page suspends its controls";
    // Blinking: the lamp turns black and lit again on its own.
    EXPECT_TRUE(Wait([&] { return Near(LampPixel(dlg), 0); }));
    EXPECT_TRUE(Wait([&] { return Near(LampPixel(dlg), 0x00C400); }));
    Screenshot(dlg, "autophasing_running");

    JumpClock(3500);  // the drive's phase finding takes three seconds
    ASSERT_TRUE(Wait([&] { return Lamp(dlg) == " Auto-phase successful"; })) << Lamp(dlg).GetString();
    EXPECT_EQ(dlg->GetProcedure().GetState(), 0);
    EXPECT_EQ(Text(dlg, IDC_AP_EXECUTE), "Execute Auto-phase");
    EXPECT_EQ(owner.told, (std::vector<bool>{true, false})) << "resumed once";
    EXPECT_TRUE(Wait([&] { return Near(LampPixel(dlg), 0x006000); }));
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_AP_STATUS));
    EXPECT_TRUE(Boxes().empty()) << "nothing to explain after a success";
    EXPECT_EQ(Register(kTavro, CPF), 0);
}

TEST_F(AutoPhasingTest, DisablingTheDriveMidRunIsExplainedOnAClick)
{
    StandInProcedureOwner& owner = m_owner;
    CQvxAutoPhasingDlg* dlg = Open(&owner);
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(StartRun(dlg));
    dlg->SendDriveEnable(0);
    ASSERT_TRUE(Wait([&] { return Lamp(dlg) == " Error (click for more...)"; })) << Lamp(dlg).GetString();
    EXPECT_TRUE(Wait([&] { return Near(LampPixel(dlg), 0x000080); }));
    Screenshot(dlg, "autophasing_error");
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_AP_STATUS));
    const auto boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Drive disabled during auto-phasing.  Please check inhibit or fault condition."));
    EXPECT_FALSE(Shown(boxes, "Motor not moving."));
    EXPECT_EQ(owner.told, (std::vector<bool>{true, false}));
}

TEST_F(AutoPhasingTest, AStartTheDriveNeverTakesUpTimesOut)
{
    StandInProcedureOwner& owner = m_owner;
    CQvxAutoPhasingDlg* dlg = Open(&owner);
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(SetEnabled(dlg, true));
    {
        // The drive drops its enable before it sees the start, so it never reports the run.
        CSingleLock lock(&Model().Lock(), TRUE);
        kvtest::Click(dlg->GetDlgItem(IDC_AP_EXECUTE));
        Model().ChangeBits(kTavro, SSA, 0, 0x100);
    }
    ASSERT_EQ(dlg->GetProcedure().GetState(), 1);
    Settle();
    EXPECT_EQ(dlg->GetProcedure().GetState(), 1) << "not before the second is up";
    JumpClock(1100);
    ASSERT_TRUE(Wait([&] { return dlg->GetProcedure().GetState() == 0; }));
    EXPECT_EQ(Lamp(dlg), " Error (click for more...)");
    EXPECT_EQ(owner.told, (std::vector<bool>{true, false}));
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_AP_STATUS));
    EXPECT_TRUE(Shown(Boxes(), "Auto-phase timed out before executing."));
}

TEST_F(AutoPhasingTest, ClosingMidRunAbortsAndHandsTheButtonBack)
{
    StandInProcedureOwner& owner = m_owner;
    CQvxAutoPhasingDlg* dlg = Open(&owner);
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(StartRun(dlg));
    dlg->SendMessage(WM_CLOSE);
    EXPECT_EQ(owner.told, (std::vector<bool>{true, false}));
    ASSERT_EQ(owner.closed.size(), 1u);
    EXPECT_TRUE(Wait([&] { return Register(kTavro, CPF) == 0 && !(Register(kTavro, SSA) & 0x4000); }))
        << "the abort reached the drive";
}

TEST_F(AutoPhasingTest, EntriesAreCorrectedAndSentOnlyToADisabledDrive)
{
    CQvxAutoPhasingDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    double gain = 0;
    ASSERT_TRUE(m_table.GetParameterValue(kTavro, GPD_A2E_CURRENT_GAIN, gain) && gain > 0);
    ASSERT_TRUE(Wait([&] { return !Text(dlg, IDC_AP_FINAL_CURRENT).IsEmpty(); }));
    Boxes();
    CString reply;
    ASSERT_EQ(dlg->ExecuteCommand("CONTROL(\"Final Current\").SETVALUE(100000)", reply), 1) << reply.GetString();
    CString limit;
    limit.Format("%.2f", static_cast<double>(static_cast<long long>(kContinuous * gain * 100 + 1e-9)) / 100);
    const auto boxes = Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes.front().Find(limit), -1) << boxes.front().GetString() << " / " << limit.GetString();
    CString shown = Text(dlg, IDC_AP_FINAL_CURRENT);
    shown.Replace(",", "");
    EXPECT_NEAR(atof(shown), atof(limit), gain) << "the limit, as near as the drive's units come";

    ASSERT_TRUE(SetEnabled(dlg, true));
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(-1)", reply), 1);
    EXPECT_NE(reply.Find("ERROR"), -1);
    EXPECT_TRUE(Shown(Boxes(), "Please DISABLE drive before sending data to drive."));
    Settle();
    EXPECT_EQ(Indexed(kTavro, APC, API, 0), 500) << "nothing reached the enabled drive";

    ASSERT_TRUE(SetEnabled(dlg, false));
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(-1)", reply), 1);
    const long expected = std::lround(atof(limit) / gain);
    EXPECT_TRUE(Wait([&] { return std::abs(Indexed(kTavro, APC, API, 0) - expected) <= 1; }))
        << Indexed(kTavro, APC, API, 0) << " " << expected;
}

TEST_F(AutoPhasingTest, TheModeComesBackFromTheLayoutRecord)
{
    CQvxAutoPhasingDlg* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(Checked(dlg, IDC_AP_STEP));
    EXPECT_FALSE(dlg->GetDlgItem(IDC_AP_FINAL_SPEED)->IsWindowEnabled());
    kvtest::Click(dlg->GetDlgItem(IDC_AP_CONTINUOUS));
    EXPECT_TRUE(dlg->GetDlgItem(IDC_AP_FINAL_SPEED)->IsWindowEnabled());
    EXPECT_FALSE(dlg->GetDlgItem(IDC_AP_CURRENT_RAMP)->IsWindowEnabled());
    StoreLayout(dlg);
    kvtest::Click(dlg->GetDlgItem(IDC_AP_STEP));
    LoadLayout(dlg);
    EXPECT_TRUE(Checked(dlg, IDC_AP_CONTINUOUS));
    EXPECT_FALSE(Checked(dlg, IDC_AP_STEP));
    EXPECT_TRUE(dlg->GetDlgItem(IDC_AP_FINAL_SPEED)->IsWindowEnabled());
    // A record without the property opens in Step mode.
    dlg->GetProperties().Remove("nAutoPhaseMode");
    StoreLayout(dlg, true);
    LoadLayout(dlg);
    EXPECT_TRUE(Checked(dlg, IDC_AP_STEP));
}

}  // namespace

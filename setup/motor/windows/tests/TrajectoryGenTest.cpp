#include <gtest/gtest.h>

#include "MotorDemoFixture.h"
#include "distribution/parameters/GlobalParameterKinds.h"
#include "platform/ui/UserInput.h"
#include "setup/motor/TrajectoryLimits.h"
#include "setup/motor/windows/QvxGuiTrajectoryGen.h"
#include "testing/WindowShot.h"

class TrajectoryGenTest : public MotorDemoTest {
protected:
    CQvxGuiTrajectoryGen* Open()
    {
        auto* dlg = dynamic_cast<CQvxGuiTrajectoryGen*>(m_frame.m_registry.CreateGui("TRAJECTORY_GEN", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kTavro && dlg->AreStagesDone(); }));
        }
        return dlg;
    }
};

TEST_F(TrajectoryGenTest, ADisabledLimitShowsItsMagnitudeAndAClickWritesItPositive)
{
    SetRegister(kTavro, CQvxGuiTrajectoryGen::kAccelCode, -500);
    SetRegister(kTavro, CQvxGuiTrajectoryGen::kDecelCode, -40000);
    CQvxGuiTrajectoryGen* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Checked(dlg, IDC_TRAJ_ACCEL_DISABLED) && Checked(dlg, IDC_TRAJ_DECEL_DISABLED); }));
    ASSERT_TRUE(Wait([&] { return !Text(dlg, IDC_TRAJ_ACCEL_DRIVE).IsEmpty(); }));
    EXPECT_EQ(Text(dlg, IDC_TRAJ_ACCEL_DRIVE).Find('-'), -1) << Text(dlg, IDC_TRAJ_ACCEL_DRIVE).GetString();
    double gain = 0;
    ASSERT_TRUE(Wait([&] { return m_table.GetParameterValue(kTavro, GPD_AMPTOENGACCELDECELL_GAIN, gain); }));
    CString shown;
    shown.Format("%0.2f", 500 * gain);
    const auto plain = [&] {
        CString text = Text(dlg, IDC_TRAJ_ACCEL_DRIVE);
        text.Replace(",", "");
        return text;
    };
    EXPECT_TRUE(Wait([&] { return plain() == shown; }))
        << Text(dlg, IDC_TRAJ_ACCEL_DRIVE).GetString() << " " << shown.GetString();
    Screenshot(dlg, "trajectory_disabled_limits");
    if (!dlg->GetDlgItem(IDC_TRAJ_ACCEL_DISABLED)->IsWindowEnabled())
        GTEST_SKIP() << "the demo drive's command source keeps acceleration limits off";
    kvtest::Click(dlg->GetDlgItem(IDC_TRAJ_ACCEL_DISABLED));
    kvtest::Click(dlg->GetDlgItem(IDC_TRAJ_DECEL_DISABLED));
    EXPECT_TRUE(Wait([&] {
        return Register(kTavro, CQvxGuiTrajectoryGen::kAccelCode) == 500 &&
               Register(kTavro, CQvxGuiTrajectoryGen::kDecelCode) == 32767;
    })) << Register(kTavro, CQvxGuiTrajectoryGen::kAccelCode) << " "
        << Register(kTavro, CQvxGuiTrajectoryGen::kDecelCode) << " " << [] { CString all; for (auto& b : AfxTakeScriptedMessageLog()) all += b + "|"; return std::string(all.GetString()); }();
    EXPECT_TRUE(Wait([&] { return !Checked(dlg, IDC_TRAJ_ACCEL_DISABLED); }));
    EXPECT_TRUE(Wait([&] { return Text(dlg, IDC_TRAJ_VEL_LIMIT_DRIVE) != "Unavailable"; }));
    Screenshot(dlg, "trajectory_enabled_limits");
}

TEST_F(TrajectoryGenTest, LabelsFollowTheDrive)
{
    CQvxGuiTrajectoryGen* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_TRAJ_ZERO_SPEED_LABEL) != "Zero Speed Window:"; }));
    double cs = 0, mc = 0;
    ASSERT_TRUE(m_table.GetParameterValue(kTavro, GPD_CS, cs));
    ASSERT_TRUE(m_table.GetParameterValue(kTavro, GPD_MC, mc));
    const TrajectoryLabels labels =
        CTrajectoryLimits::Labels(static_cast<int>(cs), dlg->GetModeWord(), static_cast<int>(mc));
    EXPECT_EQ(Text(dlg, IDC_TRAJ_ZERO_SPEED_LABEL), labels.zeroSpeed);
    EXPECT_EQ(Text(dlg, IDC_TRAJ_VEL_LIMIT_LABEL), labels.velocityLimit);
    if (labels.acceleration) {
        EXPECT_EQ(Text(dlg, IDC_TRAJ_ACCEL_LABEL), *labels.acceleration);
    }
}

TEST_F(TrajectoryGenTest, AWorkingValueReachesTheDrive)
{
    CQvxGuiTrajectoryGen* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    double gain = 0;
    ASSERT_TRUE(Wait([&] { return m_table.GetParameterValue(kTavro, GPD_A2E_VEL_GAIN, gain) && gain > 0; }));
    CString command, reply;
    command.Format("CONTROL(\"Velocity Limit\").SETVALUE(%.6f)", 1000 * gain);
    ASSERT_EQ(dlg->ExecuteCommand(command, reply), 1) << reply.GetString();
    ASSERT_EQ(dlg->ExecuteCommand("SENDTOAMP(-1)", reply), 1) << reply.GetString();
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 716) == 1000; })) << Register(kTavro, 716);
}

TEST_F(TrajectoryGenTest, TheWorkingValuesAreSentWithTheSendButton)
{
    CQvxGuiTrajectoryGen* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] {
        const CString shown = Text(dlg, IDC_TRAJ_ZERO_SPEED_DRIVE);
        return !shown.IsEmpty() && shown != "Waiting..." && Enabled(dlg, IDC_TRAJ_ZERO_SPEED_WORK);
    }));
    SetRegister(kTavro, 27255, 0);
    ASSERT_TRUE(Wait([&] { return Text(dlg, IDC_TRAJ_ZERO_SPEED_DRIVE) == "0.00"; }));
    CWnd* window = dlg->GetDlgItem(IDC_TRAJ_ZERO_SPEED_WORK);
    window->SetWindowText("");
    // Large enough to be a step of the drive whatever its velocity scale.
    kvtest::TypeText(window, "100000");
    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_TRAJ_SEND));
    const CString entered = Text(dlg, IDC_TRAJ_ZERO_SPEED_WORK);
    ASSERT_NE(entered, "0.00");
    EXPECT_TRUE(Shown(Boxes(), "Zero Speed Window = " + entered + "\r\n"));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 27255) != 0 && Text(dlg, IDC_TRAJ_ZERO_SPEED_DRIVE) == entered; }))
        << Register(kTavro, 27255) << " " << Text(dlg, IDC_TRAJ_ZERO_SPEED_DRIVE).GetString();
}

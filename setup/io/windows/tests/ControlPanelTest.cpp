// The Control Panel on the demo link, opened by name and used as a user would.
#include <gtest/gtest.h>

#include "IoDemoFixture.h"
#include "platform/ui/UserInput.h"
#include "setup/io/windows/QvxGuiCPanelDlg.h"
#include "testing/WindowShot.h"

namespace {

constexpr int kMode = 13796;
constexpr int kCommand = 3;
constexpr int kEnable = 174;
constexpr int kPositionCommand = 16995;

class ControlPanelTest : public IoDemoTest {
protected:
    void SetUp() override
    {
        IoDemoTest::SetUp();
        m_frame.m_registry.RegisterGui("CONTROL_PANEL", RUNTIME_CLASS(CQvxGuiCPanelDlg), 6, 0);
    }
    CQvxGuiCPanelDlg* Open(LONG mode)
    {
        SetRegister(kTavro, kMode, mode);
        auto* dlg = dynamic_cast<CQvxGuiCPanelDlg*>(m_frame.m_registry.CreateGui("CONTROL_PANEL", nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->IsReady() != 0 && dlg->AreStagesDone(); }));
        }
        return dlg;
    }
    static void Enter(CQvxGuiCPanelDlg* dlg, const char* text)
    {
        CWnd* edit = dlg->GetDlgItem(IDC_CPANEL_BAR1_EDIT);
        edit->SetWindowText("");
        kvtest::TypeText(edit, text);
        kvtest::PressKey(edit, VK_RETURN);
    }
    LONG Expected(CQvxGuiCPanelDlg* dlg, double value)
    {
        CPanelScaling scaling;
        EXPECT_TRUE(dlg->BuildScaling(scaling));
        return PanelRegisterValue(3, scaling.DriveFromEngineering(value));
    }
};

TEST_F(ControlPanelTest, OpeningWritesNothingAndTypedValuesAreClamped)
{
    SetRegister(kTavro, kCommand, 0);
    SetRegister(kTavro, kEnable, 0);
    CQvxGuiCPanelDlg* dlg = Open(2);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(Register(kTavro, kCommand), 0);
    EXPECT_EQ(Register(kTavro, kEnable), 0);
    CString label;
    dlg->GetDlgItemText(IDC_CPANEL_MAX_LABEL, label);
    EXPECT_EQ(std::string(label), "2,000.00");
    SetRegister(kTavro, 16998, 4321);
    EXPECT_TRUE(Wait([&] {
        CString text;
        dlg->GetDlgItemText(IDC_CPANEL_POSITION, text);
        return text == "4321";
    }));
    Screenshot(dlg, "control_panel");

    Enter(dlg, "1,500");
    EXPECT_DOUBLE_EQ(dlg->GetBarValue(), 1500.0);
    const LONG expected = Expected(dlg, 1500.0);
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kCommand) == expected; })) << Register(kTavro, kCommand);
    Enter(dlg, "5000");
    EXPECT_DOUBLE_EQ(dlg->GetBarValue(), 2000.0);

    Enter(dlg, "1950");
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_STEP_UP));
    EXPECT_DOUBLE_EQ(dlg->GetBarValue(), 2000.0);
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_STEP_UP));
    EXPECT_DOUBLE_EQ(dlg->GetBarValue(), 2000.0);
    const LONG top = Expected(dlg, 2000.0);
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kCommand) == top; }));

    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_STOP));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kCommand) == 0; }));
}

TEST_F(ControlPanelTest, PositionModeStopKeepsTheEnableStateAndZeroing)
{
    SetRegister(kTavro, kEnable, 1);
    CQvxGuiCPanelDlg* dlg = Open(4 | 2);
    ASSERT_NE(dlg, nullptr);
    Enter(dlg, "40000");
    EXPECT_DOUBLE_EQ(dlg->GetBarValue(), 8000.0);
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kPositionCommand) == 8000; }));

    const int enabled = dlg->GetEnableBit();
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_STOP));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kCommand) == 0; }));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, kEnable) == enabled; }));

    SetRegister(kTavro, 16998, 1234);
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_ZERO_POS));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 16998) == 0; }));
    CString text;
    dlg->GetDlgItemText(IDC_CPANEL_BAR1_EDIT, text);
    EXPECT_EQ(std::string(text), "0");

    SetRegister(kTavro, 19060, 5);
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_FAULT_RESET));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 19060) == 0; }));
}

TEST_F(ControlPanelTest, TachReverseFollowsTheDrive)
{
    SetRegister(kTavro, 658, 0);
    CQvxGuiCPanelDlg* dlg = Open(0);
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return dlg->GetDlgItem(IDC_CPANEL_TACH_REVERSE)->IsWindowEnabled() != 0; }));
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_TACH_REVERSE));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 658) == 1; }));
    LONG tach = 0;
    EXPECT_TRUE(Wait([&] { return dlg->GetTachReading(tach) && tach == 1; }));
    EXPECT_TRUE(Wait([&] { return dlg->IsDlgButtonChecked(IDC_CPANEL_TACH_REVERSE) == BST_CHECKED; }));
    kvtest::Click(dlg->GetDlgItem(IDC_CPANEL_TACH_REVERSE));
    EXPECT_TRUE(Wait([&] { return Register(kTavro, 658) == 0; })) << "the second click follows the drive";
}

}  // namespace

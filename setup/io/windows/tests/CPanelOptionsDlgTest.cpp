// The control panel's Options dialog, as a child of a drive window on the demo link.
#include <gtest/gtest.h>

#include "IoDemoFixture.h"
#include "platform/ui/UserInput.h"
#include "setup/io/PanelOptionsModeList.h"
#include "setup/io/windows/QvxCPanelOptionsDlg.h"
#include "setup/io/windows/QvxRegisterFlagTool.h"
#include "testing/WindowShot.h"

namespace {

class CPanelOptionsDlgTest : public IoDemoTest {
protected:
    void SetUp() override
    {
        IoDemoTest::SetUp();
        m_frame.m_registry.RegisterGui("FLAG_TOOL", RUNTIME_CLASS(CQvxRegisterFlagTool), 6, 0);
        m_owner = dynamic_cast<CGuiUpdateDlg*>(m_frame.m_registry.CreateGui("FLAG_TOOL", nullptr, 1));
        ASSERT_NE(m_owner, nullptr);
        m_modes.BuildDefaults();
    }
    CQvxCPanelOptionsDlg* OpenOptions()
    {
        auto* dlg = new CQvxCPanelOptionsDlg(&m_modes, m_owner, m_home.File("kvsettings.ini").c_str());
        EXPECT_GE(m_owner->AddChildDialog(dlg), 0);
        return dlg;
    }
    static void Type(CWnd* dlg, int id, const char* text)
    {
        dlg->SetDlgItemText(id, "");
        kvtest::TypeText(dlg->GetDlgItem(id), text);
    }

    CGuiUpdateDlg* m_owner = nullptr;
    CPanelOptionsModeList m_modes;
};

TEST_F(CPanelOptionsDlgTest, ShowsTheLimitsAndWritesOnlyWhatChanged)
{
    m_home.Write("kvsettings.ini", "[CONTROL PANEL OPTIONS]\r\nMaximumCurrent=3.5\r\n");
    CQvxCPanelOptionsDlg* dlg = OpenOptions();
    EXPECT_EQ(m_modes.GetMode(kPanelCurrent)->Max(), 3.5) << "the constructor loads";
    CString text;
    dlg->GetDlgItemText(IDC_CPANEL_MAX_CURRENT, text);
    EXPECT_EQ(std::string(text), "3.500");
    dlg->GetDlgItemText(IDC_CPANEL_POSITION_STEP, text);
    EXPECT_EQ(std::string(text), "250");
    EXPECT_TRUE(dlg->GetDlgItem(IDC_CPANEL_MIN_VELOCITY)->IsWindowVisible());
    Screenshot(dlg, "cpanel_options");

    // A refused value keeps the dialog open and writes nothing.
    Type(dlg, IDC_CPANEL_MIN_VELOCITY, "10");
    kvtest::Click(dlg->GetDlgItem(IDOK));
    EXPECT_TRUE(Shown(Boxes(), "Velocity Min/Max must include zero within the range."));
    ASSERT_TRUE(dlg->GetSafeHwnd());
    EXPECT_EQ(m_home.Read("kvsettings.ini").find("MinimumVelocity"), std::string::npos);

    Type(dlg, IDC_CPANEL_MIN_VELOCITY, "-2000");
    Type(dlg, IDC_CPANEL_VELOCITY_STEP, " 150");
    kvtest::Click(dlg->GetDlgItem(IDOK));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(m_modes.GetMode(kPanelVelocity)->Step(), 150.0);
    const std::string ini = m_home.Read("kvsettings.ini");
    EXPECT_NE(ini.find("VelocityStep= 150"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("MinimumVelocity"), std::string::npos) << ini;
    EXPECT_EQ(m_owner->GetChildDialogCount(), 0);
}

}  // namespace

// The frame's link and tool commands: the interface chooser from "&Open ...",
// the distribution monitor and the parameter test window, the multi-drop test,
// saving and restoring a layout from the Layout menu and the layout test.
#include <filesystem>

#include "AppTestFixture.h"
#include "app/AppPaths.h"
#include "comm/windows/SelectCommInterfaceDlg.h"
#include "distribution/windows/MonitorDistributionCenterDlg.h"
#include "framework/tests/SampleDriveDlg.h"
#include "platform/core/SpecialFolders.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/SetupServoTuningIds.h"
#include "scope/windows/QvxScopeDlg.h"
#include "setup/tuning/windows/QvxGuiSetupServoTuningDlg.h"

namespace {
class ToolsWiringTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        CSampleDriveDlg::Register(*Frame()->GetDlgIdMap());
        CWindowFactory::AddRow({32848, "CSampleDriveDlg", true, kUpdateGeneric, nullptr});
        Messages();
    }
    void TearDown() override
    {
        CWindowFactory::RemoveRow(32848);
        CWindowFactory::AddRow({32848, "CQvxGuiCPanelDlg", true, kUpdateGeneric, nullptr});
        AppFixture::TearDown();
        EXPECT_EQ(0, CSampleDriveDlg::s_alive);
    }
    template <class Window>
    Window* OpenWindowOf()
    {
        for (POSITION pos = Frame()->GetUpdateList()->GetHeadPosition(); pos;)
            if (auto* window = dynamic_cast<Window*>(Frame()->GetUpdateList()->GetNext(pos)))
                return window;
        return nullptr;
    }
    void Command(UINT id) { Frame()->SendMessage(WM_COMMAND, id); }
    void OpenSampleWindow()
    {
        Command(32848);
        ASSERT_TRUE(Wait([] { return CSampleDriveDlg::s_alive == 1; }));
    }
};
}  // namespace

TEST_F(ToolsWiringTest, OpenShowsTheInterfaceChooserAndGreysOpenAndDemoWhileItIsUp)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Open ..."));
    CSelectCommInterfaceDlg* chooser = Frame()->GetInterfaceChooser();
    ASSERT_NE(nullptr, chooser);
    EXPECT_TRUE(chooser->IsWindowVisible());
    EXPECT_TRUE(Frame()->IsInterfaceChooserOpen());
    EXPECT_EQ(0, kvtest::MenuItemState(Frame(), "&File|&Open ..."));
    EXPECT_EQ(0, kvtest::MenuItemState(Frame(), "&File|&Demo"));
    kvtest::Click(chooser->GetDlgItem(IDCANCEL));
    ASSERT_TRUE(Wait([&] { return Frame()->GetInterfaceChooser() == nullptr; }));
    EXPECT_FALSE(Frame()->IsInterfaceChooserOpen());
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&File|&Open ..."));
    EXPECT_FALSE(Frame()->IsCommOpen());
}

TEST_F(ToolsWiringTest, TheMonitorTogglesAndTheParameterTestWindowOpensOnce)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    Command(ID_DC_DEBUG);
    CMonitorDistributionCenterDlg* monitor = Frame()->GetDistributionMonitor();
    ASSERT_NE(nullptr, monitor);
    EXPECT_TRUE(monitor->IsWindowVisible());
    Command(ID_DC_DEBUG);
    EXPECT_FALSE(monitor->IsWindowVisible());
    Command(ID_DC_DEBUG);
    EXPECT_EQ(monitor, Frame()->GetDistributionMonitor()) << "made once, then shown and hidden";
    EXPECT_TRUE(monitor->IsWindowVisible());

    Command(ID_GLOBAL_PARAM_TEST);
    Command(ID_GLOBAL_PARAM_TEST);
    EXPECT_EQ(1, Frame()->GetUpdateList()->GetOpenCount("CTestGlobalParamsDlg"));
}

TEST_F(ToolsWiringTest, ALayoutSavedFromTheMenuBringsItsWindowsBack)
{
    EXPECT_EQ(0, kvtest::MenuItemState(Frame(), "&Layout|Restore From File..."));
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    EXPECT_EQ(0, kvtest::MenuItemState(Frame(), "&Layout|Save to File...")) << "no window to save";
    OpenSampleWindow();
    const std::string layout = m_home.File("mine.kvl");
    kvtest::QueueFileDialogAnswer(layout.c_str());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Layout|Save to File..."));
    ASSERT_TRUE(std::filesystem::exists(layout));

    Command(ID_CLOSE_ALL_SETUP);
    ASSERT_TRUE(Wait([] { return CSampleDriveDlg::s_alive == 0; }));
    kvtest::QueueFileDialogAnswer(layout.c_str());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Layout|Restore From File..."));
    EXPECT_TRUE(Wait([] { return CSampleDriveDlg::s_alive == 1; }));
    EXPECT_FALSE(Frame()->IsClosingWindows());

    // The layout test walks the documents folder's layouts, then starts over.
    CString folder;
    MakeProductFolder(folder, AfxGetSpecialFolder(CSIDL_PERSONAL), TRUE);
    std::filesystem::copy_file(layout, (folder + "one.kvl").GetString());
    Command(ID_CLOSE_ALL_SETUP);
    ASSERT_TRUE(Wait([] { return CSampleDriveDlg::s_alive == 0; }));
    Frame()->SendMessage(WM_TIMER, kTimerLayoutTest);
    EXPECT_TRUE(Wait([] { return CSampleDriveDlg::s_alive == 1; })) << "the first tick loads the first file";
    Command(ID_CLOSE_ALL_SETUP);
    ASSERT_TRUE(Wait([] { return CSampleDriveDlg::s_alive == 0; }));
    Frame()->SendMessage(WM_TIMER, kTimerLayoutTest);
    AfxPumpMessages();
    EXPECT_EQ(0, CSampleDriveDlg::s_alive) << "past the last file the search ends and loads nothing";
    Frame()->SendMessage(WM_TIMER, kTimerLayoutTest);
    EXPECT_TRUE(Wait([] { return CSampleDriveDlg::s_alive == 1; })) << "and the next tick starts over";
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Close"));
    EXPECT_TRUE(Wait([] { return CSampleDriveDlg::s_alive == 0; }));
}

TEST_F(ToolsWiringTest, DisplayOscilloscopeInServoTuningOpensTheScopeWithTheTuningSettings)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    Command(32791);
    CQvxGuiSetupServoTuningDlg* tuning = nullptr;
    ASSERT_TRUE(Wait([&] { return (tuning = OpenWindowOf<CQvxGuiSetupServoTuningDlg>()) != nullptr; }));
    ASSERT_TRUE(Wait([&] { return !tuning->GetDriveName().IsEmpty(); }));
    kvtest::Click(tuning->GetDlgItem(IDC_ST_SCOPE));
    CQvxScopeDlg* scope = Frame()->GetOscilloscope();
    ASSERT_NE(nullptr, scope);
    EXPECT_TRUE(scope->IsWindowVisible());
    EXPECT_EQ(scope->GetSettingsPath(),
              AfxGetAppPaths().dataFolder + "/ServoScope_" + tuning->GetDriveName() + ".dat");
}

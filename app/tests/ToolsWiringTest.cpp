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
#include "app/tools/QvxTerminalDlg.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/SetupServoTuningIds.h"
#include "resources/ids/WatchRegistersIds.h"
#include "scope/windows/QvxScopeDlg.h"
#include "setup/io/windows/QvxWatchRegistersDlg.h"
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

TEST_F(ToolsWiringTest, ALayoutKeepsTheWatchListTheOscilloscopeAndWindowSizes)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Tools|Watch Registers"));
    auto* watch = OpenWindowOf<CQvxWatchRegistersDlg>();
    ASSERT_NE(watch, nullptr);
    kvtest::OnNextModal([](CWnd* setup) {
        setup->SetDlgItemText(IDC_WATCH_QUERY, "");
        kvtest::TypeText(setup->GetDlgItem(IDC_WATCH_QUERY), "PSF");
        kvtest::Click(setup->GetDlgItem(IDOK));
    });
    kvtest::Click(watch->GetDlgItem(IDC_WATCH_ADD));
    ASSERT_EQ(watch->GetWatches().GetCount(), 1);

    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Tools|Terminal &Window..."));
    auto* terminal = OpenWindowOf<CQvxTerminalDlg>();
    ASSERT_NE(terminal, nullptr);
    const CSize size(460, 380);
    terminal->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Tools|&Oscilloscope"));
    auto scopeShown = [&] {
        CQvxScopeDlg* scope = Frame()->GetOscilloscope();
        return scope && scope->GetSafeHwnd() && scope->IsWindowVisible();
    };
    ASSERT_TRUE(Wait(scopeShown));

    const std::string layout = m_home.File("three.kvl");
    kvtest::QueueFileDialogAnswer(layout.c_str());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Layout|Save to File..."));
    Command(ID_CLOSE_ALL_SETUP);
    ASSERT_TRUE(Wait([&] { return !OpenWindowOf<CQvxWatchRegistersDlg>() && !OpenWindowOf<CQvxTerminalDlg>() && !scopeShown(); }));

    kvtest::QueueFileDialogAnswer(layout.c_str());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Layout|Restore From File..."));
    EXPECT_TRUE(Wait(scopeShown)) << "the oscilloscope comes back";
    watch = OpenWindowOf<CQvxWatchRegistersDlg>();
    ASSERT_NE(watch, nullptr);
    ASSERT_EQ(watch->GetWatches().GetCount(), 1) << "the watch list comes back";
    EXPECT_EQ(watch->GetWatches().GetAt(0)->m_queryExpression, "PSF");
    terminal = OpenWindowOf<CQvxTerminalDlg>();
    ASSERT_NE(terminal, nullptr);
    CRect placed;
    terminal->GetWindowRect(&placed);
    EXPECT_EQ(placed.Size(), size) << "the terminal comes back at the user's size";

    // Opened again later, the terminal takes the size it was closed at.
    terminal->SendMessage(WM_CLOSE);
    ASSERT_TRUE(Wait([&] { return !OpenWindowOf<CQvxTerminalDlg>(); }));
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Tools|Terminal &Window..."));
    terminal = OpenWindowOf<CQvxTerminalDlg>();
    ASSERT_NE(terminal, nullptr);
    terminal->GetWindowRect(&placed);
    EXPECT_EQ(placed.Size(), size);
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

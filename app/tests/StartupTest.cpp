// Start-up and exit of the real program object: the first start, what is
// kept between starts, damaged files, a missing data folder, the network
// steps and their bound, and a frame that cannot be built.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "AppTestFixture.h"
#include "app/AppPaths.h"
#include "foundation/WindowPlacement.h"
#include "platform/core/IniFile.h"
#include "platform/core/Profile.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/Menu.h"
#include "testing/WindowShot.h"

namespace {
bool HasManageCloudItem(CMainFrame* frame)
{
    return AfxFindMenuItem(frame->GetMenu(), ID_MANAGE_CLOUD, nullptr, nullptr);
}

// A "ping" on PATH that the test controls: it answers at once, or never.
using StartupTest = AppFixture;
}  // namespace

TEST_F(StartupTest, AFirstStartShowsACentredFrameWithTheMenuForNoDriveAndIsRememberedAtExit)
{
    ASSERT_TRUE(Start());
    CMainFrame* frame = Frame();
    ASSERT_NE(nullptr, frame);
    CRect window;
    frame->GetWindowRect(&window);
    EXPECT_EQ(CRect(128, 128, 1152, 896), window);
    CString title;
    frame->GetWindowText(title);
    EXPECT_EQ("Korvane", title);
    EXPECT_EQ(367u, m_app->GetCurrentMenuId());
    const std::vector<CString> expected = {"&File", "&View", "&Backup", "&Layout", "&Tools", "&Window", "&Help"};
    EXPECT_EQ(expected, kvtest::MenuBarTexts(frame));
    EXPECT_EQ(1, kvtest::MenuItemState(frame, "&File|&Demo"));
    EXPECT_EQ(0, kvtest::MenuItemState(frame, "&File|&Close"));
    EXPECT_EQ(1, kvtest::MenuItemState(frame, "&File|&Open ..."));
    Screenshot(frame, "main-frame-fresh");
    CRect toolBar, client;
    frame->GetToolBar().GetWindowRect(&toolBar);
    frame->GetMDIClient()->GetWindowRect(&client);
    EXPECT_GT(toolBar.top, window.top) << "below the menu bar";
    EXPECT_EQ(toolBar.bottom, client.top) << "the client area starts below the toolbar";

    // Offline: one alert, no cloud, no cloud command.
    EXPECT_EQ(1, CountAlerts("CANNOT_SYNC_TO_SERVER"));
    EXPECT_EQ("Cloud database sync error: Not connected to network.", Alerts().at(0).m_text);
    EXPECT_EQ(0, m_app->IsCloudReachable());
    EXPECT_FALSE(HasManageCloudItem(frame));
    ASSERT_TRUE(Wait([&] { return frame->GetStatusBar().GetPaneText(1).Find("Not connected") >= 0; }));

    frame->MoveWindow(40, 50, 900, 700);
    CloseFrame();
    EXPECT_EQ(nullptr, Frame()) << "the frame is gone";
    EXPECT_EQ(40, static_cast<int>(AfxGetProfileInt("WINDOWPOS.CMainFrame.Korvane2", "NormalPosition_left", -1)))
        << m_home.Read("config/profile.ini");
    m_app.reset();

    ASSERT_TRUE(Start());
    Frame()->GetWindowRect(&window);
    EXPECT_EQ(CRect(40, 50, 940, 750), window);
}

TEST_F(StartupTest, DamagedSettingsFilesAreKeptAsideAndDefaultsUsed)
{
    const std::string binary("\x7f" "ELF\0\0\x01garbage", 12);
    std::filesystem::create_directories(m_home.File("config"));
    std::filesystem::create_directories(m_home.File("common/Korvane"));
    m_home.Write("config/profile.ini", binary);
    m_home.Write("common/Korvane/kvsettings.ini", binary);
    ASSERT_TRUE(Start());
    const std::vector<CString> messages = Messages();
    ASSERT_EQ(2u, messages.size());
    EXPECT_NE(-1, messages[0].Find("profile.ini")) << messages[0].GetString();
    EXPECT_NE(-1, messages[1].Find("kvsettings.ini\" is not a text file")) << messages[1].GetString();
    EXPECT_EQ(binary, m_home.Read("config/profile.ini.damaged"));
    EXPECT_EQ(binary, m_home.Read("common/Korvane/kvsettings.ini.damaged"));
    EXPECT_EQ(2, Frame()->GetDriveAssignments().GetCount()) << "the factory names";
    CloseFrame();
    EXPECT_EQ(binary, m_home.Read("config/profile.ini.damaged"));
    EXPECT_NE(binary, m_home.Read("config/profile.ini"));
}

TEST_F(StartupTest, WithoutADataFolderNothingIsWrittenBesideTheCurrentDirectory)
{
    m_home.Write("common", "a file where the folder should be");
    const auto oldDir = std::filesystem::current_path();
    std::filesystem::create_directory(m_home.File("cwd"));
    std::filesystem::current_path(m_home.File("cwd"));
    ASSERT_TRUE(Start());
    const std::vector<CString> messages = Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ("ERROR: Could not find application data folder", messages[0]);
    EXPECT_TRUE(AfxGetAppPaths().userIni.IsEmpty());
    EXPECT_EQ(0, Frame()->SaveDriveAssignments());
    CloseFrame();
    std::filesystem::current_path(oldDir);
    EXPECT_TRUE(std::filesystem::is_empty(m_home.File("cwd")));
}

TEST_F(StartupTest, AHostThatNeverAnswersHoldsStartUpOnlyForItsBound)
{
    FakePing hanging(m_home, false);
    kvtest::SetNetworkAlive(1);
    MakeApp().GetStartupOptions().pingSeconds = 1;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(Start());
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, std::chrono::seconds(4));
    EXPECT_EQ(0, m_app->IsCloudReachable());
    EXPECT_EQ("Cloud database sync error: Cloud server not available.", Alerts().at(0).m_text);
    EXPECT_EQ(1, CountAlerts("CANNOT_SYNC_TO_SERVER"));
}

TEST_F(StartupTest, AReachableCloudOffersItsCommandWithoutAPassword)
{
    FakePing answering(m_home, true);
    kvtest::SetNetworkAlive(1);
    AnswerCloudSync();
    ASSERT_TRUE(Start());
    EXPECT_EQ(1, m_app->IsCloudReachable());
    EXPECT_EQ(0, CountAlerts("CANNOT_SYNC_TO_SERVER"));
    ASSERT_TRUE(HasManageCloudItem(Frame()));
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Tools|&Manage Cloud Database..."));
    EXPECT_EQ(1, Database()->m_toggles);
    int checked = 0;
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&Tools|&Manage Cloud Database...", &checked));
    EXPECT_EQ(1, checked);

    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    EXPECT_TRUE(HasManageCloudItem(Frame())) << "offered again once a link opened";
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Close"));
    EXPECT_FALSE(HasManageCloudItem(Frame())) << "gone once communications closed";
}

TEST_F(StartupTest, AFrameWithoutItsBarsEndsStartUpWithAMessage)
{
    kvtest::FailNextFrameBars();
    EXPECT_FALSE(Start());
    EXPECT_EQ(nullptr, Frame());
    const std::vector<CString> messages = Messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ("ERROR: Could not create the main window.", messages.back());
}

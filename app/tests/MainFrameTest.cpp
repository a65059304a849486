// The main frame as a user meets it: the lamp and the background read from
// images, the timer guard while a box is up, help, the password prompt, a
// refused close, and the command router.
#include <thread>

#include "AppTestFixture.h"
#include "app/AdminPassword.h"
#include "app/HelpTopics.h"
#include "app/HelpWnd.h"
#include "app/Sha256.h"
#include "app/SplashWnd.h"
#include "framework/tests/SampleDriveDlg.h"
#include "platform/core/MessageBox.h"
#include "platform/core/IniFile.h"
#include "platform/core/Profile.h"
#include "platform/core/Clock.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/KeyState.h"
#include "platform/ui/MdiFrameWnd.h"
#include "testing/WindowShot.h"

namespace {
class MainFrameTest : public AppFixture {
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
    COLORREF LampPixel()
    {
        CKVStatusBar& bar = Frame()->GetStatusBar();
        CRect pane;
        bar.GetItemRect(CKVStatusBar::kLampPane, &pane);
        return PixelOf(&bar, pane.right - 8, pane.top + pane.Height() / 2);
    }
    void Tick() { Frame()->GetStatusBar().SendMessage(WM_TIMER, CKVStatusBar::kTimerId); }
};
}  // namespace

TEST_F(MainFrameTest, TheLampShowsTheCommunicationStatusAndTheClientAreaIsLightGrey)
{
    const struct {
        int status;
        COLORREF colour;
    } cases[] = {{0, 0x404040}, {1, 0x00FF00}, {2, 0x00FFFF}, {5, 0xFF0000}};
    for (const auto& c : cases) {
        m_app->SetCommStatus(c.status);
        Tick();
        EXPECT_EQ(c.colour, LampPixel()) << c.status;
    }
    m_app->SetCommStatus(3);
    std::vector<COLORREF> blinks;
    for (int i = 0; i < 4; ++i) {
        Tick();
        blinks.push_back(LampPixel());
    }
    EXPECT_EQ(2, std::count(blinks.begin(), blinks.end(), COLORREF(0x0000FF)));
    EXPECT_EQ(2, std::count(blinks.begin(), blinks.end(), COLORREF(0x404040)));
    EXPECT_NE(blinks[0], blinks[1]);
    Screenshot(&Frame()->GetStatusBar(), "status-bar-lamp");

    CWnd* client = Frame()->GetMDIClient();
    EXPECT_EQ(COLORREF(0xC4C4C4), PixelOf(client, 2, 2));
    CRect area;
    client->GetClientRect(&area);
    EXPECT_NE(COLORREF(0xC4C4C4), PixelOf(client, area.Width() / 2 - 100, area.Height() / 2)) << "the picture";

    // "Clear Alert" replaces the shown alert; with no alert shown it is not handled.
    ASSERT_TRUE(Wait([&] { return Frame()->GetStatusBar().GetPaneText(1).Left(1) == "["; }));
    kvtest::Click(&Frame()->GetClearAlertButton());
    EXPECT_TRUE(Wait([&] { return Frame()->GetStatusBar().GetPaneText(1) == "No new alerts"; }));
    EXPECT_FALSE(Frame()->OnCmdMsg(ID_CLEAR_ALERT, 0));

    // The alert buttons sit in pane 2.
    CRect pane, button;
    Frame()->GetStatusBar().GetItemRect(2, &pane);
    Frame()->GetClearAlertButton().GetWindowRect(&button);
    Frame()->GetStatusBar().ScreenToClient(&button);
    EXPECT_EQ(pane.left + 3, button.left);
    EXPECT_EQ(80, button.Width());
}

TEST_F(MainFrameTest, WhileABoxFromATickIsUpNoTimerOfTheFrameWorks)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    ASSERT_TRUE(Wait([&] { return Frame()->GetTickCount(kTimerGuiUpdate) > 2; }));
    // The box runs its own message loop while it is up, as a real one does.
    int alertsDuring = -1, updatesDuring = -1;
    bool guardSet = false;
    AfxSetMessageBoxHandler([&](const char* text, const char*, UINT, UINT) {
        EXPECT_STREQ("Drive type change detected.  Closing communications.", text);
        const int alerts = Frame()->GetTickCount(kTimerAlerts);
        const int updates = Frame()->GetTickCount(kTimerGuiUpdate);
        guardSet = Frame()->IsTimerGuardSet();
        const auto until = GetTickCount64() + 400;
        AfxPumpMessagesUntil([&] { return GetTickCount64() >= until; }, 1000);
        alertsDuring = Frame()->GetTickCount(kTimerAlerts) - alerts;
        updatesDuring = Frame()->GetTickCount(kTimerGuiUpdate) - updates;
        return IDOK;
    });
    m_app->SetDriveTypeChanged();
    const bool answered = Wait([&] { return alertsDuring >= 0; });
    AfxInstallMessageBoxHook();
    ASSERT_TRUE(answered);
    EXPECT_TRUE(guardSet);
    EXPECT_EQ(0, alertsDuring);
    EXPECT_EQ(0, updatesDuring);
    // The drive type change closed the link.
    ASSERT_TRUE(Wait([&] { return !Frame()->IsCommOpen(); }));
    EXPECT_EQ(367u, m_app->GetCurrentMenuId());
    // Once it is gone the frame takes alerts again.
    const int alerts = Frame()->GetTickCount(kTimerAlerts);
    m_app->RaiseAlert("AFTER_THE_BOX", "After the box.", 1, kAlertStatusBar, 0);
    EXPECT_TRUE(Wait([&] { return Frame()->GetTickCount(kTimerAlerts) > alerts && Frame()->GetFaultManager().GetPendingCount() == 0; }));
}

TEST_F(MainFrameTest, HelpOpensTheTopicOfTheAskingWindow)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Help|Korvane Help"));
    CHelpWnd& help = Frame()->GetHelpWindow();
    EXPECT_EQ(1658, help.GetShownTopic());
    EXPECT_TRUE(help.IsWindowVisible());
    EXPECT_NE(-1, help.GetBrowser().GetLocationURL().Find("t1658.html"));
    EXPECT_EQ("Korvane", help.GetBrowser().GetTitle());
    CString caption;
    help.GetWindowText(caption);
    EXPECT_EQ("Korvane Help - Korvane", caption);

    Frame()->ShowHelp(311);
    EXPECT_EQ(1709, help.GetShownTopic());
    Frame()->ShowHelp(static_cast<UINT>(static_cast<WORD>(-1762)));
    EXPECT_EQ(1762, help.GetShownTopic());

    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Help|Contents"));
    EXPECT_NE(-1, help.GetBrowser().GetLocationURL().Find("index.html"));
    ASSERT_TRUE(kvtest::ClickBrowserLink(help.GetBrowser(), "t1761.html"));
    EXPECT_NE(-1, help.GetBrowser().GetLocationURL().Find("t1761.html"));
    Screenshot(&help, "help-window");

    // Esc closes the help window.
    kvtest::PressKey(&help.GetBrowser(), VK_ESCAPE);
    EXPECT_FALSE(help.IsWindowVisible());
}

TEST_F(MainFrameTest, F1InAWindowOpensThatWindowsPage)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Tools|Terminal &Window..."));
    CWnd* terminal = nullptr;
    ASSERT_TRUE(Wait([&] {
        for (POSITION pos = Frame()->GetUpdateList()->GetHeadPosition(); pos && !terminal;)
            if (CGuiUpdateItem* item = Frame()->GetUpdateList()->GetNext(pos); item->GetItemName() == "Terminal Window")
                terminal = item->GetWnd();
        return terminal != nullptr;
    }));
    kvtest::PressKey(terminal->GetDlgItem(2214), VK_F1);
    CHelpWnd& help = Frame()->GetHelpWindow();
    EXPECT_EQ(1660, help.GetShownTopic());
    EXPECT_TRUE(help.IsWindowVisible());
    EXPECT_NE(-1, help.GetBrowser().GetDocumentText().Find("hex+:"));
}

TEST_F(MainFrameTest, HelpSearchListsThePagesHoldingTheWordsTyped)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Help|Search"));
    CHelpWnd& help = Frame()->GetHelpWindow();
    ASSERT_TRUE(help.IsWindowVisible());
    CWnd* focus = CWnd::GetFocus();
    EXPECT_TRUE(focus && focus->GetSafeHwnd() == help.GetSearchBox().GetSafeHwnd()) << "the search box takes the typing";
    kvtest::TypeText(&help.GetSearchBox(), "trace filter");
    kvtest::PressKey(&help.GetSearchBox(), VK_RETURN);
    const CString results = help.GetBrowser().GetDocumentText();
    EXPECT_NE(-1, results.Find("Terminal")) << results.GetString();
    EXPECT_EQ(-1, results.Find("Save to NVM")) << results.GetString();
    ASSERT_TRUE(kvtest::ClickBrowserLink(help.GetBrowser(), CString("file://") + GetHelpFilePath() + "t1660.html"));
    EXPECT_NE(-1, help.GetBrowser().GetLocationURL().Find("t1660.html"));
}

TEST_F(MainFrameTest, TheCloudCommandAsksForThePasswordWhileTheCloudIsUnreachable)
{
    kvtest::SetAdminPasswordDigest("pepper", CSha256::HexDigest("pepperTest-Word#7"));
    const struct {
        const char* typed;  // null: cancelled
        int toggles;
        const char* message;
    } cases[] = {
        {nullptr, 0, nullptr},
        {"", 0, "Invalid password."},
        {"test-word#7", 0, "Invalid password."},
        {"Test-Word#7", 1, nullptr},
    };
    for (const auto& c : cases) {
        CString prompt;
        kvtest::OnNextModal([&](CWnd* dialog) {
            dialog->GetDlgItemText(2804, prompt);
            if (!c.typed) {
                kvtest::Click(dialog->GetDlgItem(IDCANCEL));
                return;
            }
            kvtest::TypeText(dialog->GetDlgItem(2805), c.typed);
            kvtest::Click(dialog->GetDlgItem(IDOK));
        });
        Frame()->SendMessage(WM_COMMAND, ID_MANAGE_CLOUD);
        EXPECT_EQ("Enter password to open Manage Cloud Database window.", prompt);
        EXPECT_EQ(c.toggles, Database()->m_toggles) << (c.typed ? c.typed : "cancel");
        const std::vector<CString> messages = Messages();
        if (c.message) {
            ASSERT_EQ(1u, messages.size());
            EXPECT_EQ(c.message, messages[0]);
        } else {
            EXPECT_TRUE(messages.empty());
        }
    }
}

TEST_F(MainFrameTest, ARefusedCloseChangesNothing)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Setup|&Control Panel"));
    ASSERT_EQ(1, CSampleDriveDlg::s_alive);
    Messages();
    auto* window = static_cast<CSampleDriveDlg*>(Frame()->GetUpdateList()->GetHead());
    window->m_unsentSettings = 1;
    Frame()->GetUpdateList()->SetInteractive(1);
    AfxQueueScriptedAnswer(IDNO);
    CloseFrame();
    ASSERT_NE(nullptr, Frame());
    const std::vector<CString> messages = Messages();
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("Exit cancelled.", messages[1]);
    EXPECT_TRUE(Frame()->IsCommOpen());
    EXPECT_FALSE(Frame()->IsShuttingDown());
    EXPECT_EQ(1, CSampleDriveDlg::s_alive);
    EXPECT_EQ(-1, static_cast<int>(AfxGetProfileInt("WINDOWPOS.CMainFrame.Korvane2", "NormalPosition_left", -1)));
    const int updates = Frame()->GetTickCount(kTimerGuiUpdate);
    EXPECT_TRUE(Wait([&] { return Frame()->GetTickCount(kTimerGuiUpdate) > updates + 2; }));

    // The encoder database refuses as well.
    window->m_unsentSettings = 0;
    Database()->m_mayClose = false;
    CloseFrame();
    ASSERT_NE(nullptr, Frame());
    EXPECT_EQ(std::vector<CString>{"Exit cancelled."}, Messages());

    Database()->m_mayClose = true;
    CloseFrame();
    EXPECT_EQ(nullptr, Frame());
    EXPECT_EQ(0, CSampleDriveDlg::s_alive) << "the drive windows closed before the frame went";
}

TEST_F(MainFrameTest, ClosingTheLinkOrTheProgramWithADriveEnabledAsksFirst)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    CList<CAmplifierData> drives;
    m_app->GetConnectedDrives(drives);
    ASSERT_FALSE(drives.IsEmpty());
    CString command, reply;
    command.Format("SETDEFAULTAMP(\"%d\")", drives.GetHead().m_address);
    m_app->ExecuteCommandLine(command, reply);
    m_app->ExecuteCommandLine("ENABLEAMP", reply);
    ASSERT_EQ("SUCCESS", reply);
    ASSERT_TRUE(Wait([&] { return Frame()->GetUpdateList()->GetOwnItem().GetEnableBit() == 1; }));
    Messages();

    // File > Close: No keeps the link.
    AfxQueueScriptedAnswer(IDNO);
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Close"));
    std::vector<CString> messages = Messages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_NE(-1, messages[0].Find("Enabled drive: ")) << messages[0].GetString();
    EXPECT_NE(-1, messages[0].Find("Close communications anyway?")) << messages[0].GetString();
    EXPECT_TRUE(Frame()->IsCommOpen());

    // File > Exit: No cancels the exit.
    AfxQueueScriptedAnswer(IDNO);
    CloseFrame();
    ASSERT_NE(nullptr, Frame());
    messages = Messages();
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("Exit cancelled.", messages[1]);
    EXPECT_TRUE(Frame()->IsCommOpen());

    // Yes closes.
    AfxQueueScriptedAnswer(IDYES);
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Close"));
    EXPECT_FALSE(Frame()->IsCommOpen());
}

TEST_F(MainFrameTest, TheAboutBoxAndResetWarnings)
{
    std::vector<CString> texts;
    kvtest::OnNextModal([&](CWnd* dialog) {
        for (int id = 1270; id <= 1273; ++id) {
            CString text;
            dialog->GetDlgItemText(id, text);
            texts.push_back(text);
        }
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Help|&About Korvane..."));
    ASSERT_EQ(4u, texts.size());
    EXPECT_EQ("Korvane Drive Setup Software", texts[0]);
    EXPECT_EQ("2.2.64", texts[1]);
    EXPECT_EQ("Oct 19 2022", texts[2]);
    EXPECT_FALSE(texts[3].IsEmpty());

    const CString ini = m_app->GetUserSettingsIniPath();
    WritePrivateProfileString("WARN MSGS", "SOME_KEY", "6", ini);
    WritePrivateProfileString("OTHER", "Kept", "1", ini);
    Frame()->SendMessage(WM_COMMAND, ID_RESET_WARNINGS);
    EXPECT_EQ(0u, GetPrivateProfileInt("WARN MSGS", "SOME_KEY", 0, ini));
    EXPECT_EQ(1u, GetPrivateProfileInt("OTHER", "Kept", 0, ini));
}

TEST_F(MainFrameTest, TheMenuFollowsTheDriveFamiliesAndIsRebuiltOnTheGuiThreadWhenAsked)
{
    const struct {
        std::vector<int> families;
        UINT menu;
    } cases[] = {{{2}, 366}, {{4, 4}, 368}, {{8}, 367}, {{2, 8, 4}, 375}, {{}, 367}};
    for (const auto& c : cases) {
        m_app->ClearConnectedDrives();
        for (size_t i = 0; i < c.families.size(); ++i)
            m_app->AddConnectedDrive(CAmplifierData(static_cast<DWORD>(i + 1), c.families[i], "D"));
        std::thread worker([this] { m_app->PostUpdateMainMenu(); });  // as the simulator's thread asks
        worker.join();
        ASSERT_TRUE(Wait([&] { return m_app->GetCurrentMenuId() == c.menu; })) << c.menu;
        const std::vector<CString> tops = kvtest::MenuBarTexts(Frame());
        EXPECT_EQ(0, std::count(tops.begin(), tops.end(), CString("Debug"))) << c.menu;
    }
}

TEST_F(MainFrameTest, WizardLinesAreRoutedApartFromWindowCommands)
{
    CString reply;
    EXPECT_EQ(0, m_app->ExecuteCommandLine("wiz:NEXT", reply));
    EXPECT_TRUE(reply.IsEmpty()) << "the wizard line never reaches the window commands";
    m_app->ExecuteCommandLine("WIZARD.CLOSE", reply);
    EXPECT_FALSE(reply.IsEmpty()) << "the window command interpreter answered";
}

TEST_F(MainFrameTest, TheSplashShowsOnceAndGoesAway)
{
    ASSERT_EQ(1, CSplashWnd::ShowSplash("Korvane", "2.2.64", "Oct 19 2022", "Notice", Frame()));
    CSplashWnd* splash = CSplashWnd::GetCurrent();
    ASSERT_NE(nullptr, splash);
    EXPECT_EQ("Korvane Ver: 2.2.64\nCompile date: Oct 19 2022\n\nNotice", splash->FormatText());
    EXPECT_EQ(0, CSplashWnd::ShowSplash("Other", "1", "2", "3", Frame()));
    Screenshot(splash, "splash");
    splash->SendMessage(WM_TIMER, 1);
    ASSERT_TRUE(Wait([] { return CSplashWnd::GetCurrent() == nullptr; }));
}

TEST_F(MainFrameTest, ARepeatedMnemonicReachesEachItemThatSharesIt)
{
    m_app->AddConnectedDrive(CAmplifierData(1, 2, "Kreln"));
    m_app->PostUpdateMainMenu();
    ASSERT_TRUE(Wait([&] { return m_app->GetCurrentMenuId() == 366u; }));
    // "&Setup" and "&Status" share Alt+S: each press moves on to the next, round again.
    for (const char* expected : {"&Setup", "&Status", "&Setup"}) {
        kvtest::PressMenuKey(Frame(), 'S', true);
        EXPECT_EQ(kvtest::OpenMenuTitle(Frame()), expected);
    }
    kvtest::PressMenuKey(Frame(), 'T', true);
    EXPECT_EQ(kvtest::OpenMenuTitle(Frame()), "&Tools") << "a mnemonic of its own opens its menu at once";
    kvtest::PressMenuKey(Frame(), VK_ESCAPE);
}

TEST_F(MainFrameTest, TheLockKeyPanesShowOnlyWhileTheirLockIsOn)
{
    CKVStatusBar& bar = Frame()->GetStatusBar();
    EXPECT_EQ(bar.GetPaneText(3), "");
    EXPECT_EQ(bar.GetPaneText(5), "");
    const struct {
        UINT key;
        int pane;
        const char* name;
    } locks[] = {{VK_CAPITAL, 3, "CAP"}, {VK_SCROLL, 5, "SCRL"}};
    for (const auto& lock : locks) {
        kvtest::PressKey(Frame(), lock.key);
        EXPECT_TRUE(Wait([&] { return bar.GetPaneText(lock.pane) == lock.name; })) << lock.name;
        kvtest::PressKey(Frame(), lock.key);
        EXPECT_TRUE(Wait([&] { return bar.GetPaneText(lock.pane) == ""; })) << lock.name;
    }
    EXPECT_EQ(bar.GetPaneText(CKVStatusBar::kLampPane), "Comm Status:") << "the lamp pane keeps its own text";
}

TEST_F(MainFrameTest, TheListedShortcutKeysRunTheirCommands)
{
    const size_t editors = Frame()->GetEditors().Snapshot(100).size();
    kvtest::PressKey(Frame(), 'N', true);  // Ctrl+N: a new file in the editor
    EXPECT_TRUE(Wait([&] { return Frame()->GetEditors().Snapshot(100).size() == editors + 1; }));
    Frame()->GetEditors().CloseAll();
}

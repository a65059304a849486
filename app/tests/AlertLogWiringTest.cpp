// The alert log inside the program: alerts raised through the application
// reach the status bar and the Alert Log window, the two status-bar buttons
// and the Tools command follow their rules, communications open clears the
// list but not the suppressed keys, settings survive a restart, and a popup
// holds every timer of the frame while it is up.
#include "AppTestFixture.h"
#include "alerts/FaultPopupDlg.h"
#include "app/AppPaths.h"
#include "comm/link/CommAppServices.h"
#include "platform/core/Clock.h"
#include "platform/core/IniFile.h"
#include "testing/WindowShot.h"

namespace {
class AlertLogWiringTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        Messages();
    }
    CString AlertPane() { return Frame()->GetStatusBar().GetPaneText(1); }
    CFaultManager& Faults() { return Frame()->GetFaultManager(); }
    CFaultManagerDlg& LogWindow() { return Faults().GetDialog(); }
    bool LogWindowVisible() { return LogWindow().GetSafeHwnd() && LogWindow().IsWindowVisible(); }
};

// "[hh:mm:ss.mmm](n):text" as the status pane shows an alert.
bool ShowsAlert(const CString& pane, const char* text)
{
    return pane.GetLength() > 16 && pane[0] == '[' && pane[13] == ']' && pane.Right(static_cast<int>(strlen(text))) == text;
}
}  // namespace

TEST_F(AlertLogWiringTest, ADriveAlertCarriesTheDrivesAssignedNameToThePaneAndTheLogWindow)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    CString name;
    ASSERT_TRUE(Frame()->GetCommManager().GetDriveNames().FindDriveName(1, name));
    EXPECT_EQ("Kreln", name) << "the factory file's assignment of demo drive 1";
    // As the link raises a reply timeout of drive 1.
    m_app->RaiseAlert("COMMAND_TIMEOUT", "Timeout occurred on expected reply from drive \"Kreln\".", 2,
                      kAlertStatusBar, 1);
    const std::vector<CFaultLogItem> alerts = Alerts();
    ASSERT_EQ(2u, alerts.size()) << "the start-up alert and this one";
    EXPECT_EQ("COMMAND_TIMEOUT_Kreln", alerts[1].m_key);
    EXPECT_EQ("[Drive:Kreln] Timeout occurred on expected reply from drive \"Kreln\".", alerts[1].m_text);
    ASSERT_TRUE(Wait([&] { return ShowsAlert(AlertPane(), "[Drive:Kreln] Timeout occurred on expected reply from drive \"Kreln\"."); }))
        << AlertPane().GetString();
    EXPECT_EQ("(2):", AlertPane().Mid(14, 4)) << "two unacknowledged alerts";
    EXPECT_GE(Frame()->GetAlertHost().GetBeepCount(), 1);

    // The log window lists it, and while it is up no alert goes to the pane.
    kvtest::Click(&Frame()->GetAlertLogButton());
    ASSERT_TRUE(LogWindowVisible());
    ASSERT_TRUE(Wait([&] { return LogWindow().GetList().GetItemCount() == 2; }));
    EXPECT_EQ("[Drive:Kreln] Timeout occurred on expected reply from drive \"Kreln\".",
              LogWindow().GetList().GetItemText(1, 1)) << "the Alert column";
    EXPECT_TRUE(Wait([&] { return AlertPane() == "No new alerts"; }));
    m_app->RaiseAlert("COMMAND_TIMEOUT", "again", 2, kAlertStatusBar, 1);
    ASSERT_TRUE(Wait([&] { return LogWindow().GetList().GetItemCount() == 3; }));
    EXPECT_EQ("No new alerts", AlertPane());
    Screenshot(Frame(), "main-frame-alert-log");
    EXPECT_FALSE(Frame()->OnCmdMsg(ID_ALERT_LOG_BUTTON, 0)) << "the button does nothing while the window is up";
    LogWindow().ShowWindow(SW_HIDE);
    EXPECT_TRUE(Frame()->OnCmdMsg(ID_ALERT_LOG_BUTTON, 0));
}

TEST_F(AlertLogWiringTest, ClearAlertAndTheAlertLogCommandFollowTheirRules)
{
    // The start-up alert (offline) is on the pane.
    ASSERT_TRUE(Wait([&] { return ShowsAlert(AlertPane(), "Cloud database sync error: Not connected to network."); }));
    EXPECT_TRUE(Faults().IsAlertShown());
    kvtest::Click(&Frame()->GetClearAlertButton());
    ASSERT_TRUE(Wait([&] { return AlertPane() == "No new alerts"; }));
    EXPECT_FALSE(Faults().IsAlertShown());
    EXPECT_FALSE(Frame()->OnCmdMsg(ID_CLEAR_ALERT, 0)) << "nothing to clear";

    // A repeated key is silent until "Clear Alert" is pressed.
    m_app->RaiseAlert("CANNOT_SYNC_TO_SERVER", "first", 2, kAlertStatusBar, -1);
    ASSERT_TRUE(Wait([&] { return ShowsAlert(AlertPane(), "first"); }));
    const int beeps = Frame()->GetAlertHost().GetBeepCount();
    m_app->RaiseAlert("CANNOT_SYNC_TO_SERVER", "again", 2, kAlertStatusBar, -1);
    ASSERT_TRUE(Wait([&] { return ShowsAlert(AlertPane(), "again"); }));
    EXPECT_EQ(beeps, Frame()->GetAlertHost().GetBeepCount());
    kvtest::Click(&Frame()->GetClearAlertButton());
    m_app->RaiseAlert("CANNOT_SYNC_TO_SERVER", "once more", 2, kAlertStatusBar, -1);
    ASSERT_TRUE(Wait([&] { return ShowsAlert(AlertPane(), "once more"); }));
    EXPECT_EQ(beeps + 1, Frame()->GetAlertHost().GetBeepCount());

    // Tools|Alert Log waits for communications; the button does not.
    EXPECT_EQ(0, kvtest::MenuItemState(Frame(), "&Tools|Alert Log"));
    kvtest::Click(&Frame()->GetAlertLogButton());
    EXPECT_TRUE(LogWindowVisible());
    LogWindow().ShowWindow(SW_HIDE);
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&Tools|Alert Log"));
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Tools|Alert Log"));
    EXPECT_TRUE(LogWindowVisible());
}

TEST_F(AlertLogWiringTest, TheTestButtonRaisesThroughTheProgramAndAnOpenClearsAllButSuppressions)
{
    Faults().SetPopupAnswerer([](int, const CString&, int) { return 0; });
    kvtest::Click(&Frame()->GetAlertLogButton());
    ASSERT_TRUE(LogWindowVisible());
    kvtest::Click(LogWindow().GetDlgItem(CFaultManagerDlg::kTest));
    // The start-up alert and the window's eleven test alerts.
    ASSERT_TRUE(Wait([&] { return LogWindow().GetList().GetItemCount() == 12; }))
        << LogWindow().GetList().GetItemCount();
    EXPECT_EQ(12u, Alerts().size());
    Screenshot(&LogWindow(), "program-alert-log-test-alerts");
    Faults().SuppressKey("RX_DATA_ERROR");

    // An open that finds no port fails, and clears the alerts all the same.
    EXPECT_EQ(0, Frame()->OpenCommunication(CCommLinkSettings()));
    EXPECT_TRUE(Alerts().empty()) << "communications open clears the history";
    EXPECT_TRUE(Wait([&] { return LogWindow().GetList().GetItemCount() == 0; }));
    EXPECT_TRUE(Faults().GetSuppressedKeys().Find("RX_DATA_ERROR")) << "suppressions outlive the clearing";
}

TEST_F(AlertLogWiringTest, TheSettingsAndSuppressedKeysAreSavedAtCloseAndReadAtTheNextStart)
{
    Faults().m_maxDisplayFaults = 7;
    Faults().SuppressKey("SER_READ_RETRY");
    CloseFrame();
    ASSERT_TRUE(Wait([&] { return Frame() == nullptr; }));
    const CString settings = AfxGetAppPaths().userIni;
    EXPECT_EQ(7u, GetPrivateProfileInt("FAULT MANAGER", "MaxDisplayFaults", 0, settings));
    char keys[200] = {};
    GetPrivateProfileString("FAULT MANAGER", "SuppressedFaults", "", keys, sizeof keys, settings);
    EXPECT_STREQ("SER_READ_RETRY|", keys);

    m_app.reset();
    ASSERT_TRUE(Start());
    EXPECT_EQ(7, Faults().m_maxDisplayFaults);
    EXPECT_TRUE(Faults().GetSuppressedKeys().Find("SER_READ_RETRY"));
}

TEST_F(AlertLogWiringTest, WhileAPopupIsUpNoTimerOfTheFrameWorks)
{
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    ASSERT_TRUE(Wait([&] { return Frame()->GetTickCount(kTimerGuiUpdate) > 2; }));
    int alertsDuring = -1, updatesDuring = -1;
    CString popupText;
    kvtest::OnNextModal([&](CWnd* popup) {
        popup->GetDlgItem(CFaultPopupDlg::kAlertText)->GetWindowText(popupText);
        const int alerts = Frame()->GetTickCount(kTimerAlerts);
        const int updates = Frame()->GetTickCount(kTimerGuiUpdate);
        const auto until = GetTickCount64() + 400;
        AfxPumpMessagesUntil([&] { return GetTickCount64() >= until; }, 1000);
        alertsDuring = Frame()->GetTickCount(kTimerAlerts) - alerts;
        updatesDuring = Frame()->GetTickCount(kTimerGuiUpdate) - updates;
        Screenshot(popup, "program-alert-popup");
        kvtest::Click(popup->GetDlgItem(IDOK));
    });
    m_app->RaiseAlert("RX_BUFF_OVRFLW", "Communications receive buffer overflow.", 4, kAlertPopup, 2);
    ASSERT_TRUE(Wait([&] { return alertsDuring >= 0; }));
    EXPECT_EQ("[Drive:Tavro] Communications receive buffer overflow.", popupText);
    EXPECT_EQ(0, alertsDuring);
    EXPECT_EQ(0, updatesDuring);
    // Once it is gone the frame takes alerts again.
    const int alerts = Frame()->GetTickCount(kTimerAlerts);
    m_app->RaiseAlert("AFTER_THE_BOX", "After the box.", 1, kAlertStatusBar, 0);
    EXPECT_TRUE(Wait([&] { return Frame()->GetTickCount(kTimerAlerts) > alerts && Faults().GetPendingCount() == 0; }));
}

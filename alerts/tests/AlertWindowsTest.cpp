#include <gtest/gtest.h>

#include <cstdlib>

#include "AlertsTestSupport.h"
#include "alerts/FaultManagerSettingsDlg.h"
#include "platform/core/MessageBox.h"
#include "platform/core/SpecialFolders.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"
#include "testing/WindowPixels.h"
#include "testing/WindowShot.h"

namespace {

// Pixels of a colour inside a rectangle of an image.
int CountNear(const CBitmap& image, const CRect& r, COLORREF color, int tolerance = 40)
{
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            count += Near(image.GetPixel(x, y), color, tolerance) ? 1 : 0;
    return count;
}

struct AlertLogTest : ::testing::Test, AlertsFixture {
    AlertLogTest()
    {
        AfxTakeScriptedMessageLog();
        EXPECT_TRUE(dialog().Open(nullptr));
    }
    ~AlertLogTest() override
    {
        if (dialog().GetSafeHwnd())
            dialog().DestroyWindow();
    }
    CFaultManagerDlg& dialog() { return manager.GetDialog(); }
    CReportCtrl& list() { return dialog().GetList(); }
    // What the main frame's 5 ms timer and the window's 500 ms timer do, without waiting for them.
    void Tick()
    {
        manager.ProcessPendingFaults();
        dialog().RefreshList(TRUE);
    }
    void Click(int id) { kvtest::Click(dialog().GetDlgItem(id)); }
    int Rows() { return list().GetItemCount(); }
    std::string Cell(int row, int column) { return std::string(list().GetItemText(row, column)); }
    void PressTest()
    {
        CWnd* test = dialog().GetDlgItem(CFaultManagerDlg::kTest);
        test->ShowWindow(SW_SHOW);  // a developer's button, hidden from users
        kvtest::Click(test);
        Tick();
    }
};

}  // namespace

TEST_F(AlertLogTest, TheTestAlertsAreListedInTheirLevelColours)
{
    PressTest();
    ASSERT_EQ(Rows(), 11);
    EXPECT_EQ(Cell(0, 0), "Alert");
    EXPECT_EQ(Cell(0, 1), "Communications data receive error. Communications will be recovered, though data may have "
                          "been lost.");
    EXPECT_EQ(Cell(0, 2), "12:34:56.789");
    EXPECT_EQ(Cell(5, 0), "Warning");
    EXPECT_EQ(list().GetColumnCount(), 3);
    EXPECT_EQ(popups.size(), 5u) << "five of the test alerts carry the popup flag";
    EXPECT_TRUE(host.status.empty() || host.LastStatus() == "No new alerts")
        << "no status-bar alert while the window is visible";

    CBitmap image;
    Render(list(), image);
    for (int row : {6, 10}) {  // rows in view: the list scrolls to the newest
        CRect cell;
        list().GetSubItemRect(row, 1, LVIR_BOUNDS, cell);
        const COLORREF expected = row == 6 ? 0x00FFFF : 0x0000FF;
        EXPECT_GT(CountNear(image, cell, expected), 10) << "row " << row;
        EXPECT_GT(CountNear(image, cell, CFaultManagerDlg::kListBackground, 4), cell.Width()) << "row " << row;
    }
    Screenshot(&dialog(), "alert-log");
}

TEST_F(AlertLogTest, TheSummaryCountsRepeatsInPlace)
{
    Click(CFaultManagerDlg::kShowSummary);
    PressTest();
    ASSERT_EQ(Rows(), 9) << "the three retries share a row";
    EXPECT_EQ(list().GetColumnCount(), 4);
    EXPECT_EQ(Cell(5, 1), "Serial communications failure.  Re-trying.");
    EXPECT_EQ(Cell(5, 3), "3");
    Post("SER_READ_RETRY", 2, 0, "Retrying once more.");
    Tick();
    EXPECT_EQ(Rows(), 9);
    EXPECT_EQ(Cell(5, 3), "4");
    EXPECT_EQ(Cell(5, 1), "Retrying once more.");
    EXPECT_EQ(Cell(5, 2), "12:34:56.789");
    Screenshot(&dialog(), "alert-log-summary");
}

TEST_F(AlertLogTest, CheckingOneOfSeveralSelectedRowsAcknowledgesThemAll)
{
    Click(CFaultManagerDlg::kShowAcknowledged);  // acknowledged rows hide
    for (int i = 0; i < 6; ++i)
        Post("K", 2, 0);
    Tick();
    ASSERT_EQ(Rows(), 6);
    for (int row = 0; row < 5; ++row)
        list().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    list().SetCheck(2, TRUE);  // the user's tick on one of them
    for (int id = 1; id <= 5; ++id)
        EXPECT_EQ(manager.GetHistory().FindById(id)->m_acknowledged, 1) << id;
    EXPECT_EQ(manager.GetHistory().FindById(6)->m_acknowledged, 0);
    Tick();
    ASSERT_EQ(Rows(), 1) << "hidden acknowledged rows go at the next refresh";
    EXPECT_EQ(reinterpret_cast<const REPORTITEMDATA*>(list().GetItemData(0))->dwData, 6u);

    // "Clear All" removes only what is listed; the hidden ones stay in the history.
    AfxQueueScriptedAnswer(IDYES);
    Click(CFaultManagerDlg::kClearAll);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(manager.GetHistory().GetCount(), 5);
    const auto boxes = AfxTakeScriptedMessageLog();
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(std::string(boxes.back()).find("Remove all alerts?"), std::string::npos);
}

TEST_F(AlertLogTest, ClearAcknowledgedAsksAndKeepsTheRest)
{
    for (int i = 0; i < 3; ++i)
        Post("K", 3, 0);
    Tick();
    list().SetCheck(0, TRUE);
    AfxQueueScriptedAnswer(IDNO);
    Click(CFaultManagerDlg::kClearAcknowledged);
    EXPECT_EQ(Rows(), 3) << "answered No";
    AfxQueueScriptedAnswer(IDYES);
    Click(CFaultManagerDlg::kClearAcknowledged);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(manager.GetHistory().FindById(1), nullptr);
    const auto boxes = AfxTakeScriptedMessageLog();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(std::string(boxes[0]).find("Remove all acknowledged alerts?"), std::string::npos);
}

TEST_F(AlertLogTest, PauseLoggingHoldsAlertsUntilUncheckedOrClosed)
{
    Click(CFaultManagerDlg::kPauseLogging);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return manager.IsPaused() != 0; }, 3000)) << "the window's timer";
    Post("K", 4, kFaultPopup | kFaultStatusBar);
    Tick();
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(popups.empty());
    EXPECT_EQ(manager.GetPendingCount(), 1);

    kvtest::CloseWindow(&dialog());
    EXPECT_FALSE(dialog().IsWindowVisible());
    EXPECT_EQ(manager.IsPaused(), 0);
    EXPECT_EQ(dialog().IsDlgButtonChecked(CFaultManagerDlg::kPauseLogging), BST_UNCHECKED);
    manager.ProcessPendingFaults();
    EXPECT_EQ(popups.size(), 1u);
    EXPECT_EQ(host.beeps, 1) << "with the window hidden, the alert reaches the status bar";
}

TEST(AlertPopupTest, ShowsTheLevelAndTextInTheirColoursAndReturnsTheBox)
{
    CFaultManager manager;
    kvtest::OnNextModal([](CWnd* popup) {
        CWnd* levelText = popup->GetDlgItem(CFaultPopupDlg::kLevelText);
        CString text;
        levelText->GetWindowText(text);
        EXPECT_EQ(std::string(text), "ALERT");
        popup->GetDlgItem(CFaultPopupDlg::kAlertText)->GetWindowText(text);
        EXPECT_EQ(std::string(text), "Could not open serial port.");
        CBitmap top, bottom;
        Render(*levelText, top);
        Render(*popup->GetDlgItem(CFaultPopupDlg::kAlertText), bottom);
        EXPECT_TRUE(Near(top.GetPixel(2, 2), 0xC42020, 6));
        EXPECT_TRUE(Near(bottom.GetPixel(2, 2), 0x808080, 6));
        CWnd* box = popup->GetDlgItem(CFaultPopupDlg::kSuppressBox);
        EXPECT_TRUE(box->IsWindowEnabled());
        Screenshot(popup, "alert-popup");
        kvtest::Click(box);
        kvtest::Click(popup->GetDlgItem(IDOK));
    });
    EXPECT_EQ(manager.ShowPopup(5, "Could not open serial port."), 1);

    manager.m_suppressRepeatedPopupFaults = 1;
    kvtest::OnNextModal([](CWnd* popup) {
        EXPECT_FALSE(popup->GetDlgItem(CFaultPopupDlg::kSuppressBox)->IsWindowEnabled()) << "preset: fixed on";
        EXPECT_EQ(popup->IsDlgButtonChecked(CFaultPopupDlg::kSuppressBox), BST_CHECKED);
        kvtest::Click(popup->GetDlgItem(IDOK));
    });
    EXPECT_EQ(manager.ShowPopup(2, "Again"), 1);
}

TEST(AlertSettingsTest, EnablingFollowsTheSwitchesAndOutOfRangeValuesAreRefused)
{
    TempDir home;
    AlertsFixture fixture;
    CFaultManager& manager = fixture.manager;
    manager.m_enableFaultFileLogging = 0;
    ASSERT_TRUE(manager.GetDialog().Open(nullptr));
    AfxTakeScriptedMessageLog();
    const std::string logPath = home.File("alerts.csv");
    kvtest::OnNextModal([&](CWnd* settings) {
        const auto enabled = [settings](int id) { return settings->GetDlgItem(id)->IsWindowEnabled() != 0; };
        using S = CFaultManagerSettingsDlg;
        EXPECT_TRUE(enabled(S::kSuppressRepeated));
        EXPECT_FALSE(enabled(S::kSelect));
        EXPECT_FALSE(enabled(S::kSizeLimit));
        kvtest::Click(settings->GetDlgItem(S::kAllowPopups));
        EXPECT_FALSE(enabled(S::kSuppressRepeated));
        kvtest::Click(settings->GetDlgItem(S::kAllowStatusBar));
        EXPECT_FALSE(enabled(S::kSound));
        kvtest::Click(settings->GetDlgItem(S::kLogToFile));
        EXPECT_TRUE(enabled(S::kSelect));
        EXPECT_TRUE(enabled(S::kDeleteAtStartup));
        EXPECT_FALSE(enabled(S::kSizeLimit));
        kvtest::Click(settings->GetDlgItem(S::kSizeWarning));
        EXPECT_TRUE(enabled(S::kSizeLimit));
        Screenshot(settings, "alert-settings");

        kvtest::QueueFileDialogAnswer(logPath.c_str());
        kvtest::Click(settings->GetDlgItem(S::kSelect));
        CString path;
        settings->GetDlgItemText(S::kPath, path);
        EXPECT_EQ(std::string(path), logPath);

        settings->SetDlgItemText(S::kMaxDisplay, "5");
        kvtest::Click(settings->GetDlgItem(IDOK));
        EXPECT_TRUE(settings->IsWindowVisible()) << "5 is below the range: the window stays";
        settings->SetDlgItemText(S::kMaxDisplay, "50");
        settings->SetDlgItemText(S::kSizeLimit, "1001");
        kvtest::Click(settings->GetDlgItem(IDOK));
        EXPECT_TRUE(settings->IsWindowVisible());
        settings->SetDlgItemText(S::kSizeLimit, "3");
        kvtest::Click(settings->GetDlgItem(IDOK));
    });
    kvtest::Click(manager.GetDialog().GetDlgItem(CFaultManagerDlg::kSettings));
    const auto boxes = AfxTakeScriptedMessageLog();
    ASSERT_EQ(boxes.size(), 2u) << "one range message for each refused value";
    EXPECT_EQ(std::string(boxes[0]), "MSGBOX:Please enter an integer between 10 and 500.");
    EXPECT_EQ(std::string(boxes[1]), "MSGBOX:Please enter an integer between 1 and 1000.");
    EXPECT_EQ(manager.m_maxDisplayFaults, 50);
    EXPECT_EQ(manager.m_maxLogFileSizeMB, 3);
    EXPECT_EQ(manager.m_enablePopupFaults, 0);
    EXPECT_EQ(manager.m_enableStatusBarFaults, 0);
    EXPECT_EQ(manager.m_enableFaultFileLogging, 1);
    EXPECT_EQ(std::string(manager.m_faultLogFilePath), logPath);
    EXPECT_TRUE(manager.IsLogFileOpen()) << "logging switched on with a new path: the file is opened";
    manager.GetDialog().DestroyWindow();
}

TEST(AlertSettingsTest, SelectStartsFromTheCurrentPathOrTheDocumentsFolder)
{
    TempDir home;
    EXPECT_EQ(std::string(CFaultManagerSettingsDlg::InitialPath("/data/mine.csv")), "/data/mine.csv");
    char documents[MAX_PATH] = {};
    SHGetSpecialFolderPath(nullptr, documents, CSIDL_PERSONAL, FALSE);
    EXPECT_EQ(std::string(CFaultManagerSettingsDlg::InitialPath("")), std::string(documents) + "/AlertLog.csv");
}

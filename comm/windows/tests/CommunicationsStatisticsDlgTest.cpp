#include <gtest/gtest.h>

#include "comm/link/CommManager.h"
#include "comm/trace/CommStatistics.h"
#include "comm/link/LinkPortFactory.h"
#include "testing/TestAppServices.h"
#include "comm/windows/CommunicationsStatisticsDlg.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"
#include "testing/WindowShot.h"

namespace {

CString Cell(CCommunicationsStatisticsDlg& dlg, int row)
{
    auto* list = static_cast<CListCtrl*>(dlg.GetDlgItem(CCommunicationsStatisticsDlg::kListId));
    return list ? list->GetItemText(row, 1) : CString("<no list>");
}

}  // namespace

TEST(CommunicationsStatisticsDlgTest, ShowsEveryRowWithItsMeasure)
{
    CCommStatistics statistics;
    statistics.SetWindows();
    statistics.AddSample(kStatBytesIn, 100);
    statistics.AddSample(kStatBytesIn, 50);
    statistics.AddSample(kStatQueryOvertime, 4);
    statistics.AddSample(kStatQueryOvertime, 8);
    statistics.AddSample(kStatSerialRetry, 0);

    CCommunicationsStatisticsDlg dlg(statistics);
    ASSERT_TRUE(dlg.ShowStatistics());
    auto* list = static_cast<CListCtrl*>(dlg.GetDlgItem(CCommunicationsStatisticsDlg::kListId));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetItemCount(), 16);
    EXPECT_EQ(list->GetItemText(0, 0), "Input bytes");
    EXPECT_EQ(list->GetColumnWidth(0), 200);
    EXPECT_EQ(Cell(dlg, 0), "150");
    EXPECT_EQ(Cell(dlg, 2), "0");
    EXPECT_EQ(Cell(dlg, 12), "6");   // average overtime
    EXPECT_EQ(Cell(dlg, 13), "8");   // maximum overtime
    EXPECT_EQ(Cell(dlg, 14), "1");   // serial retries
    EXPECT_EQ(list->GetItemText(15, 0), "Data receive timeouts");
    EXPECT_EQ(kvtest::ShownFont(list, true), kvtest::ShownFont(list)) << "the header in the cells' face and size";
}

TEST(CommunicationsStatisticsDlgTest, FollowsALiveDemoLinkAndHidesWhenItCloses)
{
    TempDir home;
    TestAppServices app;
    app.m_iniPath = home.File("kvsettings.ini");
    app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
    CCommManager manager;
    CLinkPortFactory factory(manager);
    manager.SetPortFactory(&factory);
    CCommunicationsStatisticsDlg dlg(manager.GetStatistics());
    ASSERT_EQ(manager.OpenDemoCommunications(), 1);
    ASSERT_TRUE(dlg.ShowStatistics());

    // The scan and start-up moved bytes both ways; the timer shows them.
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return atoi(Cell(dlg, 0)) > 0 && atoi(Cell(dlg, 2)) > 0; }));
    EXPECT_TRUE(dlg.IsWindowVisible());
    Screenshot(&dlg, "communications-statistics");

    manager.CloseCommunications();
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return !dlg.IsWindowVisible(); }));
}

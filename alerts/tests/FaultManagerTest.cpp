#include <gtest/gtest.h>

#include <thread>

#include "AlertsTestSupport.h"
#include "testing/WaitFor.h"

namespace {

std::vector<int> HistoryIds(CFaultManager& manager)
{
    std::vector<int> ids;
    for (const CFaultLogItem& entry : manager.GetHistory())
        ids.push_back(entry.m_id);
    return ids;
}

struct ManagerTest : ::testing::Test, AlertsFixture {};

}  // namespace

TEST(FaultManagerTextTest, LevelNamesColoursAndTimeText)
{
    struct Case {
        int level;
        const char* name;
        COLORREF color;
    };
    const Case cases[] = {{0, "<Unknown level>", 0},  {1, "Message", 0xC42020}, {2, "Warning", 0x00FFFF},
                          {3, "Alert", 0x0000FF},     {4, "Alert", 0x0000FF},    {5, "Alert", 0x0000FF},
                          {6, "<Unknown level>", 0}, {255, "<Unknown level>", 0}};
    for (const Case& c : cases) {
        CString name;
        COLORREF color = 1;
        CFaultManager::GetFaultLevelInfo(c.level, name, color);
        EXPECT_EQ(std::string(name), c.name) << c.level;
        EXPECT_EQ(color, c.color) << c.level;
    }
    SYSTEMTIME time{};
    time.wHour = 7;
    time.wMinute = 5;
    time.wSecond = 9;
    time.wMilliseconds = 42;
    EXPECT_EQ(std::string(CFaultManager::FormatFaultTime(time)), "07:05:09.042");
}

TEST_F(ManagerTest, AlertsOfOneKeyAreCountedInOneSummaryItem)
{
    Post("A", 2, 0, "first");
    Post("B", 1, 0, "other");
    manager.ProcessPendingFaults();
    SYSTEMTIME later{};
    later.wHour = 13;
    kvtest::SetLocalTime(&later);
    Post("A", 3, 0, "higher");  // raises level and time
    Post("A", 1, 0, "lower");   // only replaces the text
    manager.ProcessPendingFaults();

    EXPECT_EQ(HistoryIds(manager), (std::vector<int>{1, 2, 3, 4}));
    CConsolidatedFaultItem* a = manager.GetSummary().Find("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->m_count, 3);
    EXPECT_EQ(a->m_level, 3);
    EXPECT_EQ(a->m_time.wHour, 13);
    EXPECT_EQ(std::string(a->m_text), "lower");
    EXPECT_EQ(a->m_id, 1) << "the id of the key's first history entry";
    EXPECT_EQ(a->m_changed, 1);
    EXPECT_EQ(manager.GetSummary().Find("B")->m_count, 1);
    EXPECT_EQ(manager.GetSummary().GetCount(), 2);
}

TEST_F(ManagerTest, StatusBarShowsTheNewestAlertOnceWithTheUnacknowledgedCount)
{
    Post("K", 3, kFaultStatusBar, "one");
    Post("K", 3, kFaultStatusBar, "two");
    manager.ProcessPendingFaults();
    EXPECT_EQ(host.LastStatus(), "[12:34:56.789](2):two");
    EXPECT_EQ(host.beeps, 0) << "the second alert repeated the first's key";
    EXPECT_EQ(manager.IsAlertShown(), 1);

    manager.ProcessPendingFaults();  // nothing new: the alert has been shown
    EXPECT_EQ(host.LastStatus(), "[12:34:56.789](2):two");
    Post("L", 2, kFaultStatusBar, "new key");
    manager.ProcessPendingFaults();
    EXPECT_EQ(host.beeps, 1);
    Post("L", 2, kFaultStatusBar, "same key");
    manager.ProcessPendingFaults();
    EXPECT_EQ(host.beeps, 1) << "a repeated key is silent";

    // "Clear Alert": the pane goes back and the next alert of the key beeps again.
    manager.RequestStatusRefresh();
    manager.ClearLastStatusKey();
    manager.ProcessPendingFaults();
    EXPECT_EQ(host.LastStatus(), "No new alerts");
    EXPECT_EQ(manager.IsAlertShown(), 0);
    Post("L", 2, kFaultStatusBar, "again");
    manager.ProcessPendingFaults();
    EXPECT_EQ(host.beeps, 2);

    Post("M", 2, 0, "not for the status bar");
    manager.m_enableStatusBarFaults = 0;
    manager.RequestStatusRefresh();
    manager.ProcessPendingFaults();
    EXPECT_EQ(host.LastStatus(), "");
}

TEST_F(ManagerTest, PopupsOpenOncePerKeyOnScreenAndObeySuppression)
{
    // An alert of the key on screen raises no second popup but is still counted.
    onPopup = [this] {
        onPopup = nullptr;
        Post("P", 4, kFaultPopup, "while open");
    };
    Post("P", 4, kFaultPopup, "first");
    manager.ProcessPendingFaults();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].level, 4);
    EXPECT_EQ(popups[0].text, "first");
    manager.ProcessPendingFaults();
    EXPECT_EQ(popups.size(), 1u);
    EXPECT_EQ(manager.GetSummary().Find("P")->m_count, 2);

    // The user ticks "Suppress this alert": no later popup of that key.
    popupAnswer = 1;
    Post("Q", 3, kFaultPopup);
    Post("Q", 3, kFaultPopup);
    manager.ProcessPendingFaults();
    EXPECT_EQ(popups.size(), 2u);
    EXPECT_EQ(manager.GetSummary().IsSuppressed("Q"), 1);

    // "Suppress repeated alerts": every first popup suppresses its key.
    popupAnswer = 0;
    manager.m_suppressRepeatedPopupFaults = 1;
    Post("R", 3, kFaultPopup);
    Post("R", 3, kFaultPopup);
    manager.ProcessPendingFaults();
    EXPECT_EQ(popups.size(), 3u);
    EXPECT_EQ(popups.back().suppressPreset, 1);

    manager.ResetSuppressed();
    manager.m_suppressRepeatedPopupFaults = 0;
    Post("Q", 3, kFaultPopup);
    manager.ProcessPendingFaults();
    EXPECT_EQ(popups.size(), 4u) << "reset: the key pops up again";

    manager.m_enablePopupFaults = 0;
    Post("S", 3, kFaultPopup);
    manager.ProcessPendingFaults();
    EXPECT_EQ(popups.size(), 4u);
}

TEST_F(ManagerTest, StoredSuppressionsHoldFromTheFirstAlert)
{
    manager.GetSuppressedKeys().AddTail("STORED");
    Post("STORED", 5, kFaultPopup);
    Post("OTHER", 5, kFaultPopup);
    manager.ProcessPendingFaults();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].text, "OTHER");
    EXPECT_EQ(manager.GetSummary().IsSuppressed("STORED"), 1);
}

TEST_F(ManagerTest, HistoryKeepsTheNewestWithinTheLimitAndIdsNeverRepeat)
{
    manager.m_maxDisplayFaults = 3;
    for (int i = 0; i < 5; ++i)
        Post("K", 2, 0);
    manager.ProcessPendingFaults();
    EXPECT_EQ(HistoryIds(manager), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(manager.GetSummary().Find("K")->m_count, 5);

    manager.ClearAll();
    EXPECT_TRUE(manager.GetHistory().IsEmpty());
    EXPECT_TRUE(manager.GetSummary().IsEmpty());
    Post("K", 2, 0);
    manager.ProcessPendingFaults();
    EXPECT_EQ(HistoryIds(manager), (std::vector<int>{6}));

    // A limit below 1 from a damaged settings file keeps the newest entry.
    for (int limit : {0, -5}) {
        manager.m_maxDisplayFaults = limit;
        Post("K", 2, 0);
        Post("K", 2, 0);
        manager.ProcessPendingFaults();
        EXPECT_EQ(manager.GetHistory().GetCount(), 1) << limit;
    }
}

TEST_F(ManagerTest, AcknowledgingAndRemovingByIdAndKey)
{
    for (const char* key : {"A", "B", "A", "A"})
        Post(key, 3, 0);
    manager.ProcessPendingFaults();  // ids 1..4; A has 1, 3, 4

    manager.SetLogItemAcknowledged(3, 1);
    EXPECT_EQ(manager.GetHistory().FindById(3)->m_acknowledged, 1);
    EXPECT_EQ(manager.GetHistory().FindById(3)->m_changed, 1);
    manager.SetLogItemAcknowledged(99, 1);  // unknown: nothing

    manager.RemoveLogItem(1, TRUE);  // not acknowledged: stays
    EXPECT_NE(manager.GetHistory().FindById(1), nullptr);
    manager.RemoveLogItem(3, TRUE);
    EXPECT_EQ(manager.GetHistory().FindById(3), nullptr);
    EXPECT_EQ(manager.GetSummary().Find("A")->m_count, 2);

    const int summaryId = manager.GetSummary().Find("A")->m_id;
    manager.SetSummaryItemAcknowledged(summaryId, 1);
    EXPECT_EQ(manager.GetSummary().Find("A")->m_summaryAcknowledged, 1);
    EXPECT_EQ(manager.GetHistory().FindById(1)->m_acknowledged, 1);
    EXPECT_EQ(manager.GetHistory().FindById(4)->m_acknowledged, 1);
    EXPECT_EQ(manager.GetHistory().FindById(2)->m_acknowledged, 0);

    manager.RemoveSummaryItem("B", TRUE);  // B not acknowledged
    EXPECT_NE(manager.GetSummary().Find("B"), nullptr);
    manager.RemoveSummaryItem("A", TRUE);
    EXPECT_EQ(manager.GetSummary().Find("A"), nullptr);
    EXPECT_EQ(HistoryIds(manager), (std::vector<int>{2}));
    EXPECT_EQ(manager.GetSummary().FindById(summaryId), nullptr);

    // The last alert of a key released removes its summary item.
    manager.RemoveLogItem(2, FALSE);
    EXPECT_TRUE(manager.GetSummary().IsEmpty());
    EXPECT_TRUE(manager.GetHistory().IsEmpty());
}

TEST_F(ManagerTest, PausedProcessingKeepsAlertsPending)
{
    manager.SetPaused(1);
    Post("K", 3, kFaultStatusBar | kFaultPopup);
    manager.ProcessPendingFaults();
    EXPECT_EQ(manager.GetPendingCount(), 1);
    EXPECT_TRUE(popups.empty());
    manager.SetPaused(0);
    manager.ProcessPendingFaults();
    EXPECT_EQ(manager.GetPendingCount(), 0);
    EXPECT_EQ(popups.size(), 1u);
}

TEST_F(ManagerTest, AlertsPostedFromManyThreadsAreAllProcessedInEachThreadsOrder)
{
    constexpr int kThreads = 4;
    constexpr int kEach = 500;
    manager.m_maxDisplayFaults = kThreads * kEach;
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([this, t] {
            for (int i = 0; i < kEach; ++i) {
                CString key, text;
                key.Format("T%d", t);
                text.Format("%d", i);
                manager.PostFault(key, text, 2, 0);
            }
        });
    }
    const bool drained = WaitFor([this] {
        manager.ProcessPendingFaults();
        return manager.GetHistory().GetCount() == kThreads * kEach;
    }, std::chrono::seconds(20));
    for (std::thread& poster : posters)
        poster.join();
    ASSERT_TRUE(drained);
    std::vector<int> next(kThreads, 0);
    for (const CFaultLogItem& entry : manager.GetHistory()) {
        const int t = entry.m_key.GetAt(1) - '0';
        EXPECT_EQ(std::atoi(entry.m_text), next[static_cast<size_t>(t)]) << "thread " << t;
        ++next[static_cast<size_t>(t)];
    }
    EXPECT_EQ(next, std::vector<int>(kThreads, kEach));
}

#include <gtest/gtest.h>

#include "comm/trace/CommStatistics.h"
#include "platform/core/Clock.h"

namespace {
struct StatisticsTest : ::testing::Test {
    StatisticsTest() { kvtest::FreezeClock(500000); }
    ~StatisticsTest() override { kvtest::ThawClock(); }
};

struct HideCounter : CCommStatisticsView {
    int hidden = 0;
    void HideStatistics() override { ++hidden; }
};
}  // namespace

TEST_F(StatisticsTest, NewKeyIsEmptyWithoutWindow)
{
    CDataStatisticsMap map;
    CDataStatistics* s = map.GetStatistics(0x70001);
    EXPECT_EQ(map.GetStatistics(0x70001), s);
    EXPECT_EQ(s->GetWindow(), 0.0);
    EXPECT_EQ(s->GetCount(), 0);
    EXPECT_EQ(s->GetMinimum(), 0xFFFFFFFFu);
    EXPECT_EQ(s->GetRate(), 0.0);
    EXPECT_EQ(s->GetAverage(), 0.0);
}

TEST_F(StatisticsTest, WindowedRatesAndAverages)
{
    CDataStatistics s;
    s.SetWindow(1.0);
    s.AddSample(100);
    kvtest::AdvanceClock(250);
    s.AddSample(300);
    kvtest::AdvanceClock(250);
    EXPECT_DOUBLE_EQ(s.GetRate(), 2 / 0.5);
    EXPECT_DOUBLE_EQ(s.GetSizeRate(), 400 / 0.5);
    EXPECT_DOUBLE_EQ(s.GetAverage(), 200.0);
    EXPECT_EQ(s.GetSum(), 400u);
    EXPECT_EQ(s.GetMinimum(), 100u);
    EXPECT_EQ(s.GetMaximum(), 300u);
    const std::pair<int, double> measures[] = {{1, 2}, {2, 400}, {3, 4}, {4, 800}, {5, 200}, {6, 100}, {7, 300}};
    for (const auto& [measure, value] : measures)
        EXPECT_DOUBLE_EQ(s.GetMeasure(measure), value) << measure;
    kvtest::AdvanceClock(2000);
    EXPECT_EQ(s.GetRate(), 0.0) << "all samples expired";
    EXPECT_EQ(s.GetAverage(), 0.0);
    EXPECT_EQ(s.GetCount(), 2) << "the all-time count stays";
    s.Reset();
    EXPECT_EQ(s.GetCount(), 0);
    EXPECT_EQ(s.GetMaximum(), 0u);
}

TEST_F(StatisticsTest, WithoutWindowOnlyTheCurrentInstantCounts)
{
    CDataStatistics s;
    s.AddSample(10);
    EXPECT_EQ(s.GetRate(), -1.0) << "no time since the last sample";
    s.AddSample(30);
    EXPECT_DOUBLE_EQ(s.GetAverage(), 20.0) << "all-time average";
    kvtest::AdvanceClock(1);
    EXPECT_EQ(s.GetRate(), 0.0);
}

TEST_F(StatisticsTest, LinkStatisticsKeepPerDriveValuesWithTheirWindows)
{
    CCommStatistics stats;
    HideCounter view;
    stats.SetWindow(&view);
    stats.RegisterDrive(4);
    stats.SetWindows();
    EXPECT_EQ(stats.GetStatistics(kStatBytesIn)->GetWindow(), 1.0);
    EXPECT_EQ(stats.GetStatistics(kStatQueryOvertime)->GetWindow(), 20.0);
    EXPECT_EQ(stats.GetStatistics(CCommStatistics::DriveKey(4, kStatReplyTimeout))->GetWindow(), 10.0);

    stats.AddSample(kStatReplyTimeout, 0, 9);  // a drive seen for the first time
    EXPECT_TRUE(stats.IsDriveRegistered(9));
    EXPECT_EQ(stats.GetStatistics(CCommStatistics::DriveKey(9, kStatReplyTimeout))->GetWindow(), 10.0);
    stats.AddSample(kStatReplyTimeout, 0, 0);  // the module's key is the link-wide key
    EXPECT_EQ(stats.GetStatistics(kStatReplyTimeout)->GetCount(), 2);
    stats.AddSample(kStatBytesIn, 12, 9);  // no per-drive value for this id
    EXPECT_EQ(stats.GetStatistics(CCommStatistics::DriveKey(9, kStatBytesIn))->GetCount(), 0);

    stats.ResetStatistics();
    EXPECT_FALSE(stats.IsDriveRegistered(4));
    EXPECT_EQ(stats.GetStatistics(kStatReplyTimeout)->GetCount(), 0);
    stats.HideWindow();
    EXPECT_EQ(view.hidden, 1);
}

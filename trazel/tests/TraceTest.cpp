#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/Archive.h"
#include "platform/core/Exception.h"
#include "platform/core/File.h"
#include "testing/TempDir.h"
#include "trazel/PlotTrace.h"
#include "trazel/Trazel.h"

namespace {
class FixedClock : public CTrazelCallback {
public:
    double now = 0.0;
    double TZCB_GetPlotTime() override { return now; }
};

std::vector<double> YsOf(CPlotTrace* trace)
{
    std::vector<double> ys;
    for (int i = 0; i < trace->m_count; ++i)
        ys.push_back(trace->At(i).y);
    return ys;
}
}  // namespace

TEST(TraceTest, IdsCountUpAndStartAgainAfterRemovingAll)
{
    CTrazel plot;
    EXPECT_EQ(plot.AddTrace(-1), 0);
    EXPECT_EQ(plot.AddTrace(12), 12);
    EXPECT_EQ(plot.AddTrace(0), 0) << "adds nothing";
    EXPECT_EQ(plot.m_pPlotArea->GetTraceCount(), 13);
    EXPECT_EQ(plot.m_pPlotArea->m_traces.GetCount(), 13);

    EXPECT_EQ(plot.DeleteTrace(5), 1);
    EXPECT_EQ(plot.DeleteTrace(5), 0);
    EXPECT_EQ(plot.AddTrace(-1), 13) << "deleted ids are not reused";
    EXPECT_EQ(plot.SetTraceColor(5, 0), 0);
    EXPECT_EQ(plot.PlotPoint(5, 1.0, 1.0), 0);
    EXPECT_EQ(plot.SetMaxTracePoints(5, 10), 0);

    plot.m_pPlotArea->RemoveAllTraces();
    EXPECT_EQ(plot.AddTrace(-1), 0);
    EXPECT_EQ(plot.m_pPlotArea->GetTracePtr(0, 0)->m_capacity, CPlotTrace::kDefaultCapacity);

    CPlotTrace* made = plot.m_pPlotArea->GetTracePtr(40, 1);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->m_id, 40);
    EXPECT_EQ(plot.m_pPlotArea->GetTracePtr(40, 0), made);
    EXPECT_EQ(plot.m_pPlotArea->GetTracePtr(41, 0), nullptr);
}

TEST(TraceTest, RingOverwritesTheOldestAndSkipsRepeats)
{
    CTrazel plot;
    plot.AddTrace(-1);
    ASSERT_EQ(plot.SetMaxTracePoints(0, 3), 1);
    CPlotTrace* trace = plot.m_pPlotArea->GetTracePtr(0, 0);
    for (double v : {1.0, 2.0, 3.0, 4.0})
        plot.PlotPoint(0, v, v);
    EXPECT_EQ(YsOf(trace), (std::vector<double>{2, 3, 4}));
    EXPECT_EQ(trace->m_head, 1);

    // A repeat is stored while only one point is held, not once two are.
    plot.SetMaxTracePoints(0, 10);
    plot.PlotPoint(0, 1.0, 5.0);
    plot.PlotPoint(0, 1.0, 5.0);
    EXPECT_EQ(trace->m_count, 2);
    plot.PlotPoint(0, 1.0, 5.0);
    EXPECT_EQ(trace->m_count, 2);
    plot.PlotPoint(0, 1.0, 6.0);
    EXPECT_EQ(trace->m_count, 3);

    // A full ring of the largest size keeps counting right past 32767.
    ASSERT_EQ(plot.SetMaxTracePoints(0, 65535), 1);
    for (int i = 0; i < 70000; ++i)
        plot.PlotPoint(0, i, i);
    EXPECT_EQ(trace->m_count, 65535);
    EXPECT_EQ(trace->At(0).x, 70000 - 65535);
    EXPECT_EQ(trace->At(65534).x, 69999);
}

TEST(TraceTest, CapacityChangesEmptyTheTraceAndRefuseImpossibleCounts)
{
    CTrazel plot;
    plot.AddTrace(-1);
    CPlotTrace* trace = plot.m_pPlotArea->GetTracePtr(0, 0);
    plot.PlotPoint(0, 1.0, 1.0);
    plot.PlotPoint(0, 2.0, 2.0);

    EXPECT_EQ(plot.SetMaxTracePoints(0, 65536), 0);
    EXPECT_EQ(plot.SetMaxTracePoints(0, -1), 0);
    EXPECT_EQ(trace->m_count, 2) << "a refused count leaves the trace as it was";
    EXPECT_EQ(trace->m_capacity, CPlotTrace::kDefaultCapacity);

    EXPECT_EQ(plot.SetMaxTracePoints(0, 0), 1);
    EXPECT_EQ(trace->m_count, 0);
    EXPECT_EQ(plot.PlotPoint(0, 3.0, 3.0), 1);
    EXPECT_EQ(trace->m_count, 0) << "no room, nothing stored";
}

TEST(TraceTest, EnableChangeEmptiesTheTraceAndSetsTheMarker)
{
    CTrazel plot;
    plot.AddTrace(-1);
    CPlotTrace* trace = plot.m_pPlotArea->GetTracePtr(0, 0);
    plot.PlotPoint(0, 1.0, 1.0);
    plot.PlotPoint(0, 2.0, 2.0);
    plot.SetTraceEnable(0, 1);
    EXPECT_EQ(trace->m_count, 2);
    plot.SetTraceEnable(0, 0);
    EXPECT_EQ(trace->m_count, 0);
    EXPECT_EQ(trace->m_pen.m_bEnable, 0);
    EXPECT_EQ(trace->m_dLastX, 0.0);

    plot.SetTraceEnable(0, 1);
    plot.PlotPoint(0, 1.0, 1.0);
    plot.ClearPlot();
    EXPECT_EQ(trace->m_count, 0);
    EXPECT_NE(trace->m_points, nullptr) << "clearing keeps the array";
}

TEST(TraceTest, MinMaxTakesYOnlyInsideTheXRangeUnlessFixed)
{
    CTrazel plot;
    plot.AddTrace(-1);
    double x0, x1, y0, y1;
    EXPECT_EQ(plot.GetTraceMinMax(0, x0, x1, y0, y1), 0) << "no points";
    EXPECT_EQ(plot.GetTraceMinMax(9, x0, x1, y0, y1), 0) << "no trace";

    plot.PlotPoint(0, -5.0, 1000.0);
    plot.PlotPoint(0, 2.0, 3.0);
    plot.PlotPoint(0, 5.0, -4.0);
    plot.PlotPoint(0, 12.0, 99.0);
    ASSERT_EQ(plot.GetTraceMinMax(0, x0, x1, y0, y1), 1);
    EXPECT_EQ(x0, -5.0);
    EXPECT_EQ(x1, 12.0);
    EXPECT_EQ(y0, -4.0);
    EXPECT_EQ(y1, 3.0);

    plot.m_nTimeMode = CTrazel::timeFixed;
    ASSERT_EQ(plot.GetTraceMinMax(0, x0, x1, y0, y1), 1);
    EXPECT_EQ(y0, -4.0);
    EXPECT_EQ(y1, 1000.0);

    // No point in range: the extremes of all points rather than nothing.
    plot.m_nTimeMode = CTrazel::timeScroll;
    plot.m_dXRangeStart = 50.0;
    plot.m_dXRangeEnd = 60.0;
    ASSERT_EQ(plot.GetTraceMinMax(0, x0, x1, y0, y1), 1);
    EXPECT_EQ(y0, -4.0);
    EXPECT_EQ(y1, 1000.0);
}

TEST(TraceTest, PointsWithoutXTakeThePlotTime)
{
    CTrazel plot;
    plot.AddTrace(-1);
    CPlotTrace* trace = plot.m_pPlotArea->GetTracePtr(0, 0);
    plot.PlotPoint(0, 7.0);
    EXPECT_EQ(trace->At(0).x, 0.0);
    FixedClock clock;
    clock.now = 3.5;
    plot.SetTrazelCallback(&clock);
    plot.PlotPoint(0, 8.0);
    EXPECT_EQ(trace->At(1).x, 3.5);
    EXPECT_EQ(plot.GetPlotTime(), 3.5);
}

TEST(TraceTest, RunModeRangesForScrollSweepAndFixed)
{
    struct Case {
        short mode;
        double plotTime;
        int delayMs;
        double offset;
        double xMin, xMax;
        double start, end;
    } cases[] = {
        {CTrazel::timeScroll, 12.7, 200, 0.0, 0, 10, 2.5, 12.5},
        {CTrazel::timeScroll, 12.7, 200, 1.0, 0, 10, 3.5, 13.5},
        {CTrazel::timeSweep, 12.7, 200, 0.0, 0, 10, 10.0, 20.0},
        {CTrazel::timeSweep, 9.9, 0, 0.0, 5, 10, 5.0, 10.0},
        {CTrazel::timeSweep, 0.1, 200, 0.0, 0, 10, -10.0, 0.0},  // the window at or below the time
        {CTrazel::timeSweep, 3.0, 0, 0.0, 4, 4, 3.0, 3.0},       // no width: an empty window, no NaN
        {CTrazel::timeFixed, 12.7, 200, 0.0, -2, 6, -2.0, 6.0},
    };
    for (const Case& c : cases) {
        CTrazel plot;
        FixedClock clock;
        clock.now = c.plotTime;
        plot.SetTrazelCallback(&clock);
        plot.m_nTimeMode = c.mode;
        plot.m_nDisplayDelayMs = c.delayMs;
        plot.m_dTimeOffset = c.offset;
        plot.m_dXMin = c.xMin;
        plot.m_dXMax = c.xMax;
        plot.m_pPlotArea->RunModeUpdatePlot();
        EXPECT_DOUBLE_EQ(plot.m_dXRangeStart, c.start) << "mode " << c.mode << " at " << c.plotTime;
        EXPECT_DOUBLE_EQ(plot.m_dXRangeEnd, c.end) << "mode " << c.mode << " at " << c.plotTime;
        if (c.mode != CTrazel::timeFixed) {
            EXPECT_DOUBLE_EQ(plot.m_pPlotArea->m_dCurrentTime, c.plotTime - c.delayMs / 1000.0 + c.offset);
        }
    }

    CTrazel plot;
    plot.m_dXRangeStart = 40.0;
    plot.m_dXRangeEnd = 50.0;
    plot.AddTrace(-1);
    plot.PlotPoint(0, 1.0, 1.0);
    plot.ResetPlot();
    EXPECT_EQ(plot.m_dXRangeStart, 0.0);
    EXPECT_EQ(plot.m_dXRangeEnd, 10.0);
    EXPECT_EQ(plot.m_pPlotArea->GetTracePtr(0, 0)->m_count, 0);
}

TEST(TraceTest, DesignModeSampleTracesShareTheYRange)
{
    CTrazel plot;
    plot.AddTrace(4);  // ids 0..3
    plot.SetTraceEnable(1, 0);
    plot.m_pPlotArea->InsertDesignModeTraces();
    // Four bands of 50 from the top: centres 75, 25, -25, -75; the disabled one keeps its band empty.
    const double centres[] = {75, 25, -25, -75};
    for (int id = 0; id < 4; ++id) {
        CPlotTrace* trace = plot.m_pPlotArea->GetTracePtr(id, 0);
        if (id == 1) {
            EXPECT_EQ(trace->m_count, 0);
            continue;
        }
        ASSERT_EQ(trace->m_count, 4);
        EXPECT_EQ(YsOf(trace), (std::vector<double>{0, centres[id], centres[id], centres[id]}));
        EXPECT_EQ(trace->At(1).x, 5.0);
        EXPECT_EQ(trace->At(2).x, 10.0);
    }
}

namespace {
void StoreArea(CDPlotArea& area, const std::string& path)
{
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    area.Serialize(ar);
    ar.Close();
    file.Close();
}

void LoadArea(CDPlotArea& area, const std::string& path)
{
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    area.Serialize(ar);
}
}  // namespace

TEST(TraceTest, ArchiveKeepsTraceSettingsButNotPoints)
{
    TempDir dir;
    CTrazel source;
    source.AddTrace(2);
    source.SetTraceColor(1, 0x123456);
    source.SetTraceWidth(1, 3);
    source.SetPenColor(1, 0x654321);
    source.SetMaxTracePoints(1, 1500);
    source.SetTraceEnable(0, 0);
    source.PlotPoint(1, 1.0, 2.0);
    StoreArea(*source.m_pPlotArea, dir.File("area.bin"));

    // The list count, the class once, then the trace's fields in their order.
    const std::string bytes = dir.Read("area.bin");
    const std::string head("\x02\x00\xFF\xFF\x01\x00\x0A\x00" "CPlotTrace", 18);
    ASSERT_EQ(bytes.substr(0, head.size()), head);
    const std::string firstTrace = bytes.substr(head.size(), 34);
    const std::string expected(
        "\x00\x00" "\x00\x00" "\x00\xFF\x80\x00" "\x01\x00" "\x2C\x01" "\x00\x00\x00\x00" "\x00\x00\x00\x00"
        "\x00\x00\x00\x00" "\x64\xC8\x64\x00" "\x0A\x00" "\x01\x00" "\x0A\x00",
        34);
    EXPECT_EQ(firstTrace, expected);
    EXPECT_EQ(bytes.size(), head.size() + 34 + 2 + 34) << "the second trace refers to the class by its index";

    CTrazel target;
    target.AddTrace(5);
    LoadArea(*target.m_pPlotArea, dir.File("area.bin"));
    ASSERT_EQ(target.m_pPlotArea->m_traces.GetCount(), 2);
    CPlotTrace* loaded = target.m_pPlotArea->GetTracePtr(1, 0);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->m_color, 0x123456u);
    EXPECT_EQ(loaded->m_nWidth, 3);
    EXPECT_EQ(loaded->m_pen.m_color, 0x654321u);
    EXPECT_EQ(loaded->m_capacity, 1500);
    EXPECT_EQ(loaded->m_count, 0);
    EXPECT_EQ(loaded->m_pArea, target.m_pPlotArea);
    EXPECT_EQ(target.m_pPlotArea->GetTracePtr(0, 0)->m_bEnable, 0);
    EXPECT_EQ(target.AddTrace(-1), 2) << "new ids follow the loaded ones";
}

TEST(TraceTest, BrokenArchiveThrowsAndLeavesTheTraces)
{
    TempDir dir;
    CTrazel source;
    source.AddTrace(2);
    StoreArea(*source.m_pPlotArea, dir.File("area.bin"));
    const std::string bytes = dir.Read("area.bin");

    for (const std::string& broken : {bytes.substr(0, bytes.size() - 5), std::string("\x03\x00\xFF\xFF\x01\x00\x05\x00" "CNope", 13)}) {
        dir.Write("broken.bin", broken);
        CTrazel target;
        target.AddTrace(-1);
        target.SetTraceColor(0, 0xABCDEF);
        EXPECT_THROW(LoadArea(*target.m_pPlotArea, dir.File("broken.bin")), CArchiveException);
        ASSERT_EQ(target.m_pPlotArea->m_traces.GetCount(), 1);
        EXPECT_EQ(target.m_pPlotArea->GetTracePtr(0, 0)->m_color, 0xABCDEFu);
    }
}

TEST(TraceTest, AnArchiveThatNamesATraceTwiceIsRefused)
{
    TempDir dir;
    CTrazel source;
    source.AddTrace(2);
    StoreArea(*source.m_pPlotArea, dir.File("area.bin"));
    const std::string two = dir.Read("area.bin");
    const std::string one = std::string("\x01\x00", 2) + two.substr(2, 16 + 34);
    const std::string reference("\x02\x00", 2);  // the object read as index 2
    std::string sameId = two;
    sameId[16 + 34 + 2 + 2] = 0;  // the second trace's id made the first's

    for (const std::string& broken : {std::string("\x02\x00", 2) + one.substr(2) + reference,
                                      std::string("\x03\x00", 2) + one.substr(2) + reference, sameId}) {
        dir.Write("broken.bin", broken);
        CTrazel target;
        target.AddTrace(-1);
        target.SetTraceColor(0, 0xABCDEF);
        EXPECT_THROW(LoadArea(*target.m_pPlotArea, dir.File("broken.bin")), CArchiveException);
        ASSERT_EQ(target.m_pPlotArea->m_traces.GetCount(), 1);
        EXPECT_EQ(target.m_pPlotArea->GetTracePtr(0, 0)->m_color, 0xABCDEFu);
    }
}

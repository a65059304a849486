#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "testing/TempDir.h"
#include "testing/UiPrinters.h"
#include "trazel/PlotTrace.h"
#include "trazel/Trazel.h"

namespace {
// With the default margins and bands this picture puts the plot area at
// (65, 15)-(265, 215): 20 pixels a unit of X over 0..10, 1 a unit of Y over -100..100.
constexpr int kWidth = 295;
constexpr int kHeight = 280;
const CRect kWhole(0, 0, kWidth, kHeight);
const CRect kPlot(65, 15, 265, 215);
constexpr COLORREF kTraceColor = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

int PixelX(double x) { return kPlot.left + static_cast<int>(20 * x); }
int PixelY(double y) { return kPlot.bottom - static_cast<int>(y + 100); }

class Canvas {
public:
    Canvas(int w = kWidth, int h = kHeight)
    {
        EXPECT_TRUE(bitmap.CreateCompatibleBitmap(nullptr, w, h));
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(CRect(0, 0, w, h), kWhite);
    }
    COLORREF At(int x, int y) const { return bitmap.GetPixel(x, y); }
    bool Any(const CRect& r, COLORREF color) const
    {
        for (int x = r.left; x < r.right; ++x)
            for (int y = r.top; y < r.bottom; ++y)
                if (At(x, y) == color)
                    return true;
        return false;
    }
    CBitmap bitmap;
    CDC dc;
};

// Records the order of the calls a plot makes.
class Recorder : public CTrazelCallback {
public:
    std::vector<std::string> calls;
    int drawTraces = 1;
    double now = 0.0;
    CRect plotRect, wholeRect;

    int TZCB_DrawBehindGrid(CDC*, CRect rect, CDPlotArea*) override
    {
        calls.push_back("behind");
        plotRect = rect;
        return drawTraces;
    }
    int TZCB_DrawInFrontOfTraces(CDC*, CRect, CDPlotArea*) override
    {
        calls.push_back("front");
        return 1;
    }
    int TZCB_DrawExtraNonPlotArea(CDC*, CRect rect) override
    {
        calls.push_back("extra");
        wholeRect = rect;
        return 1;
    }
    double TZCB_GetPlotTime() override
    {
        calls.push_back("time");
        return now;
    }
};

// Saves the picture in the test's folder, and with $KORVANE_SCREENSHOTS set
// leaves a copy there for people to look at.
void SavePng(const Canvas& canvas, const TempDir& dir, const char* name)
{
    const std::string path = dir.File(std::string(name) + ".png");
    ASSERT_TRUE(canvas.bitmap.SaveImage(path.c_str()));
    EXPECT_GT(std::filesystem::file_size(path), 1000u);
    if (const char* folder = std::getenv("KORVANE_SCREENSHOTS"); folder && *folder)
        std::filesystem::copy_file(path, std::string(folder) + "/" + name + ".png",
                                   std::filesystem::copy_options::overwrite_existing);
}

// A plot in run mode over a fixed X range, with one trace.
void SetUpFixed(CTrazel& plot)
{
    plot.m_bRun = 1;
    plot.m_nTimeMode = CTrazel::timeFixed;
    plot.AddTrace(-1);
    plot.SetTraceColor(0, kTraceColor);
}
}  // namespace

TEST(TrazelDrawTest, KnownTraceLandsOnItsPixels)
{
    Canvas canvas;
    CTrazel plot;
    SetUpFixed(plot);
    plot.PlotPoint(0, 1.0, 50.0);
    plot.PlotPoint(0, 9.0, 50.0);
    plot.PlotPoint(0, 9.0, -50.0);  // then straight down
    plot.Draw(&canvas.dc, kWhole, kWhole);

    EXPECT_EQ(plot.m_pPlotArea->m_plotRect, kPlot) << "layout of margins and bands";
    const int row = PixelY(50);  // 65
    for (double x : {1.5, 3.3, 5.0, 8.6})
        EXPECT_EQ(canvas.At(PixelX(x) + 1, row), kTraceColor) << "x " << x;
    EXPECT_NE(canvas.At(PixelX(5), row - 1), kTraceColor);
    EXPECT_NE(canvas.At(PixelX(5), row + 1), kTraceColor);
    EXPECT_NE(canvas.At(PixelX(1) - 2, row), kTraceColor) << "nothing before the first point";
    for (double y : {40.0, 0.0, -40.0})
        EXPECT_EQ(canvas.At(PixelX(9), PixelY(y)), kTraceColor) << "y " << y;
    EXPECT_NE(canvas.At(PixelX(9), PixelY(-60)), kTraceColor) << "nothing below the last point";
}

TEST(TrazelDrawTest, GapMarksAndUnplottableValuesBreakTheLine)
{
    Canvas canvas;
    CTrazel plot;
    SetUpFixed(plot);
    CPlotTrace* trace = plot.m_pPlotArea->GetTracePtr(0, 0);
    plot.PlotPoint(0, 1.0, 50.0);
    trace->m_pen.m_gapMark = 1;
    plot.PlotPoint(0, 3.0, 50.0);  // the line ends here
    trace->m_pen.m_gapMark = 0;
    plot.PlotPoint(0, 5.0, 50.0);
    plot.PlotPoint(0, 6.0, std::nan(""));
    plot.PlotPoint(0, 7.0, 50.0);
    plot.PlotPoint(0, 8.0, 50.0);
    plot.PlotPoint(0, 8.5, 1e300);  // straight up and off the picture
    plot.Draw(&canvas.dc, kWhole, kWhole);

    const int row = PixelY(50);
    EXPECT_EQ(canvas.At(PixelX(2), row), kTraceColor);
    EXPECT_NE(canvas.At(PixelX(4), row), kTraceColor) << "no line after a gap mark";
    EXPECT_NE(canvas.At(PixelX(5.5), row), kTraceColor) << "no line to or from a value that is not a number";
    EXPECT_NE(canvas.At(PixelX(6.5), row), kTraceColor);
    EXPECT_EQ(canvas.At(PixelX(7.5), row), kTraceColor);
    // The far point lies a million pixels up, so its line leaves nearly straight up.
    EXPECT_EQ(canvas.At(PixelX(8), kPlot.top + 1), kTraceColor);
}

TEST(TrazelDrawTest, SlopesAndDenseTracesCoverTheirPixels)
{
    Canvas canvas;
    CTrazel plot;
    SetUpFixed(plot);
    plot.m_bXMajorGrid = plot.m_bXMinorGrid = plot.m_bYMajorGrid = plot.m_bYMinorGrid = 0;
    plot.SetMaxTracePoints(0, 20000);
    // A slope, then 10 000 points of a sawtooth packed into 2 units of X (40 columns).
    plot.PlotPoint(0, 1.0, 0.0);
    plot.PlotPoint(0, 5.0, 80.0);
    for (int i = 0; i <= 10000; ++i)
        plot.PlotPoint(0, 6.0 + i * 0.0002, (i % 7) * 10.0 - 30.0);
    plot.Draw(&canvas.dc, kWhole, kWhole);

    for (double x : {1.5, 3.0, 4.5}) {
        const int y = PixelY(20 * (x - 1));
        EXPECT_TRUE(canvas.Any(CRect(PixelX(x), y - 1, PixelX(x) + 1, y + 2), kTraceColor)) << "x " << x;
    }
    // Every column of the sawtooth spans its whole height: -30 to 30.
    for (int column = PixelX(6.0); column < PixelX(8.0); ++column) {
        EXPECT_EQ(canvas.At(column, PixelY(-30)), kTraceColor) << column;
        EXPECT_EQ(canvas.At(column, PixelY(29)), kTraceColor) << column;
        EXPECT_NE(canvas.At(column, PixelY(-35)), kTraceColor) << column;
    }
}

TEST(TrazelDrawTest, DenseTraceDrawsLikeItsPointsCutToFourAColumn)
{
    // Points near and on column edges, each column its own values.
    std::vector<std::pair<double, double>> dense;
    unsigned noise = 7;
    for (int i = 0; i < 6000; ++i) {
        noise = noise * 1103515245u + 12345u;
        dense.emplace_back(0.5 + i * 0.0025 + (i % 20 == 0 ? 1e-12 : 0.0), (noise >> 16) % 120 - 60.0 + (i / 20) % 7);
    }
    // The same cut done here: per column the first, lowest, highest and last.
    std::vector<std::pair<double, double>> cut;
    for (size_t i = 0; i < dense.size();) {
        const int column = static_cast<int>(kPlot.left + 20.0 * (dense[i].first - 0.0));
        size_t end = i, low = i, high = i;
        for (; end < dense.size() && static_cast<int>(kPlot.left + 20.0 * (dense[end].first - 0.0)) == column; ++end) {
            if (dense[end].second < dense[low].second)
                low = end;
            if (dense[end].second > dense[high].second)
                high = end;
        }
        for (size_t k : {i, std::min(low, high), std::max(low, high), end - 1})
            cut.push_back(dense[k]);
        i = end;
    }

    Canvas full, reduced;
    for (auto* pair : {&dense, &cut}) {
        CTrazel plot;
        SetUpFixed(plot);
        plot.SetMaxTracePoints(0, static_cast<int>(pair->size()));
        for (const auto& [x, y] : *pair)
            plot.PlotPoint(0, x, y);
        plot.Draw(&(pair == &dense ? full : reduced).dc, kWhole, kWhole);
    }
    int differing = 0;
    for (int x = kPlot.left; x < kPlot.right; ++x)
        for (int y = kPlot.top; y < kPlot.bottom; ++y)
            differing += full.At(x, y) != reduced.At(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_TRUE(full.Any(kPlot, kTraceColor));
}

TEST(TrazelDrawTest, GridTicksAndScaleTextsSitWhereTheLayoutPutsThem)
{
    Canvas canvas;
    CTrazel plot;
    SetUpFixed(plot);
    plot.Draw(&canvas.dc, kWhole, kWhole);

    // Grid: X lines every 0.5 (minor) and 2 (major), Y lines every 10 and 40.
    EXPECT_EQ(canvas.At(PixelX(2), 100), plot.m_crXMajorGrid);
    EXPECT_EQ(canvas.At(PixelX(2.5), 100), plot.m_crXMinorGrid);
    EXPECT_EQ(canvas.At(PixelX(2.25), 100), plot.m_crPlotAreaBk);
    EXPECT_EQ(canvas.At(PixelX(2.25), PixelY(40)), plot.m_crYMajorGrid);
    EXPECT_EQ(canvas.At(PixelX(2.25), PixelY(30)), plot.m_crYMinorGrid);

    // X band below the area: ticks down from its top edge, texts under them.
    const int band = kPlot.bottom;
    EXPECT_EQ(canvas.At(PixelX(4), band + 8), kBlack) << "major tick, 10 long";
    EXPECT_EQ(canvas.At(PixelX(4.5), band + 3), kBlack) << "minor tick, 5 long";
    EXPECT_EQ(canvas.At(PixelX(4.5), band + 7), plot.m_crXScaleBk);
    const int textTop = band + 13;
    for (double v : {0.0, 2.0, 4.0, 6.0, 8.0})
        EXPECT_TRUE(canvas.Any(CRect(PixelX(v) - 10, textTop, PixelX(v) + 11, textTop + 13), kBlack)) << "text " << v;
    for (double v : {1.0, 3.0, 5.0, 7.0})
        EXPECT_FALSE(canvas.Any(CRect(PixelX(v) - 5, textTop, PixelX(v) + 6, textTop + 13), kBlack))
            << "no text at " << v;
    EXPECT_FALSE(canvas.Any(CRect(kPlot.left, band + 11, kPlot.right, textTop), kBlack))
        << "texts stand off beyond the ticks";

    // Y band left of the area: ticks leftward from its right edge, turned texts beside them.
    EXPECT_EQ(canvas.At(kPlot.left - 8, PixelY(40)), kBlack);
    EXPECT_EQ(canvas.At(kPlot.left - 3, PixelY(30)), kBlack);
    const int textRight = kPlot.left - 13;
    for (double v : {-80.0, -40.0, 0.0, 40.0, 80.0})
        EXPECT_TRUE(canvas.Any(CRect(textRight - 14, PixelY(v) - 8, textRight, PixelY(v) + 9), kBlack)) << v;
    EXPECT_FALSE(canvas.Any(CRect(textRight - 14, PixelY(-60) - 3, textRight, PixelY(-60) + 4), kBlack));
    EXPECT_FALSE(canvas.Any(CRect(textRight + 1, kPlot.top, kPlot.left - 11, kPlot.bottom), kBlack));

    // Labels in white in the outer margins: X under the scales from the left, Y turned near the top.
    EXPECT_TRUE(canvas.Any(CRect(25, kHeight - 25, 100, kHeight), kWhite));
    EXPECT_FALSE(canvas.Any(CRect(150, kHeight - 24, 270, kHeight - 2), kWhite));
    EXPECT_TRUE(canvas.Any(CRect(1, 10, 25, 100), kWhite));
    EXPECT_FALSE(canvas.Any(CRect(1, 150, 25, 250), kWhite));
    EXPECT_EQ(canvas.At(150, kHeight - 3), plot.m_crFrameBk);
}

TEST(TrazelDrawTest, AxisSidesMoveTheBandsTicksAndTexts)
{
    Canvas canvas;
    CTrazel plot;
    SetUpFixed(plot);
    plot.m_nXAxisSide = 0;  // X scale above
    plot.m_nYAxisSide = 1;  // Y scale on the right
    plot.m_bXMinorTicks = plot.m_bYMinorTicks = 0;
    plot.Draw(&canvas.dc, kWhole, kWhole);

    const CRect area(40, 40, 240, 240);  // 20 pixels a unit of X, 1 a unit of Y
    EXPECT_EQ(plot.m_pPlotArea->m_plotRect, area);
    EXPECT_EQ(canvas.At(area.left + 80, area.top - 8), kBlack) << "X major tick up from the band's bottom";
    EXPECT_EQ(canvas.At(area.left + 80, area.top - 12), plot.m_crXScaleBk);
    EXPECT_TRUE(canvas.Any(CRect(area.left + 70, area.top - 25, area.left + 91, area.top - 13), kBlack))
        << "X text above its tick";
    EXPECT_EQ(canvas.At(area.right + 8, area.top + 60), kBlack) << "Y major tick rightward from the band's left edge";
    EXPECT_TRUE(canvas.Any(CRect(area.right + 13, area.top + 50, area.right + 26, area.top + 71), kBlack))
        << "Y text right of its tick";
    EXPECT_FALSE(canvas.Any(CRect(area.left - 14, area.top, area.left, area.bottom), kBlack)) << "nothing left";
    TempDir dir;
    SavePng(canvas, dir, "trazel_sides");
}

TEST(TrazelDrawTest, CallbacksComeInOrderAndCanHoldBackTheTraces)
{
    Canvas canvas;
    CTrazel plot;
    Recorder recorder;
    plot.SetTrazelCallback(&recorder);
    plot.m_bRun = 1;
    plot.AddTrace(-1);
    plot.SetTraceColor(0, kTraceColor);
    recorder.now = 5.2;  // scrolling: the window is -5..5 after the display delay
    plot.PlotPoint(0, 0.0, 0.0);
    plot.PlotPoint(0, 4.0, 0.0);
    recorder.calls.clear();
    plot.Draw(&canvas.dc, kWhole, kWhole);
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"time", "behind", "front", "extra"}));
    EXPECT_EQ(recorder.plotRect, kPlot);
    EXPECT_EQ(recorder.wholeRect, kWhole);
    EXPECT_EQ(canvas.At(PixelX(7), PixelY(0)), kTraceColor);

    Canvas hidden;
    recorder.drawTraces = 0;
    plot.Draw(&hidden.dc, kWhole, kWhole);
    EXPECT_FALSE(hidden.Any(kPlot, kTraceColor));
}

TEST(TrazelDrawTest, RunModeClipsTracesAtTheCurrentTime)
{
    struct Case {
        short mode;
        double now;
        double drawnAt, clippedAt;
    } cases[] = {
        {CTrazel::timeSweep, 5.2, 3.0, 7.0},   // window 0..10, now 5: left part only
        {CTrazel::timeScroll, 15.2, 8.0, 15.5},  // window 5..15: up to now
    };
    for (const Case& c : cases) {
        Canvas canvas;
        CTrazel plot;
        Recorder clock;
        clock.now = c.now;
        plot.SetTrazelCallback(&clock);
        plot.m_bRun = 1;
        plot.m_nTimeMode = c.mode;
        plot.m_bXMajorGrid = plot.m_bXMinorGrid = plot.m_bYMajorGrid = plot.m_bYMinorGrid = 0;
        plot.AddTrace(-1);
        plot.SetTraceColor(0, kTraceColor);
        plot.m_pPlotArea->GetTracePtr(0, 0)->m_pen.m_bEnable = 0;
        plot.PlotPoint(0, 0.0, 50.0);
        plot.PlotPoint(0, 20.0, 50.0);
        plot.Draw(&canvas.dc, kWhole, kWhole);
        const double start = plot.m_dXRangeStart;
        EXPECT_EQ(canvas.At(PixelX(c.drawnAt - start), PixelY(50)), kTraceColor) << c.mode;
        if (c.clippedAt - start < 10) {
            EXPECT_EQ(canvas.At(PixelX(c.clippedAt - start), PixelY(50)), plot.m_crPlotAreaBk) << c.mode;
        }
    }
}

TEST(TrazelDrawTest, MarkersPointAtTheValueNowEvenBetweenPointsOfOneTime)
{
    struct Case {
        std::vector<std::pair<double, double>> points;
        double now;
        double value;
    } cases[] = {
        {{{0, 0}, {2, 20}}, 1.0, 10.0},             // between two points
        {{{0, 0}, {1, 10}, {1, 30}}, 1.0, 30.0},    // two points of one time: the newer
        {{{0, 0}, {1, 10}, {1, 30}, {3, 50}}, 1.0, 30.0},
        {{{2, 40}}, 1.0, 40.0},                     // before the only point
        {{{0, 0}, {0.5, -20}}, 1.0, -20.0},         // after the newest
        {{}, 1.0, 0.0},
    };
    for (const Case& c : cases) {
        Canvas canvas;
        CTrazel plot;
        Recorder clock;
        clock.now = c.now;
        plot.SetTrazelCallback(&clock);
        plot.m_bRun = 1;
        plot.m_nTimeMode = CTrazel::timeSweep;
        plot.m_nDisplayDelayMs = 0;
        plot.AddTrace(-1);
        plot.SetPenColor(0, RGB(255, 0, 255));
        for (const auto& [x, y] : c.points)
            plot.PlotPoint(0, x, y);
        plot.Draw(&canvas.dc, kWhole, kWhole);
        const CPlotPen& pen = plot.m_pPlotArea->GetTracePtr(0, 0)->m_pen;
        EXPECT_EQ(pen.m_x, PixelX(c.now));
        EXPECT_EQ(pen.m_y, PixelY(c.value)) << "value " << c.value;
        EXPECT_EQ(canvas.At(pen.m_x + 6, pen.m_y), RGB(255, 0, 255)) << "triangle right of its tip";
    }
}

TEST(TrazelDrawTest, CursorLineAndEmptyYRange)
{
    Canvas canvas;
    CTrazel plot;
    SetUpFixed(plot);
    plot.m_bCursorLine = 1;
    plot.m_pPlotArea->m_dCursorPos = 5.0;
    plot.Draw(&canvas.dc, kWhole, kWhole);
    EXPECT_EQ(canvas.At(PixelX(5), 100), plot.m_crCursorLine);
    EXPECT_TRUE(canvas.At(PixelX(5) - 1, 100) == plot.m_crCursorLine ||
                canvas.At(PixelX(5) + 1, 100) == plot.m_crCursorLine)
        << "two pixels wide";

    Canvas flat;
    plot.m_dYMin = plot.m_dYMax = 10.0;
    plot.PlotPoint(0, 1.0, 10.0);
    plot.PlotPoint(0, 9.0, 10.0);
    plot.Draw(&flat.dc, kWhole, kWhole);
    EXPECT_FALSE(flat.Any(kPlot, plot.m_crPlotAreaBk)) << "nothing of the area is drawn";
    EXPECT_FALSE(flat.Any(kPlot, kTraceColor));
    EXPECT_EQ(flat.At(5, 5), plot.m_crFrameBk);
}

TEST(TrazelDrawTest, BufferIsReusedUntilTheSizeChangesAndFailureDrawsDirectly)
{
    CTrazel plot;
    SetUpFixed(plot);
    plot.PlotPoint(0, 1.0, 50.0);
    plot.PlotPoint(0, 9.0, 50.0);
    Canvas canvas;
    plot.Draw(&canvas.dc, kWhole, kWhole);
    ASSERT_EQ(plot.m_bBufferValid, 1);
    const void* buffer = plot.m_bitmap.GetImpl();
    const CSize size = plot.m_bitmap.GetBitmapDimension();
    plot.Draw(&canvas.dc, kWhole, kWhole);
    EXPECT_EQ(plot.m_bitmap.GetImpl(), buffer);
    EXPECT_EQ(plot.m_bitmap.GetBitmapDimension(), size);

    // A rectangle away from the origin: the buffer covers it measured from the origin.
    Canvas wide(kWidth + 40, kHeight + 30);
    const CRect moved(40, 30, kWidth + 40, kHeight + 30);
    plot.Draw(&wide.dc, moved, moved);
    EXPECT_EQ(plot.m_bitmap.GetBitmapDimension(), CSize(kWidth + 40, kHeight + 30));
    EXPECT_EQ(wide.At(PixelX(5) + 40, PixelY(50) + 30), kTraceColor);
    EXPECT_EQ(wide.At(10, 10), kWhite) << "only the rectangle is copied";

    Canvas direct;
    kvtest::FailNextBitmap();
    plot.m_bRecreateBuffer = 1;
    plot.Draw(&direct.dc, kWhole, kWhole);
    EXPECT_EQ(plot.m_bBufferValid, 0);
    EXPECT_EQ(direct.At(PixelX(5), PixelY(50)), kTraceColor) << "drawn straight into the target";
    plot.Draw(&direct.dc, kWhole, kWhole);
    EXPECT_EQ(plot.m_bBufferValid, 1) << "the next drawing tries again";
}

TEST(TrazelDrawTest, DesignModeAndTheOscilloscopeLookSaveAsPng)
{
    TempDir dir;
    Canvas canvas(640, 360);
    const CRect whole(0, 0, 640, 360);
    CTrazel plot;
    plot.AddTrace(4);
    const COLORREF colours[] = {RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 128, 0), RGB(255, 0, 255)};
    for (int id = 0; id < 4; ++id)
        plot.SetTraceColor(id, colours[id]);
    plot.Draw(&canvas.dc, whole, whole);
    EXPECT_TRUE(canvas.Any(CRect(100, 20, 600, 300), colours[3])) << "design mode shows sample traces";
    SavePng(canvas, dir, "trazel_design");

    // The oscilloscope's settings, sweeping with live data.
    Recorder clock;
    clock.now = 7.2;
    plot.SetTrazelCallback(&clock);
    plot.m_nFrameBorderStyle = 0;
    plot.m_nInnerTopMargin = 20;
    plot.m_nOuterBottomMargin = 20;
    plot.m_crXMinorGrid = plot.m_crYMinorGrid = 0x404000;
    plot.m_nInnerRightMargin = 30;
    plot.m_crXMajorGrid = plot.m_crYMajorGrid = 0x202000;
    plot.m_nYScaleTextOrientation = 0;
    plot.m_crScaleAreaBk = plot.m_crXScaleBk = plot.m_crYScaleBk = 0x808080;
    plot.m_nYScaleBandSize = 60;
    plot.m_crPlotAreaBk = 0x606020;
    plot.m_nTimeMode = CTrazel::timeSweep;
    plot.m_bRun = 1;
    plot.m_pScale->m_strXFormat = "TF_MS";
    plot.m_strXLabel = "Time";
    plot.m_strYLabel = "Velocity";
    for (int id = 0; id < 4; ++id)
        plot.SetMaxTracePoints(id, 1500);
    for (int i = 0; i <= 1400; ++i) {
        const double t = i * 0.005;
        plot.PlotPoint(0, t, 80 * std::sin(t * 2));
        plot.PlotPoint(1, t, 60 * std::cos(t * 3));
        plot.PlotPoint(2, t, (i / 200 % 2) ? 40 : -40);
        plot.PlotPoint(3, t, t * 10 - 90);
    }
    canvas.dc.FillSolidRect(&whole, kWhite);
    plot.Draw(&canvas.dc, whole, whole);
    EXPECT_TRUE(canvas.Any(plot.m_pPlotArea->m_plotRect, colours[0]));

    SavePng(canvas, dir, "trazel_scope");
}

namespace {
// Pixels near the ink's colour: text is drawn smoothed, so few are exactly it.
int InkOf(const Canvas& canvas, const CRect& r, COLORREF ink)
{
    int count = 0;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y) {
            const COLORREF c = canvas.At(x, y);
            count += std::abs(GetRValue(c) - GetRValue(ink)) + std::abs(GetGValue(c) - GetGValue(ink)) +
                         std::abs(GetBValue(c) - GetBValue(ink)) < 200;
        }
    return count;
}
}  // namespace

// The labels at both ends of the X scale are shown whole, as much ink as a label of the same
// length in the middle, reaching past the plot's edges rather than cut at them.
TEST(TrazelDrawTest, EndScaleLabelsAreShownWhole)
{
    Canvas canvas(640, 360);
    const CRect whole(0, 0, 640, 360);
    CTrazel plot;
    plot.m_crXScaleText = kBlack;
    plot.m_crXScaleBk = kWhite;
    plot.Draw(&canvas.dc, whole, whole);
    const CRect area = plot.m_pPlotArea->m_plotRect;
    const int step = area.Width() / 5;  // labels 0.0, 2.0 ... 10.0
    auto labelInk = [&](int x, int halfWidth) {
        return InkOf(canvas, CRect(x - halfWidth, area.bottom + 1, x + halfWidth, area.bottom + 40), kBlack);
    };
    const int middle = labelInk(area.left + step, step / 2 - 1);  // "2.0"
    ASSERT_GT(middle, 10);
    EXPECT_GE(labelInk(area.left, step / 2 - 1), middle * 9 / 10) << "\"0.0\" is whole";
    EXPECT_GE(labelInk(area.right, step / 2 - 1), middle * 9 / 10) << "\"10.0\" is whole";
    const int rows = area.bottom + 40;
    EXPECT_GT(InkOf(canvas, CRect(area.left - 8, area.bottom + 1, area.left, rows), kBlack), 0)
        << "\"0.0\" reaches left of the plot, not cut at its edge";
    EXPECT_GT(InkOf(canvas, CRect(area.right + 1, area.bottom + 1, area.right + 5, rows), kBlack), 0)
        << "\"10.0\" reaches right of the plot";
}

// A dense trace is walked a block of ring slots at a time where a block lies in
// one pixel column. The picture must not depend on where the blocks fall in the
// ring, nor keep anything of points overwritten since the last drawing.
TEST(TrazelDrawTest, DenseTraceDrawsTheSameWhereverItsRingStarts)
{
    constexpr int kPoints = 4000;  // 20 a column
    auto add = [](CTrazel& plot, int i) {
        const double y = i % 997 == 500 ? std::nan("") : 60.0 * std::sin(i * 0.0025) + ((i * 7919) % 41) - 20.0;
        plot.PlotPoint(0, i * 0.0025, y);
    };
    CTrazel wrapped, straight;
    for (CTrazel* plot : {&wrapped, &straight}) {
        SetUpFixed(*plot);
        plot->SetMaxTracePoints(0, kPoints);
    }
    for (int i = 0; i < kPoints; ++i)
        add(wrapped, i);
    Canvas before;
    wrapped.Draw(&before.dc, kWhole, kWhole);
    // The oldest slots are written again; the ring now starts mid-block.
    for (int i = kPoints; i < kPoints + 37; ++i)
        add(wrapped, i);
    for (int i = 37; i < kPoints + 37; ++i)
        add(straight, i);

    Canvas after, reference;
    wrapped.Draw(&after.dc, kWhole, kWhole);
    straight.Draw(&reference.dc, kWhole, kWhole);
    int differing = 0, changed = 0;
    for (int x = kPlot.left; x < kPlot.right; ++x)
        for (int y = kPlot.top; y < kPlot.bottom; ++y) {
            differing += after.At(x, y) != reference.At(x, y);
            changed += after.At(x, y) != before.At(x, y);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(changed, 0) << "the overwritten points are gone from the picture";
    EXPECT_TRUE(after.Any(kPlot, kTraceColor));

    // Emptied and filled again at the same times with other values: nothing
    // of the first values may remain.
    wrapped.ClearPlot();
    CTrazel fresh;
    SetUpFixed(fresh);
    fresh.SetMaxTracePoints(0, kPoints);
    for (int i = 0; i < kPoints; ++i) {
        wrapped.PlotPoint(0, i * 0.0025, 30.0 - (i * 31) % 53);
        fresh.PlotPoint(0, i * 0.0025, 30.0 - (i * 31) % 53);
    }
    Canvas refilled, freshly;
    wrapped.Draw(&refilled.dc, kWhole, kWhole);
    fresh.Draw(&freshly.dc, kWhole, kWhole);
    differing = 0;
    for (int x = kPlot.left; x < kPlot.right; ++x)
        for (int y = kPlot.top; y < kPlot.bottom; ++y)
            differing += refilled.At(x, y) != freshly.At(x, y);
    EXPECT_EQ(differing, 0);
}

TEST(TrazelDrawTest, ChangedRectCoversWhatMovedAndDrawingItKeepsThePictureWhole)
{
    CTrazel plot;
    Recorder clock;
    clock.now = 2.2;  // sweeping over 0..10, the current time 2 after the display delay
    plot.SetTrazelCallback(&clock);
    plot.m_bRun = 1;
    plot.m_nTimeMode = CTrazel::timeSweep;
    plot.AddTrace(-1);
    plot.SetTraceColor(0, kTraceColor);
    plot.SetTraceWidth(0, 2);
    for (double x = 0; x <= 3; x += 0.5)
        plot.PlotPoint(0, x, 20 * x);
    Canvas screen;
    EXPECT_EQ(plot.GetChangedRect(kWhole), kWhole) << "never drawn";
    plot.Draw(&screen.dc, kWhole, kWhole);
    EXPECT_TRUE(plot.GetChangedRect(kWhole).IsRectEmpty()) << "nothing moved";

    // The time moves on: a strip from the old to the new current time and its markers.
    clock.now = 3.2;
    const CRect strip = plot.GetChangedRect(kWhole);
    EXPECT_LE(strip.left, PixelX(2));
    EXPECT_GE(strip.right, PixelX(3) + 10);
    EXPECT_LT(strip.Width(), 40);
    EXPECT_EQ(strip.top, kPlot.top);
    EXPECT_EQ(strip.bottom, kPlot.bottom + 1);
    plot.Draw(&screen.dc, kWhole, strip);
    // A late point lands among the drawn ones; its line comes from the newest point.
    plot.PlotPoint(0, 1.2, -60);
    const CRect late = plot.GetChangedRect(kWhole);
    EXPECT_LE(late.left, PixelX(1.2) - 2);
    EXPECT_GE(late.right, PixelX(3));
    plot.Draw(&screen.dc, kWhole, late);
    plot.PlotPoint(0, 6.0, 90);
    plot.Draw(&screen.dc, kWhole, plot.GetChangedRect(kWhole));

    Canvas whole;
    plot.Draw(&whole.dc, kWhole, kWhole);
    int differing = 0;
    for (int x = 0; x < kWidth; ++x)
        for (int y = 0; y < kHeight; ++y)
            differing += screen.At(x, y) != whole.At(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0) << "the parts drawn give the picture drawn whole";
    EXPECT_EQ(screen.At(PixelX(1.2), PixelY(-60)), kTraceColor);

    // Members written directly change the frame and scales: all is drawn anew, in the new look.
    plot.m_crXScaleBk = RGB(10, 20, 30);
    EXPECT_EQ(plot.GetChangedRect(kWhole), kWhole);
    plot.Draw(&screen.dc, kWhole, kWhole);
    EXPECT_EQ(screen.At(PixelX(5), kPlot.bottom + 20), RGB(10, 20, 30));
    EXPECT_TRUE(plot.GetChangedRect(kWhole).IsRectEmpty());
    plot.m_strYLabel = "Volts";
    EXPECT_EQ(plot.GetChangedRect(kWhole), kWhole);
    plot.ClearPlot();
    EXPECT_EQ(plot.GetChangedRect(kWhole), kWhole) << "the traces went";
}

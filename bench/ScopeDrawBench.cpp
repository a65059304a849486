// One redraw of the scope's whole plot at its heaviest: 8 traces of 10 000
// points each, all of them inside the plotted window, 800 x 500 pixels, with
// its settings as they were or changed; and one frame of a monitoring sweep.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "platform/ui/WinApp.h"
#include "trazel/Trazel.h"

namespace {
// An 800 x 500 picture to draw the plot into.
struct Canvas {
    Canvas()
    {
        bitmap.CreateCompatibleBitmap(nullptr, 800, 500);
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
    }
    CBitmap bitmap;
    CDC dc;
};

void ScopeRedraw(benchmark::State& state)
{
    const int traces = 8;
    const int points = static_cast<int>(state.range(0));
    CTrazel plot;
    // A window over the points' own span: a running plot would place its
    // window at the clock's time and clip every point away.
    plot.m_bRun = 1;
    plot.m_nTimeMode = CTrazel::timeFixed;
    plot.m_dXMin = 0.0;
    plot.m_dXMax = 10.0;
    plot.m_dYMin = -100.0;
    plot.m_dYMax = 100.0;
    plot.AddTrace(traces);
    const CRect whole(0, 0, 800, 500);
    Canvas emptyCanvas;
    CDC& empty = emptyCanvas.dc;
    plot.Draw(&empty, whole, whole);  // the same plot before any point
    for (int id = 0; id < traces; ++id) {
        plot.SetMaxTracePoints(id, points);
        for (int i = 0; i < points; ++i) {
            const double t = 10.0 * i / points;
            plot.PlotPoint(id, t, 80.0 * std::sin(t * (id + 1)));
        }
    }
    Canvas canvas;
    CDC& dc = canvas.dc;
    plot.Draw(&dc, whole, whole);
    // The figure means something only when the traces show: pixels that
    // differ from the plot without points.
    int traced = 0;
    for (int x = 0; x < whole.Width(); x += 2)
        for (int y = 0; y < whole.Height(); y += 2)
            traced += dc.GetPixel(x, y) != empty.GetPixel(x, y) ? 1 : 0;
    if (traced < whole.Width() / 2) {
        state.SkipWithError("no trace shows in the plot");
        return;
    }
    // Arg 1: a setting the frame and scales are drawn from changes before every redraw.
    const bool newLook = state.range(1) != 0;
    for (auto _ : state) {
        if (newLook)
            plot.m_crXScaleBk ^= 1;
        plot.Draw(&dc, whole, whole);
    }
    state.counters["points"] = static_cast<double>(traces) * points;
    state.counters["trace pixels (every 4th)"] = traced;
}
BENCHMARK(ScopeRedraw)->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMillisecond);

// What a monitoring scope draws every 50 ms: a 10 s sweep over 800 x 500
// pixels with 8 traces of one point a pixel column, the time 50 ms on and 4
// new points a trace; only the part the plot reports as changed is drawn.
class SweepClock : public CTrazelCallback {
public:
    double now = 0.0;
    double TZCB_GetPlotTime() override { return now; }
};

void ScopeSweepFrame(benchmark::State& state)
{
    const int traces = 8;
    CTrazel plot;
    SweepClock clock;
    plot.SetTrazelCallback(&clock);
    plot.m_bRun = 1;
    plot.m_nTimeMode = CTrazel::timeSweep;
    plot.m_dXMax = 10.0;
    plot.AddTrace(traces);
    for (int id = 0; id < traces; ++id)
        plot.SetMaxTracePoints(id, 1500);
    const CRect whole(0, 0, 800, 500);
    Canvas canvas;
    CDC& dc = canvas.dc;
    const auto advance = [&](double seconds) {
        for (double t = clock.now; t < clock.now + seconds; t += 0.0125)
            for (int id = 0; id < traces; ++id)
                plot.PlotPoint(id, t + 0.2, 80.0 * std::sin(t * (id + 1)));
        clock.now += seconds;
    };
    advance(5.0);  // half a sweep drawn
    plot.Draw(&dc, whole, whole);
    plot.GetChangedRect(whole);
    double pixels = 0;
    for (auto _ : state) {
        advance(0.05);
        if (clock.now > 9.5) {  // stay inside one sweep: a new one redraws all
            state.PauseTiming();
            clock.now = 5.0;
            plot.ClearPlot();
            advance(0.05);
            plot.Draw(&dc, whole, whole);
            plot.GetChangedRect(whole);
            advance(0.05);
            state.ResumeTiming();
        }
        const CRect part = plot.GetChangedRect(whole);
        pixels += static_cast<double>(part.Width()) * part.Height();
        plot.Draw(&dc, whole, part);
    }
    state.counters["pixels drawn a frame"] = benchmark::Counter(pixels, benchmark::Counter::kAvgIterations);
}
BENCHMARK(ScopeSweepFrame)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    AfxWinInit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    AfxWinTerm();
    return 0;
}

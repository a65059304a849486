// One redraw of the scope's plot at its heaviest: 8 traces of 10 000 points
// each, all of them inside the plotted window, 800 x 500 pixels. The scope
// redraws on a 50 ms timer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "platform/ui/WinApp.h"
#include "trazel/Trazel.h"

namespace {
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
    CBitmap emptyTarget;
    emptyTarget.CreateCompatibleBitmap(nullptr, 800, 500);
    CDC empty;
    empty.CreateCompatibleDC(nullptr);
    empty.SelectObject(&emptyTarget);
    plot.Draw(&empty, whole, whole);  // the same plot before any point
    for (int id = 0; id < traces; ++id) {
        plot.SetMaxTracePoints(id, points);
        for (int i = 0; i < points; ++i) {
            const double t = 10.0 * i / points;
            plot.PlotPoint(id, t, 80.0 * std::sin(t * (id + 1)));
        }
    }
    CBitmap target;
    target.CreateCompatibleBitmap(nullptr, 800, 500);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&target);
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
    for (auto _ : state)
        plot.Draw(&dc, whole, whole);
    state.counters["points"] = static_cast<double>(traces) * points;
    state.counters["trace pixels (every 4th)"] = traced;
}
BENCHMARK(ScopeRedraw)->Arg(10000)->Unit(benchmark::kMillisecond);
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

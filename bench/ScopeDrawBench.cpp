// One redraw of the scope's plot at its heaviest: 8 traces of 10 000 points
// each in the sweep mode, 800 x 500 pixels. The scope redraws on a 50 ms timer.
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
    plot.m_bRun = 1;
    plot.m_nTimeMode = CTrazel::timeSweep;
    plot.AddTrace(traces);
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
    const CRect whole(0, 0, 800, 500);
    for (auto _ : state)
        plot.Draw(&dc, whole, whole);
    state.counters["points"] = static_cast<double>(traces) * points;
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

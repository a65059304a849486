// Trazel side by side with QCustomPlot (a peer installed for the benchmark
// only): the time to draw one frame of the same picture, 800 x 500 pixels,
// for the oscilloscope's load (4 traces of 1 500 points) and for full rings
// (8 traces of 65 535 points). Both draw without antialiasing, as Trazel's
// device context does; QCustomPlot's default antialiased look is measured too.
#include <cstdio>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "platform/ui/WinApp.h"
#include "trazel/Trazel.h"

#ifdef KV_HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#include <QWindow>
#endif

namespace {
constexpr int kWidth = 800;
constexpr int kHeight = 500;
const COLORREF kColours[] = {RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 128, 0), RGB(255, 0, 255),
                             RGB(0, 255, 0),   RGB(255, 0, 0),   RGB(128, 128, 255), RGB(255, 255, 255)};

// Trace i: a noisy sine over the window 0..10 s, in -100..100.
struct Series {
    std::vector<double> x, y;
};
Series MakeSeries(int trace, int points)
{
    Series s;
    unsigned noise = 12345u + trace;
    for (int i = 0; i < points; ++i) {
        const double t = 10.0 * i / points;
        noise = noise * 1103515245u + 12345u;
        s.x.push_back(t);
        s.y.push_back(70 * std::sin(t * (1 + trace)) + ((noise >> 16) % 2000) / 100.0 - 10.0);
    }
    return s;
}

// One Trazel plot of the picture, drawn into a memory bitmap.
struct TrazelPicture {
    TrazelPicture(int traces, int points)
    {
        plot.m_bRun = 1;
        plot.m_nTimeMode = CTrazel::timeFixed;
        plot.AddTrace(traces);
        for (int id = 0; id < traces; ++id) {
            plot.SetMaxTracePoints(id, points);
            plot.SetTraceColor(id, kColours[id % 8]);
            const Series s = MakeSeries(id, points);
            for (int i = 0; i < points; ++i)
                plot.PlotPoint(id, s.x[i], s.y[i]);
        }
        target.CreateCompatibleBitmap(nullptr, kWidth, kHeight);
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&target);
    }
    void Draw()
    {
        const CRect whole(0, 0, kWidth, kHeight);
        plot.Draw(&dc, whole, whole);
    }
    CTrazel plot;
    CBitmap target;
    CDC dc;
};

void TrazelDraw(benchmark::State& state)
{
    const int traces = static_cast<int>(state.range(0));
    const int points = static_cast<int>(state.range(1));
    TrazelPicture picture(traces, points);
    for (auto _ : state)
        picture.Draw();
    state.counters["points"] = static_cast<double>(traces) * points;
}
BENCHMARK(TrazelDraw)->Args({4, 1500})->Args({8, 65535})->Unit(benchmark::kMillisecond);

#ifdef KV_HAVE_QCUSTOMPLOT
// The same picture in QCustomPlot, shown, so that a replot also paints the
// widget as Trazel copies its buffer out.
struct CustomPlotPicture {
    CustomPlotPicture(int traces, int points, bool antialiased)
    {
        plot.resize(kWidth, kHeight);
        if (!antialiased)
            plot.setNotAntialiasedElements(QCP::aeAll);
        plot.xAxis->setRange(0, 10);
        plot.yAxis->setRange(-100, 100);
        plot.xAxis->grid()->setSubGridVisible(true);
        plot.yAxis->grid()->setSubGridVisible(true);
        plot.xAxis->setLabel("X-Axis Label");
        plot.yAxis->setLabel("Y-Axis Label");
        for (int id = 0; id < traces; ++id) {
            QCPGraph* graph = plot.addGraph();
            const COLORREF c = kColours[id % 8];
            graph->setPen(QPen(QColor(GetRValue(c), GetGValue(c), GetBValue(c))));
            const Series s = MakeSeries(id, points);
            graph->setData(QVector<double>(s.x.begin(), s.x.end()), QVector<double>(s.y.begin(), s.y.end()), true);
        }
        plot.show();
        QCoreApplication::processEvents();
    }
    bool Exposed() { return plot.windowHandle() && plot.windowHandle()->isExposed(); }
    void Draw() { plot.replot(QCustomPlot::rpImmediateRefresh); }
    QCustomPlot plot;
};

void CustomPlotDraw(benchmark::State& state)
{
    const int traces = static_cast<int>(state.range(0));
    const int points = static_cast<int>(state.range(1));
    CustomPlotPicture picture(traces, points, state.range(2) != 0);
    if (!picture.Exposed())
        state.SkipWithError("the plot window is not exposed");
    for (auto _ : state)
        picture.Draw();
    state.counters["points"] = static_cast<double>(traces) * points;
}
BENCHMARK(CustomPlotDraw)
    ->Args({4, 1500, 0})
    ->Args({8, 65535, 0})
    ->Args({4, 1500, 1})
    ->Args({8, 65535, 1})
    ->ArgNames({"traces", "points", "antialiased"})
    ->Unit(benchmark::kMillisecond);
// Trazel's time over QCustomPlot's (not antialiased), drawing the two in turn
// so that both meet the same load of a shared machine.
void TrazelOverCustomPlot(benchmark::State& state)
{
    const int traces = static_cast<int>(state.range(0));
    const int points = static_cast<int>(state.range(1));
    TrazelPicture trazel(traces, points);
    CustomPlotPicture custom(traces, points, false);
    if (!custom.Exposed())
        state.SkipWithError("the plot window is not exposed");
    using Clock = std::chrono::steady_clock;
    Clock::duration trazelTime{}, customTime{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        trazel.Draw();
        const auto t1 = Clock::now();
        custom.Draw();
        trazelTime += t1 - t0;
        customTime += Clock::now() - t1;
    }
    state.counters["ratio"] = std::chrono::duration<double>(trazelTime).count() /
                              std::chrono::duration<double>(customTime).count();
}
BENCHMARK(TrazelOverCustomPlot)
    ->Args({4, 1500})
    ->Args({8, 65535})
    ->ArgNames({"traces", "points"})
    ->Repetitions(3)
    ->MinTime(1.0)
    ->Unit(benchmark::kMillisecond);
#endif
}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
#ifndef KV_HAVE_QCUSTOMPLOT
    std::fprintf(stderr, "QCustomPlot is not installed (tools/setup --bench): measuring Trazel alone\n");
#endif
    AfxWinInit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    AfxWinTerm();
    return 0;
}

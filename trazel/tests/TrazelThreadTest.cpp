// A sampling thread adds points while the drawing thread draws and changes the
// traces. Run under ThreadSanitizer (preset tsan) this shows the locks cover it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "testing/WaitFor.h"
#include "trazel/PlotTrace.h"
#include "trazel/Trazel.h"

namespace {
class SampleClock : public CTrazelCallback {
public:
    std::atomic<double> now{0.0};
    double TZCB_GetPlotTime() override { return now.load(); }
};
}  // namespace

TEST(TrazelThreadTest, SamplerAddsPointsWhileTheGuiThreadDrawsAndEmptiesTraces)
{
    constexpr int kTraces = 4;
    CTrazel plot;
    SampleClock clock;
    plot.SetTrazelCallback(&clock);
    plot.m_bRun = 1;
    plot.m_nTimeMode = CTrazel::timeSweep;
    plot.AddTrace(kTraces);
    for (int id = 0; id < kTraces; ++id)
        plot.SetMaxTracePoints(id, 1500);

    std::atomic<bool> stop{false};
    std::atomic<long> added{0};
    std::thread sampler([&] {
        for (long i = 0; !stop.load(); ++i) {
            const double t = i * 0.001;
            clock.now.store(t);
            for (int id = 0; id < kTraces; ++id)
                plot.PlotPoint(id, t, (i % 200) - 100.0 + id);
            added.fetch_add(1);
        }
    });

    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(nullptr, 400, 300));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bitmap);
    const CRect whole(0, 0, 400, 300);
    for (int frame = 0; frame < 60; ++frame) {
        const long before = added.load();
        ASSERT_TRUE(WaitFor([&] { return added.load() > before + 50; })) << "the sampler runs on";
        plot.Draw(&dc, whole, whole);
        double x0, x1, y0, y1;
        plot.GetTraceMinMax(frame % kTraces, x0, x1, y0, y1);
        // The changes that empty a trace while the sampler fills it.
        switch (frame % 4) {
        case 0: plot.SetTraceEnable(frame % kTraces, 0); break;
        case 1: plot.SetTraceEnable((frame - 1) % kTraces, 1); break;
        case 2: plot.ClearPlot(); break;
        case 3: plot.SetMaxTracePoints(frame % kTraces, 1000 + frame); break;
        }
    }
    stop.store(true);
    sampler.join();

    for (int id = 0; id < kTraces; ++id) {
        CPlotTrace* trace = plot.m_pPlotArea->GetTracePtr(id, 0);
        EXPECT_LE(trace->m_count, trace->m_capacity);
        EXPECT_TRUE(trace->m_capacity == 0 || trace->m_head < trace->m_capacity);
    }
}

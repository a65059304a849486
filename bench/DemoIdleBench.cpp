// Idle cost of the engine on the demo link: CPU seconds the process spends per
// wall second, and the threads' wake-ups, while the link is open and nothing
// is asked. The whole engine counts: the communication manager with the demo
// simulator, the distribution manager and a drive's parameter tables.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <ctime>
#include <thread>

#include "comm/link/CommManager.h"
#include "comm/link/LinkPortFactory.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "distribution/parameters/GlobalAmpParameterTable.h"
#include "testing/TestAppServices.h"
#include "bench/ProcessUsage.h"
#include "testing/TempDir.h"

namespace {

struct Measure {
    double cpuPerWall = 0.0;
    double wakeupsPerSecond = 0.0;
};

Measure MeasureIdle(int seconds)
{
    const double cpuBefore = ProcessCpuSeconds();
    const long switchesBefore = ProcessSwitches();
    const auto wallBefore = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    Measure m;
    m.cpuPerWall = (ProcessCpuSeconds() - cpuBefore) / wall;
    m.wakeupsPerSecond = static_cast<double>(ProcessSwitches() - switchesBefore - 1) / wall;
    return m;
}

void Report(benchmark::State& state, const Measure& m)
{
    state.counters["cpu_%_of_core"] = 100.0 * m.cpuPerWall;
    state.counters["wakeups/s"] = m.wakeupsPerSecond;
}

// The communication manager and the simulator alone.
void BM_DemoLinkIdle(benchmark::State& state)
{
    TempDir home;
    TestAppServices app;
    app.m_iniPath = home.File("kvsettings.ini");
    app.m_assignments = {{0, "Module"}, {1, "Kreln"}, {2, "Tavro"}};
    CCommManager manager;
    CLinkPortFactory factory(manager);
    manager.SetPortFactory(&factory);
    if (manager.OpenDemoCommunications() != 1) {
        state.SkipWithError("demo link did not open");
        return;
    }
    Measure m;
    for (auto _ : state)
        m = MeasureIdle(3);
    Report(state, m);
    manager.CloseCommunications();
}
BENCHMARK(BM_DemoLinkIdle)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole engine over 10 s: link, distribution manager, one drive's
// conversion-parameter table with its synchronised-query table.
void BM_EngineIdle(benchmark::State& state)
{
    TempDir home;
    TestAppServices app;
    app.m_iniPath = home.File("kvsettings.ini");
    app.m_assignments = {{0, "Module"}, {1, "Kreln"}, {2, "Tavro"}};
    CCommManager manager;
    CLinkPortFactory factory(manager);
    manager.SetPortFactory(&factory);
    if (manager.OpenDemoCommunications() != 1) {
        state.SkipWithError("demo link did not open");
        return;
    }
    CCommManagerLink link(manager);
    CDistManager distribution(&link);
    distribution.Start();
    CGlobalAmpParameterTable parameters;
    parameters.Start(&distribution, 1);
    // Let the start-up replies drain before measuring rest.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Measure m;
    for (auto _ : state)
        m = MeasureIdle(10);
    Report(state, m);
    parameters.StopQueryThread();
    parameters.StopThread(1);
    distribution.Stop();
    manager.CloseCommunications();
}
BENCHMARK(BM_EngineIdle)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

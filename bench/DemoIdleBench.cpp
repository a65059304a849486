// Idle cost of the engine on the demo link: CPU seconds the process spends per
// wall second while the link is open and nothing is asked.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <thread>

#include "comm/CommManager.h"
#include "comm/LinkPortFactory.h"
#include "comm/tests/TestAppServices.h"
#include "testing/TempDir.h"

namespace {

double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

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
    double cpuPerWall = 0.0;
    for (auto _ : state) {
        const double cpuBefore = ProcessCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        cpuPerWall = (ProcessCpuSeconds() - cpuBefore) / wall;
    }
    state.counters["cpu_s_per_wall_s"] = cpuPerWall;
    manager.CloseCommunications();
}

}  // namespace

BENCHMARK(BM_DemoLinkIdle)->Iterations(1)->Unit(benchmark::kMillisecond);

// The backup engine on the demo link: registers backed up per second against
// the link's own synchronous round trips per second, and the time of a whole
// demo drive's backup with the program's template.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "backup/tests/DemoLinkFixture.h"
#include "distribution/AmpCommandText.h"

namespace {

void BM_SynchronousRoundTrips(benchmark::State& state)
{
    DemoLink link;
    if (!link.m_open) {
        state.SkipWithError("demo link did not open");
        return;
    }
    CAmpQryCmdFromGui query;
    ParseAmpCommandText(query, "TLP");
    query.m_address = 1;
    BeginSynchronousDriveAccess();
    for (auto _ : state) {
        CAmpResponseMsg response;
        if (!SendSynchronousMessage(query, response))
            state.SkipWithError("no answer");
    }
    EndSynchronousDriveAccess();
    state.counters["round_trips_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                             benchmark::Counter::kIsRate);
}

// A template of the given number of register lines, run as a backup.
void BM_RegistersBackedUp(benchmark::State& state)
{
    DemoLink link;
    if (!link.m_open) {
        state.SkipWithError("demo link did not open");
        return;
    }
    const int registers = static_cast<int>(state.range(0));
    std::string text;
    for (int i = 0; i < registers; ++i)
        text += "!LOG:TLP {TLP}\n";
    link.m_home.Write("bench.dat", text);
    FakeHost host;
    CAmpBackupTool engine(&host);
    engine.SetPauses(0);
    for (auto _ : state) {
        engine.SetTemplateFile(link.m_home.File("bench.dat").c_str());
        engine.BackupToFile(1, link.m_home.File("bench.bk").c_str(), 1, "");
        RunToEnd(engine, std::chrono::seconds(120));
    }
    state.counters["registers_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()) * registers,
                                                           benchmark::Counter::kIsRate);
}

// A whole demo drive with the program's template (the identity, then 158 registers).
void BM_WholeDemoDrive(benchmark::State& state)
{
    DemoLink link;
    if (!link.m_open) {
        state.SkipWithError("demo link did not open");
        return;
    }
    FakeHost host;
    host.m_programFolder = (SourceResources() + "/").c_str();
    CAmpBackupTool engine(&host);
    engine.SetPauses(state.range(0) != 0);
    for (auto _ : state) {
        engine.StartOperation(0, 2, link.m_home.File("drive.bk").c_str(), engine.GetTemplateFolder(1), 1);
        RunToEnd(engine, std::chrono::seconds(120));
    }
}

}  // namespace

BENCHMARK(BM_SynchronousRoundTrips)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(BM_RegistersBackedUp)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_WholeDemoDrive)->ArgName("pauses")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_MAIN();

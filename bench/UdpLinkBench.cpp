// Register reads per second through the whole engine (communication manager,
// UDP link port and its socket thread) against a simulated network module on
// loopback, one and two drives, 8 and 64 reads queued, beside the serial
// link's rate for one drive at 115200 baud measured in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

#include "comm/link/CommManager.h"
#include "comm/link/LinkPortFactory.h"
#include "platform/core/Clock.h"
#include "RegisterReadLoop.h"
#include "SerialReads.h"
#include "testing/FakeCommServices.h"
#include "testing/SimulatedNetworkModule.h"
#include "testing/TempDir.h"

namespace {

constexpr int kRegister = 0x4142;
constexpr int kReads = 20000;
double g_serialRate = 0.0;  // one drive, measured first in this run

void SerialReferenceReads(benchmark::State& state)
{
    RegisterReadCounts reads;
    if (!serialreads::TimeSerialReads(state, 1, reads)) {
        state.SkipWithError("the serial link did not open");
        return;
    }
    g_serialRate = reads.perSecond;
    state.counters["reads_per_s"] = reads.perSecond;
}
BENCHMARK(SerialReferenceReads)->Iterations(1500)->Unit(benchmark::kMillisecond)->UseRealTime();

void UdpRegisterReads(benchmark::State& state)
{
    const int drives = static_cast<int>(state.range(0));
    const int queued = static_cast<int>(state.range(1));
    TempDir dir;
    FakeCommServices app;
    app.m_iniPath = dir.File("kvsettings.ini").c_str();
    SimulatedNetworkModule module;
    // Each queued read asks for a register of its own: one reply answers every
    // queued read of the same register, which would count merged reads as many.
    for (int address = 1; address <= drives; ++address) {
        for (int i = 0; i < queued; ++i)
            module.Simulator().Model().SetRegister(address, kRegister + i, 100 * address + i, 1);
        app.Assign(address, "Drive");
    }
    if (!module.Start()) {
        state.SkipWithError("the module did not start");
        return;
    }
    CCommManager manager;
    CLinkPortFactory factory(manager);
    manager.SetPortFactory(&factory);
    CCommLinkSettings settings;
    settings.m_linkType = kLinkUdp;
    settings.m_remoteName = "127.0.0.1";
    const QVXREMOTEPOLLDATA record = module.Record();
    std::memcpy(settings.m_remoteRecord, &record, sizeof record);
    if (!manager.OpenCommunications(settings)) {
        state.SkipWithError("the UDP link did not open");
        return;
    }

    const RegisterReadCounts reads = TimeRegisterReads(
        state, manager, drives, queued,
        [&](DWORD id) { return kRegister + (id / drives) % queued; }, std::chrono::microseconds(50));
    const double rate = reads.perSecond;
    state.counters["reads_per_s"] = rate;
    state.counters["serial_per_s"] = g_serialRate;
    if (g_serialRate > 0.0)
        state.counters["times_serial"] = rate / g_serialRate;
    state.counters["failed"] = reads.failed;
}

BENCHMARK(UdpRegisterReads)
    ->ArgNames({"drives", "queued"})
    ->Args({1, 8})
    ->Args({1, 64})
    ->Args({2, 8})
    ->Args({2, 64})
    ->Iterations(kReads)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    timeBeginPeriod(1);  // as the program does at start-up
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    timeEndPeriod(1);
    return 0;
}

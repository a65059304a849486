// Register reads per second through the whole engine (communication manager,
// serial link port, serial device) against a simulated drive line paced at
// 115200 baud, one drive and a multi-drop line of two, beside the ceiling that
// the wire and the port's own transaction delays allow.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

#include "comm/link/CommManager.h"
#include "platform/core/Clock.h"
#include "comm/link/LinkPortFactory.h"
#include "comm/serial/QVXSerialCommPort.h"
#include "RegisterReadLoop.h"
#include "testing/FakeCommServices.h"
#include "testing/SimulatedSerialDrive.h"
#include "testing/TempDir.h"

namespace {

constexpr int kBaud = 115200;
constexpr int kRegister = 0x4142;
constexpr int kReplyWidth = 2;
constexpr int kReads = 1500;
// Each queued read asks for a register of its own: one reply answers every
// queued read of the same register, which would count merged reads as many.
constexpr int kQueued = 8;

// One read: the request (4 bytes, 8 on a multi-drop line) and the reply
// (width + 3 bytes) at 10 bits a byte. The port sleeps 1 ms after writing,
// looks for the reply every 1 ms, and pauses 2 ms after a good read. Its
// cycle handles frames for 25 ms, then sleeps its 1 ms period. (The ceiling
// stays that of 1 ms steps, so figures before and after compare; a port that
// takes the reply as it comes may pass it on a multi-drop line.)
double CeilingReadsPerSecond(int drives)
{
    const int requestBytes = drives > 1 ? 8 : 4;
    const int replyBytes = kReplyWidth + 3;
    const double wireMs = (requestBytes + replyBytes) * 10.0 * 1000.0 / kBaud;
    const double readMs = 1.0 + std::ceil(std::max(0.0, wireMs - 1.0)) + 2.0;
    const double readsPerCycle = std::ceil(25.0 / readMs);
    return 1000.0 * readsPerCycle / (readsPerCycle * readMs + 1.0);
}

void SerialRegisterReads(benchmark::State& state)
{
    const int drives = static_cast<int>(state.range(0));
    TempDir dir;
    SimulatedSerialDrive sim;
    FakeCommServices app;
    app.m_iniPath = dir.File("kvsettings.ini").c_str();
    for (int address = 1; address <= drives; ++address) {
        sim.AddDrive(address, 650);
        for (int i = 0; i < kQueued; ++i)
            sim.SetRegister(address, kRegister + i, 100 * address + i, kReplyWidth);
        app.Assign(address, "Drive");
    }
    sim.SetBaudRate(kBaud);
    sim.Start();
    CCommManager manager;
    CLinkPortFactory factory(manager);
    manager.SetPortFactory(&factory);
    CCommLinkSettings settings;
    settings.m_comPort = sim.portPath().c_str();
    if (!manager.OpenCommunications(settings)) {
        state.SkipWithError("the serial link did not open");
        return;
    }

    // Enough reads queued that the line never waits for the manager.
    const RegisterReadCounts reads = TimeRegisterReads(
        state, manager, drives, kQueued, [](DWORD id) { return kRegister + id % kQueued; },
        std::chrono::microseconds(100));
    const double rate = reads.perSecond;
    const double ceiling = CeilingReadsPerSecond(drives);
    state.counters["reads_per_s"] = rate;
    state.counters["ceiling_per_s"] = ceiling;
    state.counters["pct_of_ceiling"] = 100.0 * rate / ceiling;
    state.counters["failed"] = reads.failed;
}

BENCHMARK(SerialRegisterReads)
    ->ArgName("drives")
    ->Arg(1)
    ->Arg(2)
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

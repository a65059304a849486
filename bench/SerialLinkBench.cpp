// Register reads per second through the whole engine (communication manager,
// serial link port, serial device) against a simulated drive line paced at
// 115200 baud, one drive and a multi-drop line of two, beside what the wire
// allows and what the wire with each transaction's required waits allows.
#include <benchmark/benchmark.h>

#include "SerialReads.h"
#include "platform/core/Clock.h"

namespace {

constexpr int kReads = 1500;

void SerialRegisterReads(benchmark::State& state)
{
    const int drives = static_cast<int>(state.range(0));
    RegisterReadCounts reads;
    if (!serialreads::TimeSerialReads(state, drives, reads)) {
        state.SkipWithError("the serial link did not open");
        return;
    }
    const double wire = serialreads::WireReadsPerSecond(drives);
    const double ceiling = serialreads::CeilingReadsPerSecond(drives);
    state.counters["reads_per_s"] = reads.perSecond;
    state.counters["wire_per_s"] = wire;
    state.counters["pct_of_wire"] = 100.0 * reads.perSecond / wire;
    state.counters["ceiling_per_s"] = ceiling;
    state.counters["pct_of_ceiling"] = 100.0 * reads.perSecond / ceiling;
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

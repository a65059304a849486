// The distribution manager's costs: answers delivered per second, one cycle's
// cost as the number of jobs and receivers grows, and filing a query.
#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <vector>

#include "distribution/DistManager.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "distribution/tests/FakeCommLink.h"
#include "platform/core/Clock.h"

namespace {

class CountingReceiver : public CDistMngrResponseReceiver {
public:
    void OnResponse(const CAmpResponseToGui&) override { ++m_count; }
    long m_count = 0;
};

// N receivers; with merged, all read one register (one job), else one register each.
struct Setup {
    Setup(int receivers, bool merged, WORD periodMs)
    {
        kvtest::FreezeClock(1000000);
        link.m_autoAnswer = true;
        for (int i = 0; i < receivers; ++i) {
            auto receiver = std::make_unique<CountingReceiver>();
            receiver->SetDistManager(&manager);
            const WORD code = static_cast<WORD>(merged ? 1000 : 1000 + i);
            receiver->SendQuery(1, code, periodMs);
            this->receivers.push_back(std::move(receiver));
        }
    }
    ~Setup()
    {
        receivers.clear();
        kvtest::ThawClock();
    }
    long Delivered() const
    {
        long total = 0;
        for (const auto& r : receivers)
            total += r->m_count;
        return total;
    }

    FakeCommLink link;
    CDistManager manager{&link};
    std::vector<std::unique_ptr<CountingReceiver>> receivers;
};

void RunCycles(benchmark::State& state, bool merged, WORD periodMs)
{
    Setup setup(static_cast<int>(state.range(0)), merged, periodMs);
    for (auto _ : state) {
        kvtest::AdvanceClock(1);
        setup.manager.ExecCycle();
        // The fake keeps every submitted job; drop them so memory stays flat.
        std::lock_guard<std::mutex> lock(setup.link.m_mutex);
        setup.link.m_submitted.clear();
    }
    state.counters["delivered/s"] = benchmark::Counter(static_cast<double>(setup.Delivered()), benchmark::Counter::kIsRate);
    state.counters["jobs"] = setup.manager.GetJobCount();
    state.SetComplexityN(state.range(0));
}

// One cycle per simulated millisecond, every job repeating at 10 ms: the
// answers delivered per second of processor time.
void BM_DeliveredQueries(benchmark::State& state) { RunCycles(state, false, 10); }
BENCHMARK(BM_DeliveredQueries)->Arg(10)->Arg(100)->Arg(1000)->Complexity();

// One cycle with N distinct jobs repeating at 100 ms (about N/100 due each cycle).
void BM_CycleDistinctJobs(benchmark::State& state) { RunCycles(state, false, 100); }
BENCHMARK(BM_CycleDistinctJobs)->Arg(10)->Arg(100)->Arg(1000)->Complexity();

// One cycle with N receivers merged into one job.
void BM_CycleMergedReceivers(benchmark::State& state) { RunCycles(state, true, 100); }
BENCHMARK(BM_CycleMergedReceivers)->Arg(10)->Arg(100)->Arg(1000)->Complexity();

// Filing and cancelling one read while N jobs are queued (the merge search).
void BM_SubmitAndCancel(benchmark::State& state)
{
    Setup setup(static_cast<int>(state.range(0)), false, 100);
    CountingReceiver receiver;
    receiver.SetDistManager(&setup.manager);
    for (auto _ : state) {
        const int id = receiver.SendQuery(2, 7, 100);
        receiver.CancelQuery(id);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SubmitAndCancel)->Arg(10)->Arg(100)->Arg(1000)->Complexity();

}  // namespace

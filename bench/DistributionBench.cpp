// The distribution manager's costs: answers delivered per second, one cycle's
// cost as the number of jobs and receivers grows, and filing a query.
#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <vector>

#include "distribution/DistManager.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "testing/FakeCommLink.h"
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

// One cycle's cost against the jobs due in it. The idle jobs are a window's
// slow reads in the state they spend their life in: answered, with the answer
// held for a slower receiver whose period is not up (a job read every 30 s
// for one receiver and every minute for another). The due ones repeat at
// 1 ms, and each cycle advances the clock 2 ms, so every one of them is due in
// every cycle. Fixed iterations (20 s of clock) keep the idle jobs from
// falling due again or their held answers from going out.
void RunDueCycles(benchmark::State& state, int due, int total)
{
    kvtest::FreezeClock(1000000);
    FakeCommLink link;
    link.m_autoAnswer = true;
    CDistManager manager{&link};
    std::vector<std::unique_ptr<CountingReceiver>> receivers;
    auto add = [&](WORD code, WORD periodMs) {
        auto receiver = std::make_unique<CountingReceiver>();
        receiver->SetDistManager(&manager);
        receiver->SendQuery(1, code, periodMs);
        receivers.push_back(std::move(receiver));
    };
    for (int i = 0; i < total - due; ++i) {
        add(static_cast<WORD>(2000 + i), 30000);
        add(static_cast<WORD>(2000 + i), 60000);
    }
    manager.ExecCycle();
    kvtest::AdvanceClock(30000 + 30000 / 20 + 2);  // past the jitter: each idle job answers again
    manager.ExecCycle();
    for (int i = 0; i < due; ++i)
        add(static_cast<WORD>(100 + i), 1);
    kvtest::AdvanceClock(2);
    manager.ExecCycle();
    {
        std::lock_guard<std::mutex> lock(link.m_mutex);
        link.m_submitted.clear();
    }
    size_t submitted = 0;
    for (auto _ : state) {
        kvtest::AdvanceClock(2);
        manager.ExecCycle();
        std::lock_guard<std::mutex> lock(link.m_mutex);
        submitted += link.m_submitted.size();
        link.m_submitted.clear();
    }
    state.counters["due/cycle"] = static_cast<double>(submitted) / static_cast<double>(state.iterations());
    state.counters["jobs"] = manager.GetJobCount();
    receivers.clear();
    kvtest::ThawClock();
}

// Fixed total of 1 000 jobs, 0 to 100 of them due in each cycle.
void BM_CycleAgainstDue(benchmark::State& state) { RunDueCycles(state, static_cast<int>(state.range(0)), 1000); }
BENCHMARK(BM_CycleAgainstDue)->Arg(0)->Arg(1)->Arg(10)->Arg(100)->Iterations(10000)->Unit(benchmark::kMicrosecond);

// One job due in each cycle, 10 to 10 000 jobs in all.
void BM_CycleAgainstTotal(benchmark::State& state) { RunDueCycles(state, 1, static_cast<int>(state.range(0))); }
BENCHMARK(BM_CycleAgainstTotal)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Iterations(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

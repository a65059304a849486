// How fast the planner plans and samples motion programs, and how its cost grows.
#include <benchmark/benchmark.h>

#include "motion/TrajectoryPlanner.h"

namespace {

class AtZero : public CTrajectoryPlannerCB {
public:
    BOOL GetAxisValue(int, double* out) override
    {
        *out = 0.0;
        return TRUE;
    }
};

struct BenchPlanner {
    AtZero axes;
    CAxisSettingsMap settings;
    CTrajectoryPlanner planner;
    BenchPlanner()
    {
        settings[0] = CTrajectoryAxisSettings::Preset(0);
        settings[1] = CTrajectoryAxisSettings::Preset(1);
        planner.Callback = &axes;
        planner.AxisSettings = &settings;
        planner.FeedRate = 50.0;
        planner.AccelTime = 0.05;
    }
};

// A zigzag over X and Y, one move every 2.5 units.
CAxisVectorMap Point(int i)
{
    CAxisVectorMap p;
    p[0] = i * 2.0;
    p[1] = (i % 2) * 1.5;
    return p;
}

void AddMoves(CTrajectoryPlanner& planner, int moves, bool spline)
{
    planner.AddDwell(0.0);
    for (int i = 1; i <= moves; ++i) {
        if (spline)
            planner.AddSpline(Point(i));
        else
            planner.AddLinear(Point(i), -1);
    }
    planner.AddDwell(0.0);
}

void SampleProgram(benchmark::State& state, bool spline)
{
    int64_t samples = 0;
    for (auto _ : state) {
        state.PauseTiming();
        BenchPlanner bench;
        AddMoves(bench.planner, 1000, spline);
        CAxisVectorList positions;
        CAxisVectorList velocities;
        state.ResumeTiming();
        while (bench.planner.Sample(positions, &velocities, 0.01)) {
            samples += positions.GetCount();
            positions.RemoveAll();
            velocities.RemoveAll();
        }
    }
    state.SetItemsProcessed(samples);
}

void BM_SampleLinear1000(benchmark::State& state)
{
    SampleProgram(state, false);
}

void BM_SampleSpline1000(benchmark::State& state)
{
    SampleProgram(state, true);
}

void PlanProgram(benchmark::State& state, bool spline)
{
    const int moves = static_cast<int>(state.range(0));
    for (auto _ : state) {
        BenchPlanner bench;
        AddMoves(bench.planner, moves, spline);
        benchmark::DoNotOptimize(bench.planner.NextBlockId);
        state.PauseTiming();
        bench.planner.Blocks.DeleteAll();
        state.ResumeTiming();
    }
    state.SetComplexityN(moves);
    state.SetItemsProcessed(state.iterations() * moves);
}

void BM_PlanLinear(benchmark::State& state)
{
    PlanProgram(state, false);
}

void BM_PlanSpline(benchmark::State& state)
{
    PlanProgram(state, true);
}

}  // namespace

BENCHMARK(BM_SampleLinear1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SampleSpline1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanLinear)->RangeMultiplier(10)->Range(10, 10000)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlanSpline)->RangeMultiplier(10)->Range(10, 10000)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);

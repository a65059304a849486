// The servo tuning test's 20 ms tick: the generator's next drive value for the
// active loop (what the window computes before its write), and one cycle of
// the demo drive's loop model that answers it.
#include <benchmark/benchmark.h>

#include "comm/demo/DemoLoopModel.h"
#include "setup/tuning/FunctionGeneratorProfileGen.h"
#include "setup/tuning/TuningModeSet.h"

static void BM_StepTickDriveValue(benchmark::State& state)
{
    CTuningModeSet modes;
    modes.m_settings = TuningStepSettings{0.05, 0.05, 1, 0, 0};
    modes.Mode(1).m_base = 10;
    modes.Mode(1).m_target = 200;
    TuningContext context;
    context.velGain = 0.25;
    context.velTachGain = 0.25;
    context.driveModeFlags = kTuningVelocityMode;
    CFunctionGeneratorProfileGen generator(modes);
    generator.Start(context);
    int value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(generator.GetDriveValue(context, value));
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_StepTickDriveValue);

static void BM_DemoLoopModelCycle(benchmark::State& state)
{
    CDemoLoopModel loop;
    loop.Command(1000);
    int cycle = 0;
    for (auto _ : state) {
        if (++cycle % 50 == 0)
            loop.Command(cycle % 100 ? 0 : 1000);
        benchmark::DoNotOptimize(loop.Step());
    }
}
BENCHMARK(BM_DemoLoopModelCycle);

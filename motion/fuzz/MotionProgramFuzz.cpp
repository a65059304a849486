// libFuzzer target for motion programs: any text run as a program as the
// test run does (labels indexed, lines executed, moves planned), then the
// planned path sampled and every block described. The run is bounded (lines
// executed, samples taken) so that a program that is merely long is not taken
// for a hang. Checked: no crash, no hang, a failed line always says why, and
// samples are finite numbers.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "motion/MotionPlayback.h"
#include "testing/FuzzInputFile.h"

namespace {

constexpr int kMaxLines = 2000;
constexpr int kMaxSampleRounds = 200;  // 100 samples a round

void SamplePath(CMotionPlayback& player)
{
    for (int round = 0; round < kMaxSampleRounds; ++round) {
        if (!player.Planner.Sample(player.PositionSamples, &player.VelocitySamples, 0.01))
            break;
        for (POSITION pos = player.PositionSamples.GetHeadPosition(); pos;) {
            const CAxisVectorMap& sample = player.PositionSamples.GetNext(pos);
            if (!std::isfinite(sample.Time))
                std::abort();
        }
        player.PositionSamples.RemoveAll();
        player.VelocitySamples.RemoveAll();
    }
    for (POSITION pos = player.Planner.Blocks.GetHeadPosition(); pos;)
        (void)player.Planner.Blocks.GetNext(pos)->ToString(player.AxisNameByIndex);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    CMotionPlayback player;
    player.Rotation.AxisNames = &player.AxisIndexByName;
    player.Planner.Callback = &player;
    player.Planner.AxisNames = &player.AxisIndexByName;
    if (!player.File.Open(input.Put(data, size), CFile::modeRead | CFile::typeText))
        std::abort();
    player.IndexLabels();
    int result = 1;
    for (int line = 0; line < kMaxLines && result == 1; ++line)
        result = player.ExecuteNextLine();
    player.File.Abort();
    if (result < 0) {
        if (player.GetLastError().IsEmpty())
            std::abort();
        return 0;
    }
    SamplePath(player);
    return 0;
}

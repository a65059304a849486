#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "motion/MultiAxisMoveBlockSplineBlended.h"
#include "motion/TrajectoryPlanner.h"

namespace {

CAxisVectorMap Vec(std::initializer_list<std::pair<int, double>> values)
{
    CAxisVectorMap v;
    for (const auto& [axis, value] : values)
        v[axis] = value;
    return v;
}

class FixedAxes : public CTrajectoryPlannerCB {
public:
    CAxisVectorMap values;
    BOOL GetAxisValue(int axis, double* out) override
    {
        *out = values.Get(axis);
        return TRUE;
    }
};

struct Path {
    std::vector<CAxisVectorMap> positions;
    std::vector<CAxisVectorMap> velocities;
    int calls = 0;
    int largestCall = 0;
};

Path SampleAll(CTrajectoryPlanner& planner, double step)
{
    Path path;
    CAxisVectorList positions, velocities;
    while (planner.Sample(positions, &velocities, step)) {
        ++path.calls;
        path.largestCall = std::max(path.largestCall, positions.GetCount());
        for (POSITION pos = positions.GetHeadPosition(); pos;)
            path.positions.push_back(positions.GetNext(pos));
        for (POSITION pos = velocities.GetHeadPosition(); pos;)
            path.velocities.push_back(velocities.GetNext(pos));
        positions.RemoveAll();
        velocities.RemoveAll();
        if (path.calls > 1000000)
            break;
    }
    return path;
}

// A planner with X, Y, Z named, the player's preset limits and every axis at 0.
struct Rig {
    FixedAxes axes;
    CAxisIndexMap names;
    CAxisSettingsMap settings;
    CTrajectoryPlanner planner;
    Rig()
    {
        names[CString("X")] = 0;
        names[CString("Y")] = 1;
        names[CString("Z")] = 2;
        settings[0] = CTrajectoryAxisSettings::Preset(0);
        settings[1] = CTrajectoryAxisSettings::Preset(1);
        planner.Callback = &axes;
        planner.AxisNames = &names;
        planner.AxisSettings = &settings;
    }
};

// Largest change between neighbouring samples of any axis, per second.
double LargestRate(const std::vector<CAxisVectorMap>& samples, double step)
{
    double largest = 0.0;
    for (size_t i = 1; i < samples.size(); ++i) {
        int axis;
        double value;
        for (POSITION pos = samples[i].GetStartPosition(); pos;) {
            samples[i].GetNextAssoc(pos, axis, value);
            EXPECT_TRUE(std::isfinite(value));
            largest = std::max(largest, std::fabs(value - samples[i - 1].Get(axis)) / step);
        }
    }
    return largest;
}

}  // namespace

TEST(TrajectoryPlannerTest, FirstBlockStartsAtTheCurrentValuesAtRest)
{
    Rig rig;
    rig.axes.values = Vec({{0, 3.0}, {1, 4.0}});
    EXPECT_EQ(rig.planner.AddLinear(Vec({{0, 5.0}, {1, 4.0}}), -1), 0);
    const CMultiAxisMoveBlock* block = rig.planner.Blocks.GetHead();
    EXPECT_EQ(block->StartPos.Get(0), 3.0);
    EXPECT_EQ(block->ProgStart.Get(1), 4.0);
    EXPECT_EQ(block->StartVel.Length(), 0.0);
    EXPECT_EQ(block->FR, 1.0);  // the planner's feed rate
    EXPECT_EQ(block->Planned, 1);
    EXPECT_EQ(rig.planner.AddLinear(Vec({{0, 6.0}, {1, 4.0}}), 2.0), 1);

    CTrajectoryPlanner orphan;
    EXPECT_EQ(orphan.AddLinear(Vec({{0, 1.0}}), -1), -1);  // no callback: the start is unknown
    EXPECT_FALSE(orphan.GetLastError().IsEmpty());
}

TEST(TrajectoryPlannerTest, SamplerWalksBlockToBlockAndDeletesWhatItLeaves)
{
    FixedAxes axes;
    CTrajectoryPlanner planner;  // no limits
    planner.Callback = &axes;
    planner.FeedRate = 10.0;
    planner.AccelTime = 0.1;
    planner.AddLinear(Vec({{0, 5.0}}), -1);
    planner.AddLinear(Vec({{0, 10.0}}), -1);
    CMultiAxisMoveBlock* first = planner.Blocks.GetHead();
    const double firstEnds = first->GetDuration(FALSE);
    EXPECT_NEAR(firstEnds, 0.5, 1e-12);  // TC = 5/10 - 0.1, plus TA1

    CAxisVectorList positions;
    int samples = 0;
    while (planner.Blocks.GetCount() == 2) {
        ASSERT_TRUE(planner.Sample(positions, nullptr, 0.01));
        EXPECT_LE(positions.GetCount(), 100);
        samples += positions.GetCount();
        positions.RemoveAll();
    }
    EXPECT_GT(samples, 50);
    EXPECT_NEAR(planner.SampleBlock->StartTime, firstEnds, 1e-12);
    while (planner.Sample(positions, nullptr, 0.01)) {
    }
    EXPECT_TRUE(planner.Blocks.IsEmpty());
    EXPECT_FALSE(planner.Sample(positions, nullptr, 0.01));
}

TEST(TrajectoryPlannerTest, PathIsContinuousWithinTheAccelerationLimit)
{
    struct Case {
        const char* name;
        double feed;
        double accelTime;
        std::vector<CAxisVectorMap> targets;
    };
    const std::vector<Case> cases = {
        {"square corners", 20.0, 0.01,
         {Vec({{0, 10.0}, {1, 0.0}}), Vec({{0, 10.0}, {1, 10.0}}), Vec({{0, 0.0}, {1, 10.0}}),
          Vec({{0, 0.0}, {1, 0.0}})}},
        {"reversal", 50.0, 0.05, {Vec({{0, 10.0}}), Vec({{0, -10.0}}), Vec({{0, 3.0}})}},
        {"short moves slow down", 100.0, 0.2, {Vec({{0, 0.5}}), Vec({{0, 1.0}}), Vec({{0, 0.2}})}},
        {"the same point twice", 10.0, 0.05, {Vec({{0, 2.0}}), Vec({{0, 2.0}}), Vec({{0, 4.0}})}},
        {"zigzag of many moves", 30.0, 0.02, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.planner.FeedRate = c.feed;
        rig.planner.AccelTime = c.accelTime;
        std::vector<CAxisVectorMap> targets = c.targets;
        if (targets.empty()) {
            for (int i = 1; i <= 40; ++i)
                targets.push_back(Vec({{0, i * 1.0}, {1, (i % 2) * 2.0}}));
        }
        for (const CAxisVectorMap& target : targets)
            ASSERT_GE(rig.planner.AddLinear(target, -1), 0) << rig.planner.GetLastError().GetString();
        ASSERT_GE(rig.planner.AddDwell(0.05), 0);

        const double step = 0.0005;
        const Path path = SampleAll(rig.planner, step);
        ASSERT_FALSE(path.positions.empty());
        // Position and velocity move without jumps: the speed never exceeds
        // the feed, and the velocity never changes faster than the limit of 500.
        EXPECT_LE(LargestRate(path.positions, step), c.feed * std::sqrt(2.0) * 1.01);
        EXPECT_LE(LargestRate(path.velocities, step), 500.0 * 1.001);
        // It stops exactly on the last target and holds there.
        const CAxisVectorMap& last = path.positions.back();
        EXPECT_NEAR(last.Get(0), targets.back().Get(0), 1e-9);
        EXPECT_NEAR(last.Get(1), targets.back().Get(1), 1e-9);
        EXPECT_NEAR(path.velocities.back().Length(), 0.0, 1e-9);
    }
}

TEST(TrajectoryPlannerTest, DwellAfterAMovingBlockStopsItFirst)
{
    Rig rig;
    rig.planner.FeedRate = 10.0;
    rig.planner.AccelTime = 0.1;
    rig.planner.AddLinear(Vec({{0, 5.0}}), -1);
    EXPECT_EQ(rig.planner.AddDwell(1.0), 2);
    ASSERT_EQ(rig.planner.Blocks.GetCount(), 3);
    CMultiAxisMoveBlock* stop = rig.planner.Blocks.GetAt(rig.planner.Blocks.FindIndex(1));
    CMultiAxisMoveBlock* dwell = rig.planner.Blocks.GetTail();
    EXPECT_EQ(stop->FR, 0.0);
    EXPECT_FALSE(stop->IsDwell);
    EXPECT_TRUE(dwell->IsDwell);
    EXPECT_EQ(dwell->Target.Get(0), 5.0);
    CAxisVectorMap stopsAt = stop->Target;
    ASSERT_TRUE(stop->GetEndPosition(stopsAt));
    EXPECT_NEAR(stopsAt.Get(0), 5.0, 1e-12);
    // A second dwell follows the first without another stop.
    EXPECT_EQ(rig.planner.AddDwell(0.0), 3);
    EXPECT_EQ(rig.planner.Blocks.GetCount(), 4);
}

TEST(TrajectoryPlannerTest, AxesNotNamedHoldTheirPosition)
{
    Rig rig;
    rig.planner.FeedRate = 10.0;
    rig.planner.AddLinear(Vec({{0, 2.0}, {1, 3.0}}), -1);
    rig.planner.AddLinear(Vec({{1, 5.0}}), -1);
    EXPECT_EQ(rig.planner.Blocks.GetTail()->Target.Get(0, -1.0), 2.0);
    rig.planner.AddDwell(0.05);
    const Path path = SampleAll(rig.planner, 0.001);
    for (const CAxisVectorMap& p : path.positions)
        EXPECT_LE(p.Get(0), 2.0 + 1e-9);
    EXPECT_NEAR(path.positions.back().Get(0), 2.0, 1e-9);
    EXPECT_NEAR(path.positions.back().Get(1), 5.0, 1e-9);
}

TEST(TrajectoryPlannerTest, SplineThroughEvenPointsKeepsAnEvenSpeed)
{
    Rig rig;
    rig.planner.AccelTime = 0.1;
    ASSERT_GE(rig.planner.AddDwell(0.0), 0);
    for (int i = 1; i <= 8; ++i)
        ASSERT_GE(rig.planner.AddSpline(Vec({{0, i * 1.0}})), 0);
    // Knot velocity = mean of the slopes to the next and from the previous knot.
    const auto* third = static_cast<CMultiAxisMoveBlockSplineBlended*>(rig.planner.Blocks.GetAt(rig.planner.Blocks.FindIndex(3)));
    EXPECT_NEAR(third->KnotPos.Get(0), 3.0, 1e-12);
    EXPECT_NEAR(third->KnotVel.Get(0), 10.0, 1e-12);
    ASSERT_GE(rig.planner.AddDwell(0.0), 0);

    const double step = 0.001;
    const Path path = SampleAll(rig.planner, step);
    for (size_t i = 0; i < path.positions.size(); ++i) {
        const double t = path.positions[i].Time;
        if (t > 0.15 && t < 0.65) {
            EXPECT_NEAR(path.velocities[i].Get(0), 10.0, 1e-9) << "at " << t;
        }
    }
    EXPECT_LE(LargestRate(path.positions, step), 10.0 * 1.5);  // no jumps; the end segments start and stop at rest
    EXPECT_NEAR(path.positions.back().Get(0), 8.0, 1e-9);
}

TEST(TrajectoryPlannerTest, LoneSplineIsNeverPlannedButSamplingGoesOn)
{
    Rig rig;
    rig.planner.AccelTime = 2.0;  // longer than one sampler call
    rig.planner.AddDwell(0.0);
    ASSERT_GE(rig.planner.AddSpline(Vec({{0, 1.0}})), 0);
    EXPECT_TRUE(rig.planner.Blocks.GetTail()->AxisData.IsEmpty());
    rig.planner.AddDwell(0.5);
    const Path path = SampleAll(rig.planner, 0.01);
    ASSERT_FALSE(path.positions.empty());
    for (const CAxisVectorMap& p : path.positions)
        EXPECT_TRUE(p.Time < 0.005 || p.Time > 1.995) << p.Time;
    EXPECT_EQ(path.positions.back().Get(0), 1.0);
}

TEST(TrajectoryPlannerTest, PVTMovesChainTheirEndVelocities)
{
    Rig rig;
    rig.planner.AccelTime = 0.5;
    rig.planner.AddDwell(0.0);
    ASSERT_GE(rig.planner.AddPVT(Vec({{0, 1.0}}), Vec({{0, 2.0}})), 0);
    ASSERT_GE(rig.planner.AddPVT(Vec({{0, 2.0}}), Vec({{0, 0.0}})), 0);
    EXPECT_EQ(rig.planner.Blocks.GetTail()->StartVel.Get(0), 2.0);
    const Path path = SampleAll(rig.planner, 0.001);
    EXPECT_NEAR(path.positions.back().Get(0), 2.0, 1e-9);
    EXPECT_LE(LargestRate(path.velocities, 0.001), 50.0);
}

TEST(TrajectoryPlannerTest, CircleBlendsFromALineAndEndsOnItsPoint)
{
    Rig rig;
    rig.planner.FeedRate = 10.0;
    rig.planner.AccelTime = 0.05;
    CMotionWordMap words;
    words[CString("R")] = 5.0;
    ASSERT_GE(rig.planner.AddLinear(Vec({{0, 0.0}, {1, -5.0}}), -1), 0);
    ASSERT_GE(rig.planner.AddLinear(Vec({{0, 0.0}, {1, 0.0}}), -1), 0);
    ASSERT_GE(rig.planner.AddCircular(Vec({{0, 10.0}, {1, 0.0}}), words, TRUE, -1), 0)
        << rig.planner.GetLastError().GetString();
    ASSERT_GE(rig.planner.AddCircular(Vec({{0, 20.0}, {1, 0.0}}), words, FALSE, -1), 0);
    ASSERT_GE(rig.planner.AddDwell(0.05), 0);
    const Path path = SampleAll(rig.planner, 0.001);
    EXPECT_LE(LargestRate(path.positions, 0.001), 10.0 * 1.05);
    EXPECT_NEAR(path.positions.back().Get(0), 20.0, 1e-9);
    EXPECT_NEAR(path.positions.back().Get(1), 0.0, 1e-9);

    CMotionWordMap bad;
    bad[CString("R")] = 1.0;
    EXPECT_EQ(rig.planner.AddCircular(Vec({{0, 30.0}, {1, 0.0}}), bad, TRUE, -1), -1);
    EXPECT_NE(rig.planner.GetLastError().Find("radius"), -1);
}

#include <gtest/gtest.h>

#include <cmath>

#include "motion/BlendCubic.h"
#include "motion/MultiAxisMoveBlockCircular.h"
#include "motion/MultiAxisMoveBlockLinearBlended.h"
#include "motion/MultiAxisMoveBlockPVT.h"
#include "motion/MultiAxisMoveBlockRapid.h"
#include "motion/TrajectoryAxisMoveData.h"
#include "motion/TrajectoryPlanner.h"

namespace {

constexpr double kPi = 3.14159265358979;

CAxisVectorMap Vec(std::initializer_list<std::pair<int, double>> values)
{
    CAxisVectorMap v;
    for (const auto& [axis, value] : values)
        v[axis] = value;
    return v;
}

// A planner that knows the axis names X = 0, Y = 1, Z = 2 and, when given, limits.
struct NamedPlanner {
    CAxisIndexMap names;
    CAxisSettingsMap settings;
    CTrajectoryPlanner planner;
    explicit NamedPlanner(bool withLimits = false)
    {
        names[CString("X")] = 0;
        names[CString("Y")] = 1;
        names[CString("Z")] = 2;
        planner.AxisNames = &names;
        if (withLimits) {
            settings[0] = CTrajectoryAxisSettings::Preset(0);
            settings[1] = CTrajectoryAxisSettings::Preset(1);
            planner.AxisSettings = &settings;
        }
    }
};

}  // namespace

TEST(AxisVectorMapTest, ArithmeticKeepsTheSecondOperandsAxes)
{
    const CAxisVectorMap a = Vec({{0, 1.0}, {1, 2.0}});
    const CAxisVectorMap b = Vec({{1, 5.0}, {2, 3.0}});
    const CAxisVectorMap sum = CAxisVectorMap::Add(a, b);
    EXPECT_EQ(sum.GetCount(), 2);
    EXPECT_DOUBLE_EQ(sum.Get(1), 7.0);
    EXPECT_DOUBLE_EQ(sum.Get(2), 3.0);
    const CAxisVectorMap diff = CAxisVectorMap::Subtract(a, b);
    EXPECT_DOUBLE_EQ(diff.Get(1), -3.0);
    EXPECT_DOUBLE_EQ(diff.Get(2), -3.0);
    EXPECT_DOUBLE_EQ(Vec({{0, 3.0}, {1, 4.0}}).Length(), 5.0);
    EXPECT_DOUBLE_EQ(a.Scaled(2.0).Get(1), 4.0);
    EXPECT_DOUBLE_EQ(a.Divided(4.0).Get(1), 0.5);
    CAxisVectorMap zero = a;
    zero.Time = 1.5;
    zero.SetAllZero();
    EXPECT_EQ(zero.GetCount(), 2);
    EXPECT_EQ(zero.Length(), 0.0);
    CAxisVectorMap copy;
    copy[7] = 1.0;
    copy = zero;
    EXPECT_FALSE(copy.Has(7));
    EXPECT_DOUBLE_EQ(copy.Time, 1.5);
}

TEST(BlendCubicTest, MeetsBothEndsAndKeepsCoefficientsOnZeroTime)
{
    CBlendCubic c;
    ASSERT_TRUE(c.Set(1.0, 2.0, 5.0, -1.0, 0.5));
    EXPECT_NEAR(c.Position(0.0), 1.0, 1e-12);
    EXPECT_NEAR(c.Velocity(0.0), 2.0, 1e-12);
    EXPECT_NEAR(c.Position(0.5), 5.0, 1e-12);
    EXPECT_NEAR(c.Velocity(0.5), -1.0, 1e-12);
    // The formulas: h = P1 - P0 - V0 T, C3 = dv/T^2 - 2h/T^3, C2 = 3h/T^2 - dv/T.
    EXPECT_NEAR(c.C3, -3.0 / 0.25 - 2.0 * 3.0 / 0.125, 1e-12);
    EXPECT_NEAR(c.C2, 3.0 * 3.0 / 0.25 + 3.0 / 0.5, 1e-12);
    const double c3 = c.C3, c2 = c.C2;
    EXPECT_FALSE(c.Set(0.0, 0.0, 1.0, 0.0, 0.0));
    EXPECT_EQ(c.C3, c3);
    EXPECT_EQ(c.C2, c2);
}

TEST(BlendCubicTest, BlendTimeForAccel)
{
    CBlendCubic gentle;
    gentle.Set(0.0, 0.0, 0.5, 10.0, 0.1);  // constant acceleration of 100
    EXPECT_DOUBLE_EQ(gentle.BlendTimeForAccel(500.0), 0.1);

    CBlendCubic steep;
    steep.Set(0.0, 0.0, 0.05, 10.0, 0.01);  // 1000, above a limit of 500
    const double t = steep.BlendTimeForAccel(500.0);
    EXPECT_GT(t, 0.01);
    CBlendCubic longer;
    longer.Set(0.0, 0.0, 0.05, 10.0, t);
    EXPECT_LE(std::fabs(longer.StartAccel()), 500.0 + 1e-9);
    EXPECT_LE(std::fabs(longer.EndAccel()), 500.0 + 1e-9);
}

TEST(TrajectoryAxisMoveDataTest, TrapezoidCasesFromLimits)
{
    struct Case {
        const char* name;
        double d, vmax, a, vi;
        double expectVmax, expectTC;
    };
    const Case cases[] = {
        {"long move cruises", 100.0, 10.0, 50.0, 0.0, 10.0, 100.0 / 10.0 - 10.0 / 50.0},
        {"short move becomes a triangle", 1.0, 10.0, 50.0, 0.0, std::sqrt(2.0 * 50.0 / 2.0), 0.0},
        {"backwards", -100.0, -10.0, -50.0, 0.0, -10.0, 100.0 / 10.0 - 10.0 / 50.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTrajectoryAxisMoveData data;
        data.P0 = data.PI = 0.0;
        data.PT = c.d;
        data.Vmax = c.vmax;
        data.A = c.a;
        data.VI = c.vi;
        data.SetupAxisProfile(CTrajectoryAxisMoveData::kindTrapezoid);
        EXPECT_NEAR(data.Vmax, c.expectVmax, 1e-9);
        EXPECT_NEAR(data.TC, c.expectTC, 1e-9);
        EXPECT_NEAR(data.TA1, std::fabs(data.Vmax / c.a), 1e-12);
        // The whole profile ends at the target at rest.
        const double end = data.TA1 + data.TC + data.TA2;
        EXPECT_NEAR(data.Position(end - 1e-9), c.d, 1e-6);
        EXPECT_NEAR(data.Position(end + 1.0), c.d, 1e-12);
        EXPECT_EQ(data.Velocity(end + 1.0), 0.0);
    }
}

TEST(TrajectoryAxisMoveDataTest, ZeroLengthTrapezoidHoldsWithoutNaN)
{
    CTrajectoryAxisMoveData data;
    data.P0 = data.PI = data.PT = 3.0;
    data.Vmax = 10.0;
    data.A = 50.0;
    data.SetupAxisProfile(CTrajectoryAxisMoveData::kindTrapezoid);
    EXPECT_EQ(data.TSeg, 0.0);
    for (double t : {0.0, 0.1, 1.0}) {
        EXPECT_EQ(data.Position(t), 3.0);
        EXPECT_EQ(data.Velocity(t), 0.0);
    }
}

TEST(TrajectoryAxisMoveDataTest, TextForm)
{
    CTrajectoryAxisMoveData data;
    data.PT = 1.0;
    data.Vmax = 2.5;
    EXPECT_STREQ(data.ToString(), "PT=1.000,PI=0.000,P0=0.000,PC=0.000,Vmax=2.500,VI=0.000,A=0.000,PA=0.000,"
                                  "TSeg=0.000,TC=0.000,TA1=0.000,TA2=0.000.LMT=0.000");
}

TEST(LinearBlockTest, FeedRateAndBlendTimes)
{
    struct Case {
        const char* name;
        double length;
        double expectFR, expectTC;
    };
    // FR = 10, TA1 = TA2 = 0.1, no limits: TC = L/10 - 0.1, or FR lowered to L/0.1 and TC = 0.
    const Case cases[] = {
        {"cruises", 5.0, 10.0, 0.4},
        {"just reaches the feed rate", 1.0, 10.0, 0.0},
        {"too short for the feed rate", 0.5, 5.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMultiAxisMoveBlockLinearBlended block;
        const CAxisVectorMap start = Vec({{0, 0.0}, {1, 0.0}});
        const CAxisVectorMap target = Vec({{0, c.length * 0.6}, {1, c.length * 0.8}});
        ASSERT_TRUE(block.Setup(0, start, start, Vec({{0, 0.0}, {1, 0.0}}), target, 10.0, 0.1, -1));
        EXPECT_NEAR(block.FR, c.expectFR, 1e-9);
        EXPECT_NEAR(block.TC, c.expectTC, 1e-9);
        EXPECT_NEAR(block.GetDuration(FALSE), c.expectTC + 0.1, 1e-9);
        EXPECT_NEAR(block.GetDuration(TRUE), c.expectTC + 0.2, 1e-9);
        CAxisVectorMap end = target;
        ASSERT_TRUE(block.GetEndPosition(end));
        CAxisVectorMap velocity = target;
        ASSERT_TRUE(block.GetEndVelocity(velocity));
        // Where the deceleration starts: half the blend time short of the target, at speed.
        EXPECT_NEAR(end.Get(0), c.length * 0.6 - 0.6 * c.expectFR * 0.05, 1e-9);
        EXPECT_NEAR(velocity.Get(1), 0.8 * c.expectFR, 1e-9);
        CAxisVectorMap last;
        block.GetPosition(block.GetDuration(TRUE), last);
        EXPECT_NEAR(last.Get(0), c.length * 0.6, 1e-9);
        EXPECT_NEAR(last.Get(1), c.length * 0.8, 1e-9);
    }
}

TEST(LinearBlockTest, ZeroLengthMoveIsAStopWithoutNaN)
{
    CMultiAxisMoveBlockLinearBlended block;
    const CAxisVectorMap here = Vec({{0, 2.0}, {1, -1.0}});
    ASSERT_TRUE(block.Setup(0, here, here, Vec({{0, 0.0}, {1, 0.0}}), here, 10.0, 0.1, -1));
    EXPECT_EQ(block.FR, 0.0);
    for (double t = 0.0; t <= block.GetDuration(TRUE) + 0.05; t += 0.01) {
        CAxisVectorMap p, v;
        block.GetPosition(t, p);
        block.GetVelocity(t, v);
        EXPECT_DOUBLE_EQ(p.Get(0), 2.0);
        EXPECT_DOUBLE_EQ(p.Get(1), -1.0);
        EXPECT_EQ(v.Length(), 0.0);
    }
}

TEST(LinearBlockTest, LimitsCapTheFeedAndLengthenTheBlend)
{
    NamedPlanner named(true);
    CMultiAxisMoveBlockLinearBlended block;
    block.Planner = &named.planner;
    const CAxisVectorMap start = Vec({{0, 0.0}});
    // 6000 along X is above the velocity limit of 5000; 6000 / 0.01 is far above 500.
    ASSERT_TRUE(block.Setup(0, start, start, Vec({{0, 0.0}}), Vec({{0, 1.0e6}}), 6000.0, 0.01, -1));
    EXPECT_DOUBLE_EQ(block.FR, 5000.0);
    EXPECT_GT(block.TA1, 0.01);
    CTrajectoryAxisMoveData data;
    ASSERT_TRUE(block.AxisData.Lookup(0, data));
    EXPECT_LE(std::fabs(data.Accel.StartAccel()), 500.0 * (1 + 1e-9));
}

TEST(LinearBlockTest, DwellHoldsItsTargetUntilItsEnd)
{
    CMultiAxisMoveBlockLinearBlended dwell;
    const CAxisVectorMap at = Vec({{0, 4.0}});
    ASSERT_TRUE(dwell.SetDwell(0.5, &at));
    EXPECT_EQ(dwell.GetDuration(TRUE), 0.5);
    CAxisVectorMap p, v;
    ASSERT_TRUE(dwell.GetPosition(0.5, p));
    ASSERT_TRUE(dwell.GetVelocity(0.2, v));
    EXPECT_EQ(p.Get(0), 4.0);
    EXPECT_EQ(v.Get(0, 1.0), 0.0);
    EXPECT_FALSE(dwell.GetPosition(0.6, p));
    EXPECT_STREQ(dwell.ToString(CAxisNameMap()), "Dwell(0.50)\n");
    CMultiAxisMoveBlockLinearBlended orphan;
    EXPECT_FALSE(orphan.SetDwell(1.0, nullptr));  // no planner, no callback for the current values
}

TEST(LinearBlockTest, TextNamesAxesAndFallsBackToIndex)
{
    CMultiAxisMoveBlockLinearBlended block;
    const CAxisVectorMap start = Vec({{0, 0.0}, {5, 0.0}});
    ASSERT_TRUE(block.Setup(0, start, start, Vec({}), Vec({{0, 1.5}, {5, 0.0}}), 10.0, 0.1, -1));
    CAxisNameMap names;
    names[0] = "X";
    const CString text = block.ToString(names);
    EXPECT_EQ(text.Left(text.Find('\n') + 1),
              CString("FR=10.00, TC=0.05, TA1=0.10, TA2=0.10, P0=[X0.00,A50.00], PI=[X0.00,A50.00], "
                      "PT=[X1.50,A50.00]\n"));
    EXPECT_NE(text.Find("\nA5\t:PT=0.000,"), -1);
    EXPECT_EQ(text.Find("X\t:PT=1.500,PI=0.000,P0=0.000,PC=1.000,Vmax=10.000,"), text.Find('\n') + 1);
}

TEST(RapidBlockTest, EachAxisRunsItsOwnTrapezoid)
{
    NamedPlanner named(true);
    CMultiAxisMoveBlockRapid block;
    block.Planner = &named.planner;
    const CAxisVectorMap start = Vec({{0, 0.0}, {1, 0.0}, {2, 0.0}});
    ASSERT_TRUE(block.Setup(0, start, start, Vec({}), Vec({{0, 20000.0}, {1, -1.0}, {2, 0.0}}), 0.0, 0.0, -1));
    CTrajectoryAxisMoveData x, y, z;
    ASSERT_TRUE(block.AxisData.Lookup(0, x));
    ASSERT_TRUE(block.AxisData.Lookup(1, y));
    ASSERT_TRUE(block.AxisData.Lookup(2, z));
    // X: 2000 and 500 (the smaller limits of its row): reaches 2000 after 4 s,
    // cruises and starts to decelerate after 4 + 20000 / 2000 s.
    EXPECT_DOUBLE_EQ(x.Vmax, 2000.0);
    EXPECT_DOUBLE_EQ(x.TA1, 4.0);
    EXPECT_DOUBLE_EQ(x.TSeg, 14.0);
    // Y: too short for 500 at 600: a triangle, backwards.
    EXPECT_NEAR(y.Vmax, -std::sqrt(600.0), 1e-9);
    EXPECT_EQ(y.TC, 0.0);
    // Z does not move and produces no NaN.
    EXPECT_EQ(z.TSeg, 0.0);
    EXPECT_DOUBLE_EQ(block.GetDuration(FALSE), 14.0);
    CAxisVectorMap end;
    block.GetPosition(x.TA1 + x.TC + x.TA2, end);
    EXPECT_NEAR(end.Get(0), 20000.0, 1e-9);
    EXPECT_NEAR(end.Get(1), -1.0, 1e-9);
    EXPECT_EQ(end.Get(2), 0.0);
    EXPECT_STREQ(block.ToString(CAxisNameMap()), "RAPID");
}

TEST(PVTBlockTest, OneCubicPerAxis)
{
    CMultiAxisMoveBlockPVT block;
    block.TA1 = 0.5;
    ASSERT_TRUE(block.SetupCubic(0, Vec({{0, 1.0}}), Vec({{0, 0.0}}), Vec({{0, 3.0}}), Vec({{0, 2.0}}), 0.5));
    CAxisVectorMap p, v;
    block.GetPosition(0.5, p);
    block.GetVelocity(0.5, v);
    EXPECT_NEAR(p.Get(0), 3.0, 1e-12);
    EXPECT_NEAR(v.Get(0), 2.0, 1e-12);
    EXPECT_EQ(block.GetDuration(TRUE), 0.5);
}

namespace {

struct CircleRun {
    NamedPlanner named;
    CMultiAxisMoveBlockCircular block;
    BOOL ok = FALSE;
    CircleRun(CAxisVectorMap from, CAxisVectorMap to, CMotionWordMap words, bool clockwise, int plane = 0,
              double feed = 10.0)
    {
        named.planner.Plane = plane;
        block.Planner = &named.planner;
        block.Clockwise = clockwise;
        CAxisVectorMap rest = from;
        rest.SetAllZero();
        ok = block.ParseWords(words) && block.Setup(0, from, from, rest, to, feed, 0.1, -1);
    }
    CAxisVectorMap At(double t)
    {
        CAxisVectorMap p;
        block.GetPosition(t, p);
        return p;
    }
};

CMotionWordMap Words(std::initializer_list<std::pair<const char*, double>> values)
{
    CMotionWordMap words;
    for (const auto& [name, value] : values)
        words[CString(name)] = value;
    return words;
}

}  // namespace

TEST(CircularBlockTest, CentreFromRadius)
{
    const CAxisVectorMap from = Vec({{0, 0.0}, {1, 0.0}});
    const CAxisVectorMap to = Vec({{0, 10.0}, {1, 0.0}});
    CircleRun small(from, to, Words({{"R", 5.0}}), false);
    ASSERT_TRUE(small.ok);
    EXPECT_NEAR(small.block.CentreU, 5.0, 1e-12);
    EXPECT_NEAR(small.block.CentreV, 0.0, 1e-12);
    EXPECT_NEAR(small.block.ArcAngle(), kPi, 1e-9);
    EXPECT_FALSE(small.block.LargeArc);
    CircleRun large(from, to, Words({{"R", -5.0}}), false);
    ASSERT_TRUE(large.ok);
    EXPECT_NEAR(large.block.CentreU, 5.0, 1e-12);
    EXPECT_TRUE(large.block.LargeArc);
    EXPECT_EQ(large.block.Radius, 5.0);

    // A quarter circle from (0,0) to (5,5) with R 5: small arc about (5,0) or (0,5).
    const CAxisVectorMap corner = Vec({{0, 5.0}, {1, 5.0}});
    CircleRun quarter(from, corner, Words({{"R", 5.0}}), false);
    ASSERT_TRUE(quarter.ok);
    EXPECT_NEAR(quarter.block.ArcAngle(), kPi / 2, 1e-9);
    CircleRun threeQuarters(from, corner, Words({{"R", -5.0}}), false);
    ASSERT_TRUE(threeQuarters.ok);
    EXPECT_NEAR(threeQuarters.block.ArcAngle(), 3 * kPi / 2, 1e-9);
}

TEST(CircularBlockTest, EndsAtItsEndPointAfterAccelerating)
{
    struct Case {
        const char* name;
        CMotionWordMap words;
        bool clockwise;
        double endX, endY;
    };
    const Case cases[] = {
        {"half turn by radius", Words({{"R", 5.0}}), false, 10.0, 0.0},
        {"quarter turn clockwise by centre", Words({{"I", 0.0}, {"J", -5.0}}), true, -5.0, -5.0},
        {"full turn by centre", Words({{"I", 5.0}, {"J", 0.0}}), false, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CircleRun run(Vec({{0, 0.0}, {1, 0.0}}), Vec({{0, c.endX}, {1, c.endY}}), c.words, c.clockwise);
        ASSERT_TRUE(run.ok) << run.block.GetLastError().GetString();
        const double duration = run.block.GetDuration(FALSE);
        const CAxisVectorMap end = run.At(duration);
        EXPECT_NEAR(end.Get(0), c.endX, 1e-9);
        EXPECT_NEAR(end.Get(1), c.endY, 1e-9);
        // Every sample lies on the circle, and the speed reaches the feed rate.
        double top = 0.0;
        for (double t = 0.0; t <= duration; t += 0.001) {
            const CAxisVectorMap p = run.At(t);
            EXPECT_NEAR(std::hypot(p.Get(0) - run.block.CentreU, p.Get(1) - run.block.CentreV),
                        run.block.Radius, 1e-9);
            CAxisVectorMap v;
            run.block.GetVelocity(t, v);
            top = std::max(top, v.Length());
        }
        EXPECT_NEAR(top, 10.0, 1e-9);
    }
    CircleRun full(Vec({{0, 0.0}, {1, 0.0}}), Vec({{0, 0.0}, {1, 0.0}}), Words({{"I", 5.0}, {"J", 0.0}}), false);
    EXPECT_NEAR(full.block.ArcAngle(), 2 * kPi, 1e-9);
    EXPECT_NEAR(full.At(full.block.GetDuration(FALSE) / 2).Get(0), 10.0, 0.2);
}

TEST(CircularBlockTest, ThirdAxisRunsAlongAndOtherPlanes)
{
    CircleRun helix(Vec({{0, 0.0}, {1, 0.0}, {2, 0.0}}), Vec({{0, 10.0}, {1, 0.0}, {2, 3.0}}), Words({{"R", 5.0}}),
                    false);
    ASSERT_TRUE(helix.ok);
    EXPECT_EQ(helix.block.AxisW, 2);
    EXPECT_NEAR(helix.At(helix.block.GetDuration(FALSE)).Get(2), 3.0, 1e-9);

    // Plane 1 (X-Z) with I and K; plane 2 (Y-Z) with J and K.
    CircleRun xz(Vec({{0, 0.0}, {2, 0.0}}), Vec({{0, 10.0}, {2, 0.0}}), Words({{"I", 5.0}, {"K", 0.0}}), false, 1);
    ASSERT_TRUE(xz.ok) << xz.block.GetLastError().GetString();
    EXPECT_EQ(xz.block.AxisU, 0);
    EXPECT_EQ(xz.block.AxisV, 2);
    CircleRun yz(Vec({{1, 0.0}, {2, 0.0}}), Vec({{1, 10.0}, {2, 0.0}}), Words({{"J", 5.0}, {"K", 0.0}}), false, 2);
    ASSERT_TRUE(yz.ok) << yz.block.GetLastError().GetString();
    EXPECT_NEAR(yz.At(yz.block.GetDuration(FALSE)).Get(1), 10.0, 1e-9);
}

TEST(CircularBlockTest, GeometryThatDoesNotFitFails)
{
    struct Case {
        const char* name;
        CAxisVectorMap to;
        CMotionWordMap words;
        int plane;
        double feed;
    };
    const Case cases[] = {
        {"centre nearer the end than the start", Vec({{0, 10.0}, {1, 1.0}}), Words({{"I", 5.0}, {"J", 0.0}}), 0, 10},
        {"radius shorter than half the chord", Vec({{0, 10.0}, {1, 0.0}}), Words({{"R", 4.9}}), 0, 10},
        {"radius with the end at the start", Vec({{0, 0.0}, {1, 0.0}}), Words({{"R", 5.0}}), 0, 10},
        {"radius and centre together", Vec({{0, 10.0}, {1, 0.0}}), Words({{"R", 5.0}, {"I", 5.0}}), 0, 10},
        {"centre words of another plane", Vec({{0, 10.0}, {1, 0.0}}), Words({{"I", 5.0}, {"K", 0.0}}), 0, 10},
        {"only one centre word", Vec({{0, 10.0}, {1, 0.0}}), Words({{"I", 5.0}}), 0, 10},
        {"zero radius", Vec({{0, 0.0}, {1, 0.0}}), Words({{"I", 0.0}, {"J", 0.0}}), 0, 10},
        {"no feed", Vec({{0, 10.0}, {1, 0.0}}), Words({{"R", 5.0}}), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CircleRun run(Vec({{0, 0.0}, {1, 0.0}}), c.to, c.words, false, c.plane, c.feed);
        EXPECT_FALSE(run.ok);
        EXPECT_FALSE(run.block.GetLastError().IsEmpty());
    }
}

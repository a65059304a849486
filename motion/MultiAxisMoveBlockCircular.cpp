#include "MultiAxisMoveBlockCircular.h"

#include <algorithm>
#include <cmath>

#include "TrajectoryPlanner.h"

namespace {

constexpr double kPi = 3.14159265359;
constexpr double kTwoPi = 6.28318530718;

bool HasWord(const CMotionWordMap& words, const char* name, double* value = nullptr)
{
    double ignored;
    return words.Lookup(CString(name), value ? *value : ignored);
}

}  // namespace

BOOL CMultiAxisMoveBlockCircular::Fail(const char* why)
{
    m_error = why;
    return FALSE;
}

BOOL CMultiAxisMoveBlockCircular::ParseWords(const CMotionWordMap& words)
{
    const int plane = Planner ? Planner->Plane : 0;
    static const char* const kPlaneAxes[3][3] = {{"X", "Y", "Z"}, {"X", "Z", "Y"}, {"Y", "Z", "X"}};
    static const char* const kCentreWords[3][2] = {{"I", "J"}, {"I", "K"}, {"J", "K"}};
    if (plane < 0 || plane > 2)
        return Fail("the circle plane must be 0, 1 or 2");
    double r = 0.0;
    if (HasWord(words, "R", &r)) {
        if (HasWord(words, "I") || HasWord(words, "J") || HasWord(words, "K"))
            return Fail("a circle takes R or a centre, not both");
        Radius = r;
        RadiusGiven = 1;
    } else {
        const char* u = kCentreWords[plane][0];
        const char* v = kCentreWords[plane][1];
        if (!HasWord(words, u, &CentreU) || !HasWord(words, v, &CentreV) || words.GetCount() != 2)
            return Fail(plane == 0 ? "the circle needs R, or its centre as I and J"
                                   : (plane == 1 ? "the circle needs R, or its centre as I and K"
                                                 : "the circle needs R, or its centre as J and K"));
    }
    const CMap<CString, const CString&, int, int>* names = Planner ? Planner->AxisNames : nullptr;
    if (!names || !names->Lookup(CString(kPlaneAxes[plane][0]), AxisU) ||
        !names->Lookup(CString(kPlaneAxes[plane][1]), AxisV))
        return Fail("the circle's plane axes are not program axes");
    if (!names->Lookup(CString(kPlaneAxes[plane][2]), AxisW))
        AxisW = -1;
    return TRUE;
}

double CMultiAxisMoveBlockCircular::ArcAngle() const
{
    double arc = Clockwise ? StartAngle - EndAngle : EndAngle - StartAngle;
    if (arc < 0.0)
        arc += kTwoPi;
    return arc;
}

BOOL CMultiAxisMoveBlockCircular::PlaceCentreFromRadius(double su, double sv, double eu, double ev)
{
    const double r = Radius;
    if (su == eu && sv == ev)
        return Fail("a circle by radius needs an end point other than its start");
    const double d = std::hypot(eu - su, ev - sv);
    const double mu = (su + eu) / 2.0;
    const double mv = (sv + ev) / 2.0;
    const double square = r * r - d * d / 4.0;
    // A half circle whose end point carries rounding noise still fits.
    if (square < -1e-9 * r * r)
        return Fail("the circle's radius is shorter than half the distance to its end point");
    const double h = std::sqrt(std::max(square, 0.0));
    CentreU = mu + (h / d) * (sv - ev);
    CentreV = mv + (h / d) * (eu - su);
    StartAngle = std::atan2(sv - CentreV, su - CentreU);
    EndAngle = std::atan2(ev - CentreV, eu - CentreU);
    if ((r < 0.0) != (ArcAngle() >= kPi)) {
        CentreU = mu - (h / d) * (sv - ev);
        CentreV = mv - (h / d) * (eu - su);
    }
    LargeArc = r < 0.0;
    Radius = std::fabs(r);
    return TRUE;
}

BOOL CMultiAxisMoveBlockCircular::Plan(double ta2)
{
    TA2 = ta2;
    if (AxisU < 0 || AxisV < 0)
        return Fail("the circle has no plane axes");
    if (!ProgStart.Has(AxisU) || !ProgStart.Has(AxisV) || !Target.Has(AxisU) || !Target.Has(AxisV))
        return Fail("the circle needs a start and an end on both plane axes");
    if (!(FR > 0.0))
        return Fail("a circle needs a feed rate above 0");
    if (!(TA1 >= 0.0))
        return Fail("a circle needs an acceleration time of 0 or more");
    const double su = ProgStart.Get(AxisU), sv = ProgStart.Get(AxisV);
    const double eu = Target.Get(AxisU), ev = Target.Get(AxisV);
    if (!RadiusGiven) {
        const double rs = std::hypot(su - CentreU, sv - CentreV);
        const double re = std::hypot(eu - CentreU, ev - CentreV);
        if (std::fabs(re - rs) >= std::max(std::fabs(re), std::fabs(rs)) * 1e-6 / 100.0)
            return Fail("the circle's centre is not as far from its end point as from its start");
        Radius = re;
    } else if (!PlaceCentreFromRadius(su, sv, eu, ev)) {
        return FALSE;
    }
    StartAngle = std::atan2(sv - CentreV, su - CentreU);
    EndAngle = std::atan2(ev - CentreV, eu - CentreU);
    if (su == eu && sv == ev)
        EndAngle += Clockwise ? -kTwoPi : kTwoPi;

    AngularVelocity = Clockwise ? -FR / Radius : FR / Radius;
    Flags = StartVel.Length() == 0.0 ? 1 : 0;
    // Moving on from a block that ended at this circle's start (another arc):
    // there is no deceleration to blend away, so the arc runs at speed at once.
    const double gap = std::hypot(StartPos.Get(AxisU, su) - su, StartPos.Get(AxisV, sv) - sv);
    if (!Flags && gap <= 1e-9 * (Radius + 1.0))
        TA1 = 0.0;
    // An arc too short for its acceleration time accelerates over its first half.
    TA1 = std::min(TA1, ArcAngle() / std::fabs(AngularVelocity));
    AngularAccel = TA1 > 0.0 ? AngularVelocity / TA1 : 0.0;
    AngleAfterAccel = StartAngle + AngularAccel * TA1 * TA1 / 2.0;

    AxisData.RemoveAll();
    SetupBlendIn();
    SetupOtherAxes();
    return TRUE;
}

// From a moving start the plane axes blend from where the previous move began
// to decelerate into the circle at the end of the acceleration.
void CMultiAxisMoveBlockCircular::SetupBlendIn()
{
    if (Flags || TA1 <= 0.0)
        return;
    const double pu = CentreU + Radius * std::cos(AngleAfterAccel);
    const double pv = CentreV + Radius * std::sin(AngleAfterAccel);
    const double speed = Radius * AngularVelocity;
    const double vu = -std::sin(AngleAfterAccel) * speed;
    const double vv = std::cos(AngleAfterAccel) * speed;
    const int axes[2] = {AxisU, AxisV};
    const double ends[2] = {pu, pv};
    const double velocities[2] = {vu, vv};
    for (int i = 0; i < 2; ++i) {
        CTrajectoryAxisMoveData data;
        data.Kind = CTrajectoryAxisMoveData::kindCircle;
        data.P0 = StartPos.Get(axes[i], ProgStart.Get(axes[i]));
        data.VI = StartVel.Get(axes[i]);
        data.PI = ProgStart.Get(axes[i]);
        data.PT = Target.Get(axes[i]);
        data.PA = ends[i];
        data.Vmax = velocities[i];
        data.TA1 = TA1;
        data.Accel.Set(data.P0, data.VI, data.PA, data.Vmax, TA1);
        AxisData[axes[i]] = data;
    }
}

// Axes off the plane run from their start to their target over the whole arc.
void CMultiAxisMoveBlockCircular::SetupOtherAxes()
{
    const double duration = GetDuration(FALSE);
    CAxisVectorMap targets = Target;
    int axis;
    double target;
    for (POSITION pos = StartPos.GetStartPosition(); pos;) {
        StartPos.GetNextAssoc(pos, axis, target);
        if (!targets.Has(axis))
            targets[axis] = ProgStart.Get(axis, target);
    }
    for (POSITION pos = targets.GetStartPosition(); pos;) {
        targets.GetNextAssoc(pos, axis, target);
        if (axis == AxisU || axis == AxisV)
            continue;
        CTrajectoryAxisMoveData data;
        data.Kind = CTrajectoryAxisMoveData::kindCubic;
        data.P0 = StartPos.Get(axis, ProgStart.Get(axis, target));
        data.VI = StartVel.Get(axis);
        data.PI = ProgStart.Get(axis, data.P0);
        data.PT = target;
        data.TA1 = duration;
        const double cruise = duration > 0.0 ? (target - data.PI) / duration : 0.0;
        data.Accel.Set(data.P0, data.VI, target, cruise, duration);
        if (duration <= 0.0)
            data.Accel.Set(target, 0.0, target, 0.0, 1.0);
        AxisData[axis] = data;
    }
}

double CMultiAxisMoveBlockCircular::GetDuration(BOOL)
{
    if (AngularVelocity == 0.0)
        return 0.0;
    // The acceleration covers half the angle it would at full speed; the arc
    // runs that much longer so that it ends at its end point.
    return ArcAngle() / std::fabs(AngularVelocity) + TA1 / 2.0;
}

double CMultiAxisMoveBlockCircular::AngleAt(double t) const
{
    if (t < TA1)
        return StartAngle + AngularAccel * t * t / 2.0;
    return AngleAfterAccel + (t - TA1) * AngularVelocity;
}

double CMultiAxisMoveBlockCircular::AngularRateAt(double t) const
{
    return t < TA1 ? AngularAccel * t : AngularVelocity;
}

bool CMultiAxisMoveBlockCircular::OnCircleAt(double t) const
{
    return t >= TA1 || Flags;
}

BOOL CMultiAxisMoveBlockCircular::GetPosition(double t, CAxisVectorMap& out)
{
    ProfileValues(t, out, false);
    if (OnCircleAt(t)) {
        const double angle = AngleAt(t);
        out[AxisU] = CentreU + Radius * std::cos(angle);
        out[AxisV] = CentreV + Radius * std::sin(angle);
    }
    return TRUE;
}

BOOL CMultiAxisMoveBlockCircular::GetVelocity(double t, CAxisVectorMap& out)
{
    ProfileValues(t, out, true);
    if (OnCircleAt(t)) {
        const double angle = AngleAt(t);
        const double speed = Radius * AngularRateAt(t);
        out[AxisU] = -std::sin(angle) * speed;
        out[AxisV] = std::cos(angle) * speed;
    }
    return TRUE;
}

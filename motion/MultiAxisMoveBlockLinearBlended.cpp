#include "MultiAxisMoveBlockLinearBlended.h"

#include <cmath>
#include <limits>

#include "TrajectoryPlanner.h"

namespace {

// Growing the blend time converges within a few rounds; this only stops a
// pathological case from spinning.
constexpr int kMaxPlanRounds = 1000;

double Direction(const CTrajectoryAxisMoveData& data, double length)
{
    return length > 0.0 ? (data.PT - data.PI) / length : 0.0;
}

}  // namespace

double CMultiAxisMoveBlockLinearBlended::GetDuration(BOOL withFinalDecel)
{
    if (IsDwell)
        return DwellTime;
    return TC + TA1 + (withFinalDecel ? TA2 : 0.0);
}

void CMultiAxisMoveBlockLinearBlended::PlanFeed(double length, double velocityLimit)
{
    const double f = (TA1 + TA2) / 2.0;
    if (FR <= 0.0) {
        TC = 0.0;
        return;
    }
    if (f > length / FR) {
        // Too short to reach the feed rate: slow down so the blends meet.
        FR = length / f;
        TC = 0.0;
    } else {
        TC = length / FR - f;
    }
    if (FR <= 0.0)
        return;
    bool capped = false;
    int axis;
    CTrajectoryAxisMoveData data;
    for (POSITION pos = AxisData.GetStartPosition(); pos;) {
        AxisData.GetNextAssoc(pos, axis, data);
        const double m = Direction(data, length);
        if (m != 0.0 && std::fabs(FR * m) > velocityLimit) {
            FR = std::fabs(velocityLimit / m);
            capped = true;
        }
    }
    if (capped)
        TC = length / FR - f;
}

void CMultiAxisMoveBlockLinearBlended::SetupAxes(double length)
{
    int axis;
    CTrajectoryAxisMoveData data;
    for (POSITION pos = AxisData.GetStartPosition(); pos;) {
        AxisData.GetNextAssoc(pos, axis, data);
        if (FR > 0.0) {
            data.Vmax = FR * Direction(data, length);
            data.TC = TC;
            data.TA1 = TA1;
            data.TA2 = TA2;
        } else {
            data.Vmax = 0.0;
            data.TC = data.TA1 = data.TA2 = TA1;
        }
        data.SetupAxisProfile(CTrajectoryAxisMoveData::kindBlended);
        AxisData[axis] = data;
    }
}

double CMultiAxisMoveBlockLinearBlended::BlendTimeForLimit(double accelLimit)
{
    double longest = TA1;
    int axis;
    CTrajectoryAxisMoveData data;
    for (POSITION pos = AxisData.GetStartPosition(); pos;) {
        AxisData.GetNextAssoc(pos, axis, data);
        const double t = data.Accel.BlendTimeForAccel(accelLimit);
        if (t == 0.0)
            return 0.0;
        if (t > longest)
            longest = t;
    }
    return longest;
}

BOOL CMultiAxisMoveBlockLinearBlended::Plan(double ta2)
{
    TA2 = ta2;
    if (IsDwell)
        return TRUE;
    if (!(TA1 > 0.0) || !(TA2 >= 0.0))
        return FALSE;
    const double length = CAxisVectorMap::Subtract(ProgStart, Target).Length();
    const CTrajectoryAxisSettings* limits = Planner ? Planner->GetAxisSettings(0) : nullptr;
    const double velocityLimit = limits ? limits->MaxVelocity : std::numeric_limits<double>::infinity();
    for (int round = 0; round < kMaxPlanRounds; ++round) {
        PlanFeed(length, velocityLimit);
        SetupAxes(length);
        if (!limits)
            return TRUE;
        const double needed = BlendTimeForLimit(limits->MaxAcceleration);
        if (needed == 0.0)
            return FALSE;
        if (needed <= TA1)
            return TRUE;
        TA1 = needed;
    }
    return TRUE;
}

BOOL CMultiAxisMoveBlockLinearBlended::GetPosition(double t, CAxisVectorMap& out)
{
    if (!IsDwell)
        return ProfileValues(t, out, false);
    if (t > DwellTime)
        return FALSE;
    out = Target;
    return TRUE;
}

BOOL CMultiAxisMoveBlockLinearBlended::GetVelocity(double t, CAxisVectorMap& out)
{
    if (!IsDwell)
        return ProfileValues(t, out, true);
    if (t > DwellTime)
        return FALSE;
    out = Target;
    out.SetAllZero();
    return TRUE;
}

CString CMultiAxisMoveBlockLinearBlended::ToString(const CAxisNameMap& axisNames)
{
    CString text;
    if (IsDwell) {
        text.Format("Dwell(%0.2f)\n", DwellTime);
        return text;
    }
    text.Format("FR=%0.2f, TC=%0.2f, TA1=%0.2f, TA2=%0.2f, P0=%s, PI=%s, PT=%s\n", FR, TC, TA1, TA2,
                VectorText(StartPos, axisNames).GetString(), VectorText(ProgStart, axisNames).GetString(),
                VectorText(Target, axisNames).GetString());
    int axis;
    CTrajectoryAxisMoveData data;
    for (POSITION pos = AxisData.GetStartPosition(); pos;) {
        AxisData.GetNextAssoc(pos, axis, data);
        text += AxisName(axis, axisNames) + "\t" + ":" + data.ToString() + "\n";
    }
    return text;
}

#include "TrajectoryAxisMoveData.h"

#include <cmath>

void CTrajectoryAxisMoveData::SetupTrapezoid()
{
    const double d = PT - P0;
    const double c = std::sqrt((2.0 * std::fabs(d * A) + VI * VI) / 2.0);
    bool limited = false;
    if (std::fabs(Vmax) > c) {
        Vmax = Vmax < 0.0 ? -c : c;
        TC = 0.0;
        limited = true;
    }
    if (Vmax == 0.0 || A == 0.0) {
        // Nothing to move (or no way to move): hold the target rather than divide by zero.
        TA1 = TA2 = TC = TSeg = 0.0;
        PA = P0;
        return;
    }
    TA1 = TA2 = std::fabs(Vmax / A);
    TSeg = TA1 + std::fabs(d / Vmax);
    if (!limited)
        TC = TSeg - 2.0 * TA1;
    PA = P0 + VI * TA1 + A * TA1 * TA1 / 2.0;
}

void CTrajectoryAxisMoveData::SetupAxisProfile(int kind)
{
    Kind = kind;
    if (kind == kindCubic)
        return;
    if (kind == kindBlended) {
        PA = P0 + VI * TA1 + ((Vmax - VI) / TA1) * TA1 * TA1 / 2.0;
        TSeg = TC + TA1;
    } else if (kind == kindTrapezoid) {
        SetupTrapezoid();
    }
    if (kind == kindBlended || kind == kindTrapezoid)
        PC = PA + TC * Vmax;
    Accel.Set(P0, VI, PA, Vmax, TA1);
    // The deceleration runs over TA2, the time the position steps give it.
    Decel.Set(PC, Vmax, PT, 0.0, TA2);
}

double CTrajectoryAxisMoveData::Position(double t) const
{
    if (t < TA1 || Kind == kindCubic)
        return Accel.Position(t);
    if (t < TA1 + TC)
        return PA + (t - TA1) * Vmax;
    if (t < TA1 + TC + TA2)
        return Decel.Position(t - TA1 - TC);
    return PT;
}

double CTrajectoryAxisMoveData::Velocity(double t) const
{
    if (t < TA1 || Kind == kindCubic)
        return Accel.Velocity(t);
    if (t < TA1 + TC)
        return Vmax;
    if (t < TA1 + TC + TA2)
        return Decel.Velocity(t - TA1 - TC);
    return 0.0;
}

CString CTrajectoryAxisMoveData::ToString() const
{
    CString text;
    text.Format("PT=%0.3f,PI=%0.3f,P0=%0.3f,PC=%0.3f,Vmax=%0.3f,VI=%0.3f,A=%0.3f,PA=%0.3f,TSeg=%0.3f,"
                "TC=%0.3f,TA1=%0.3f,TA2=%0.3f.LMT=%0.3f",
                PT, PI, P0, PC, Vmax, VI, A, PA, TSeg, TC, TA1, TA2, LMT);
    return text;
}

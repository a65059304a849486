#include "MultiAxisMoveBlockRapid.h"

#include <algorithm>

#include "TrajectoryPlanner.h"

double CMultiAxisMoveBlockRapid::GetDuration(BOOL)
{
    double longest = 0.0;
    int axis;
    CTrajectoryAxisMoveData data;
    for (POSITION pos = AxisData.GetStartPosition(); pos;) {
        AxisData.GetNextAssoc(pos, axis, data);
        longest = std::max(longest, data.TSeg);
    }
    return longest;
}

BOOL CMultiAxisMoveBlockRapid::Plan(double ta2)
{
    TA2 = ta2;
    int axis;
    CTrajectoryAxisMoveData data;
    for (POSITION pos = AxisData.GetStartPosition(); pos;) {
        AxisData.GetNextAssoc(pos, axis, data);
        const CTrajectoryAxisSettings* found = Planner ? Planner->GetAxisSettings(axis) : nullptr;
        const CTrajectoryAxisSettings limits = found ? *found : CTrajectoryAxisSettings::Preset(axis);
        const double v = std::min(limits.MaxVelocity, limits.RapidVelocity);
        data.Vmax = data.PT - data.PI < 0.0 ? -v : v;
        const double a = std::min(limits.MaxAcceleration, limits.RapidAcceleration);
        data.A = data.Vmax - data.VI < 0.0 ? -a : a;
        data.SetupAxisProfile(CTrajectoryAxisMoveData::kindTrapezoid);
        AxisData[axis] = data;
    }
    return TRUE;
}

CString CMultiAxisMoveBlockRapid::ToString(const CAxisNameMap&)
{
    return "RAPID";
}

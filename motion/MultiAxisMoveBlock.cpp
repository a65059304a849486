#include "MultiAxisMoveBlock.h"

#include "TrajectoryPlanner.h"

BOOL CMultiAxisMoveBlock::Setup(int flags, const CAxisVectorMap& p0, const CAxisVectorMap& pi,
                                const CAxisVectorMap& vi, const CAxisVectorMap& pt, double fr, double ta1, double ta2)
{
    if (&p0 != &StartPos)
        StartPos = p0;
    if (&pi != &ProgStart)
        ProgStart = pi;
    if (&vi != &StartVel)
        StartVel = vi;
    if (&pt != &Target)
        Target = pt;
    FR = fr;
    TA1 = ta1;
    Flags = flags;
    AxisData.RemoveAll();
    int axis;
    double value;
    for (POSITION pos = StartPos.GetStartPosition(); pos;) {
        StartPos.GetNextAssoc(pos, axis, value);
        CTrajectoryAxisMoveData data;
        data.Kind = CTrajectoryAxisMoveData::kindTrapezoid;
        data.P0 = value;
        data.PI = ProgStart.Get(axis);
        data.VI = StartVel.Get(axis);
        data.PT = Target.Get(axis);
        AxisData[axis] = data;
    }
    return Plan(ta2 != -1 ? ta2 : ta1);
}

BOOL CMultiAxisMoveBlock::SetupCubic(int flags, const CAxisVectorMap& p0, const CAxisVectorMap& v0,
                                     const CAxisVectorMap& p1, const CAxisVectorMap& v1, double t)
{
    Flags = flags;
    if (&p0 != &StartPos)
        StartPos = p0;
    if (&v0 != &StartVel)
        StartVel = v0;
    AxisData.RemoveAll();
    int axis;
    double value;
    for (POSITION pos = p0.GetStartPosition(); pos;) {
        p0.GetNextAssoc(pos, axis, value);
        CTrajectoryAxisMoveData data;
        data.Kind = CTrajectoryAxisMoveData::kindCubic;
        data.P0 = value;
        data.VI = v0.Get(axis);
        data.PT = p1.Get(axis);
        data.TA1 = t;
        data.Accel.Set(value, data.VI, data.PT, v1.Get(axis), t);
        AxisData[axis] = data;
    }
    return TRUE;
}

BOOL CMultiAxisMoveBlock::SetDwell(double time, const CAxisVectorMap* positions)
{
    DwellTime = time;
    IsDwell = 1;
    if (positions) {
        Target = *positions;
        return TRUE;
    }
    return Planner ? Planner->FillCurrentValues(Target) : FALSE;
}

BOOL CMultiAxisMoveBlock::EndValues(CAxisVectorMap& out, bool velocity)
{
    CAxisVectorMap all;
    const double end = GetDuration(FALSE);
    if (!(velocity ? GetVelocity(end, all) : GetPosition(end, all)))
        return out.IsEmpty();
    int axis;
    double ignored;
    for (POSITION pos = out.GetStartPosition(); pos;) {
        out.GetNextAssoc(pos, axis, ignored);
        double value;
        if (!all.Lookup(axis, value))
            return FALSE;
        out[axis] = value;
    }
    return TRUE;
}

BOOL CMultiAxisMoveBlock::GetEndPosition(CAxisVectorMap& out)
{
    return EndValues(out, false);
}

BOOL CMultiAxisMoveBlock::GetEndVelocity(CAxisVectorMap& out)
{
    return EndValues(out, true);
}

double CMultiAxisMoveBlock::GetDuration(BOOL)
{
    return IsDwell ? DwellTime : 0.0;
}

BOOL CMultiAxisMoveBlock::Plan(double)
{
    return FALSE;
}

BOOL CMultiAxisMoveBlock::GetPosition(double, CAxisVectorMap&)
{
    return FALSE;
}

BOOL CMultiAxisMoveBlock::GetVelocity(double, CAxisVectorMap&)
{
    return FALSE;
}

BOOL CMultiAxisMoveBlock::ParseWords(const CMotionWordMap&)
{
    return FALSE;
}

CString CMultiAxisMoveBlock::ToString(const CAxisNameMap&)
{
    return CString();
}

BOOL CMultiAxisMoveBlock::ProfileValues(double t, CAxisVectorMap& out, bool velocity) const
{
    out.RemoveAll();
    int axis;
    CTrajectoryAxisMoveData data;
    for (POSITION pos = AxisData.GetStartPosition(); pos;) {
        AxisData.GetNextAssoc(pos, axis, data);
        out[axis] = velocity ? data.Velocity(t) : data.Position(t);
    }
    return TRUE;
}

CString CMultiAxisMoveBlock::AxisName(int axis, const CAxisNameMap& axisNames)
{
    CString name;
    if (!axisNames.Lookup(axis, name))
        name.Format("A%u", static_cast<unsigned>(axis));
    return name;
}

CString CMultiAxisMoveBlock::VectorText(const CAxisVectorMap& vector, const CAxisNameMap& axisNames)
{
    CString text = "[";
    int axis;
    double value;
    bool first = true;
    for (POSITION pos = vector.GetStartPosition(); pos;) {
        vector.GetNextAssoc(pos, axis, value);
        if (!first)
            text += ",";
        first = false;
        text += AxisName(axis, axisNames);
        text.AppendFormat("%0.2f", value);
    }
    return text + "]";
}

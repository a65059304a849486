#include "RotationMap.h"

#include <cmath>

#include "MotionWordScanner.h"

BOOL CRotationMap::SetFromWords(const CString& text)
{
    static const char* const kPlaneAxes[3][2] = {{"X", "Y"}, {"X", "Z"}, {"Y", "Z"}};
    CMotionWordMap words;
    if (!CMotionWordScanner::ParseWords(text, words, m_error))
        return FALSE;
    const int plane = (Plane >= 0 && Plane <= 2) ? Plane : 0;
    const CString uName = kPlaneAxes[plane][0];
    const CString vName = kPlaneAxes[plane][1];
    int u = -1;
    int v = -1;
    if (!AxisNames || !AxisNames->Lookup(uName, u) || !AxisNames->Lookup(vName, v)) {
        m_error.Format("ROT needs the axes %s and %s", uName.GetString(), vName.GetString());
        return FALSE;
    }
    CString name;
    double value;
    for (POSITION pos = words.GetStartPosition(); pos;) {
        words.GetNextAssoc(pos, name, value);
        if (name != "R" && name != uName && name != vName) {
            m_error.Format("ROT does not take \"%s\"", name.GetString());
            return FALSE;
        }
    }
    AxisU = u;
    AxisV = v;
    if (words.Lookup(CString("R"), value))
        Angle = value;
    if (words.Lookup(uName, value))
        Centre[AxisU] = value;
    if (words.Lookup(vName, value))
        Centre[AxisV] = value;
    return TRUE;
}

bool CRotationMap::IsActive() const
{
    return std::fmod(Angle, 360.0) > 0.0;
}

BOOL CRotationMap::Rotate(CAxisVectorMap& targets) const
{
    double u, v;
    if (AxisU < 0 || AxisV < 0 || !targets.Lookup(AxisU, u) || !targets.Lookup(AxisV, v))
        return FALSE;
    const double radians = AngleInRadians ? Angle : Angle * 3.14159265359 / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    u -= Centre.Get(AxisU);
    v -= Centre.Get(AxisV);
    if (Plane == 1) {
        targets[AxisU] = u * c + v * s;
        targets[AxisV] = v * c - u * s;
    } else {
        targets[AxisU] = u * c - v * s;
        targets[AxisV] = v * c + u * s;
    }
    int axis;
    double value;
    for (POSITION pos = targets.GetStartPosition(); pos;) {
        targets.GetNextAssoc(pos, axis, value);
        targets[axis] = value + Centre.Get(axis);
    }
    return TRUE;
}

void CRotationMap::Clear()
{
    Angle = 0.0;
    Centre.RemoveAll();
}

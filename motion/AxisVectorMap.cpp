#include "AxisVectorMap.h"

#include <cmath>

double CAxisVectorMap::Get(int axis, double fallback) const
{
    double value = fallback;
    Lookup(axis, value);
    return value;
}

bool CAxisVectorMap::Has(int axis) const
{
    double ignored;
    return Lookup(axis, ignored);
}

CAxisVectorMap CAxisVectorMap::Add(const CAxisVectorMap& a, const CAxisVectorMap& b)
{
    CAxisVectorMap result;
    result.Time = a.Time;
    int axis;
    double value;
    for (POSITION pos = b.GetStartPosition(); pos;) {
        b.GetNextAssoc(pos, axis, value);
        result[axis] = a.Get(axis) + value;
    }
    return result;
}

CAxisVectorMap CAxisVectorMap::Subtract(const CAxisVectorMap& a, const CAxisVectorMap& b)
{
    CAxisVectorMap result;
    result.Time = a.Time;
    int axis;
    double value;
    for (POSITION pos = b.GetStartPosition(); pos;) {
        b.GetNextAssoc(pos, axis, value);
        result[axis] = a.Get(axis) - value;
    }
    return result;
}

CAxisVectorMap CAxisVectorMap::Scaled(double factor) const
{
    CAxisVectorMap result(*this);
    int axis;
    double value;
    for (POSITION pos = GetStartPosition(); pos;) {
        GetNextAssoc(pos, axis, value);
        result[axis] = value * factor;
    }
    return result;
}

CAxisVectorMap CAxisVectorMap::Divided(double divisor) const
{
    CAxisVectorMap result(*this);
    int axis;
    double value;
    for (POSITION pos = GetStartPosition(); pos;) {
        GetNextAssoc(pos, axis, value);
        result[axis] = value / divisor;
    }
    return result;
}

void CAxisVectorMap::SetAllZero()
{
    int axis;
    double value;
    for (POSITION pos = GetStartPosition(); pos;) {
        GetNextAssoc(pos, axis, value);
        (*this)[axis] = 0.0;
    }
}

double CAxisVectorMap::Length() const
{
    double sum = 0.0;
    int axis;
    double value;
    for (POSITION pos = GetStartPosition(); pos;) {
        GetNextAssoc(pos, axis, value);
        sum += value * value;
    }
    return std::sqrt(sum);
}

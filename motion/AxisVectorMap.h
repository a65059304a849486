// A vector over program axes: axis index to value, plus the time a sample was taken.
#pragma once

#include "platform/core/Map.h"

class CAxisVectorMap : public CMap<int, int, double, double> {
public:
    CAxisVectorMap() = default;

    double Time = 0.0;

    double Get(int axis, double fallback = 0.0) const;
    bool Has(int axis) const;
    // Result holds the axes of b; a value that a lacks counts as 0.
    static CAxisVectorMap Add(const CAxisVectorMap& a, const CAxisVectorMap& b);
    static CAxisVectorMap Subtract(const CAxisVectorMap& a, const CAxisVectorMap& b);
    CAxisVectorMap Scaled(double factor) const;
    CAxisVectorMap Divided(double divisor) const;
    void SetAllZero();
    double Length() const;
};

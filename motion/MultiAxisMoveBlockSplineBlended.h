// A move through smoothed knots: one cubic per axis from the previous knot to this one.
#pragma once

#include "MultiAxisMoveBlock.h"

class CMultiAxisMoveBlockSplineBlended : public CMultiAxisMoveBlock {
public:
    CAxisVectorMap KnotPos;
    CAxisVectorMap KnotVel;

    int GetType() const override { return typeSpline; }
    double GetDuration(BOOL) override { return TA1; }
    BOOL GetPosition(double t, CAxisVectorMap& out) override { return ProfileValues(t, out, false); }
    BOOL GetVelocity(double t, CAxisVectorMap& out) override { return ProfileValues(t, out, true); }
    CString ToString(const CAxisNameMap&) override { return "SPLINE"; }

    // Plans the segment from the previous knot (or the programmed start) to this
    // block's knot; without a next block the knot is the target itself, at rest.
    BOOL PlanSpline(const CMultiAxisMoveBlockSplineBlended* previous, const CMultiAxisMoveBlockSplineBlended* next);
};

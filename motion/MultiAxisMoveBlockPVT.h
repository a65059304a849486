// A move given by its end position, end velocity and time: one cubic per axis.
#pragma once

#include "MultiAxisMoveBlock.h"

class CMultiAxisMoveBlockPVT : public CMultiAxisMoveBlock {
public:
    int GetType() const override { return typePVT; }
    double GetDuration(BOOL) override { return TA1; }
    BOOL GetPosition(double t, CAxisVectorMap& out) override { return ProfileValues(t, out, false); }
    BOOL GetVelocity(double t, CAxisVectorMap& out) override { return ProfileValues(t, out, true); }
    CString ToString(const CAxisNameMap&) override { return "PVT"; }
};

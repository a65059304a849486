// A positioning move: each axis runs its own trapezoid at its rapid limits.
#pragma once

#include "MultiAxisMoveBlockLinearBlended.h"

class CMultiAxisMoveBlockRapid : public CMultiAxisMoveBlockLinearBlended {
public:
    int GetType() const override { return typeRapid; }
    double GetDuration(BOOL withFinalDecel) override;
    BOOL Plan(double ta2) override;
    CString ToString(const CAxisNameMap& axisNames) override;
};

// A straight move at the feed rate, blended into the next move; also a dwell.
#pragma once

#include "MultiAxisMoveBlock.h"

class CMultiAxisMoveBlockLinearBlended : public CMultiAxisMoveBlock {
public:
    double TC = 0.0;

    int GetType() const override { return typeLinear; }
    double GetDuration(BOOL withFinalDecel) override;
    BOOL Plan(double ta2) override;
    BOOL GetPosition(double t, CAxisVectorMap& out) override;
    BOOL GetVelocity(double t, CAxisVectorMap& out) override;
    CString ToString(const CAxisNameMap& axisNames) override;

private:
    void PlanFeed(double length, double velocityLimit);
    void SetupAxes(double length);
    // The longest blend time the acceleration limit asks for; 0 when none can meet it.
    double BlendTimeForLimit(double accelLimit);
};

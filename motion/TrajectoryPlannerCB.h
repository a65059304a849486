// What the planner asks of its owner: where an axis stands now.
#pragma once

#include "platform/core/WinTypes.h"

class CTrajectoryPlannerCB {
public:
    // Non-zero when the axis's current value was written to out.
    virtual BOOL GetAxisValue(int axis, double* out) = 0;
    virtual void OnPlannerIdle() {}
    virtual ~CTrajectoryPlannerCB() = default;
};

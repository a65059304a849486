// One cubic segment from (P0, V0) to (P1, V1) in time T.
#pragma once

#include "platform/core/WinTypes.h"

class CBlendCubic {
public:
    double P0 = 0.0;
    double V0 = 0.0;
    double P1 = 0.0;
    double V1 = 0.0;
    double T = 0.0;
    double C3 = 0.0;
    double C2 = 0.0;

    // FALSE for a zero time; the coefficients then stay as they were.
    BOOL Set(double p0, double v0, double p1, double v1, double t);
    double Position(double t) const;
    double Velocity(double t) const;
    double StartAccel() const { return 2.0 * C2; }
    double EndAccel() const { return 6.0 * C3 * T + 2.0 * C2; }
    // The segment time at which the peak acceleration meets the limit; T when
    // already within it, 0 when no positive time does.
    double BlendTimeForAccel(double limit) const;
};

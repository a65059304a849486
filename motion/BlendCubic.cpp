#include "BlendCubic.h"

#include <cmath>
#include <initializer_list>

BOOL CBlendCubic::Set(double p0, double v0, double p1, double v1, double t)
{
    P0 = p0;
    V0 = v0;
    P1 = p1;
    V1 = v1;
    T = t;
    if (t == 0.0)
        return FALSE;
    const double h = p1 - p0 - v0 * t;
    const double dv = v1 - v0;
    C3 = dv / (t * t) - 2.0 * h / (t * t * t);
    C2 = 3.0 * h / (t * t) - dv / t;
    return TRUE;
}

double CBlendCubic::Position(double t) const
{
    return ((C3 * t + C2) * t + V0) * t + P0;
}

double CBlendCubic::Velocity(double t) const
{
    return (3.0 * C3 * t + 2.0 * C2) * t + V0;
}

namespace {

// Both roots of one quadratic, or two zeros when it has none.
void RootPair(double base, double discriminant, double a, double& minus, double& plus)
{
    if (discriminant < 0.0) {
        minus = plus = 0.0;
        return;
    }
    const double s = std::sqrt(discriminant);
    minus = (base - s) / a;
    plus = (base + s) / a;
}

}  // namespace

double CBlendCubic::BlendTimeForAccel(double limit) const
{
    const double a0 = StartAccel();
    const double aT = EndAccel();
    const double peak = std::fabs(a0) > std::fabs(aT) ? a0 : aT;
    if (std::fabs(peak) < std::fabs(limit))
        return T;
    const double a = peak < 0.0 ? -std::fabs(limit) : std::fabs(limit);
    const double dp = P1 - P0;
    const double dv = V1 - V0;

    // Start acceleration equal to a: a T^2 + (6 V0 + 2 dv) T - 6 dp = 0.
    double r1, r2;
    const double b1 = 3.0 * V0 + dv;
    RootPair(-b1, b1 * b1 + 6.0 * a * dp, a, r1, r2);
    // End acceleration equal to a.
    double r3, r4;
    const double b2 = 3.0 * V0 + 2.0 * dv;
    RootPair(b2, b2 * b2 - 6.0 * a * dp, a, r3, r4);

    double best = r4;
    for (double r : {r3, r2, r1}) {
        if (r > best)
            best = r;
    }
    return best < 0.0 ? 0.0 : best;
}

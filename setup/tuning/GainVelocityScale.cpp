#include "setup/tuning/GainVelocityScale.h"

#include <cmath>

namespace {
double TachFactor(const GvsMotorData& motor) { return motor.tachScale * std::ldexp(1.0, -15); }
}  // namespace

int CalcGvsForVelocity(const GvsMotorData& motor, double velocity)
{
    const double k = TachFactor(motor);
    if (velocity <= 0 || motor.counts <= 0 || velocity * k * motor.counts * motor.servoFreq == 0)
        return -1;
    double g = 0;
    if (motor.motorType == 0)
        g = 32768 / (velocity * (k * motor.counts * 4) / 60 / motor.servoFreq);
    else if (motor.motorType == 1)
        g = motor.counts / 100.0 * (motor.servoFreq * 32768) / (velocity * k * 1000);
    else
        return -1;
    const double exponent = std::trunc(std::log(g) / std::log(2.0));
    return std::isfinite(exponent) && std::fabs(exponent) < 1e6 ? static_cast<int>(exponent) : -1;
}

double CalcMaxVelocityForGvs(const GvsMotorData& motor, int gvs)
{
    const double a = std::ldexp(1.0, gvs);
    const double k = TachFactor(motor);
    if (a * k * motor.counts == 0)
        return -1;
    double velocity = 0;
    if (motor.motorType == 0)
        velocity = motor.servoFreq * 1966080 / (a * (k * motor.counts * 4));
    else if (motor.motorType == 1)
        velocity = motor.counts / 100.0 * (motor.servoFreq * 32768) / (a * k * 1000);
    else
        return -1;
    return std::trunc(velocity);
}

CString MissingGvsMotorData(const GvsMotorData& motor)
{
    CString missing;
    const auto add = [&missing](const char* what) {
        if (!missing.IsEmpty())
            missing += ", ";
        missing += what;
    };
    if (motor.motorType != 0 && motor.motorType != 1)
        add("motor type (rotary or linear)");
    if (motor.counts <= 0)
        add("encoder counts");
    if (motor.tachScale <= 0)
        add("tach scale");
    if (!(motor.servoFreq > 0))
        add("servo frequency");
    return missing;
}

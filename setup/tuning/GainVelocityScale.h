// The gain velocity scale: the power of two by which the drive scales its
// velocity loop, from a maximum velocity and back.
#pragma once

#include "platform/core/String.h"

struct GvsMotorData {
    int motorType = 0;   // 0 rotary, 1 linear
    int tachScale = 0;   // k = tachScale x 2^-15
    int counts = 0;      // encoder counts
    double servoFreq = 0;
};

// -1 when no exponent can be computed.
int CalcGvsForVelocity(const GvsMotorData& motor, double velocity);
// The largest velocity (rpm or mm/s) GVS p allows; -1 when it cannot be computed.
double CalcMaxVelocityForGvs(const GvsMotorData& motor, int gvs);
// The motor data that keeps the velocity range from being computed, as the user
// knows it ("encoder counts, tach scale"); empty when nothing is missing.
CString MissingGvsMotorData(const GvsMotorData& motor);

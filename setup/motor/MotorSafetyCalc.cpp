#include "setup/motor/MotorSafetyCalc.h"

#include <algorithm>
#include <cmath>

namespace {
// Versions are compared as the drive reports them (4.09 < 4.1 < 4.13);
// the margin keeps 4.1 read as 4.0999999 a 4.1.
bool AtLeast(double version, double wanted)
{
    return version >= wanted - 1e-9;
}

double DriveTimeConstant(int k)
{
    return k == 0 ? 0.0 : 3276.8 / k + 0.5;
}

// sqrt(I^2 / (1 - exp(-t / tau))): the current that reaches the limit in t.
// Nothing when it is not a finite number.
std::optional<double> CurrentForTime(double current, double t, double tau)
{
    const double value = std::sqrt(current * current / (1.0 - std::exp(-t / tau)));
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

// -tau ln(1 - (limit / I)^2), or the fallback when the ratio is not below 1.
double TimeForCurrent(double limit, double current, double tau, double fallback)
{
    const double ratio = limit / current;
    if (!(ratio < 1.0))
        return fallback;
    const double value = -tau * std::log(1.0 - ratio * ratio);
    return std::isfinite(value) ? value : fallback;
}

double NoNegativeZero(double value)
{
    if (!std::isfinite(value))
        return 0.0;
    // Anything that prints as -0.00 shows as 0.00.
    return std::fabs(value) < 0.005 ? 0.0 : value;
}
}  // namespace

MotorSafetyFeatures CMotorSafetyCalc::FeaturesForVersion(double firmwareVersion)
{
    MotorSafetyFeatures features;
    features.foldBack = AtLeast(firmwareVersion, 4.08);
    features.i2tPrediction = AtLeast(firmwareVersion, 4.1);
    features.overspeedAndFollowing = AtLeast(firmwareVersion, 4.13);
    return features;
}

double CMotorSafetyCalc::FoldBackRate(double x, const FoldBackConversion& conv)
{
    if (!(x > 0) || !(conv.servoFreq > 0))
        return 0.0;
    const double rate = conv.controlSystem > 15 ? conv.currentGain / (x / (2 * conv.servoFreq))
                                                : conv.currentGain / (x * 7.699e-6);
    return std::isfinite(rate) ? rate : 0.0;
}

double CMotorSafetyCalc::MinFoldBackRate(const FoldBackConversion& conv)
{
    return FoldBackRate(7629, conv);
}

double CMotorSafetyCalc::MaxFoldBackRate(const FoldBackConversion& conv)
{
    return FoldBackRate(1, conv);
}

std::optional<int> CMotorSafetyCalc::FoldBackIfr(double rate, const FoldBackConversion& conv)
{
    const double low = MinFoldBackRate(conv);
    const double high = MaxFoldBackRate(conv);
    if (!(high > 0) || !(rate >= low && rate <= high))
        return std::nullopt;
    return static_cast<int>(std::min(FoldBackRate(rate, conv), 2147483647.0));
}

I2tResult CMotorSafetyCalc::PredictI2t(const I2tInputs& in)
{
    const double tauD = DriveTimeConstant(in.driveThermalCoeff);
    const double pk = in.motorPeak * std::sqrt(2.0);
    const double cm = in.motorContinuous * std::sqrt(2.0);
    const double tauM = in.motorTimeConstant;

    double allowed = std::min(in.drivePeak, pk);
    for (const std::optional<double> a : {CurrentForTime(in.driveContinuous, in.desiredTime, tauD),
                                         CurrentForTime(cm, in.desiredTime, tauM)}) {
        if (a)
            allowed = std::min(allowed, *a);
    }

    const double current = std::min({in.drivePeak, in.desiredCurrent, pk});
    const double driveTime = TimeForCurrent(in.driveContinuous, current, tauD, kDriveTimeFallback);
    const double motorTime = TimeForCurrent(cm, current, tauM, kMotorTimeFallback);

    I2tResult result;
    result.timeRowCurrent = NoNegativeZero(allowed);
    result.timeRowTime = NoNegativeZero(in.desiredTime);
    result.currentRowCurrent = NoNegativeZero(current);
    result.currentRowTime = NoNegativeZero(std::min(driveTime, motorTime));
    return result;
}

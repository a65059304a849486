#include "setup/motor/AutoPhaseCalc.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kHalfTurn = 0.5 * 65536.0;
constexpr double kSpeedScale = 600000.0;
constexpr double kLowestSpeed = 50.0;
constexpr double kHighestSpeed = 1000.0;
constexpr double kLargestDriveSpeed = 32767.0;
constexpr double kSlowestSpeedIncrement = 2000.0;
}  // namespace

double CAutoPhaseCalc::Cut(double x, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    // The small nudge keeps 2.6 from turning into 2.59 through its binary form.
    const double nudge = x < 0 ? -1e-9 : 1e-9;
    return std::trunc(x * scale + nudge) / scale;
}

long CAutoPhaseCalc::Round(double x) { return static_cast<long>(std::lround(x)); }

std::optional<int> CAutoPhaseCalc::RampFactor(std::optional<long> version)
{
    if (!version)
        return std::nullopt;
    return *version < kFactorVersion ? 10 : 2;
}

double CAutoPhaseCalc::SpeedFromDrive(double driveSpeed, double poles)
{
    return driveSpeed / (Divisor(poles) * kHalfTurn) * kSpeedScale;
}

long CAutoPhaseCalc::DriveSpeed(double speed, double poles)
{
    // No pole value (0 or less) gives no drive speed at all.
    return Round(std::max(poles, 0.0) * kHalfTurn * std::max(speed, 0.0) / kSpeedScale);
}

double CAutoPhaseCalc::CurrentRampTime(double finalCurrentDu, double increment)
{
    return finalCurrentDu / (std::max(increment, 1.0) * 100.0);
}

long CAutoPhaseCalc::CurrentIncrement(double finalCurrentDu, double seconds)
{
    if (seconds <= 0)
        return kNoCurrentRamp;
    return std::max(1L, Round(finalCurrentDu / (seconds * 100.0)));
}

double CAutoPhaseCalc::SpeedRampTime(double driveSpeed, double increment, std::optional<long> version)
{
    const std::optional<int> factor = RampFactor(version);
    if (increment == 0 || !factor)
        return 0;
    return driveSpeed / (increment * *factor);
}

long CAutoPhaseCalc::SpeedIncrement(double driveSpeed, double seconds, std::optional<long> version)
{
    const std::optional<int> factor = RampFactor(version);
    if (seconds <= 0 || !factor)
        return kNoSpeedRamp;
    return std::max(1L, Round(driveSpeed / (seconds * *factor)));
}

AutoPhaseCheck CAutoPhaseCalc::Clamp(double value, double low, double high, int decimals)
{
    AutoPhaseCheck check;
    check.low = Cut(low, decimals);
    check.high = Cut(high, decimals);
    // Limits that cross collapse onto the upper one.
    const double corrected = std::min(std::max(value, check.low), check.high);
    check.adjusted = corrected != value;
    check.value = Cut(corrected, decimals);
    return check;
}

AutoPhaseCheck CAutoPhaseCalc::CheckFinalCurrent(double amps, double continuousDu, double gain)
{
    return Clamp(amps, 0.0, continuousDu * gain, 2);
}

AutoPhaseCheck CAutoPhaseCalc::CheckCurrentRampTime(double seconds, double finalAmps, double gain)
{
    const double finalDu = gain != 0 ? finalAmps / gain : 0.0;
    return Clamp(seconds, finalDu / (kNoCurrentRamp * 100.0), finalDu / 100.0, 3);
}

// The upper limit is the lesser of 1000 and the speed whose drive value is
// the largest the register holds, both as speeds, so a large pole value
// cannot overflow the drive speed.
AutoPhaseCheck CAutoPhaseCalc::CheckFinalSpeed(double speed, double poles)
{
    const double low = std::max(kLowestSpeed, static_cast<double>(DriveSpeed(0, poles)));
    double high = std::min(kHighestSpeed, SpeedFromDrive(kLargestDriveSpeed, poles));
    if (DriveSpeed(kHighestSpeed, poles) == 0)
        high = 0;  // without a pole value no speed reaches the drive
    return Clamp(speed, low, high, 2);
}

AutoPhaseCheck CAutoPhaseCalc::CheckSpeedRampTime(double seconds, double finalSpeed, double poles,
                                                  std::optional<long> version)
{
    const double driveSpeed = static_cast<double>(DriveSpeed(finalSpeed, poles));
    return Clamp(seconds, SpeedRampTime(driveSpeed, kSlowestSpeedIncrement, version),
                 SpeedRampTime(driveSpeed, 1, version), 3);
}

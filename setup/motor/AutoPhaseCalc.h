// The auto-phasing settings between the engineer's units (amps, seconds,
// rpm or mm/s) and the drive's: the current and speed ramps travel as
// increments per servo step, the speed in drive velocity units.
#pragma once

#include <optional>

// An entry brought inside its limits; `adjusted` when it lay outside.
struct AutoPhaseCheck {
    double value = 0;
    double low = 0;
    double high = 0;
    bool adjusted = false;
};

class CAutoPhaseCalc {
public:
    static constexpr int kFactorVersion = 505;  // firmware from which the speed ramp uses factor 2
    static constexpr long kNoCurrentRamp = 32767;
    static constexpr long kNoSpeedRamp = 65535;

    // Truncation toward zero at `decimals` places.
    static double Cut(double x, int decimals);
    static long Round(double x);
    // The speed ramp factor of a firmware version; none without a version.
    static std::optional<int> RampFactor(std::optional<long> version);

    static double SpeedFromDrive(double driveSpeed, double poles);
    static long DriveSpeed(double speed, double poles);
    static double CurrentRampTime(double finalCurrentDu, double increment);
    static long CurrentIncrement(double finalCurrentDu, double seconds);
    static double SpeedRampTime(double driveSpeed, double increment, std::optional<long> version);
    static long SpeedIncrement(double driveSpeed, double seconds, std::optional<long> version);

    // The entry checks; currents in amps with `gain` amps per drive unit.
    static AutoPhaseCheck CheckFinalCurrent(double amps, double continuousDu, double gain);
    static AutoPhaseCheck CheckCurrentRampTime(double seconds, double finalAmps, double gain);
    static AutoPhaseCheck CheckFinalSpeed(double speed, double poles);
    static AutoPhaseCheck CheckSpeedRampTime(double seconds, double finalSpeed, double poles,
                                             std::optional<long> version);

private:
    static double Divisor(double poles) { return poles <= 0 ? 1.0 : poles; }
    static AutoPhaseCheck Clamp(double value, double low, double high, int decimals);
};

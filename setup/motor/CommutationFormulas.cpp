#include "setup/motor/CommutationFormulas.h"

#include <algorithm>
#include <cmath>

#include "foundation/NumberHelpers.h"

namespace {
constexpr double kTwoTo31 = 2147483648.0;
constexpr double kTickSeconds = 10240.0 / 1000000.0;

bool GvsUsable(int gvs)
{
    return gvs >= 1 && gvs <= 30;
}

double LinearK(int controlSystem)
{
    return (controlSystem == 1 || controlSystem == 6) ? 3.6e8 : 3.6e10;
}

// The entered value limited by motor kind, then folded into -180..180.
double NormalisedPhaseLead(double phaseLead, int motorKind)
{
    const double limit = motorKind == 1 ? 90.0 : 15.0;
    const double limited = std::clamp(phaseLead, -limit, limit);
    const double r = std::fmod(limited, 360.0);
    if (std::fabs(r) > 180.0)
        return std::copysign(std::fabs(r) - 360.0, r);
    return r;
}

// Seconds per CIR step for the current difference.
std::optional<double> RampStep(double initialAmps, double finalAmps)
{
    const double q = finalAmps - initialAmps;
    if (!(q > 0) || !std::isfinite(q))
        return std::nullopt;
    return 40.0 * q / 1000000.0;
}
}  // namespace

int CCommutationFormulas::PhaseLeadToCpl(double phaseLead, const PhaseLeadInputs& in)
{
    if (!GvsUsable(in.gvs) || !(in.lines > 0) || !(in.servoFreq > 0) || !std::isfinite(phaseLead))
        return 0;
    const double s = NormalisedPhaseLead(phaseLead, in.motorKind);
    const double twoToG = std::ldexp(1.0, in.gvs);
    double cpl;
    if (in.motorKind == 1)
        cpl = s * in.servoFreq * kTwoTo31 / twoToG * in.lines / LinearK(in.controlSystem);
    else
        cpl = s * in.servoFreq * kTwoTo31 / (in.lines * twoToG * 24000.0);
    // Clamped as a double: converting an out-of-range double is undefined.
    return static_cast<int>(std::clamp(RoundHalfAway(cpl), -32768.0, 32767.0));
}

double CCommutationFormulas::CplToPhaseLead(int cpl, const PhaseLeadInputs& in)
{
    if (!GvsUsable(in.gvs) || !(in.servoFreq > 0) || !(in.lines > 0) || !std::isfinite(in.lines))
        return 0.0;
    const double twoToG = std::ldexp(1.0, in.gvs);
    if (in.motorKind == 1)
        return RoundHalfAway(twoToG * cpl / (in.servoFreq * kTwoTo31) * (LinearK(in.controlSystem) / in.lines));
    return cpl * in.lines * twoToG * 24000.0 / (in.servoFreq * kTwoTo31);
}

std::optional<double> CCommutationFormulas::RampSeconds(int cir, double initialAmps, double finalAmps)
{
    const std::optional<double> step = RampStep(initialAmps, finalAmps);
    if (!step || cir < 0 || cir > kMaxCir)
        return std::nullopt;
    return cir * *step;
}

// Rounded to the nearest step so that a shown value sent back unchanged
// gives the register it came from.
std::optional<int> CCommutationFormulas::RampCir(double seconds, double initialAmps, double finalAmps)
{
    const std::optional<double> step = RampStep(initialAmps, finalAmps);
    if (!step || !std::isfinite(seconds))
        return std::nullopt;
    const double cir = RoundHalfAway(seconds / *step);
    if (cir < 0 || cir > kMaxCir)
        return std::nullopt;
    return static_cast<int>(cir);
}

double CCommutationFormulas::TimerTickSeconds(int ctt)
{
    return ctt * kTickSeconds;
}

std::optional<int> CCommutationFormulas::TimerTicks(double seconds)
{
    if (!std::isfinite(seconds))
        return std::nullopt;
    const double ticks = RoundHalfAway(seconds / kTickSeconds);
    if (ticks < kMinCtt || ticks > kMaxCtt)
        return std::nullopt;
    return static_cast<int>(ticks);
}

int CCommutationFormulas::ConfigPagePoles(double entered, bool& outOfRange)
{
    const double rounded = std::isfinite(entered) ? std::clamp(RoundHalfAway(entered), -1e6, 1e6) : 0.0;
    int poles = static_cast<int>(rounded);
    if (poles % 2 != 0)
        poles -= 1;
    outOfRange = poles < 2 || poles > 100;
    return std::clamp(poles, 2, 100);
}

int CCommutationFormulas::KrelnPolesShown(int entered, bool rotary)
{
    return rotary && entered % 2 != 0 ? entered - 1 : entered;
}

std::optional<int> CCommutationFormulas::KrelnPolesTaken(int entered, bool rotary)
{
    if (!rotary)
        return entered;
    const int poles = KrelnPolesShown(entered, rotary);
    if (poles < 2 || poles > 99)
        return std::nullopt;
    return poles;
}

std::optional<double> CCommutationFormulas::KrelnLinesTaken(double entered, bool rotary, double current)
{
    if (!std::isfinite(entered))
        return std::nullopt;
    if (!rotary)
        return entered * 100;
    if (entered == current || !(entered > 1 && entered < 1000000))
        return std::nullopt;
    return entered;
}

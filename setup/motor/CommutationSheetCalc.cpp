#include "setup/motor/CommutationSheetCalc.h"

#include <climits>
#include <cmath>

#include "foundation/NumberHelpers.h"
#include "setup/motor/CommutationConfigLayout.h"

namespace {
constexpr int kAllFeedback = kFeedbackQuadrature | kFeedbackSinCos | kFeedbackResolver | kFeedbackAbsEncoder |
                             kFeedbackTach | kFeedbackHall;

std::optional<CommutationCounts> Linear(double pitch, double resolution)
{
    if (!(resolution > 0) || !std::isfinite(pitch))
        return std::nullopt;
    const double counts = RoundHalfAway(pitch * 10 / resolution);
    if (!(counts >= 1 && counts <= INT_MAX))
        return std::nullopt;
    return CommutationCounts{static_cast<int>(counts), 1, 0};
}

std::optional<CommutationCounts> Rotary(double poles, double lines)
{
    if (!(lines >= 1 && lines * 4 <= INT_MAX) || !(poles >= 0 && poles <= INT_MAX))
        return std::nullopt;
    const unsigned c = 4u * static_cast<unsigned>(lines);
    const unsigned pairs = static_cast<unsigned>(poles) / 2;
    if (pairs == 0)
        return std::nullopt;
    const unsigned g = BinaryGcd(c, pairs);
    return CommutationCounts{static_cast<int>(c / g), static_cast<int>(pairs / g), 0};
}
}  // namespace

int CCommutationSheetCalc::ApplyExclusions(int mask, int bit)
{
    int cleared = 0;
    switch (bit) {
    case kFeedbackQuadrature:
        cleared = kFeedbackResolver | kFeedbackSinCos;
        break;
    case kFeedbackSinCos:
        cleared = kFeedbackQuadrature | kFeedbackResolver;
        break;
    case kFeedbackResolver:
        cleared = kFeedbackSinCos | kFeedbackQuadrature | kFeedbackAbsEncoder;
        break;
    case kFeedbackAbsEncoder:
        cleared = kFeedbackHall | kFeedbackResolver;
        break;
    case kFeedbackHall:
        cleared = kFeedbackAbsEncoder;
        break;
    default:
        break;
    }
    return (mask | bit) & ~cleared;
}

int CCommutationSheetCalc::AvailableFeedback(int motorType, std::optional<int> hardwareWord, bool absEncFirmwareOk)
{
    // Without the hardware word the type number stands in: no bit 4, 7 or 15.
    const int w = hardwareWord.value_or(motorType);
    int available = kFeedbackQuadrature;
    if (motorType != kMotorBrush && motorType != kMotorInduction)
        available |= kFeedbackHall;
    if (motorType != kMotorTwoPhase && motorType != kMotorInduction)
        available |= kFeedbackTach;
    if (w & 0x80)
        available |= kFeedbackResolver;
    if (w & 0x10)
        available |= kFeedbackSinCos;
    if ((w & 0x8000) && absEncFirmwareOk)
        available |= kFeedbackAbsEncoder;
    return available & kAllFeedback;
}

std::optional<int> CCommutationSheetCalc::MotorTypeFromCim(int cim)
{
    switch (cim) {
    case kInitSmartComm:
    case kInitHall:
    case kInitTwoPhase:
    case kInitResolver:
    case kInitAbsEncoder:
        return kMotorBrushless;
    case kInitBrush:
        return kMotorBrush;
    case kInitInduction:
        return kMotorInduction;
    default:
        return std::nullopt;
    }
}

int CCommutationSheetCalc::FeedbackFromDrive(int m, int c)
{
    const bool quadrature = (m & 0x01) != 0;
    const bool sinCos = (m & 0x02) && !quadrature;
    const bool resolver = ((m & 0x04) || c == kInitResolver) && c != kInitAbsEncoder && !sinCos && !quadrature;
    const bool absEncoder = ((m & 0x08) || c == kInitAbsEncoder) && c != kInitResolver && c != kInitHall;
    const bool hall = (m & 0x20) || c == kInitHall;
    const bool tach = (m & 0x10) != 0;
    return (quadrature ? kFeedbackQuadrature : 0) | (sinCos ? kFeedbackSinCos : 0) |
           (resolver ? kFeedbackResolver : 0) | (absEncoder ? kFeedbackAbsEncoder : 0) | (tach ? kFeedbackTach : 0) |
           (hall ? kFeedbackHall : 0);
}

std::optional<CommutationCounts> CCommutationSheetCalc::ComputeCounts(int motorKind, double poleEntry,
                                                                      double linesEntry)
{
    std::optional<CommutationCounts> result =
        motorKind == 1 ? Linear(poleEntry, linesEntry) : Rotary(poleEntry, linesEntry);
    if (!result || result->counts <= 0 || result->cycles <= 0)
        return std::nullopt;
    // Unsigned: one or two counts give scalings beyond INT_MAX.
    result->scaling = static_cast<DWORD>(std::floor(4294967295.0 / result->counts + 0.5));
    return result;
}

double CCommutationSheetCalc::CountsPerCycle(double counts, double cycles)
{
    return cycles == 0 ? 0.0 : counts / cycles;
}

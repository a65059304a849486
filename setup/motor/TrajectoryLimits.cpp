#include "setup/motor/TrajectoryLimits.h"

#include <algorithm>

#include "setup/motor/DriveModeWord.h"

namespace {
CString LimitLabel(const char* what, int cs, int mode, int mc)
{
    const char* unit = "rpm/sec";
    if (cs == 1 || (mode & CDriveModeWord::kPosition))
        unit = "rpm/sec";
    else if (!(mode & CDriveModeWord::kVelocity))
        unit = "amps/sec";
    else if (mc == 1)
        unit = "mm/sec^2";
    CString text;
    text.Format("%s (%s):", what, unit);
    return text;
}
}  // namespace

TrajectoryLabels CTrajectoryLimits::Labels(int cs, int mode, int mc)
{
    TrajectoryLabels labels;
    if (!NoAccelLimits(cs)) {
        labels.acceleration = LimitLabel("Acceleration", cs, mode, mc);
        labels.deceleration = LimitLabel("Deceleration", cs, mode, mc);
    }
    const bool loop = (mode & (CDriveModeWord::kVelocity | CDriveModeWord::kPosition)) != 0;
    const bool linear = loop && mc == 1;
    labels.zeroSpeed = linear ? "Zero Speed Window (mm/sec):" : "Zero Speed Window (rpm):";
    labels.velocityLimit = linear ? "Velocity Limit (mm/sec):" : "Velocity Limit (rpm):";
    return labels;
}

bool CTrajectoryLimits::LimitsAvailable(std::optional<int> hardwareWord, int cs, int mode)
{
    if (hardwareWord && (*hardwareWord & 0x1000))
        return true;
    return cs != 10 && cs != 11 && !(mode & CDriveModeWord::kPosition);
}

TrajectoryEnables CTrajectoryLimits::Enables(bool limitsAvailable, int cs, bool accelDisabled, bool decelDisabled)
{
    TrajectoryEnables enables;
    enables.velocityLimit = cs != 9 && cs != 6;
    enables.acceleration = limitsAvailable && !accelDisabled;
    enables.deceleration = limitsAvailable && !decelDisabled;
    enables.disabledBoxes = limitsAvailable;
    return enables;
}

std::optional<int> CTrajectoryLimits::FlippedLimit(int last, int cs, double gain)
{
    if (NoAccelLimits(cs) || !(gain > 0))
        return std::nullopt;
    return -std::max(last, -32767);
}

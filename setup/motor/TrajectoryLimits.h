// Labels, enable rules and the limit sign flip of the trajectory generator
// window. A negative acceleration (44) or deceleration (140) limit switches the
// limit off.
#pragma once

#include <optional>

#include "platform/core/String.h"

struct TrajectoryLabels {
    // Empty when the drive's command source leaves the labels as they are.
    std::optional<CString> acceleration;
    std::optional<CString> deceleration;
    CString zeroSpeed;
    CString velocityLimit;
};

struct TrajectoryEnables {
    bool velocityLimit = false;
    bool acceleration = false;   // edits and label
    bool deceleration = false;
    bool disabledBoxes = false;
};

class CTrajectoryLimits {
public:
    static TrajectoryLabels Labels(int cs, int mode, int mc);
    static bool LimitsAvailable(std::optional<int> hardwareWord, int cs, int mode);
    static TrajectoryEnables Enables(bool limitsAvailable, int cs, bool accelDisabled, bool decelDisabled);
    // The value a "Disabled" click writes, or nullopt when nothing is written.
    static std::optional<int> FlippedLimit(int last, int cs, double gain);

private:
    static bool NoAccelLimits(int cs) { return cs == 10 || cs == 6 || cs == 11; }
};

// Enable rules of the velocity mode page: which controls follow the mode, which
// need the drive disabled, and the firmware gates of the PWM command sources.
#pragma once

#include <optional>

class CVelModePageRules {
public:
    // Velocity mode is on for the page: Enable checked and position mode off.
    static bool ModeOn(bool enableChecked, int lastMode) { return enableChecked && !(lastMode & 4); }
    // Enabled state of child control id; nullopt for controls the rules leave alone.
    static std::optional<bool> ControlEnabled(int id, bool modeOn, bool driveEnabled);
    // A PWM source is offered from the firmware version the factory settings
    // name (minVersion -1 when they name none).
    static bool PwmEnabled(bool modeOn, std::optional<double> version, double minVersion);
};

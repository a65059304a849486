// CTuningModeSet: the three loops the function generator can step, sharing
// one set of step settings; slots 0 current, 1 velocity, 2 position (3 and 4
// unused). The settings dialog edits it; the generator reads it.
#pragma once

#include <array>
#include <memory>

#include "setup/tuning/TFGAbstractBaseMode.h"

class CTuningModeSet {
public:
    CTuningModeSet();

    // Position with flag 4, else velocity with flag 2, else current.
    CTFGAbstractBaseMode& ActiveMode(int driveModeFlags);
    CTFGAbstractBaseMode& Mode(int slot) { return *m_modes[static_cast<size_t>(slot)]; }
    void LoadRecord(const StepResponseRecord& record);
    void FillRecord(StepResponseRecord& record) const;

    TuningStepSettings m_settings;

private:
    std::array<std::unique_ptr<CTFGAbstractBaseMode>, 5> m_modes;
};

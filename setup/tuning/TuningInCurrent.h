// CTuningInCurrent: stepping the current loop, in amps.
#pragma once

#include "setup/tuning/TFGAbstractBaseMode.h"

class CTuningInCurrent : public CTFGAbstractBaseMode {
public:
    explicit CTuningInCurrent(TuningStepSettings* settings) : CTFGAbstractBaseMode(settings, 2) {}
    CString GetBaseLabel(int) override { return "Base Current (amps):"; }
    CString GetTargetLabel(int) override { return "Target Current (amps):"; }
    double ToDriveUnits(double value, const TuningContext& context) override;
    bool Validate(double value, const char* name, const TuningContext& context, CString& error) override;
};

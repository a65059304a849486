// CTuningInPosition: stepping the position loop, in counts.
#pragma once

#include "setup/tuning/TFGAbstractBaseMode.h"

class CTuningInPosition : public CTFGAbstractBaseMode {
public:
    explicit CTuningInPosition(TuningStepSettings* settings) : CTFGAbstractBaseMode(settings, 0) {}
    CString GetBaseLabel(int) override { return "Base Position"; }
    CString GetTargetLabel(int) override { return "Target Position"; }
    double ToDriveUnits(double value, const TuningContext&) override { return value; }
    bool Validate(double value, const char* name, const TuningContext& context, CString& error) override;

protected:
    // The position register holds 32 bits.
    double RegisterMin() const override { return -2147483648.0; }
    double RegisterMax() const override { return 2147483647.0; }
};

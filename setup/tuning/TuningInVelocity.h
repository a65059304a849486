// CTuningInVelocity: stepping the velocity loop, in rpm or mm/s.
#pragma once

#include "setup/tuning/TFGAbstractBaseMode.h"

class CTuningInVelocity : public CTFGAbstractBaseMode {
public:
    explicit CTuningInVelocity(TuningStepSettings* settings) : CTFGAbstractBaseMode(settings, 2) {}
    CString GetBaseLabel(int motorType) override;
    CString GetTargetLabel(int motorType) override;
    double ToDriveUnits(double value, const TuningContext& context) override;
    bool Validate(double value, const char* name, const TuningContext& context, CString& error) override;

private:
    static double Factor(const TuningContext& context);
};

#include "setup/tuning/TuningInVelocity.h"

#include <cmath>

CString CTuningInVelocity::GetBaseLabel(int motorType)
{
    return motorType == 1 ? "Base Velocity (mm/sec):" : "Base Velocity (rpm):";
}

CString CTuningInVelocity::GetTargetLabel(int motorType)
{
    return motorType == 1 ? "Target Velocity (mm/sec):" : "Target Velocity (rpm):";
}

double CTuningInVelocity::Factor(const TuningContext& context)
{
    return context.cs > 15 && context.etf == 1.0 ? context.velTachGain : context.velGain;
}

double CTuningInVelocity::ToDriveUnits(double value, const TuningContext& context)
{
    const double k = Factor(context);
    return k != 0 ? std::trunc(value / k) : 0.0;
}

bool CTuningInVelocity::Validate(double value, const char* name, const TuningContext& context, CString& error)
{
    const double k = Factor(context);
    const double low = std::fmin(-32767 * k, 32767 * k), high = std::fmax(-32767 * k, 32767 * k);
    if (value >= low && value <= high)
        return true;
    error = RangeMessage("ERROR:\t%s Velocity\tRange:%-8.2lf..%8.2lf", name, low, high);
    return false;
}

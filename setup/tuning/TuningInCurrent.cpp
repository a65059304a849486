#include "setup/tuning/TuningInCurrent.h"

#include <cmath>

double CTuningInCurrent::ToDriveUnits(double value, const TuningContext& context)
{
    return context.currentGain != 0 ? value / context.currentGain : 0.0;
}

bool CTuningInCurrent::Validate(double value, const char* name, const TuningContext& context, CString& error)
{
    const double low = std::floor(-32767 * context.currentGain);
    const double high = std::ceil(32767 * context.currentGain);
    if (value >= low && value <= high)
        return true;
    error = RangeMessage("ERROR:\t%s Current\tRange:%-8.2lf..%8.2lf", name, low, high);
    return false;
}

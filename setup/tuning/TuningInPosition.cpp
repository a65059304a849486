#include "setup/tuning/TuningInPosition.h"

bool CTuningInPosition::Validate(double value, const char* name, const TuningContext&, CString& error)
{
    constexpr double kLimit = 4294967295.0;
    if (value >= -kLimit && value <= kLimit)
        return true;
    error = RangeMessage("ERROR:\t%s Position\tRange:%-8.2lf..%8.2lf", name, -kLimit, kLimit);
    return false;
}

#include "setup/tuning/TFGAbstractBaseMode.h"

#include <cmath>

bool CTFGAbstractBaseMode::ValidateStep(const TuningContext& context, CString& error)
{
    if (!Validate(m_base, "Base", context, error) || !Validate(m_target, "Target", context, error))
        return false;
    // The commanded values are base plus or minus the target: each must be in range too.
    return Validate(m_base + m_target, "Target", context, error) && Validate(m_base - m_target, "Target", context, error);
}

int CTFGAbstractBaseMode::ToDriveValue(double value, const TuningContext& context)
{
    const double drive = std::trunc(ToDriveUnits(value, context));
    if (std::isnan(drive))
        return 0;
    if (drive < RegisterMin())
        return static_cast<int>(RegisterMin());
    if (drive > RegisterMax())
        return static_cast<int>(RegisterMax());
    return static_cast<int>(drive);
}

CString CTFGAbstractBaseMode::FormatValue(double value) const
{
    CString text;
    text.Format("%.*f", m_decimals, value);
    return text;
}

CString CTFGAbstractBaseMode::RangeMessage(const char* format, const char* name, double low, double high)
{
    CString text;
    text.Format(format, name, low, high);
    return text;
}

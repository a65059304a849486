#include "setup/motor/LinearMotor.h"

#include <climits>

#include "foundation/NumberHelpers.h"

DWORD CLinearMotor::ComputeScaling(int, int b)
{
    if (b != 0 && m_counts > 0)
        m_scaling = ScalingForCounts(m_counts);
    return m_scaling;
}

int CLinearMotor::ComputeCounts(int pitch, double resolution) const
{
    const double resolutionUm = resolution / 100;
    if (!(resolutionUm > 0))
        return 0;
    const double counts = RoundHalfAway(pitch * 10.0 / resolutionUm);
    // A tiny resolution must not overflow the conversion; the window rejects 0.
    if (counts > INT_MAX || counts < INT_MIN)
        return 0;
    return static_cast<int>(counts);
}

int CLinearMotor::ComputeCycles()
{
    m_cycles = 1;
    return m_cycles;
}

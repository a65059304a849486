#include "setup/motor/RotaryMotor.h"

namespace {
// Four counts per encoder line; a fraction of a line does not count.
int CountsPerRevolution(double lines)
{
    return 4 * static_cast<int>(lines);
}

// The largest n in [2, pairs] dividing both; 1 when none does.
int CommonDivisor(int pairs, int counts)
{
    for (int n = pairs; n >= 2; --n) {
        if (pairs % n == 0 && counts % n == 0)
            return n;
    }
    return 1;
}
}  // namespace

DWORD CRotaryMotor::ComputeScaling(int, int)
{
    m_scaling = ScalingForCounts(m_counts);
    return m_scaling;
}

int CRotaryMotor::ComputeCounts(int poles, double lines) const
{
    const int pairs = poles >> 1;
    const int counts = CountsPerRevolution(lines);
    if (pairs <= 1)
        return counts;
    return counts / CommonDivisor(pairs, counts);
}

int CRotaryMotor::ComputeCycles()
{
    const int pairs = m_poleValue >> 1;
    m_cycles = pairs;
    if (pairs <= 1)
        return m_cycles;
    m_cycles = pairs / CommonDivisor(pairs, CountsPerRevolution(m_lineValue));
    return m_cycles;
}

#include "comm/demo/DemoLoopModel.h"

void CDemoLoopModel::Command(double target)
{
    m_target = target;
    m_active = true;
}

double CDemoLoopModel::Step()
{
    if (!m_active)
        return m_value;
    // Semi-implicit Euler: stable at this step for the chosen frequency.
    const double accel = kNaturalRadPerSecond * kNaturalRadPerSecond * (m_target - m_value) -
                         2.0 * kDamping * kNaturalRadPerSecond * m_rate;
    m_rate += accel * kCycleSeconds;
    m_value += m_rate * kCycleSeconds;
    return m_value;
}

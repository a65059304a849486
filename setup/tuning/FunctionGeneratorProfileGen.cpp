#include "setup/tuning/FunctionGeneratorProfileGen.h"

#include <cmath>

void CFunctionGeneratorProfileGen::Start(const TuningContext& context)
{
    const CTFGAbstractBaseMode& mode = m_modes.ActiveMode(context.driveModeFlags);
    const TuningStepSettings& settings = m_modes.m_settings;
    m_base = mode.m_base;
    m_amplitude = mode.m_target;
    m_duration = settings.Duration;
    m_dwell = settings.Dwell;
    m_direction = settings.Direction == 1 ? kForward : settings.Direction == -1 ? kReverse : kBidirectional;
    m_steps = settings.TestMode == 1 ? settings.StepsPerTest : -1;
    m_remaining = m_steps;
    m_period = m_duration + m_dwell;
    if (m_direction == kBidirectional)
        m_period *= 2;
    m_stopwatch.Restart();
    m_running = true;
}

bool CFunctionGeneratorProfileGen::GetValue(double& value)
{
    const double t = m_stopwatch.GetElapsedSeconds();
    if (!(m_period > 0))
        return false;  // settings that give no period never step
    const double periods = std::trunc(t / m_period);
    const int k = periods < 2147483647.0 ? static_cast<int>(periods) : 2147483647;
    m_remaining = m_steps - k;
    if (m_steps != -1 && k >= m_steps)
        return false;
    const double e = std::fmod(t, m_period);
    switch (m_direction) {
    case kForward:
        value = e < m_duration ? m_base + m_amplitude : m_base;
        break;
    case kReverse:
        value = e < m_duration ? m_base - m_amplitude : m_base;
        break;
    default:
        if (e < m_duration)
            value = m_base + m_amplitude;
        else if (e < m_duration + m_dwell)
            value = m_base;
        else if (e < 2 * m_duration + m_dwell)
            value = m_base - m_amplitude;
        else
            value = m_base;
        break;
    }
    return true;
}

bool CFunctionGeneratorProfileGen::GetDriveValue(const TuningContext& context, int& value)
{
    double engineering = 0;
    if (!GetValue(engineering))
        return false;
    value = m_modes.ActiveMode(context.driveModeFlags).ToDriveValue(engineering, context);
    return true;
}

CString CFunctionGeneratorProfileGen::GetStartText() const
{
    if (m_running)
        return "Stop";
    return m_modes.m_settings.TestMode == 1 ? "Start (Sample)" : "Start (Continuous)";
}

#include "HPTimer.h"

#include "platform/core/Clock.h"
#include "platform/core/SingleLock.h"

ULONGLONG CHPTimer::Now() { return GetTickCount64(); }

CHPTimer::CHPTimer(const CHPTimer& other) { CopyFrom(other); }

CHPTimer& CHPTimer::operator=(const CHPTimer& other)
{
    if (this != &other)
        CopyFrom(other);
    return *this;
}

void CHPTimer::Restart(double offsetSeconds)
{
    CSingleLock lock(&m_lock, TRUE);
    m_startTick = m_lastTick = Now();
    m_accumulated = 0.0;
    m_paused = 0;
    m_offset = offsetSeconds;
}

double CHPTimer::GetElapsedSeconds()
{
    CSingleLock lock(&m_lock, TRUE);
    if (!m_paused) {
        const ULONGLONG now = Now();
        const auto interval = static_cast<LONGLONG>(now - m_lastTick);
        m_lastTick = now;
        m_accumulated += static_cast<double>(interval) / static_cast<double>(m_ticksPerSecond) * m_scale;
    }
    return m_accumulated + m_offset;
}

void CHPTimer::Pause()
{
    GetElapsedSeconds();
    CSingleLock lock(&m_lock, TRUE);
    m_paused = 1;
}

void CHPTimer::Resume()
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_paused) {
        m_lastTick = Now();
        m_paused = 0;
    }
}

void CHPTimer::SetScale(double scale)
{
    CSingleLock lock(&m_lock, TRUE);
    m_scale = scale;
}

void CHPTimer::CopyFrom(const CHPTimer& other)
{
    if (this == &other)
        return;
    double offset, accumulated, scale;
    ULONGLONG startTick, lastTick;
    LONGLONG ticksPerSecond;
    int paused;
    {
        CSingleLock theirs(&other.m_lock, TRUE);
        offset = other.m_offset;
        accumulated = other.m_accumulated;
        scale = other.m_scale;
        startTick = other.m_startTick;
        lastTick = other.m_lastTick;
        ticksPerSecond = other.m_ticksPerSecond;
        paused = other.m_paused;
    }
    CSingleLock lock(&m_lock, TRUE);
    m_offset = offset;
    m_accumulated = accumulated;
    m_scale = scale;
    m_startTick = startTick;
    m_lastTick = lastTick;
    m_ticksPerSecond = ticksPerSecond;
    m_paused = paused;
}

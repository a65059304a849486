// CHPTimer: a stopwatch on the millisecond clock, read as seconds. It counts
// on a 64-bit clock, so it never jumps back when the 32-bit clock wraps.
#pragma once

#include "platform/core/Mutex.h"
#include "platform/core/WinTypes.h"

class CHPTimer {
public:
    CHPTimer() = default;
    CHPTimer(const CHPTimer& other);
    CHPTimer& operator=(const CHPTimer& other);
    virtual ~CHPTimer() = default;

    void Restart(double offsetSeconds = 0.0);
    double GetElapsedSeconds();
    void Pause();
    void Resume();
    void SetScale(double scale);
    void CopyFrom(const CHPTimer& other);

private:
    static ULONGLONG Now();

    double m_offset = 0.0;
    double m_accumulated = 0.0;
    double m_scale = 1.0;
    ULONGLONG m_startTick = 0;
    LONGLONG m_ticksPerSecond = 1000;
    ULONGLONG m_lastTick = 0;
    int m_paused = 0;
    mutable CMutex m_lock;
};

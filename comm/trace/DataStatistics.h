// CDataStatistics: a time-windowed series of samples (time, size) with
// all-time sum, count, minimum and maximum, under its own lock.
#pragma once

#include <deque>

#include "foundation/HPTimer.h"
#include "platform/core/Mutex.h"

class CDataStatistics {
public:
    CDataStatistics() { Reset(); }
    CDataStatistics(const CDataStatistics&) = delete;
    CDataStatistics& operator=(const CDataStatistics&) = delete;

    void AddSample(DWORD size);
    void Reset();
    // Samples older than the window are dropped; 0 keeps only the current instant.
    void SetWindow(double seconds);
    double GetWindow();

    // Samples per second; -1 when no time has passed, 0 without samples.
    double GetRate();
    // Sizes per second, in the same way.
    double GetSizeRate();
    double GetAverage();
    // A measure by number, as the statistics window shows it: 1 count, 2 sum,
    // 3 samples per second, 4 sizes per second, 5 average, 6 minimum, 7 maximum.
    double GetMeasure(int measure);
    int GetCount();
    DWORD GetSum();
    DWORD GetMinimum();
    DWORD GetMaximum();

private:
    struct Sample {
        double time;
        DWORD size;
    };
    void DropExpired(double now);
    double RateOf(double amount, double now);

    CMutex m_lock;
    std::deque<Sample> m_samples;
    DWORD m_sum = 0;
    int m_count = 0;
    DWORD m_minimum = 0xFFFFFFFF;
    DWORD m_maximum = 0;
    CHPTimer m_clock;
    double m_window = 0.0;
};

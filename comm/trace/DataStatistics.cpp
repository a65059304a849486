#include "comm/trace/DataStatistics.h"

#include "platform/core/SingleLock.h"

void CDataStatistics::AddSample(DWORD size)
{
    CSingleLock lock(&m_lock, TRUE);
    m_sum += size;
    ++m_count;
    if (size < m_minimum)
        m_minimum = size;
    if (size > m_maximum)
        m_maximum = size;
    const double now = m_clock.GetElapsedSeconds();
    m_samples.push_back({now, size});
    DropExpired(now);
}

void CDataStatistics::Reset()
{
    CSingleLock lock(&m_lock, TRUE);
    m_sum = 0;
    m_count = 0;
    m_maximum = 0;
    m_minimum = 0xFFFFFFFF;
    m_clock.Restart();
    m_samples.clear();
}

void CDataStatistics::SetWindow(double seconds)
{
    CSingleLock lock(&m_lock, TRUE);
    m_window = seconds;
}

double CDataStatistics::GetWindow()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_window;
}

void CDataStatistics::DropExpired(double now)
{
    while (!m_samples.empty() && now - m_window > m_samples.front().time)
        m_samples.pop_front();
}

double CDataStatistics::RateOf(double amount, double now)
{
    const double since = m_window > 0.0 ? now - m_samples.front().time : now - m_samples.back().time;
    if (since <= 0.0)
        return -1.0;
    return amount / since;
}

double CDataStatistics::GetRate()
{
    CSingleLock lock(&m_lock, TRUE);
    const double now = m_clock.GetElapsedSeconds();
    DropExpired(now);
    if (m_samples.empty())
        return 0.0;
    return RateOf(m_window > 0.0 ? static_cast<double>(m_samples.size()) : 1.0, now);
}

double CDataStatistics::GetSizeRate()
{
    CSingleLock lock(&m_lock, TRUE);
    const double now = m_clock.GetElapsedSeconds();
    DropExpired(now);
    if (m_samples.empty())
        return 0.0;
    double sizes = m_samples.back().size;
    if (m_window > 0.0) {
        sizes = 0.0;
        for (const Sample& sample : m_samples)
            sizes += sample.size;
    }
    return RateOf(sizes, now);
}

double CDataStatistics::GetAverage()
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_window <= 0.0)
        return m_count > 0 ? static_cast<double>(m_sum) / m_count : 0.0;
    DropExpired(m_clock.GetElapsedSeconds());
    if (m_samples.empty())
        return 0.0;
    double sizes = 0.0;
    for (const Sample& sample : m_samples)
        sizes += sample.size;
    return sizes / static_cast<double>(m_samples.size());
}

int CDataStatistics::GetCount()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_count;
}

DWORD CDataStatistics::GetSum()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_sum;
}

DWORD CDataStatistics::GetMinimum()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_minimum;
}

DWORD CDataStatistics::GetMaximum()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_maximum;
}

double CDataStatistics::GetMeasure(int measure)
{
    switch (measure) {
    case 1: return GetCount();
    case 2: return GetSum();
    case 3: return GetRate();
    case 4: return GetSizeRate();
    case 5: return GetAverage();
    case 6: return GetMinimum();
    case 7: return GetMaximum();
    default: return 0.0;
    }
}

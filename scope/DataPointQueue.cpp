#include "DataPointQueue.h"

#include "platform/core/SingleLock.h"

void CDataPointQueue::Clear()
{
    CSingleLock lock(&m_lock, TRUE);
    m_points.clear();
}

void CDataPointQueue::Append(const CDataPoint& point)
{
    CSingleLock lock(&m_lock, TRUE);
    m_points.push_back(point);
}

void CDataPointQueue::TrimOlderThan(double span)
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_points.empty())
        return;
    const double oldestKept = m_points.back().m_time - span;
    while (!m_points.empty() && m_points.front().m_time < oldestKept)
        m_points.pop_front();
}

double CDataPointQueue::Snapshot(std::vector<CDataPoint>& points) const
{
    CSingleLock lock(&m_lock, TRUE);
    points.assign(m_points.begin(), m_points.end());
    return m_points.empty() ? 0.0 : m_points.back().m_time - m_points.front().m_time;
}

double CDataPointQueue::GetOldestTime() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_points.empty() ? 0.0 : m_points.front().m_time;
}

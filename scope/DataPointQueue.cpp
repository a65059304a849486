#include "DataPointQueue.h"

#include "platform/core/SingleLock.h"

void CDataPointQueue::Clear()
{
    CSingleLock lock(&m_lock, TRUE);
    m_points.clear();
    m_oldestTime = m_newestTime = 0.0;
}

void CDataPointQueue::Append(const CDataPoint& point)
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_points.empty())
        m_oldestTime = point.m_time;
    m_points.push_back(point);
    m_newestTime = point.m_time;
}

void CDataPointQueue::TrimOlderThan(double span)
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_points.empty())
        return;
    const double oldestKept = m_newestTime - span;
    while (!m_points.empty() && m_points.front().m_time < oldestKept)
        m_points.pop_front();
    m_oldestTime = m_points.empty() ? m_newestTime : m_points.front().m_time;
}

double CDataPointQueue::Snapshot(std::vector<CDataPoint>& points) const
{
    CSingleLock lock(&m_lock, TRUE);
    points.assign(m_points.begin(), m_points.end());
    return m_points.empty() ? 0.0 : m_newestTime - m_oldestTime;
}

int CDataPointQueue::GetCount() const
{
    CSingleLock lock(&m_lock, TRUE);
    return static_cast<int>(m_points.size());
}

double CDataPointQueue::GetOldestTime() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_oldestTime;
}

double CDataPointQueue::GetNewestTime() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_newestTime;
}

// CDataPointQueue: the pre-trigger history, the newest few seconds of samples
// kept while monitoring so a recording can begin before its trigger.
#pragma once

#include <deque>
#include <vector>

#include "DataPoint.h"
#include "platform/core/Mutex.h"

class CDataPointQueue {
public:
    void Clear();
    void Append(const CDataPoint& point);
    // Drops every point older than `span` seconds before the newest one.
    void TrimOlderThan(double span);
    // The points from the oldest; the result is their span (newest - oldest time), 0 when empty.
    double Snapshot(std::vector<CDataPoint>& points) const;
    // The time of the oldest point kept, 0 when empty.
    double GetOldestTime() const;

private:
    std::deque<CDataPoint> m_points;
    mutable CMutex m_lock;
};

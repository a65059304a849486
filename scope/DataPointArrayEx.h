// CDataPointArrayEx: one block of samples of the recording buffer, with the
// file range it came from or goes to, guarded by its own lock.
#pragma once

#include <cstdint>
#include <vector>

#include "DataPoint.h"
#include "platform/core/Mutex.h"

class CDataPointArrayEx {
public:
    void SetCapacity(int capacity)
    {
        m_points.assign(static_cast<size_t>(capacity), CDataPoint());
        m_count = 0;
        m_firstOffset = 4;
        m_lastOffset = 3;
    }
    int GetCapacity() const { return static_cast<int>(m_points.size()); }
    void Free()
    {
        std::vector<CDataPoint>().swap(m_points);
        m_count = 0;
    }

    std::vector<CDataPoint> m_points;
    int64_t m_firstOffset = 4;  // file offset of the first byte
    int64_t m_lastOffset = 3;  // file offset of the last byte
    int m_count = 0;  // valid points
    CMutex m_lock;
};

// CDataPointTimeIndex: the file offsets of samples about a second apart, so
// playback can seek by time in a recording of hours.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/core/Mutex.h"

struct CDataPointTimeIndexItem {
    double m_time = 0.0;
    int32_t m_offset = 0;
    int32_t m_reserved = 0;
};
static_assert(sizeof(CDataPointTimeIndexItem) == 16, "an index item is 16 bytes in the file");

class CDataPointTimeIndex {
public:
    void Clear();
    // Adds (time, offset) when a second or more has passed since the last item.
    void AddIfDue(int64_t offset, double time);
    // The offset of the last item at or before the time; 0 (the data start) when none is.
    int64_t FindOffset(double time) const;
    int GetCount() const;
    std::vector<CDataPointTimeIndexItem> GetItems() const;
    void SetItems(std::vector<CDataPointTimeIndexItem> items);

    // A 32-bit count and the items; FALSE on a short write.
    BOOL Write(FILE* stream) const;

    CMutex m_lock;

private:
    std::vector<CDataPointTimeIndexItem> m_items;
    double m_lastTime = 0.0;
};

// CDataPoint: one recorded sample, 24 bytes in memory and in a scope data file.
#pragma once

#include <cstdint>

struct CDataPoint {
    int32_t m_sourceId = 0;  // only 0..255 occur; readers use the low byte
    int32_t m_reserved = 0;
    double m_time = 0.0;  // seconds from the start of the recording
    double m_value = 0.0;  // engineering units
};
static_assert(sizeof(CDataPoint) == 24, "a data point is one 24-byte record of the data file");

// CDataStatisticsMap: statistics by 32-bit key, created on first use; owns them.
#pragma once

#include "comm/trace/DataStatistics.h"
#include "platform/core/Map.h"

class CDataStatisticsMap {
public:
    CDataStatisticsMap() = default;
    virtual ~CDataStatisticsMap() { RemoveAll(); }
    CDataStatisticsMap(const CDataStatisticsMap&) = delete;
    CDataStatisticsMap& operator=(const CDataStatisticsMap&) = delete;

    // Never null: a missing key gets an empty object with window 0.
    CDataStatistics* GetStatistics(DWORD key);
    void RemoveAll();
    void ResetAll();

protected:
    CMutex m_mapLock;

private:
    CMap<DWORD, DWORD, CDataStatistics*, CDataStatistics*> m_map;
};

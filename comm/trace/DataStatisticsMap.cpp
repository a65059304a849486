#include "comm/trace/DataStatisticsMap.h"

#include "platform/core/SingleLock.h"

CDataStatistics* CDataStatisticsMap::GetStatistics(DWORD key)
{
    CSingleLock lock(&m_mapLock, TRUE);
    CDataStatistics* statistics = nullptr;
    if (!m_map.Lookup(key, statistics)) {
        statistics = new CDataStatistics;
        m_map.SetAt(key, statistics);
    }
    return statistics;
}

void CDataStatisticsMap::RemoveAll()
{
    CSingleLock lock(&m_mapLock, TRUE);
    POSITION pos = m_map.GetStartPosition();
    while (pos) {
        DWORD key;
        CDataStatistics* statistics;
        m_map.GetNextAssoc(pos, key, statistics);
        delete statistics;
    }
    m_map.RemoveAll();
}

void CDataStatisticsMap::ResetAll()
{
    CSingleLock lock(&m_mapLock, TRUE);
    POSITION pos = m_map.GetStartPosition();
    while (pos) {
        DWORD key;
        CDataStatistics* statistics;
        m_map.GetNextAssoc(pos, key, statistics);
        statistics->Reset();
    }
}

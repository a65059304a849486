#include "distribution/MonitorDistCenterQueryDataMapQ.h"

#include "platform/core/SingleLock.h"

CMonitorDistCenterQueryDataMapQ::~CMonitorDistCenterQueryDataMapQ()
{
    CSingleLock lock(&m_lock, TRUE);
    while (!m_snapshots.IsEmpty())
        delete m_snapshots.RemoveHead();
}

void CMonitorDistCenterQueryDataMapQ::Append(CMonitorDistCenterQueryDataMap* snapshot)
{
    CSingleLock lock(&m_lock, TRUE);
    m_snapshots.AddTail(snapshot);
}

CMonitorDistCenterQueryDataMap* CMonitorDistCenterQueryDataMapQ::Pop()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_snapshots.IsEmpty() ? nullptr : m_snapshots.RemoveHead();
}

int CMonitorDistCenterQueryDataMapQ::GetCount() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_snapshots.GetCount();
}

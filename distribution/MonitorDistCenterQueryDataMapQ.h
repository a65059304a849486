// CMonitorDistCenterQueryDataMapQ: the hand-over of snapshots from the
// distribution manager's thread to the monitor window; owns what it holds.
#pragma once

#include "distribution/MonitorDistCenterQueryDataMap.h"
#include "platform/core/List.h"
#include "platform/core/Mutex.h"

class CMonitorDistCenterQueryDataMapQ {
public:
    CMonitorDistCenterQueryDataMapQ() = default;
    ~CMonitorDistCenterQueryDataMapQ();
    CMonitorDistCenterQueryDataMapQ(const CMonitorDistCenterQueryDataMapQ&) = delete;
    CMonitorDistCenterQueryDataMapQ& operator=(const CMonitorDistCenterQueryDataMapQ&) = delete;

    void Append(CMonitorDistCenterQueryDataMap* snapshot);  // takes ownership
    // The oldest snapshot, now the caller's; null when empty.
    CMonitorDistCenterQueryDataMap* Pop();
    int GetCount() const;

private:
    mutable CMutex m_lock;
    CList<CMonitorDistCenterQueryDataMap*, CMonitorDistCenterQueryDataMap*> m_snapshots;
};

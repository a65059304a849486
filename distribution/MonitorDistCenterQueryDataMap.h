// CMonitorDistCenterQueryDataMap: one snapshot of the distribution manager's
// jobs by job id; owns its records.
#pragma once

#include "distribution/MonitorDistCenterQueryData.h"

class CMonitorDistCenterQueryDataMap : public CMap<DWORD, DWORD, CMonitorDistCenterQueryData*, CMonitorDistCenterQueryData*> {
public:
    CMonitorDistCenterQueryDataMap() = default;
    CMonitorDistCenterQueryDataMap(const CMonitorDistCenterQueryDataMap&) = delete;
    CMonitorDistCenterQueryDataMap& operator=(const CMonitorDistCenterQueryDataMap&) = delete;
    ~CMonitorDistCenterQueryDataMap() override;
};

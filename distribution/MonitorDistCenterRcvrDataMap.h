// CMonitorDistCenterRcvrDataMap: a job's receivers in a monitor snapshot, by query id.
#pragma once

#include "distribution/MonitorDistCenterRcvrData.h"
#include "platform/core/Map.h"

class CMonitorDistCenterRcvrDataMap
    : public CMap<DWORD, DWORD, CMonitorDistCenterRcvrData, const CMonitorDistCenterRcvrData&> {};

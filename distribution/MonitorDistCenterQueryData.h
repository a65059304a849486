// CMonitorDistCenterQueryData: one job of a monitor snapshot with its timings
// (ms) and its receivers.
#pragma once

#include "distribution/MonitorDistCenterRcvrDataMap.h"

class CMonitorDistCenterQueryData {
public:
    DWORD m_jobId = 0;
    int m_address = 0;
    // The job's code, or sub-command code * 65536 + the job's code.
    DWORD m_commandKey = 0;
    LONG m_subValue = 0;
    DWORD m_period = 0;
    DWORD m_interval = 0;
    DWORD m_roundTrip = 0;
    DWORD m_answerTime = 0;
    LONG m_lastValue = 0;
    CMonitorDistCenterRcvrDataMap m_receivers;
};

// CMonitorDistCenterRcvrData: one receiver of a job, as the distribution
// monitor shows it.
#pragma once

#include "platform/core/String.h"

class CMonitorDistCenterRcvrData {
public:
    CString m_receiverName;
    int m_address = 0;
    DWORD m_queryId = 0;
    DWORD m_time = 0;
    DWORD m_lastInterval = 0;
};

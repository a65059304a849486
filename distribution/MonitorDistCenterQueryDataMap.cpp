#include "distribution/MonitorDistCenterQueryDataMap.h"

CMonitorDistCenterQueryDataMap::~CMonitorDistCenterQueryDataMap()
{
    for (POSITION pos = GetStartPosition(); pos;) {
        DWORD jobId;
        CMonitorDistCenterQueryData* record;
        GetNextAssoc(pos, jobId, record);
        delete record;
    }
    RemoveAll();
}

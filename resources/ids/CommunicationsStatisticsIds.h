// The Communications Statistics window (resources/comm.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(CommunicationsStatisticsIds)
KV_ID(IDD_COMMUNICATIONS_STATISTICS, 325)
KV_ID(IDC_COMM_STATISTICS_LIST, 2268)
KV_IDS_END

// The Watch Window of the debug watch (resources/tools.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(DebugWatchIds)
KV_ID(IDD_DEBUG_WATCH, 314)
KV_ID(IDC_DEBUG_WATCH_LIST, 1674)
KV_ID(IDC_DEBUG_WATCH_MESSAGES, 2669)
KV_IDS_END

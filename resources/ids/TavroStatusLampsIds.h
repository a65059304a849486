// The Tavro Drive Status lamp window (resources/digitalio.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(TavroStatusLampsIds)
KV_ID(IDD_TAVRO_STATUS_LAMPS, 345)
KV_ID(IDC_TAVRO_LAMPS_UPPER, 2341)
KV_ID(IDC_TAVRO_LAMPS_LOWER, 2340)
KV_IDS_END

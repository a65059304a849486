// The Register Flag Tool window (resources/io.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(RegisterFlagToolIds)
KV_ID(IDD_REGISTER_FLAG_TOOL, 402)
KV_ID(IDC_FLAG_TOOL_LIST, 2777)
KV_IDS_END

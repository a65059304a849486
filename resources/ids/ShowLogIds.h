// The Log viewer (resources/tools.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(ShowLogIds)
KV_ID(IDD_SHOW_LOG, 313)
KV_ID(IDC_SHOW_LOG_VIEW, 2295)
KV_ID(IDC_SHOW_LOG_SAVE_FILE, 2203)
KV_ID(IDC_SHOW_LOG_SAVE_CLIPBOARD, 2204)
KV_IDS_END

// The Warning dialog (resources/controls.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(WarningIds)
KV_ID(IDD_WARNING, 319)
KV_ID(IDC_WARN_NO, 1697)
KV_ID(IDC_WARN_YES, 1698)
KV_ID(IDC_WARN_TEXT, 1699)
KV_ID(IDC_WARN_DONT_SHOW, 1700)
KV_ID(IDC_WARN_ICON, 1701)
KV_IDS_END

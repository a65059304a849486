// The Windows List dialog (resources/tools.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(OpenWindowsListIds)
KV_ID(IDD_OPEN_WINDOWS_LIST, 357)
KV_ID(IDC_OPEN_WINDOWS_LIST, 2268)
KV_ID(IDC_OPEN_WINDOWS_TO_FRONT, 2445)
KV_ID(IDC_OPEN_WINDOWS_CLOSE, 2057)
KV_IDS_END

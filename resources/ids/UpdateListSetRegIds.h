// The "Modify Drive Setting" dialog of the drive-settings list (resources/framework.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(UpdateListSetRegIds)
KV_ID(IDD_UPDATELIST_SETREG, 399)
KV_ID(IDC_SETREG_PROMPT, 3990)
KV_ID(IDC_SETREG_VALUE, 3991)
KV_ID(IDC_SETREG_CHOICES, 3992)
KV_IDS_END

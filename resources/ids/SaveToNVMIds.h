// The Save to NVM dialog (resources/motor.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(SaveToNVMIds)
KV_ID(IDD_SAVE_TO_NVM, 110)
KV_ID(IDC_SAVE_NVM_ICON, 1100)
KV_IDS_END

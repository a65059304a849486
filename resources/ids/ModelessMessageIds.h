// The Modeless Message dialog (resources/controls.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(ModelessMessageIds)
KV_ID(IDD_MODELESS_MESSAGE, 210)
KV_ID(IDC_MODELESS_PROGRESS, 1290)
KV_ID(IDC_MODELESS_TEXT, 1500)
KV_IDS_END

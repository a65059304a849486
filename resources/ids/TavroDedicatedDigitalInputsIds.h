// The Dedicated Digital Inputs status window (resources/digitalio.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(TavroDedicatedDigitalInputsIds)
KV_ID(IDD_TAVRO_DEDICATED_DIGITAL_INPUTS, 344)
KV_ID(IDC_DEDICATED_INPUTS_LIST, 2339)
KV_IDS_END

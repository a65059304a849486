// The General Digital Inputs status window (resources/digitalio.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(TavroGeneralDigitalInputsIds)
KV_ID(IDD_TAVRO_GENERAL_DIGITAL_INPUTS, 343)
KV_ID(IDC_GENERAL_INPUTS_LIST, 2339)
KV_ID(IDC_GENERAL_INPUTS_TAB, 2649)
KV_IDS_END

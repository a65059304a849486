// The Setup Digital Outputs window (resources/digitalio.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(SetupTavroDigitalOutputIds)
KV_ID(IDD_SETUP_TAVRO_DIGITAL_OUTPUT, 342)
KV_ID(IDC_TAVRO_OUTPUT_LIST, 2337)
KV_ID(IDC_TAVRO_OUTPUT_SEND, 2338)
KV_IDS_END

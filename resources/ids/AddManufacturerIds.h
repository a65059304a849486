// The Add Manufacturer dialog of the encoder database (resources/database.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(AddManufacturerIds)
KV_ID(IDD_ADD_MANUFACTURER, 404)
KV_ID(IDC_ADD_MANUFACTURER_NAME, 2792)
KV_IDS_END

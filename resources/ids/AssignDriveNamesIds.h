// The Assign Drive Names dialog (resources/tools.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(AssignDriveNamesIds)
KV_ID(IDD_ASSIGN_DRIVE_NAMES, 388)
KV_ID(IDC_DRIVE_NAMES_LIST, 2722)
KV_ID(IDC_DRIVE_NAMES_ADD, 2723)
KV_ID(IDC_DRIVE_NAMES_REMOVE, 2724)
KV_IDS_END

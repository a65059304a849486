// The submitter's name asked before a submission (resources/database.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(EditSubmitterIds)
KV_ID(IDD_EDIT_SUBMITTER, 411)
KV_ID(IDC_SUBMITTER_NAME, 2802)
KV_IDS_END

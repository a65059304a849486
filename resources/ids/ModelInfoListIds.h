// The Model Information list window (resources/autophasing.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(ModelInfoListIds)
KV_ID(IDD_MODEL_INFO_LIST, 400)
KV_ID(IDC_MIL_LIST, 2752)
KV_ID(IDC_MIL_SAVE_OFFSETS, 2753)
KV_ID(IDC_MIL_ENABLE, 2754)
KV_ID(IDC_MIL_SAVE_MODEL, 2755)
KV_ID(IDC_MIL_BALANCE, 2757)
KV_ID(IDC_MIL_STATUS, 2758)
KV_ID(IDC_MIL_SEND, 2765)
KV_IDS_END

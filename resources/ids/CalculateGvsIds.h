// The Calculate Gain Velocity Scale dialog (resources/tuning.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(CalculateGvsIds)
KV_ID(IDD_CALCULATE_GVS, 338)
KV_ID(IDC_GVS_VELOCITY, 2327)
KV_ID(IDC_GVS_VELOCITY_LABEL, 2806)
KV_ID(IDC_GVS_VELOCITY_DRIVE, 2331)
KV_ID(IDC_GVS_WORKING, 2328)
KV_ID(IDC_GVS_DRIVE, 2330)
KV_ID(IDC_GVS_SEND, 2203)
KV_IDS_END

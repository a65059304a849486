// The Last Faults Indicator window (resources/io.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(LastFaultsLampIds)
KV_ID(IDD_LAST_FAULTS_LAMPS, 330)
KV_ID(IDC_LAST_FAULTS_FRAME, 2311)
KV_ID(IDC_LAST_FAULTS_LAMP0, 2340)
KV_IDS_END

// The two plot range dialogs (resources/scope.dlg). Their ids are our own, clear of the numbered templates.
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(SetPlotRangeIds)
KV_ID(IDD_SET_PLOT_AXIS_RANGE, 900)
KV_ID(IDD_SET_PLOT_TIME_RANGE, 901)
KV_ID(IDC_PLOT_RANGE_MIN, 2601)
KV_ID(IDC_PLOT_RANGE_MAX, 2602)
KV_ID(IDC_PLOT_TIME_RANGE, 2603)
KV_IDS_END

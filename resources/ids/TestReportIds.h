// The report grid's test dialog (resources/reportctrl.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(TestReportIds)
KV_ID(IDD_TEST_REPORTCTRL, 303)
KV_ID(IDC_TEST_REPORT_LIST, 2268)
KV_ID(IDC_TEST_REPORT_HILIGHT, 2269)
KV_IDS_END

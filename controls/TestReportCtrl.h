// CTestReportCtrl: the report grid's test window: twenty numbered lines and a
// button that highlights a random one and brings it to the middle.
#pragma once

#include "ReportCtrl.h"
#include "platform/ui/Dialog.h"
#include "resources/ids/TestReportIds.h"


class CTestReportCtrl : public CDialog {
public:
    explicit CTestReportCtrl(CWnd* parent = nullptr) : CDialog(IDD_TEST_REPORTCTRL, parent) {}
    BOOL OnInitDialog() override;

    CReportCtrl m_report;

protected:
    void OnHilightRandom();
    DECLARE_MESSAGE_MAP()
};

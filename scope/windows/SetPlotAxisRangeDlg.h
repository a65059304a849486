// CSetPlotAxisRangeDlg: asks for the value range of one plot axis.
#pragma once

#include "platform/ui/Dialog.h"

class CSetPlotAxisRangeDlg : public CDialog {
public:
    explicit CSetPlotAxisRangeDlg(CWnd* parent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    CString Title = "Set Plot Axis Range";
    double Min = 0.0;
    double Max = 0.0;
};

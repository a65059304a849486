// CSetPlotTimeRangeDlg: asks for the time span of the plot, in seconds.
#pragma once

#include "platform/ui/Dialog.h"

class CSetPlotTimeRangeDlg : public CDialog {
public:
    explicit CSetPlotTimeRangeDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;

    static constexpr double kMaxRange = 1e10;
    double TimeRange = 0.0;
};

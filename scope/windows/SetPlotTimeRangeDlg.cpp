#include "scope/windows/SetPlotTimeRangeDlg.h"

#include "resources/ids/SetPlotRangeIds.h"

CSetPlotTimeRangeDlg::CSetPlotTimeRangeDlg(CWnd* parent) : CDialog(IDD_SET_PLOT_TIME_RANGE, parent) {}

void CSetPlotTimeRangeDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Text(dx, IDC_PLOT_TIME_RANGE, TimeRange);
    DDV_MinMaxDouble(dx, TimeRange, 0.0, kMaxRange);
}

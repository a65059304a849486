#include "scope/windows/SetPlotAxisRangeDlg.h"

#include "resources/ids/SetPlotRangeIds.h"

CSetPlotAxisRangeDlg::CSetPlotAxisRangeDlg(CWnd* parent) : CDialog(IDD_SET_PLOT_AXIS_RANGE, parent) {}

BOOL CSetPlotAxisRangeDlg::OnInitDialog()
{
    SetWindowText(Title.IsEmpty() ? CString("Set Plot Axis Range") : Title);
    return CDialog::OnInitDialog();
}

void CSetPlotAxisRangeDlg::DoDataExchange(CDataExchange* dx)
{
    // Any two numbers, also a minimum above the maximum: the caller orders them.
    DDX_Text(dx, IDC_PLOT_RANGE_MIN, Min);
    DDX_Text(dx, IDC_PLOT_RANGE_MAX, Max);
}

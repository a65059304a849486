#include "setup/motor/windows/QvxGuiTavroCommutationAddCalcDlg.h"

#include "platform/ui/DataExchange.h"
#include "resources/ids/TavroCommutationAddCalcIds.h"

CQvxGuiTavroCommutationAddCalcDlg::CQvxGuiTavroCommutationAddCalcDlg(CWnd* parent)
    : CDialog(IDD_TAVRO_COMMUTATION_ADD_CALC, parent)
{
}

void CQvxGuiTavroCommutationAddCalcDlg::SetWorking(const CommutationCounts& working)
{
    m_workingRollover = working.counts;
    m_workingCycles = working.cycles;
    m_workingScaling = working.scaling;
    m_workingCountsPerCycle = CCommutationSheetCalc::CountsPerCycle(m_workingRollover, m_workingCycles);
}

void CQvxGuiTavroCommutationAddCalcDlg::SetDrive(double rollover, double cycles, double scaling)
{
    m_driveRollover = rollover;
    m_driveCycles = cycles;
    m_driveScaling = scaling;
    m_driveCountsPerCycle = CCommutationSheetCalc::CountsPerCycle(rollover, cycles);
}

void CQvxGuiTavroCommutationAddCalcDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_ADDCALC_COUNTS_PER_CYCLE, m_workingCountsPerCycle);
    DDX_Text(dx, IDC_ADDCALC_COUNTS_PER_CYCLE_DRIVE, m_driveCountsPerCycle);
    DDX_Text(dx, IDC_ADDCALC_SCALING, m_workingScaling);
    DDX_Text(dx, IDC_ADDCALC_SCALING_DRIVE, m_driveScaling);
    DDX_Text(dx, IDC_ADDCALC_ROLLOVER, m_workingRollover);
    DDX_Text(dx, IDC_ADDCALC_ROLLOVER_DRIVE, m_driveRollover);
    DDX_Text(dx, IDC_ADDCALC_CYCLES, m_workingCycles);
    DDX_Text(dx, IDC_ADDCALC_CYCLES_DRIVE, m_driveCycles);
}

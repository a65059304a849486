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
    // Shown only, in the formats of the commutation page's own columns.
    if (dx->m_bSaveAndValidate)
        return;
    const struct {
        int id;
        double value;
        const char* format;
    } fields[] = {
        {IDC_ADDCALC_COUNTS_PER_CYCLE, m_workingCountsPerCycle, "%0.2f"},
        {IDC_ADDCALC_COUNTS_PER_CYCLE_DRIVE, m_driveCountsPerCycle, "%0.2f"},
        {IDC_ADDCALC_SCALING, m_workingScaling, "%0.0f"},
        {IDC_ADDCALC_SCALING_DRIVE, m_driveScaling, "%0.0f"},
        {IDC_ADDCALC_ROLLOVER, m_workingRollover, "%0.0f"},
        {IDC_ADDCALC_ROLLOVER_DRIVE, m_driveRollover, "%0.0f"},
        {IDC_ADDCALC_CYCLES, m_workingCycles, "%0.0f"},
        {IDC_ADDCALC_CYCLES_DRIVE, m_driveCycles, "%0.0f"},
    };
    for (const auto& field : fields) {
        CString text;
        text.Format(field.format, field.value);
        SetDlgItemText(field.id, text);
    }
}

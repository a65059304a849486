// CQvxGuiTavroCommutationAddCalcDlg: the derived commutation quantities of the
// sheet's entries beside those of the drive's registers; shows only.
#pragma once

#include "platform/ui/Dialog.h"
#include "setup/motor/CommutationSheetCalc.h"

class CQvxGuiTavroCommutationAddCalcDlg : public CDialog {
public:
    explicit CQvxGuiTavroCommutationAddCalcDlg(CWnd* parent = nullptr);

    // Counts per cycle follow from rollover and cycles of the same column.
    void SetWorking(const CommutationCounts& working);
    void SetDrive(double rollover, double cycles, double scaling);

    double m_workingCountsPerCycle = 0;
    double m_driveCountsPerCycle = 0;
    double m_workingScaling = 0;
    double m_driveScaling = 0;
    double m_workingRollover = 0;
    double m_driveRollover = 0;
    double m_workingCycles = 0;
    double m_driveCycles = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override;
};

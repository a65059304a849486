// CQvxGuiSetupAutoManualTuningDlg: the motor's resistance, inductance and bus
// voltage, and the current-loop gains for them by manual fitting, fine tuning
// or automatic tuning, sent to the drive; a motor's values can be loaded from
// the motor table, which then opens the commutation window.
#pragma once

#include <map>

#include "controls/DPopupSelectListEditCtrl.h"
#include "framework/GuiUpdateDlg.h"
#include "setup/tuning/CurrentLoopTuning.h"

class CQvxGuiSetupAutoManualTuningDlg : public CGuiUpdateDlg, public CCurrentLoopTuningWindow {
    DECLARE_DYNCREATE(CQvxGuiSetupAutoManualTuningDlg)

public:
    static constexpr WORD kResistance = 434;
    static constexpr WORD kInductance = 428;
    static constexpr WORD kBusVolts = 86;
    static constexpr WORD kIntegralGain = 7465;
    static constexpr WORD kProportionalGain = 7472;
    static constexpr WORD kMasterGain = 7469;

    CQvxGuiSetupAutoManualTuningDlg();

    CString GetItemName() const override { return "Setup Motor Parameters"; }
    BOOL OnInitDialog() override;
    int PrepareQueries() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    void UpdateControls() override;
    void SetDrive(int drive, int restart) override;
    void ProcessResponses() override;
    void OnOK() override;
    void SerializeLayout(CArchive& ar, int version) override;

    // CCurrentLoopTuningWindow
    double GetResistanceField() override;
    double GetInductanceField() override;
    double GetBusVoltsField() override;
    int GetPhase() override { return m_phase; }
    bool IsFineTuning() override { return IsFine(); }
    bool ReadDriveGains(CurrentLoopMotorValues& values) override;
    void ShowMessage(const CString& text) override;
    void SetAutoTuneResults(int proportionalGain, int integralGain, int masterGain, int bandwidth) override;

    void OnManualTuning();
    void OnFineTuning();
    void OnOnePhase();
    void OnThreePhase();
    void OnAutoTune();
    void OnSend();
    void OnLoadDefaults();
    void OnPartList();
    CDPopupSelectListEditCtrl& GetPartNumberEdit() { return m_partNumber; }
    void OnBandwidthEntered();
    void OnMotorValueEntered();
    void OnGainEntered(int id);

    const CurrentLoopMotorValues& GetWorkingGains() const { return m_working; }
    const CurrentLoopMotorValues& GetTypedGains() const { return m_typed; }
    double GetCurrentBandwidth() const { return m_currentBandwidth; }
    bool IsFine() const { return IsDlgButtonChecked(2008) == BST_CHECKED; }
    bool IsManual() const;
    // Percent of full scale of a gain register.
    static double GainPercent(int value);

protected:
    DECLARE_MESSAGE_MAP()

private:
    bool ReadConversions(CurrentLoopConversions& conversions);
    bool ReadAll(CurrentLoopConversions& conversions, CurrentLoopMotorValues& drive);
    void ShowGains();
    void ShowBandwidth(int id, double value);
    void ManualFit();
    void FitTypedBandwidth();
    void RecomputeInitial();
    void ApplyFineLayout(bool fine);
    void ApplyRestoredChecks();
    void OpenCommutationWindow();
    double FieldValue(int id);
    CString IniPath() const;

    CDPopupSelectListEditCtrl m_partNumber;
    std::map<WORD, LONG> m_values;
    CurrentLoopMotorValues m_working;
    CurrentLoopMotorValues m_typed;
    double m_currentBandwidth = 0;
    int m_effectiveBandwidth = 0;
    int m_phase = 0;
    bool m_initialised = false;
    // A restored layout's check states, applied at the first update with values.
    bool m_restorePending = false;
    int m_restoreFine = 0, m_restoreManual = 1, m_restoreOnePhase = 1;
};

// CQvxGuiSetupServoTuningDlg: the velocity and position loop gains, and a
// step-response test that writes the function generator's value to the drive
// every 20 ms while the engineer watches the scope.
#pragma once

#include <map>
#include <memory>

#include "framework/GuiUpdateDlg.h"
#include "setup/tuning/FunctionGeneratorProfileGen.h"
#include "setup/tuning/TuningModeSet.h"

class CCalculateGvsDlg;
class CQvxGuiTuneFunctionGenDlg;

class CQvxGuiSetupServoTuningDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiSetupServoTuningDlg)

public:
    static constexpr UINT kStepTimer = 1;
    static constexpr UINT kStepPeriodMs = 20;
    static constexpr WORD kCurrentCommand = 3;        // C
    static constexpr WORD kPositionCommand = 16995;   // PSC
    static constexpr WORD kLoopGain = 236;
    static constexpr WORD kGvs = 7891;
    static constexpr WORD kEncoderCounts = 210;
    static constexpr WORD kMotorType = 419;
    static constexpr WORD kTachGain = 7878;

    CQvxGuiSetupServoTuningDlg();
    ~CQvxGuiSetupServoTuningDlg() override;

    CString GetItemName() const override { return "Servo Tuning"; }
    BOOL OnInitDialog() override;
    int PrepareQueries() override;
    int InitialUpdate() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    void UpdateControls() override;
    void OnEnableBitChanged(int bit) override;
    void OnModeWordChanged(int value) override;
    void SetDrive(int drive, int restart) override;
    void ProcessResponses() override;
    void DetachFromUpdateList(int flags) override;
    int CanClose() override;
    int CanExit() override;
    void OnChildNotify(CWnd* child, int code) override;
    int CustomSend(int id, double value, CWnd* control) override;
    void OnOK() override;
    void SerializeLayout(CArchive& ar, int version) override;

    void OnStart();
    void OnSetupParams();
    void OnScope();
    void OnGvsButton();
    void OnTimer(UINT_PTR id);

    // One 20 ms step of a running test (the timer's work).
    void StepTick();
    void StopTest();
    bool IsModeKnown() const { return m_modeKnown; }
    bool IsTestRunning() const { return m_generator && m_generator->m_running; }
    // The drive's value of a polled register; false before its first answer.
    bool GetDriveValue(WORD code, LONG& value) const;
    // The GVS calculator asks for the drive to be disabled before its send.
    void DisableDriveForGvs();
    CTuningModeSet& GetModes() { return m_modes; }
    CFunctionGeneratorProfileGen* GetGenerator() { return m_generator.get(); }
    CCalculateGvsDlg* GetGvsDialog() { return m_gvs; }
    CQvxGuiTuneFunctionGenDlg* GetFunctionGenDialog() { return m_functionGen; }

    // Loop gain: a percent to the register and the register back to a percent.
    static LONG LoopGainToDrive(double percent);
    static double LoopGainFromDrive(LONG value);

protected:
    DECLARE_MESSAGE_MAP()

private:
    bool GatherContext(TuningContext& context, bool silent);
    // A position test whose first move is longer than its step goes only when the engineer agrees.
    bool ConfirmFirstMove(const TuningContext& context);
    void ShowRemaining(bool show);
    void RefreshRemaining();
    void FeedGvsDialog(WORD code);
    void ShowGains();
    void EnableLoopFields();
    CString IniPath() const;

    CTuningModeSet m_modes;
    std::unique_ptr<CFunctionGeneratorProfileGen> m_generator;
    CCalculateGvsDlg* m_gvs = nullptr;
    CQvxGuiTuneFunctionGenDlg* m_functionGen = nullptr;
    std::map<WORD, LONG> m_values;
    int m_lastWritten = 0;
    bool m_firstWrite = true;
    bool m_inTick = false;
    bool m_modeKnown = false;
    int m_testDrive = -1;
    int m_shownRemaining = -1;
    // A restored layout's step settings, applied at the first update.
    std::unique_ptr<StepResponseRecord> m_pendingRecord;
};

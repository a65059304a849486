// CQvxAutoPhasingDlg: runs a Tavro drive's commutation auto-phasing. It
// edits the four procedure settings in amps, seconds and rpm, starts the
// drive's procedure in Step or Continuous mode, follows it to its end and
// explains a failure. The page that opened it hears when it runs and closes.
#pragma once

#include <optional>

#include "distribution/DmQueryVar.h"
#include "foundation/HPTimer.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiEditCtrl.h"
#include "framework/QvxGuiLampItem.h"
#include "platform/ui/Font.h"
#include "resources/ids/AutoPhasingIds.h"
#include "setup/motor/windows/MotorProcedureWindow.h"
#include "setup/motor/AutoPhaseCalc.h"
#include "setup/motor/AutoPhaseProcedure.h"

class CMotorProcedureOwner;

class CQvxAutoPhasingDlg : public CGuiUpdateDlg, public CMotorProcedureWindow {
    DECLARE_DYNCREATE(CQvxAutoPhasingDlg)

public:
    enum { IDD = IDD_AUTO_PHASING };
    static constexpr WORD kSettingsCode = 1539;
    static constexpr WORD kSettingsIndexCode = 1545;
    static constexpr WORD kCommandCode = 3590;
    static constexpr WORD kResultCode = 19504;
    static constexpr UINT_PTR kBlinkTimer = 1;
    static constexpr UINT_PTR kTickTimer = 2;

    CQvxAutoPhasingDlg();
    ~CQvxAutoPhasingDlg() override;

    CString GetItemName() const override { return "Commutation Auto-Phasing"; }
    BOOL OnInitDialog() override;
    void ProcessResponses() override;
    int SubscribeStatusQueries() override;
    int InitialUpdate() override;
    void OnEnableBitChanged(int bit) override;
    void SerializeLayout(CArchive& ar, int version) override;
    void RandomExercise(int flags) override;
    int ExecuteCommand(const CString& command, CString& reply) override;
    int SendGroup(int group) override;
    int CustomPoll(int id, double& value, CWnd* control) override;
    int CustomSend(int id, double value, CWnd* control) override;
    int CustomConvert(int id, double& value, CWnd* control) override;

    // The page that opened the window; null when it was opened alone.
    void SetOwnerPage(CMotorProcedureOwner* owner) override { m_owner = owner; }
    CMotorProcedureOwner* GetOwnerPage() const { return m_owner; }

    // For tests and the gallery: what the status lamp shows.
    const CQvxGuiLampItem& GetLamp() const { return m_lamp; }
    const CAutoPhaseProcedure& GetProcedure() const { return m_run; }
    bool IsStepMode() const;

protected:
    void OnExecute();
    void OnSend();
    void OnModeClicked();
    void OnStatusClicked();
    void OnTimer(UINT_PTR id);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    int OnCreate(LPCREATESTRUCT create);
    void OnClose();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    enum Query { kFinalCurrent, kCurrentRamp, kFinalSpeed, kSpeedRamp, kPoles, kContinuous, kMotorType, kVersion, kQueries };

    void BindControls();
    void BindEdit(int index, int id);
    void ApplyFieldEnabling();
    void ShowStatus(AutoPhaseStatus status);
    void ShowIdleStatus(bool enabled);
    void Start(bool confirm);
    void FinishRun(AutoPhaseOutcome outcome);
    void TellOwnerEnded();
    void Tick();
    void EndForClose();
    bool RefuseWhileEnabled();
    std::optional<long> Reply(Query query) const;
    std::optional<long> ResultReply() const;
    std::optional<double> CurrentGain();
    std::optional<double> WorkingValue(int index);
    std::optional<double> WorkingFinalCurrentDu();
    std::optional<double> WorkingFinalSpeedDu();
    int SendSetting(int sub, long value);
    void ShowRangeMessage(const CString& name, const AutoPhaseCheck& check);

    CDmQueryVar m_queries[kQueries];
    CDmQueryVar m_result;
    CQvxGuiEditCtrl m_edits[8];
    CQvxGuiLampItem m_lamp;
    CFont m_lampFont;
    int m_blinkOn = 1;
    CHPTimer m_stopwatch;
    CAutoPhaseProcedure m_run;
    CMotorProcedureOwner* m_owner = nullptr;
    bool m_ended = false;
    double m_shownGain = 0;
    // Entries shown again after the value they depend on changed; they are corrected without a message.
    bool m_redisplayCurrentRamp = false;
    bool m_redisplaySpeedRamp = false;
};

// CQvxGuiCommutat: the commutation settings of a Kreln drive: motor kind,
// poles and lines with the derived rollover, cycles and scaling, offsets,
// phase lead, correction and initialisation methods, smart commutation ramp
// and gains, waveform and feedback, in working and drive columns. Nothing
// reaches the drive before Send, except encoder reversal, reverse rotation
// and the auto-phasing command.
#pragma once

#include <memory>
#include <optional>

#include "database/QvxDatabaseRecordsetClient.h"
#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiCheckboxCtrl.h"
#include "framework/QvxGuiEditCtrl.h"
#include "resources/ids/CommutatIds.h"
#include "setup/motor/LinearMotor.h"
#include "setup/motor/RotaryMotor.h"

class CQvxDatabaseRecordset;

class CQvxGuiCommutat : public CGuiUpdateDlg, public CQvxDatabaseRecordsetClient {
    DECLARE_DYNCREATE(CQvxGuiCommutat)

public:
    enum { IDD = IDD_COMMUTAT };
    // The drive registers read through the window's own queries.
    enum Query { kMP, kCIM, kFT, kETF, kFER, kCCM, kFR, kCPL, kGVS, kCTT, kCIR, kFHR, kMC, kRSH, kQueryCount };
    // Rows of bound edits, working and drive column each.
    enum Row {
        kPoles, kLines, kCountsPerCycle, kScaling, kRollover, kCycles, kAngleOffset, kPhaseLead, kIndexOffset,
        kHallOffset, kPropGain, kIntGain, kDerivGain, kInitialCurrent, kFinalCurrent, kRampTime, kTimerTicks,
        kRowCount
    };
    static const WORD kQueryCodes[kQueryCount];

    CQvxGuiCommutat();
    ~CQvxGuiCommutat() override;

    CString GetItemName() const override { return "Commutation Settings"; }
    BOOL OnInitDialog() override;
    void OnOK() override;
    int PrepareQueries() override;
    int InitialUpdate() override;
    void ProcessResponses() override;
    int GetPendingChangesState(int ignored) override;
    int CustomPoll(int id, double& value, CWnd* control) override;
    int CustomSend(int id, double value, CWnd* control) override;
    int CustomConvert(int id, double& value, CWnd* control) override;
    // A script's send takes the same checks as the button, without the question.
    int SendGroup(int group) override;

    // CQvxDatabaseRecordsetClient: a new motor picked in the motor table.
    void OnCurrentRecordChanged() override { MarkDatabasePending(); }
    void OnRecordUpdated() override { MarkDatabasePending(); }
    void OnRequeried() override { MarkDatabasePending(); }
    void OnRefresh() override { MarkDatabasePending(); }

    CQvxGuiEditCtrl& WorkingEdit(Row row) { return m_work[row]; }
    CQvxGuiEditCtrl& DriveEdit(Row row) { return m_drive[row]; }
    int GetSelectedKind() const { return m_motorKind; }
    int GetInitMethod() const { return m_initMethod; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSendButton();
    void OnPolesKillFocus() { ApplyPolesEntry(); }
    void OnLinesKillFocus() { ApplyLinesEntry(); }
    void OnCurrentKillFocus();
    void OnLinearClicked() { SwitchKind(1); }
    void OnRotaryClicked() { SwitchKind(0); }
    void OnEncoderReverse();
    void OnReverseRotation();
    void OnExecuteAutoPhasing();
    DECLARE_MESSAGE_MAP()

private:
    struct CurrentPair {
        double initial = 0;
        double final = 0;
    };

    void BindControls();
    void BindRow(Row row);
    void BindSimulatedHall();
    void MarkDatabasePending();
    void ApplyDatabase();
    void ApplyMotorType(const CString& type);

    // Queries and values.
    void Reread(Query q);
    bool ReverseRotation(LONG& value);
    void SetReverseRotation(LONG value);
    bool Answered(Query q) const;
    bool Value(Query q, LONG& value) const;
    bool Parameter(int id, double& value);
    bool MotorsReady();
    CAbstractMotor* WorkingMotor();
    CAbstractMotor* DriveMotor();
    void RebuildMotors();
    bool WorkingCurrents(CurrentPair& amps, bool entered);
    bool ToDriveUnits(CurrentPair& amps);
    std::optional<double> PhaseLeadShown(bool working);

    // Drive side of the update cycle.
    bool ReadDriveSettings();
    void ShowDriveKind(int kind);
    void ShowKindLabels(int kind);
    void SetLinesFormat(int kind, CQvxGuiEditCtrl& edit);
    void CheckSettingRadios();
    void UpdateKindRadios();

    // User entries.
    void ApplyPolesEntry();
    void ApplyLinesEntry();
    void SwitchKind(int kind);
    void OnInitMethodClicked(int method);
    void UpdateEnables();
    bool CheckSendable();
    void SendAll(bool ask);
    void WriteSettings();

    std::unique_ptr<CLinearMotor> m_workLinear;
    std::unique_ptr<CRotaryMotor> m_workRotary;
    std::unique_ptr<CLinearMotor> m_driveLinear;
    std::unique_ptr<CRotaryMotor> m_driveRotary;

    int m_initMethod = -1;
    int m_driveInitMethod = -1;
    int m_motorKind = -1;
    int m_driveMotorKind = -1;
    int m_waveform = -1;
    int m_driveWaveform = -1;
    int m_feedback = -1;
    int m_driveFeedback = -1;
    int m_correction = -1;
    int m_driveCorrection = -1;
    int m_encoderReverse = 0;
    LONG m_fhr = 0;
    bool m_fhrKnown = false;

    double m_phaseLead[2] = {0, 0};
    bool m_phaseLeadStale[2] = {true, true};
    double m_phaseLeadLines = 0;
    bool m_twoPhaseAllowed = false;
    double m_initialStampMs = 0;
    bool m_suppressPhaseLead = false;

    bool m_dbMotorType = false;
    bool m_dbLinOrRot = false;
    bool m_dbLines = false;
    bool m_dbPoles = false;
    bool m_dbAllowed = false;
    CQvxDatabaseRecordset* m_recordset = nullptr;

    CDmQueryVar m_queries[kQueryCount];
    CQvxGuiEditCtrl m_work[kRowCount];
    CQvxGuiEditCtrl m_drive[kRowCount];
    CQvxGuiEditCtrl m_position;
    CQvxGuiCheckboxCtrl m_simHall;
    CQvxGuiCheckboxCtrl m_simHallDrive;
};

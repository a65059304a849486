// CQvxGuiMotorSafetyDlg: a drive's protections (current limit, overspeed,
// following error, low-speed breaker, current fold back, I2T with its motor
// data, motor over-temperature input) in working and drive columns, and the
// I2T prediction of the largest current for a time and the longest time for
// a current. The prediction's inputs live in the user settings file.
#pragma once

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiCheckboxCtrl.h"
#include "framework/QvxGuiCheckboxCtrlGroup.h"
#include "framework/QvxGuiEditCtrl.h"
#include "resources/ids/MotorSafetyIds.h"
#include "setup/motor/MotorSafetyCalc.h"

class CQvxGuiMotorSafetyDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiMotorSafetyDlg)

public:
    enum { IDD = IDD_MOTOR_SAFETY };
    enum Row {
        kCurrentLimit, kOverspeed, kFollowing, kLowTripCurrent, kLowTripTime, kFoldCurrent, kFoldRate, kThermalTc,
        kContCurrent, kPeakCurrent, kRowCount
    };
    enum Query { kIFR, kDriveCont, kDrivePeak, kMC, kDriveCoeff, kQueryCount };
    static constexpr const char* kSection = "SETUP MOTOR SAFETY";

    CQvxGuiMotorSafetyDlg();

    CString GetItemName() const override { return "Motor Safety"; }
    BOOL OnInitDialog() override;
    void OnOK() override;
    int PrepareQueries() override;
    int InitialUpdate() override;
    void ProcessResponses() override;
    int CustomPoll(int id, double& value, CWnd* control) override;
    int CustomSend(int id, double value, CWnd* control) override;
    // A script's send takes the same checks as the button, without the question.
    int SendGroup(int group) override;
    // Another drive: nothing of the previous one stays on show or is offered to it.
    void SetDrive(int drive, int restart) override;

    CQvxGuiEditCtrl& WorkingEdit(Row row) { return m_work[row]; }
    CQvxGuiEditCtrl& DriveEdit(Row row) { return m_drive[row]; }
    const MotorSafetyFeatures& Features() const { return m_features; }
    bool FeaturesKnown() const { return m_featuresKnown; }
    // The four results as the window shows them; false before the first prediction.
    bool RunPrediction();

protected:
    void OnSendButton();
    void OnPredictionInput() { RunPrediction(); }
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void BindControls();
    void BindRow(Row row);
    void BindBoxes();
    void BindOverTemp(bool tavro);
    void ReleaseOverTemp();
    void ForgetDrive();
    void IssueQueries();
    bool SetupFeatures();
    void DropRow(Row row, CQvxGuiCheckboxCtrl* box);
    void PollRow(Row row, WORD code);
    bool Conversion(FoldBackConversion& conv);
    void CheckProtections();
    void UpdateOverspeedLabel();
    void UpdateEnables();
    bool CheckSendable();
    void SendAll(bool ask);
    void LoadSettings();
    void SaveSettings();
    CString IniPath() const;

    MotorSafetyFeatures m_features;
    bool m_featuresKnown = false;
    bool m_queriesIssued = false;
    bool m_rateConverted = false;
    double m_lastRate = 0;
    int m_lastProtection = -1;
    bool m_settingsLoaded = false;

    CDmQueryVar m_queries[kQueryCount];
    CQvxGuiEditCtrl m_work[kRowCount];
    CQvxGuiEditCtrl m_drive[kRowCount];
    CQvxGuiEditCtrl m_desiredTime;
    CQvxGuiEditCtrl m_desiredCurrent;
    CQvxGuiCheckboxCtrlGroup m_protection;
    CQvxGuiCheckboxCtrl m_breakerBox;
    CQvxGuiCheckboxCtrl m_foldBackBox;
    CQvxGuiCheckboxCtrl m_i2tBox;
    CQvxGuiCheckboxCtrl m_followingBox;
    CQvxGuiCheckboxCtrlGroup m_overTempGroup;
    CQvxGuiCheckboxCtrlGroup m_activeHighGroup;
    CQvxGuiCheckboxCtrl m_overTemp;
    CQvxGuiCheckboxCtrl m_overTempDrive;
    CQvxGuiCheckboxCtrl m_activeHigh;
    CQvxGuiCheckboxCtrl m_activeHighDrive;
};

// CQvxAnaMotorCalibrateDlg: the offsets and scales of a drive's analog
// sine/cosine motor feedback, as the drive holds them and as the user sends
// them, and the drive's own calibration run that measures the offsets or
// the scales. The page that opened it hears when it closes.
#pragma once

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiEditCtrl.h"
#include "resources/ids/AnaMotorCalibrateIds.h"
#include "setup/motor/windows/MotorProcedureWindow.h"

class CMotorProcedureOwner;

class CQvxAnaMotorCalibrateDlg : public CGuiUpdateDlg, public CMotorProcedureWindow {
    DECLARE_DYNCREATE(CQvxAnaMotorCalibrateDlg)

public:
    enum { IDD = IDD_ANA_MOTOR_CALIBRATE };
    // The four values: 1446 with its index in 1449 (0 sine offset, 1 sine
    // scale, 2 cosine offset, 3 cosine scale).
    static constexpr WORD kValueCode = 1446;
    static constexpr WORD kIndexCode = 1449;
    static constexpr WORD kCalibrateCode = 2086;

    CQvxAnaMotorCalibrateDlg();

    CString GetItemName() const override { return "Analog Motor Feedback Calibration"; }
    BOOL OnInitDialog() override;
    void ProcessResponses() override;
    int SubscribeStatusQueries() override;
    void SerializeLayout(CArchive& ar, int version) override;
    void RandomExercise(int flags) override;
    int ExecuteCommand(const CString& command, CString& reply) override;
    int SendGroup(int group) override;

    void SetOwnerPage(CMotorProcedureOwner* owner) override { m_owner = owner; }
    int GetCalibrationMode() const { return m_mode; }
    int GetCalibrationState() const { return m_state; }

protected:
    void OnOffset() { m_mode = 1; }
    void OnGain() { m_mode = 2; }
    void OnExecute();
    void OnSend();
    void OnClose();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void BindControls();
    void SetMode(int mode);
    bool RefuseWhileEnabled();
    void ReleaseOwner();

    CQvxGuiEditCtrl m_edits[8];
    CDmQueryVar m_calibration;
    int m_mode = 1;
    int m_state = 0;
    CMotorProcedureOwner* m_owner = nullptr;
};

// CCalculateGvsDlg: the gain velocity scale for a typed maximum velocity,
// the velocity adjusted to what that scale allows, and the scale's send with
// its warning (the drive disabled first).
#pragma once

#include "framework/QvxUpdateChildDlg.h"
#include "setup/tuning/GainVelocityScale.h"

class CQvxGuiSetupServoTuningDlg;

class CCalculateGvsDlg : public CQvxUpdateChildDlg {
public:
    CCalculateGvsDlg(CQvxGuiSetupServoTuningDlg* owner, const GvsMotorData& motor, int driveGvs, double startVelocity);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnSend();

    void SetGvs(int value);
    void SetMotorType(int type);
    void SetCounts(int counts);
    void SetTachScale(int scale);
    // A send waiting for the drive to be disabled goes out now.
    void CompletePendingSend();

    void UpdateGvsFromVelocity();
    bool CheckVelocity();
    int GetWorkingGvs() const { return m_workingGvs; }
    int GetDriveGvs() const { return m_driveGvs; }
    bool IsSendPending() const { return m_sendPending; }

protected:
    DECLARE_MESSAGE_MAP()

private:
    void SendGvs();
    int Ask(const char* text, UINT type, int scripted);
    double TypedVelocity();
    void ShowVelocity(int id, double value);
    void ShowLabel();

    CQvxGuiSetupServoTuningDlg* m_owner;
    GvsMotorData m_motor;
    int m_driveGvs;
    int m_workingGvs = -1;
    double m_startVelocity;
    bool m_sendPending = false;
};

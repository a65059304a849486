#include "setup/tuning/windows/CalculateGvsDlg.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/core/MessageBox.h"
#include "resources/ids/CalculateGvsIds.h"
#include "setup/tuning/CurrentLoopTuning.h"
#include "setup/tuning/windows/QvxGuiSetupServoTuningDlg.h"

BEGIN_MESSAGE_MAP(CCalculateGvsDlg, CQvxUpdateChildDlg)
    ON_BN_CLICKED(IDC_GVS_SEND, &CCalculateGvsDlg::OnSend)
END_MESSAGE_MAP()

namespace {
constexpr int kMaxGvs = 12;
const char kWarning[] =
    "WARNING!\r\nChanging the value of GVS will require that you do the following:\r\n"
    "\t-Re-adjust Overspeed threshold in Motor Safety window\r\n"
    "\t-Re-adjust all fields in Trajectory Generator window\r\n"
    "\t-Re-tune motor\r\n\r\n";
}  // namespace

CCalculateGvsDlg::CCalculateGvsDlg(CQvxGuiSetupServoTuningDlg* owner, const GvsMotorData& motor, int driveGvs,
                                   double startVelocity)
    : CQvxUpdateChildDlg(IDD_CALCULATE_GVS, owner), m_owner(owner), m_motor(motor), m_driveGvs(driveGvs),
      m_startVelocity(startVelocity)
{
}

BOOL CCalculateGvsDlg::OnInitDialog()
{
    CQvxUpdateChildDlg::OnInitDialog();
    ShowLabel();
    ShowVelocity(IDC_GVS_VELOCITY, m_startVelocity);
    SetGvs(m_driveGvs);
    return TRUE;
}

int CCalculateGvsDlg::Ask(const char* text, UINT type, int scripted) { return m_owner->CGuiUpdateItem::MessageBox(text, type, 0, scripted); }

double CCalculateGvsDlg::TypedVelocity()
{
    CString text;
    GetDlgItemText(IDC_GVS_VELOCITY, text);
    return std::atof(text);
}

void CCalculateGvsDlg::ShowVelocity(int id, double value)
{
    CString text;
    text.Format("%0.0f", value);
    SetDlgItemText(id, text);
}

void CCalculateGvsDlg::ShowLabel()
{
    SetDlgItemText(IDC_GVS_VELOCITY_LABEL,
                   m_motor.motorType == 1 ? "Max Scaled Velocity:\n(mm/sec)" : "Max Scaled Velocity:\n(rpm)");
}

void CCalculateGvsDlg::UpdateGvsFromVelocity()
{
    const double velocity = TypedVelocity();
    m_workingGvs = CalcGvsForVelocity(m_motor, velocity);
    CString text;
    text.Format("%d", m_workingGvs);
    SetDlgItemText(IDC_GVS_WORKING, text);
    // Without a scale there is no maximum to adjust to: the typed velocity stays.
    if (m_workingGvs < 0)
        return;
    const double maximum = RoundToInt(CalcMaxVelocityForGvs(m_motor, m_workingGvs));
    if (maximum == velocity || maximum < 0)
        return;
    CString message;
    message.Format("The velocity you entered has been adjusted to %0.0f in order to reflect the max velocity for a "
                   "calculated GVS of %u.",
                   maximum, static_cast<unsigned>(m_workingGvs));
    Ask(message, MB_OK | MB_ICONINFORMATION, IDOK);
    ShowVelocity(IDC_GVS_VELOCITY, maximum);
}

bool CCalculateGvsDlg::CheckVelocity()
{
    const CString missing = MissingGvsMotorData(m_motor);
    if (!missing.IsEmpty()) {
        CString message;
        message.Format("The max scaled velocity cannot be calculated: the motor data lacks %s.",
                       static_cast<const char*>(missing));
        Ask(message, MB_OK | MB_ICONEXCLAMATION, IDOK);
        return false;
    }
    const double maximum = CalcMaxVelocityForGvs(m_motor, 0);
    const double minimum = CalcMaxVelocityForGvs(m_motor, kMaxGvs);
    const double velocity = TypedVelocity();
    if (velocity >= minimum && velocity <= maximum)
        return true;
    CString message;
    message.Format("Please enter max scaled velocity between %0.2f and %0.2f.", minimum, maximum);
    Ask(message, MB_OK | MB_ICONEXCLAMATION, IDOK);
    ShowVelocity(IDC_GVS_VELOCITY, std::isnan(velocity) ? minimum : std::clamp(velocity, minimum, maximum));
    return false;
}

void CCalculateGvsDlg::SetGvs(int value)
{
    m_driveGvs = value;
    CString text;
    text.Format("%d", value);
    SetDlgItemText(IDC_GVS_DRIVE, text);
    const double maximum = CalcMaxVelocityForGvs(m_motor, value);
    ShowVelocity(IDC_GVS_VELOCITY_DRIVE, maximum);
    ShowVelocity(IDC_GVS_VELOCITY, maximum);
    UpdateGvsFromVelocity();
}

void CCalculateGvsDlg::SetMotorType(int type)
{
    m_motor.motorType = type;
    ShowLabel();
    UpdateGvsFromVelocity();
}

void CCalculateGvsDlg::SetCounts(int counts)
{
    m_motor.counts = counts;
    UpdateGvsFromVelocity();
}

void CCalculateGvsDlg::SetTachScale(int scale)
{
    m_motor.tachScale = scale;
    UpdateGvsFromVelocity();
}

void CCalculateGvsDlg::SendGvs()
{
    if (m_workingGvs != m_driveGvs) {
        CString question;
        question.Format("%sSend GVS=%d value to the drive?", kWarning, m_workingGvs);
        if (Ask(question, MB_YESNO | MB_ICONEXCLAMATION, IDNO) != IDYES)
            return;
    }
    const int drive = m_owner->GetDrive();
    if (drive < 0)
        return;
    m_owner->SendCommand(static_cast<BYTE>(drive), CQvxGuiSetupServoTuningDlg::kGvs, m_workingGvs);
    m_driveGvs = m_workingGvs;
    CString text;
    text.Format("%d", m_driveGvs);
    SetDlgItemText(IDC_GVS_DRIVE, text);
    ShowVelocity(IDC_GVS_VELOCITY_DRIVE, CalcMaxVelocityForGvs(m_motor, m_driveGvs));
}

void CCalculateGvsDlg::OnSend()
{
    UpdateGvsFromVelocity();
    if (m_workingGvs == m_driveGvs) {
        Ask("GVS value has not changed and will therefore not be sent to the drive.", MB_OK | MB_ICONINFORMATION, IDOK);
        return;
    }
    // A velocity that gives no scale (0, beyond the range, not a number) is out of range: say so.
    if (!CheckVelocity() || m_workingGvs < 0)
        return;
    if (!m_owner->GetEnableBit()) {
        SendGvs();
        return;
    }
    if (Ask("Drive must be disabled before GVS can be set.  Disable drive now?", MB_YESNO | MB_ICONQUESTION, IDNO) !=
        IDYES)
        return;
    m_sendPending = true;
    if (CWnd* button = GetDlgItem(IDC_GVS_SEND))
        button->EnableWindow(FALSE);
    m_owner->DisableDriveForGvs();
}

void CCalculateGvsDlg::CompletePendingSend()
{
    if (!m_sendPending)
        return;
    m_sendPending = false;
    if (CWnd* button = GetDlgItem(IDC_GVS_SEND))
        button->EnableWindow(TRUE);
    SendGvs();
}

void CCalculateGvsDlg::OnOK()
{
    // Enter in the velocity edit: check and recompute; the dialog stays.
    CheckVelocity();
    UpdateGvsFromVelocity();
}

void CCalculateGvsDlg::OnCancel()
{
    CString typed, drive;
    GetDlgItemText(IDC_GVS_VELOCITY, typed);
    GetDlgItemText(IDC_GVS_VELOCITY_DRIVE, drive);
    if (typed != drive && Ask("Abandon changes without sending to drive?", MB_YESNO | MB_ICONQUESTION, IDYES) == IDNO) {
        CheckVelocity();
        UpdateGvsFromVelocity();
        return;
    }
    CloseWith(kChildClosedCancel);
}

#include "setup/motor/windows/QvxAnaMotorCalibrateDlg.h"

#include "platform/core/Archive.h"
#include "platform/core/Rand.h"
#include "setup/motor/windows/MotorProcedureOwner.h"

IMPLEMENT_DYNCREATE(CQvxAnaMotorCalibrateDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxAnaMotorCalibrateDlg));

BEGIN_MESSAGE_MAP(CQvxAnaMotorCalibrateDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_CAL_OFFSET, &CQvxAnaMotorCalibrateDlg::OnOffset)
    ON_BN_CLICKED(IDC_CAL_GAIN, &CQvxAnaMotorCalibrateDlg::OnGain)
    ON_BN_CLICKED(IDC_CAL_EXECUTE, &CQvxAnaMotorCalibrateDlg::OnExecute)
    ON_BN_CLICKED(IDC_CAL_SEND, &CQvxAnaMotorCalibrateDlg::OnSend)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr WORD kStateMs = 200;
constexpr const char* kModeProperty = "nCalibrateMode";
constexpr const char* kDisableFirst = "Please DISABLE drive before sending data.";

struct Row {
    int working;
    int drive;
    WORD index;
    const char* name;
    double low;
    double high;
};

// The cosine rows take the sine rows' ranges: the four values are alike.
constexpr Row kRows[4] = {
    {IDC_CAL_SINE_OFFSET, IDC_CAL_SINE_OFFSET_DRIVE, 0, "Sine Offset", -32768, 32767},
    {IDC_CAL_SINE_SCALE, IDC_CAL_SINE_SCALE_DRIVE, 1, "Sine Scale", 0, 32767},
    {IDC_CAL_COSINE_OFFSET, IDC_CAL_COSINE_OFFSET_DRIVE, 2, "Cosine Offset", -32768, 32767},
    {IDC_CAL_COSINE_SCALE, IDC_CAL_COSINE_SCALE_DRIVE, 3, "Cosine Scale", 0, 32767},
};
}  // namespace

CQvxAnaMotorCalibrateDlg::CQvxAnaMotorCalibrateDlg() : CGuiUpdateDlg(IDD)
{
    m_statusFlags = kStatusMode | kStatusWord;
}

BOOL CQvxAnaMotorCalibrateDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    BindControls();
    SetMode(1);
    // The window serves the drive of the page that opened it.
    if (GetToolbar().GetSafeHwnd())
        GetToolbar().GetSelector().EnableWindow(FALSE);
    return TRUE;
}

void CQvxAnaMotorCalibrateDlg::BindControls()
{
    for (int i = 0; i < 4; ++i) {
        const Row& row = kRows[i];
        CQvxGuiEditCtrl& working = m_edits[2 * i];
        working.SubclassDlgItem(row.working, this);
        m_controls.AddControl(&working, -1);
        working.m_flags = 0x2308;
        working.SetWriteRegisterAt(kValueCode, kIndexCode, row.index);
        working.SetPollRegisterAt(kValueCode, kIndexCode, row.index, 600, 0x20);
        working.SetDisplayFormat("%0.0f", 0);
        working.SetControlName(row.name);
        working.SetLimits(row.low, row.high);

        CQvxGuiEditCtrl& drive = m_edits[2 * i + 1];
        drive.SubclassDlgItem(row.drive, this);
        m_controls.AddControl(&drive, -1);
        drive.SetPollRegisterAt(kValueCode, kIndexCode, row.index, kStateMs, 0);
        drive.SetDisplayFormat("%0.0f", 0);
    }
}

void CQvxAnaMotorCalibrateDlg::SetMode(int mode)
{
    m_mode = mode == 2 ? 2 : 1;
    CheckRadioButton(IDC_CAL_OFFSET, IDC_CAL_GAIN, m_mode == 2 ? IDC_CAL_GAIN : IDC_CAL_OFFSET);
}

int CQvxAnaMotorCalibrateDlg::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    m_calibration.Query(static_cast<BYTE>(drive), kCalibrateCode, kStateMs, 0);
    if (!CGuiUpdateItem::SubscribeStatusQueries())
        return 0;
    m_controls.StopPollingAll();
    m_controls.StartPollingAll();
    return 1;
}

// Unsent entries give way to the drive's values when a run starts or ends,
// not on every reply, which would wipe what the user is typing.
void CQvxAnaMotorCalibrateDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    LONG value = 0;
    if (!m_calibration.HasChanged(1) || !m_calibration.GetRawValue(value))
        return;
    const int previous = m_state;
    m_state = static_cast<int>(value);
    SetDlgItemText(IDC_CAL_EXECUTE, m_state ? "Stop Calibration" : "Execute Calibration");
    if (m_state == previous)
        return;
    for (int i = 0; i < 4; ++i)
        m_edits[2 * i].RestartPolling();
}

void CQvxAnaMotorCalibrateDlg::OnExecute()
{
    int value = 0;
    if (m_state == 0) {
        if (CGuiUpdateItem::MessageBox("Execute calibration?", MB_YESNO, 0, IDYES) != IDYES)
            return;
        value = IsDlgButtonChecked(IDC_CAL_GAIN) == BST_CHECKED ? 2 : 1;
    }
    if (GetDrive() != -1)
        SendCommand(static_cast<BYTE>(GetDrive()), kCalibrateCode, value);
}

bool CQvxAnaMotorCalibrateDlg::RefuseWhileEnabled()
{
    if (!GetEnableBit())
        return false;
    CGuiUpdateItem::MessageBox(kDisableFirst, MB_OK, 0, IDOK);
    return true;
}

void CQvxAnaMotorCalibrateDlg::OnSend()
{
    if (RefuseWhileEnabled())
        return;
    if (CGuiUpdateItem::MessageBox("Send settings to drive?", MB_YESNO, 0, IDYES) == IDYES)
        SendGroup(-1);
}

int CQvxAnaMotorCalibrateDlg::SendGroup(int group)
{
    // Calibration values never reach an enabled drive, however the send was asked for.
    if (GetEnableBit())
        return 0;
    return CGuiUpdateDlg::SendGroup(group);
}

int CQvxAnaMotorCalibrateDlg::ExecuteCommand(const CString& command, CString& reply)
{
    if (command.Left(9).CompareNoCase("SENDTOAMP") == 0 && RefuseWhileEnabled()) {
        reply = CString("ERROR:") + kDisableFirst;
        return 1;
    }
    return CGuiUpdateDlg::ExecuteCommand(command, reply);
}

void CQvxAnaMotorCalibrateDlg::SerializeLayout(CArchive& ar, int version)
{
    if (ar.IsStoring()) {
        int mode = 0;
        if (IsDlgButtonChecked(IDC_CAL_OFFSET) == BST_CHECKED)
            mode = 1;
        else if (IsDlgButtonChecked(IDC_CAL_GAIN) == BST_CHECKED)
            mode = 2;
        m_properties.SetInt(kModeProperty, mode);
        CGuiUpdateDlg::SerializeLayout(ar, version);
        return;
    }
    CGuiUpdateDlg::SerializeLayout(ar, version);
    int mode = 1;
    m_properties.GetInt(kModeProperty, mode);
    SetMode(mode);
}

void CQvxAnaMotorCalibrateDlg::RandomExercise(int flags)
{
    CGuiUpdateDlg::RandomExercise(flags);
    if (Rand() % 100 < 2)
        SetMode(m_mode == 1 ? 2 : 1);
    if (Rand() % 100 < 2 && GetDrive() != -1)
        SendCommand(static_cast<BYTE>(GetDrive()), kCalibrateCode, m_state ? 0 : m_mode);
}

void CQvxAnaMotorCalibrateDlg::ReleaseOwner()
{
    if (CMotorProcedureOwner* owner = m_owner) {
        m_owner = nullptr;
        owner->OnProcedureWindowClosed(this);
    }
}

void CQvxAnaMotorCalibrateDlg::OnClose()
{
    // The page hears of the close only when the window really goes.
    CloseChildDialogs();
    if (!CanClose())
        return;
    ReleaseOwner();
    SetClosing(1);
    CGuiUpdateDlg::OnClose();
}

void CQvxAnaMotorCalibrateDlg::OnDestroy()
{
    ReleaseOwner();
    CGuiUpdateDlg::OnDestroy();
}

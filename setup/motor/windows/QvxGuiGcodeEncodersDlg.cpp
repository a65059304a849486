#include "setup/motor/windows/QvxGuiGcodeEncodersDlg.h"

#include <cmath>

#include "setup/motor/ElectronicGearing.h"
#include "setup/motor/windows/GearingEditRows.h"
#include "setup/motor/windows/ModeControlBinder.h"

IMPLEMENT_DYNCREATE(CQvxGuiGcodeEncodersDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiGcodeEncodersDlg));

BEGIN_MESSAGE_MAP(CQvxGuiGcodeEncodersDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_GEAR_REVERSE, &CQvxGuiGcodeEncodersDlg::OnReverse)
    ON_BN_CLICKED(IDC_GEAR_SEND, &CQvxGuiGcodeEncodersDlg::OnSendValues)
END_MESSAGE_MAP()

namespace {
constexpr WORD kPollMs = 200;
constexpr WORD kHardwareIndex = 23;
constexpr int kRadios = 8;
constexpr const char* kMotorEnabled = "Motor is Enabled.\nGearing settings not sent to drive.";
}  // namespace

CQvxGuiGcodeEncodersDlg::CQvxGuiGcodeEncodersDlg() : CGuiUpdateDlg(IDD)
{
    m_statusFlags = kStatusMode | kStatusWord | kStatusFault;
}

BOOL CQvxGuiGcodeEncodersDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    BindControls();
    SetEnableButton(GetDlgItem(IDC_GEAR_ENABLE_DRIVE));
    UpdateEnables();
    if (CWnd* label = GetDlgItem(IDC_GEAR_OUT_LABEL))
        label->SetFocus();
    return FALSE;
}

void CQvxGuiGcodeEncodersDlg::BindControls()
{
    const ModeEditRow rows[8] = {
        {IDC_GEAR_OUT_WORK, kGearOutCode, -1, 0x2308, true, -1, "%0.0f", -32768, 32767, 0, "Gear Out"},
        {IDC_GEAR_OUT_DRIVE, kGearOutCode, -1, 0x104, false, -1, "%0.0f", -32768, 32767},
        {IDC_GEAR_IN_WORK, kGearInCode, -1, 0x2308, true, -1, "%0.0f", 1, 32767, 0, "Gear In"},
        {IDC_GEAR_IN_DRIVE, kGearInCode, -1, 0x104, false, -1, "%0.0f", 1, 32767},
        {IDC_GEAR_RATIO_WORK, 0, -1, 0x2100, false, -1, "%0.4f"},
        {IDC_GEAR_RATIO_DRIVE, 0, -1, 0x104, false, -1, "%0.4f"},
        {IDC_GEAR_FACTOR_WORK, kGearFactorCode, -1, 0x2308 | kCtrlConvertCustomSend, true, -1, "%0.0f", 0,
         4294967295.0, 0, "Gear In Factor"},
        {IDC_GEAR_FACTOR_DRIVE, 0, -1, 0x104, false, -1, "%0.0f", 0, 4294967295.0},
    };
    for (int i = 0; i < 8; ++i)
        CModeControlBinder::BindEdit(*this, m_edits[i], rows[i]);
    CGearingEditRows::BindCalculated(m_edits, kGearFactorCode);
    CModeControlBinder::BindCheck(*this, m_reverseWork, IDC_GEAR_ENC_REVERSE_WORK, 0, -1,
                                  CElectronicGearing::kReverseBit, true, 0);
    CModeControlBinder::BindCheck(*this, m_reverseDrive, IDC_GEAR_ENC_REVERSE_DRIVE, kEncoderOutputCode, -1,
                                  CElectronicGearing::kReverseBit, false, 0);
}

std::optional<int> CQvxGuiGcodeEncodersDlg::Last(const CDmQueryVar& query) const
{
    LONG value = 0;
    if (!query.GetValue(value))
        return std::nullopt;
    return static_cast<int>(value);
}

int CQvxGuiGcodeEncodersDlg::DivisorKind() const
{
    return CElectronicGearing::DivisorKind(Last(m_hardware), Last(m_version));
}

bool CQvxGuiGcodeEncodersDlg::ReverseAvailable() const { return CElectronicGearing::ReverseAvailable(Last(m_version)); }

int CQvxGuiGcodeEncodersDlg::CustomPoll(int id, double& value, CWnd* /*control*/)
{
    return CGearingEditRows::CustomPoll(m_edits, m_factor, id, value);
}

int CQvxGuiGcodeEncodersDlg::CustomSend(int id, double value, CWnd* /*control*/)
{
    return id == kGearFactorCode ? CModeControlBinder::SendUnsigned(*this, kGearFactorCode, value) : 0;
}

bool CQvxGuiGcodeEncodersDlg::RefusedWhileEnabled()
{
    if (!GetEnableBit())
        return false;
    CGuiUpdateItem::MessageBox(kMotorEnabled, MB_OK, 0, IDOK);
    return true;
}

int CQvxGuiGcodeEncodersDlg::SendGroup(int group)
{
    // Text commands send the gearing too: never to an enabled drive.
    if (RefusedWhileEnabled())
        return 0;
    return CGuiUpdateDlg::SendGroup(group);
}

int CQvxGuiGcodeEncodersDlg::PrepareQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    m_encoderWord.Query(address, kEncoderOutputCode, kPollMs, CModeControlBinder::kQueryFlags);
    m_factor.Query(address, kGearFactorCode, kPollMs, CModeControlBinder::kQueryFlags);
    CModeControlBinder::QueryHardware(m_hardware, address, kHardwareIndex, kPollMs);
    m_version.Query(address, kVersionCode, kPollMs, CModeControlBinder::kQueryFlags);
    return 1;
}

int CQvxGuiGcodeEncodersDlg::InitialUpdate()
{
    const int result = CGuiUpdateDlg::InitialUpdate();
    const int kind = DivisorKind();
    if (kind == -1)
        return 0;
    EnableId(IDC_GEAR_DIVISOR_GROUP, kind != 0);
    for (int k = 0; k < kRadios; ++k)
        EnableId(IDC_GEAR_DIVISOR_1 + k, kind != 0);
    // The version and hardware answers may have been taken before this stage,
    // so their change would never show the captions.
    ShowCaptions();
    m_sign = 0;
    m_divisorShown = false;
    return result;
}

void CQvxGuiGcodeEncodersDlg::EnableId(int id, bool on)
{
    if (CWnd* control = GetDlgItem(id))
        control->EnableWindow(on);
}

void CQvxGuiGcodeEncodersDlg::ShowCaptions()
{
    const int kind = DivisorKind();
    for (int k = 1; k <= kRadios; ++k)
        SetDlgItemText(IDC_GEAR_DIVISOR_1 + k - 1, CElectronicGearing::DivisorCaption(kind, k));
}

void CQvxGuiGcodeEncodersDlg::ShowDivisor()
{
    const std::optional<int> word = Last(m_encoderWord);
    if (!word)
        return;
    SetDlgItemText(IDC_GEAR_DRIVE_VALUE, CElectronicGearing::DriveValueText(DivisorKind(), *word));
    const int checked = CElectronicGearing::CheckedRadio(*word);
    for (int k = 1; k <= kRadios; ++k)
        CheckDlgButton(IDC_GEAR_DIVISOR_1 + k - 1, k == checked ? BST_CHECKED : BST_UNCHECKED);
    m_divisorShown = true;
}

void CQvxGuiGcodeEncodersDlg::UpdateEnables()
{
    const int mode = GetModeWord();
    const bool gearing = (mode & 4) && (mode & 8);
    for (int id : {IDC_GEAR_OUT_WORK, IDC_GEAR_IN_WORK, IDC_GEAR_RATIO_WORK, IDC_GEAR_FACTOR_WORK, IDC_GEAR_REVERSE})
        EnableId(id, gearing);
    const bool reverse = ReverseAvailable();
    for (int id : {IDC_GEAR_ENC_REVERSE_WORK, IDC_GEAR_ENC_REVERSE_DRIVE, IDC_GEAR_ENC_REVERSE_LABEL,
                   IDC_GEAR_WORK_LABEL, IDC_GEAR_DRIVE_LABEL})
        EnableId(id, reverse);
    EnableId(IDC_GEAR_SEND, DivisorKind() > 0 || gearing || reverse);
}

void CQvxGuiGcodeEncodersDlg::ProcessResponses()
{
    CGuiUpdateDlg::ProcessResponses();
    if (m_encoderWord.HasChanged(1) || !m_divisorShown)
        ShowDivisor();
    const int entered = static_cast<int>(std::trunc(m_edits[0].GetEnteredValue()));
    if (entered != m_sign) {
        CheckDlgButton(IDC_GEAR_REVERSE, entered < 0 ? BST_CHECKED : BST_UNCHECKED);
        m_sign = entered;
    }
    const bool hardwareChanged = m_hardware.HasChanged(1) != 0;
    if ((m_version.HasChanged(1) != 0) || hardwareChanged) {
        ShowCaptions();
        ShowDivisor();
        UpdateEnables();
    }
}

void CQvxGuiGcodeEncodersDlg::OnModeWordChanged(int /*value*/)
{
    UpdateEnables();
    ShowDivisor();
}

void CQvxGuiGcodeEncodersDlg::OnReverse()
{
    const int reversed = CGearingEditRows::ReverseGearOut(m_edits);
    CheckDlgButton(IDC_GEAR_REVERSE, reversed < 0 ? BST_CHECKED : BST_UNCHECKED);
    m_sign = reversed;
}

int CQvxGuiGcodeEncodersDlg::CheckedRadio() const
{
    for (int k = 1; k <= kRadios; ++k)
        if (IsDlgButtonChecked(IDC_GEAR_DIVISOR_1 + k - 1) == BST_CHECKED)
            return k;
    return 0;
}

void CQvxGuiGcodeEncodersDlg::OnSendValues()
{
    if (RefusedWhileEnabled())
        return;
    const CString question = CString("Press OK to send the following values:\r\n\r\n") + ListControls();
    if (CGuiUpdateItem::MessageBox(question, MB_OKCANCEL, 0, IDOK) != IDOK)
        return;
    const int mode = GetModeWord();
    if ((mode & 4) && (mode & 8))
        CGuiUpdateDlg::SendGroup(-1);
    const std::optional<int> word = CElectronicGearing::EncoderOutputWord(
        DivisorKind(), CheckedRadio(), ReverseAvailable(), m_reverseWork.GetCheck() == BST_CHECKED, Last(m_encoderWord));
    if (word && GetDrive() != -1)
        SendCommand(static_cast<BYTE>(GetDrive()), kEncoderOutputCode, *word);
    m_edits[0].SetDisplayScale(1.0);
    ResetQueryStages(1, 1, 1);
}

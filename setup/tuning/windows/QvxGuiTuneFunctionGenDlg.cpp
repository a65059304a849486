#include "setup/tuning/windows/QvxGuiTuneFunctionGenDlg.h"

#include <cstdlib>

#include "framework/GuiUpdateDlg.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/Button.h"
#include "resources/ids/TuneFunctionGenIds.h"

BEGIN_MESSAGE_MAP(CQvxGuiTuneFunctionGenDlg, CQvxUpdateChildDlg)
    ON_BN_CLICKED(IDC_TFG_FORWARD, &CQvxGuiTuneFunctionGenDlg::OnForward)
    ON_BN_CLICKED(IDC_TFG_REVERSE, &CQvxGuiTuneFunctionGenDlg::OnReverse)
    ON_BN_CLICKED(IDC_TFG_BIDIRECTIONAL, &CQvxGuiTuneFunctionGenDlg::OnBidirectional)
    ON_BN_CLICKED(IDC_TFG_CONTINUOUS, &CQvxGuiTuneFunctionGenDlg::OnContinuous)
    ON_BN_CLICKED(IDC_TFG_SAMPLE, &CQvxGuiTuneFunctionGenDlg::OnSample)
END_MESSAGE_MAP()

namespace {
constexpr int kEditOrder[] = {IDC_TFG_BASE, IDC_TFG_TARGET, IDC_TFG_DURATION, IDC_TFG_DWELL, IDC_TFG_STEPS};
}

CQvxGuiTuneFunctionGenDlg::CQvxGuiTuneFunctionGenDlg(CGuiUpdateDlg* owner, CTuningModeSet& modes,
                                                     const TuningContext& context, const CString& iniPath)
    : CQvxUpdateChildDlg(IDD_TUNE_FUNCTION_GEN, owner), m_modes(modes), m_context(context), m_iniPath(iniPath)
{
}

BOOL CQvxGuiTuneFunctionGenDlg::OnInitDialog()
{
    CQvxUpdateChildDlg::OnInitDialog();
    CTFGAbstractBaseMode& mode = m_modes.ActiveMode(m_context.driveModeFlags);
    const TuningStepSettings& settings = m_modes.m_settings;
    SetDlgItemText(IDC_TFG_BASE_LABEL, mode.GetBaseLabel(m_context.motorType));
    SetDlgItemText(IDC_TFG_TARGET_LABEL, mode.GetTargetLabel(m_context.motorType));
    SetDlgItemText(IDC_TFG_BASE, mode.FormatValue(mode.m_base));
    SetDlgItemText(IDC_TFG_TARGET, mode.FormatValue(mode.m_target));
    CString text;
    text.Format("%.2f", settings.Duration);
    SetDlgItemText(IDC_TFG_DURATION, text);
    text.Format("%.2f", settings.Dwell);
    SetDlgItemText(IDC_TFG_DWELL, text);
    text.Format("%d", settings.StepsPerTest);
    SetDlgItemText(IDC_TFG_STEPS, text);
    const int direction = settings.Direction == 0 ? IDC_TFG_BIDIRECTIONAL
                          : settings.Direction == -1 ? IDC_TFG_REVERSE
                                                     : IDC_TFG_FORWARD;
    // The two groups' ids interleave, so each radio is set by itself.
    for (int id : {IDC_TFG_FORWARD, IDC_TFG_REVERSE, IDC_TFG_BIDIRECTIONAL})
        CheckDlgButton(id, id == direction ? BST_CHECKED : BST_UNCHECKED);
    const int testMode = settings.TestMode == 1 ? IDC_TFG_SAMPLE : IDC_TFG_CONTINUOUS;
    for (int id : {IDC_TFG_CONTINUOUS, IDC_TFG_SAMPLE})
        CheckDlgButton(id, id == testMode ? BST_CHECKED : BST_UNCHECKED);
    if (CWnd* steps = GetDlgItem(IDC_TFG_STEPS))
        steps->EnableWindow(settings.TestMode == 1);
    return TRUE;
}

void CQvxGuiTuneFunctionGenDlg::OnContinuous()
{
    m_modes.m_settings.TestMode = 0;
    if (CWnd* steps = GetDlgItem(IDC_TFG_STEPS))
        steps->EnableWindow(FALSE);
}

void CQvxGuiTuneFunctionGenDlg::OnSample()
{
    m_modes.m_settings.TestMode = 1;
    if (CWnd* steps = GetDlgItem(IDC_TFG_STEPS))
        steps->EnableWindow(TRUE);
}

void CQvxGuiTuneFunctionGenDlg::ShowError(const CString& text)
{
    if (CGuiUpdateDlg* owner = GetOwnerDlg())
        owner->CGuiUpdateItem::MessageBox(text, MB_OK | MB_ICONEXCLAMATION, 0, IDOK);
}

bool CQvxGuiTuneFunctionGenDlg::ValidateSeconds(int id, const char* name, double& out)
{
    CString text;
    GetDlgItemText(id, text);
    const double value = std::atof(text);
    if (!(value >= kTuningMinSeconds && value <= kTuningMaxSeconds)) {
        CString message;
        message.Format("ERROR:\t%s Range:%-8.2lf...%8.2lf", name, kTuningMinSeconds, kTuningMaxSeconds);
        ShowError(message);
        return false;
    }
    out = value;
    return true;
}

bool CQvxGuiTuneFunctionGenDlg::Validate()
{
    CTFGAbstractBaseMode& mode = m_modes.ActiveMode(m_context.driveModeFlags);
    CString text, error;
    GetDlgItemText(IDC_TFG_BASE, text);
    const double base = std::atof(text);
    if (!mode.Validate(base, "Base", m_context, error)) {
        ShowError(error);
        return false;
    }
    mode.m_base = base;
    GetDlgItemText(IDC_TFG_TARGET, text);
    const double target = std::atof(text);
    if (!mode.Validate(target, "Target", m_context, error)) {
        ShowError(error);
        return false;
    }
    mode.m_target = target;
    // The commanded values are base plus or minus the target: those must fit the loop too.
    if (!mode.ValidateStep(m_context, error)) {
        ShowError(error);
        return false;
    }
    TuningStepSettings& settings = m_modes.m_settings;
    if (!ValidateSeconds(IDC_TFG_DURATION, "Duration", settings.Duration) ||
        !ValidateSeconds(IDC_TFG_DWELL, "Dwell", settings.Dwell))
        return false;
    GetDlgItemText(IDC_TFG_STEPS, text);
    const long steps = std::atol(text);
    settings.StepsPerTest = steps > kTuningMaxSteps ? kTuningMaxSteps : static_cast<int>(steps);
    return true;
}

void CQvxGuiTuneFunctionGenDlg::OnOK()
{
    // Enter in an edit checks the fields and moves on; the OK button also stores and closes.
    CWnd* focus = GetFocus();
    const int focused = focus ? focus->GetDlgCtrlID() : 0;
    for (size_t i = 0; i < std::size(kEditOrder); ++i)
        if (kEditOrder[i] == focused) {
            if (Validate())
                NextDlgCtrl();
            return;
        }
    if (!Validate())
        return;
    StepResponseRecord record;
    record.Read(m_iniPath);
    m_modes.FillRecord(record);
    if (!record.Write(m_iniPath))
        ShowError("The tuning settings could not be saved.");
    CloseWith(kChildClosedOk);
}

#include "setup/io/windows/QvxGuiCPanelDlg.h"

#include <cmath>
#include <cstdlib>
#include <tuple>
#include <utility>

#include "comm/link/CommAppServices.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "foundation/TextHelpers.h"
#include "framework/GuiUpdateList.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/PaintDC.h"
#include "setup/io/PanelBarMath.h"
#include "setup/io/PanelOptionsSettings.h"
#include "setup/io/windows/QvxCPanelOptionsDlg.h"

IMPLEMENT_DYNCREATE(CQvxGuiCPanelDlg, CGuiUpdateDlg)
// The window factory finds the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiCPanelDlg));

BEGIN_MESSAGE_MAP(CQvxGuiCPanelDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(IDC_CPANEL_STOP, &CQvxGuiCPanelDlg::OnStop)
    ON_BN_CLICKED(IDC_CPANEL_FAULT_RESET, &CQvxGuiCPanelDlg::OnFaultReset)
    ON_BN_CLICKED(IDC_CPANEL_ZERO_POS, &CQvxGuiCPanelDlg::OnSetZeroPos)
    ON_BN_CLICKED(IDC_CPANEL_OPTIONS, &CQvxGuiCPanelDlg::OnOptions)
    ON_BN_CLICKED(IDC_CPANEL_TACH_REVERSE, &CQvxGuiCPanelDlg::OnTachReverse)
    ON_MESSAGE(WM_LBUTTONDOWN, &CQvxGuiCPanelDlg::OnMouseDown)
    ON_MESSAGE(WM_LBUTTONUP, &CQvxGuiCPanelDlg::OnMouseUp)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr const char* kNoValues = "Could not receive values. Please try again.";
constexpr WORD kTach = 658, kPositionCommand = 16995, kCommand = 3, kBar2Command = 35, kEnable = 174;
constexpr WORD kFaultWord = 20070, kCurrentMode = 3373, kInhibit = 20087, kMotorFeatures = 13524;
constexpr WORD kActualPosition = 16998, kFaultReset = 19060, kActualVelocity = 20179;
constexpr WORD kModeRegister = 13796;
constexpr UINT_PTR kBarTimer = 4;
constexpr double kJogRepeatSeconds = 0.15;
const int kNeededParameters[] = {6, 5, 15, 0, 10, 2, 1, 9};
const int kLampIds[] = {IDC_CPANEL_LAMP_STATE, IDC_CPANEL_LAMP_HW, IDC_CPANEL_LAMP_SW};
// The jog buttons: bar 1's, then bar 2's, each fine down, step down, step up, fine up.
const int kJogIds[] = {IDC_CPANEL_FINE_DOWN,      IDC_CPANEL_STEP_DOWN,      IDC_CPANEL_STEP_UP,
                       IDC_CPANEL_FINE_UP,        IDC_CPANEL_BAR2_FINE_DOWN, IDC_CPANEL_BAR2_STEP_DOWN,
                       IDC_CPANEL_BAR2_STEP_UP,   IDC_CPANEL_BAR2_FINE_UP};
const int kBar2Controls[] = {IDC_CPANEL_BAR2_EDIT,      IDC_CPANEL_BAR2_FINE_DOWN, IDC_CPANEL_BAR2_STEP_DOWN,
                             IDC_CPANEL_BAR2_STEP_UP,   IDC_CPANEL_BAR2_FINE_UP,   IDC_CPANEL_PHASE_R,
                             IDC_CPANEL_PHASE_S};
const int kBar1OnlyControls[] = {IDC_CPANEL_TACH_REVERSE, IDC_CPANEL_VELOCITY_LABEL, IDC_CPANEL_VELOCITY};

struct LampLook {
    const char* text;
    COLORREF face;
    COLORREF ink;
};
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr LampLook kFaultLamp{"Fault", RGB(190, 0, 0), kBlack};
constexpr LampLook kEnabledLamp{"Enabled", RGB(0, 128, 0), kBlack};
constexpr LampLook kDisabledLamp{"Disabled", RGB(255, 255, 0), kBlack};
constexpr COLORREF kLitFace = RGB(0, 0, 255), kLitInk = RGB(255, 255, 255);
constexpr COLORREF kUnlitFace = RGB(64, 64, 64), kUnlitInk = RGB(200, 200, 200);

int JogIndex(int id)
{
    for (int i = 0; i < 8; ++i)
        if (kJogIds[i] == id)
            return i;
    return -1;
}
}  // namespace

CQvxGuiCPanelDlg::CQvxGuiCPanelDlg()
    : CGuiUpdateDlg(IDD), m_bar1(std::make_unique<CPanelCommandBar>()), m_bar2(std::make_unique<CPanelCommandBar>())
{
    m_statusFlags = kStatusMode | kStatusWord | kStatusFault;
}

CQvxGuiCPanelDlg::~CQvxGuiCPanelDlg() = default;

BOOL CQvxGuiCPanelDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    m_markerPen.CreatePen(PS_SOLID, 0, RGB(255, 0, 0));
    if (SetTimer(kBarTimer, 30)) {
        m_barTimerRunning = 1;
    } else {
        MessageBeep(0);
        Ask("ERROR: Cannot set ControlPanel timer.");
    }
    for (int i = 0; i < 8; ++i)
        m_jogs[i].SubclassDlgItem(static_cast<UINT>(kJogIds[i]), this);
    for (auto [bar, picture, edit, reg] : {std::tuple{m_bar1.get(), IDC_CPANEL_BAR1, IDC_CPANEL_BAR1_EDIT, kCommand},
                                           std::tuple{m_bar2.get(), IDC_CPANEL_BAR2, IDC_CPANEL_BAR2_EDIT, kBar2Command}}) {
        bar->m_picture = GetDlgItem(picture);
        bar->m_edit = GetDlgItem(edit);
        bar->m_register = reg;
    }
    m_bar1->m_picture->ShowWindow(SW_SHOW);
    MeasureBar(*m_bar1);
    // The lamps are painted by the panel; the frames only give their places.
    for (int id : kLampIds)
        SetDlgItemText(id, "");
    SetEnableButton(GetDlgItem(IDC_CPANEL_ENABLE));
    UpdateLamps();
    return TRUE;
}

int CQvxGuiCPanelDlg::Ask(const char* text, UINT type, int scriptedAnswer)
{
    // The user turns to the box: a held jog never goes on behind it.
    EndJog();
    return CGuiUpdateItem::MessageBox(text, type, 0, scriptedAnswer);
}

CString CQvxGuiCPanelDlg::IniPath() const
{
    CCommAppServices* app = CCommAppServices::Get();
    return app ? app->GetUserSettingsIniPath() : CString();
}

// ---- Queries and readings ---------------------------------------------------

int CQvxGuiCPanelDlg::SubscribeStatusQueries()
{
    const int drive = GetDrive();
    if (drive == -1)
        return 0;
    const BYTE address = static_cast<BYTE>(drive);
    m_tach.Query(address, kTach, 0, kQryOneShot | kQryNotify);
    m_motorFeatures.Query(address, kMotorFeatures, 0, kQryOneShot | kQryNotify);
    for (auto [query, code] : {std::pair{&m_positionCommand, kPositionCommand}, std::pair{&m_bar2Command, kBar2Command},
                               std::pair{&m_command, kCommand}, std::pair{&m_enable, kEnable},
                               std::pair{&m_faults, kFaultWord}, std::pair{&m_currentMode, kCurrentMode},
                               std::pair{&m_inhibit, kInhibit}})
        query->Query(address, code, 200, 0);
    if (m_pList && m_pList->GetParameterTable())
        for (int id : {1, 9, 6, 5, 15, 2, 10, 0})
            m_pList->GetParameterTable()->RequestParameterQuery(drive, id);
    // The actual-value fields stand in for the framework's bound edits.
    SendQuery(address, kActualVelocity, 500, 0);
    SendQuery(address, kActualPosition, 100, 0);
    return CGuiUpdateDlg::SubscribeStatusQueries();
}

void CQvxGuiCPanelDlg::SetText(int id, const CString& text)
{
    CString shown;
    GetDlgItemText(id, shown);
    if (shown != text)
        SetDlgItemText(id, text);
}

void CQvxGuiCPanelDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    if (!response.m_error && !response.m_write) {
        CString text;
        double gain = 0;
        if (response.m_code == kModeRegister && !m_modeKnown) {
            // The first report is a mode change too, whatever value the framework assumed before it.
            m_modeKnown = 1;
            m_modeChanged = 1;
        } else if (response.m_code == kActualVelocity && GetGlobalParameterValue(-1, 0, gain)) {
            text.Format("%2.2f", response.GetValue() * gain);
            SetText(IDC_CPANEL_VELOCITY, text);
        } else if (response.m_code == kActualPosition) {
            text.Format("%0.0f", static_cast<double>(response.GetValue()));
            SetText(IDC_CPANEL_POSITION, text);
        }
    }
    CGuiUpdateDlg::OnStatusResponse(response);
}

void CQvxGuiCPanelDlg::OnModeWordChanged(int) { m_modeChanged = 1; }

bool CQvxGuiCPanelDlg::HaveParameter(int id)
{
    double value = 0;
    return GetGlobalParameterValue(-1, id, value);
}

double CQvxGuiCPanelDlg::Parameter(int id)
{
    double value = 0;
    GetGlobalParameterValue(-1, id, value);
    return value;
}

bool CQvxGuiCPanelDlg::BuildScaling(CPanelScaling& scaling)
{
    scaling.m_modeValue = m_modeKnown ? GetModeWord() : -1;
    return GetGlobalParameterValue(-1, 6, scaling.m_cs) && GetGlobalParameterValue(-1, 1, scaling.m_velInduction) &&
           GetGlobalParameterValue(-1, 9, scaling.m_currentGain) && GetGlobalParameterValue(-1, 0, scaling.m_velGain) &&
           GetGlobalParameterValue(-1, 2, scaling.m_tachGain) && GetGlobalParameterValue(-1, 10, scaling.m_etf);
}

int CQvxGuiCPanelDlg::TwoPhase(int quiet)
{
    double cs = 0, hardware = 0;
    LONG currentMode = 0;
    if (!GetGlobalParameterValue(-1, 6, cs) || !m_currentMode.GetValue(currentMode) ||
        !GetGlobalParameterValue(-1, 15, hardware)) {
        if (!quiet)
            Ask(kNoValues);
        return 0;
    }
    return cs > 15 && currentMode == 4 && (static_cast<long>(hardware) & 0x8);
}

int CQvxGuiCPanelDlg::Bar2InUse() { return Parameter(6) == 9 || TwoPhase(1); }

void CQvxGuiCPanelDlg::SetBarMode(CPanelCommandBar& bar, int linear)
{
    const int mode = CPanelScaling::ModeOf(GetModeWord());
    bar.m_mode = m_modes.GetMode(CPanelScaling::EntryOf(mode));
    if (mode == kPanelModePosition) {
        bar.m_format = "%4.0f";
        bar.m_unit.Empty();
        bar.m_digits = 0;
    } else if (mode == kPanelModeVelocity) {
        bar.m_format = "%8.2lf";
        bar.m_unit = linear ? "mm/sec" : "rpm";
        bar.m_digits = 2;
    } else {
        bar.m_format = "%2.3lf";
        bar.m_unit = "amps";
        bar.m_digits = 3;
    }
    bar.m_drawnX = -1;
}

int CQvxGuiCPanelDlg::InitialUpdate()
{
    const BarChange change(*this);
    if (!CGuiUpdateDlg::InitialUpdate() || !m_modeKnown || !m_currentMode.HasResponse() || !HaveParameter(6))
        return 0;
    for (int id : kNeededParameters)
        if (!HaveParameter(id))
            return 0;
    m_bar1->m_mode = m_bar2->m_mode = nullptr;
    m_modes.BuildDefaults();
    CPanelOptionsSettings::Load(m_modes, IniPath());
    m_ready = 1;
    const int mode = CPanelScaling::ModeOf(GetModeWord());
    if (TwoPhase(1) && mode != kPanelModeCurrent && GetDrive() != -1) {
        Ask("Mode has been changed to 'Current Loop Closed'!");
        SendCommand(static_cast<BYTE>(GetDrive()), kModeRegister, 1);
    }
    SetBarMode(*m_bar2, 0);
    UpdateLabels(*m_bar2);
    SetBarMode(*m_bar1, 0);
    UpdateLamps();
    return 1;
}

void CQvxGuiCPanelDlg::ProcessResponses()
{
    const BarChange change(*this);
    CGuiUpdateDlg::ProcessResponses();
    if (!m_ready || !m_modeKnown || !HaveParameter(6) || !HaveParameter(5) || !m_enable.HasResponse() ||
        !m_faults.HasResponse() || !m_tach.HasResponse())
        return;
    CPanelScaling scaling;
    if (!BuildScaling(scaling))
        return;
    CDmQueryVar& bar1Query = scaling.Mode() == kPanelModePosition ? m_positionCommand : m_command;
    ShowReading(bar1Query, *m_bar1, 1);
    if (Bar2InUse()) {
        if (!m_twoPhaseShown)
            ShowBar2(1);
        ShowReading(m_bar2Command, *m_bar2, 1);
        UpdateLabels(*m_bar2);
    } else {
        if (m_twoPhaseShown)
            ShowBar2(0);
        UpdateLabels(*m_bar1);
    }
    if (m_modeChanged) {
        SetBarMode(*m_bar1, static_cast<int>(Parameter(5)));
        UpdateLabels(*m_bar1);
        if (!m_firstMode)
            SendZeroCommands();
        RefreshTachBox();
        ShowReading(bar1Query, *m_bar1, 0);
        m_modeChanged = 0;
        m_firstMode = 0;
    }
    RefreshTachBox();
    RepeatHeldJog();
    if (m_inhibit.HasChanged(1))
        UpdateLamps();
}

void CQvxGuiCPanelDlg::ShowBar2(int show)
{
    const BarChange change(*this);
    m_twoPhaseShown = show;
    for (int id : kBar2Controls)
        GetDlgItem(id)->ShowWindow(show ? SW_SHOW : SW_HIDE);
    GetDlgItem(IDC_CPANEL_BAR2_EDIT)->EnableWindow(show);
    for (int id : kBar1OnlyControls)
        GetDlgItem(id)->ShowWindow(show ? SW_HIDE : SW_SHOW);
    m_bar2->m_picture->ShowWindow(show ? SW_SHOW : SW_HIDE);
    MeasureBar(*m_bar2);
    m_bar2->m_drawnX = -1;
    InvalidateRect(&m_bar2->m_rect, FALSE);
}

void CQvxGuiCPanelDlg::ShowReading(CDmQueryVar& query, CPanelCommandBar& bar, int forced)
{
    CPanelScaling scaling;
    LONG raw = 0;
    if (!query.HasChanged(1) && !forced)
        return;
    if (!query.GetValue(raw) || !BuildScaling(scaling) || !bar.m_mode)
        return;
    const double value = scaling.EngineeringFromDrive(raw);
    if (raw == 0)
        bar.m_value = bar.m_previous = 0;
    if (GetFocus() != bar.m_edit) {
        const CString text = InsertDigitGroupSeparators(FormatDouble(value, bar.m_digits), ",", 3);
        CString shown;
        bar.m_edit->GetWindowText(shown);
        if (shown != text)
            bar.m_edit->SetWindowText(text);
    }
    const double whole = std::trunc(value);
    const bool inside = whole >= std::trunc(bar.m_mode->Min()) && whole <= std::trunc(bar.m_mode->Max());
    bar.m_value = inside ? value : bar.m_mode->Min();
}

void CQvxGuiCPanelDlg::UpdateLabels(const CPanelCommandBar& bar)
{
    double cs = 0, linearValue = 0;
    if (!bar.m_mode || !GetGlobalParameterValue(-1, 6, cs) || !GetGlobalParameterValue(-1, 5, linearValue))
        return;
    const int wholeCs = static_cast<int>(cs);
    const int linear = &bar == m_bar2.get() ? 0 : static_cast<int>(linearValue);
    const int mode = CPanelScaling::ModeOf(GetModeWord());
    CString command;
    if (wholeCs == 1)
        command = "Velocity (rpm):";
    else if (mode == kPanelModePosition)
        command = "Position (cts):";
    else
        command.Format(mode == kPanelModeVelocity ? "Velocity (%s):" : "Current (%s):",
                       static_cast<const char*>(bar.m_unit));
    const char* format = wholeCs == 1 ? "%4.1lf" : static_cast<const char*>(bar.m_format);
    CString min, max;
    min.Format(format, bar.m_mode->Min());
    max.Format(format, bar.m_mode->Max());
    min.Trim();
    max.Trim();
    SetText(IDC_CPANEL_COMMAND_LABEL, command);
    SetText(IDC_CPANEL_VELOCITY_LABEL,
            (wholeCs == 1 || linear != 1) ? "Actual Velocity (rpm):" : "Actual Velocity (mm/sec):");
    SetText(IDC_CPANEL_MIN_LABEL, InsertDigitGroupSeparators(min, ",", 3));
    SetText(IDC_CPANEL_MAX_LABEL, InsertDigitGroupSeparators(max, ",", 3));
}

void CQvxGuiCPanelDlg::RefreshTachBox()
{
    const int mode = CPanelScaling::ModeOf(GetModeWord());
    LONG features = 0;
    const bool locked = m_motorFeatures.GetValue(features) && (features & 0x8);
    GetDlgItem(IDC_CPANEL_TACH_REVERSE)->EnableWindow(mode == kPanelModeCurrent && !locked);
    LONG tach = 0;
    if (m_tach.GetValue(tach))
        CheckDlgButton(IDC_CPANEL_TACH_REVERSE, tach ? BST_CHECKED : BST_UNCHECKED);
}

// ---- Lamps and bars -----------------------------------------------------------

void CQvxGuiCPanelDlg::UpdateLamps()
{
    if (!GetSafeHwnd())
        return;
    CRect all = ItemRect(kLampIds[0]);
    for (int id : kLampIds)
        all.UnionRect(all, ItemRect(id));
    InvalidateRect(&all, FALSE);
}

void CQvxGuiCPanelDlg::OnEnableBitChanged(int bit)
{
    CGuiUpdateDlg::OnEnableBitChanged(bit);
    UpdateLamps();
}

void CQvxGuiCPanelDlg::OnFaultWordChanged(int value)
{
    CGuiUpdateDlg::OnFaultWordChanged(value);
    UpdateLamps();
}

CRect CQvxGuiCPanelDlg::ItemRect(int id)
{
    CRect rect;
    GetDlgItem(id)->GetWindowRect(&rect);
    ScreenToClient(&rect);
    return rect;
}

void CQvxGuiCPanelDlg::MeasureBar(CPanelCommandBar& bar)
{
    bar.m_rect = ItemRect(bar.m_picture->GetDlgCtrlID());
    bar.m_width = bar.m_rect.Width();
    bar.m_height = bar.m_rect.Height();
}

void CQvxGuiCPanelDlg::PaintLamps(CDC& dc)
{
    const LampLook state = GetFaultWord() != 0 ? kFaultLamp : (GetStatusWord() & 0x100) ? kEnabledLamp : kDisabledLamp;
    LONG inhibit = 0;
    CCommAppServices* app = CCommAppServices::Get();
    if (app && app->GetDriveFamily(GetDrive()) == 4)
        m_inhibit.GetValue(inhibit);
    else
        inhibit = GetStatusWord();
    const LampLook hw{"HW Inhibit", (inhibit & 0x200) ? kLitFace : kUnlitFace, (inhibit & 0x200) ? kLitInk : kUnlitInk};
    const LampLook sw{"SW Inhibit", (inhibit & 0x8) ? kLitFace : kUnlitFace, (inhibit & 0x8) ? kLitInk : kUnlitInk};
    dc.SetBkMode(TRANSPARENT);
    dc.SelectObject(GetFont());
    const LampLook* looks[] = {&state, &hw, &sw};
    for (int i = 0; i < 3; ++i) {
        CRect rect = ItemRect(kLampIds[i]);
        dc.FillSolidRect(&rect, looks[i]->face);
        dc.SetTextColor(looks[i]->ink);
        dc.DrawText(looks[i]->text, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void CQvxGuiCPanelDlg::PaintBar(CDC& dc, const CPanelCommandBar& bar)
{
    const CRect& rect = bar.m_rect;
    dc.FillSolidRect(&rect, RGB(0, 0, 0));
    CPen* old = dc.SelectObject(&m_markerPen);
    const int x = rect.left + bar.m_drawnX;
    for (int dx = -1; dx <= 1; ++dx) {
        dc.MoveTo(x + dx, rect.top);
        dc.LineTo(x + dx, rect.bottom);
    }
    dc.SelectObject(old);
}

void CQvxGuiCPanelDlg::OnPaint()
{
    CPaintDC dc(this);
    PaintLamps(dc);
    if (m_bar1->m_mode && m_bar1->m_drawnX >= 0)
        PaintBar(dc, *m_bar1);
    if (m_twoPhaseShown && m_bar2->m_mode && m_bar2->m_drawnX >= 0)
        PaintBar(dc, *m_bar2);
}

// Each bar is repainted only when its marker moved.
void CQvxGuiCPanelDlg::DrawBars()
{
    for (CPanelCommandBar* bar : {m_bar1.get(), m_bar2.get()}) {
        if (!bar->m_mode || (bar == m_bar2.get() && !m_twoPhaseShown))
            continue;
        const int x = CPanelBarMath::MarkerX(*bar->m_mode, bar->m_value, 0, bar->m_width);
        if (x == bar->m_drawnX)
            continue;
        bar->m_drawnX = x;
        InvalidateRect(&bar->m_rect, FALSE);
    }
}

void CQvxGuiCPanelDlg::OnTimer(UINT_PTR id)
{
    if (id != kBarTimer || m_inTimer)
        return;
    m_inTimer = 1;
    if (HaveParameter(6)) {
        DrawBars();
        // At rest the timer sleeps; a step that moves a marker wakes it (BarChange).
        KillTimer(kBarTimer);
        m_barTimerRunning = 0;
    }
    m_inTimer = 0;
}

bool CQvxGuiCPanelDlg::AnyMarkerMoved() const
{
    for (const CPanelCommandBar* bar : {m_bar1.get(), m_bar2.get()}) {
        if (!bar->m_mode || (bar == m_bar2.get() && !m_twoPhaseShown))
            continue;
        if (CPanelBarMath::MarkerX(*bar->m_mode, bar->m_value, 0, bar->m_width) != bar->m_drawnX)
            return true;
    }
    return false;
}

void CQvxGuiCPanelDlg::WakeBarTimer()
{
    if (m_barTimerRunning || !GetSafeHwnd() || !AnyMarkerMoved())
        return;
    if (SetTimer(kBarTimer, 30))
        m_barTimerRunning = 1;
}

void CQvxGuiCPanelDlg::OnDestroy()
{
    EndJog();
    KillTimer(kBarTimer);
    CGuiUpdateDlg::OnDestroy();
}

// ---- Commands -----------------------------------------------------------------

void CQvxGuiCPanelDlg::SendBar(CPanelCommandBar& bar, double amount, int up)
{
    const BarChange change(*this);
    CPanelScaling scaling;
    if (!bar.m_mode || !BuildScaling(scaling) || GetDrive() == -1)
        return;
    bar.m_previous = bar.m_value;
    bar.m_value = CPanelBarMath::Stepped(*bar.m_mode, bar.m_value, amount, up);
    const LONG drive = scaling.DriveFromEngineering(bar.m_value);
    const WORD reg = scaling.Mode() == kPanelModePosition ? kPositionCommand : bar.m_register;
    if (SendCommand(static_cast<BYTE>(GetDrive()), reg, PanelRegisterValue(reg, drive)) <= 0)
        EndJog();
}

CJogBtn* CQvxGuiCPanelDlg::Jog(int id)
{
    const int index = JogIndex(id);
    return index < 0 ? nullptr : &m_jogs[index];
}

void CQvxGuiCPanelDlg::StepJog(int id)
{
    const int index = JogIndex(id);
    CPanelCommandBar& bar = index >= 4 ? *m_bar2 : *m_bar1;
    if (index < 0 || !bar.m_mode)
        return;
    CPanelScaling scaling;
    const double fine = BuildScaling(scaling) ? scaling.FineIncrement() : 1.0;
    switch (index % 4) {
    case 0: SendBar(bar, fine, 0); break;
    case 1: SendBar(bar, bar.m_mode->Step(), 0); break;
    case 2: SendBar(bar, bar.m_mode->Step(), 1); break;
    default: SendBar(bar, fine, 1); break;
    }
}

void CQvxGuiCPanelDlg::OnJogPress(int id)
{
    GetDlgItem(IDC_CPANEL_STOP)->SetFocus();
    CJogBtn* jog = Jog(id);
    if (!jog)
        return;
    // A press whose release came first (a quick click) steps once and holds nothing.
    const bool held = jog->m_pressed && CWnd::GetCapture() == jog;
    m_heldJog = id;
    m_heldBoxSerial = AfxGetMessageBoxSerial();
    m_heldTimer.Restart();
    StepJog(id);
    if (!held)
        EndJog();
}

// The button must still hold the mouse, with no box come up since the press,
// on a drive still there: a release that never arrives never keeps the motor stepping.
int CQvxGuiCPanelDlg::JogStillHeld()
{
    CJogBtn* jog = Jog(m_heldJog);
    return jog && jog->m_pressed && CWnd::GetCapture() == jog && jog->IsWindowVisible() &&
           AfxGetMessageBoxSerial() == m_heldBoxSerial && GetDrive() != -1;
}

void CQvxGuiCPanelDlg::RepeatHeldJog()
{
    if (!m_heldJog)
        return;
    if (!JogStillHeld()) {
        EndJog();
        return;
    }
    // The first repeat waits a moment after the press, so a click is one step.
    if (m_heldTimer.GetElapsedSeconds() >= kJogRepeatSeconds)
        StepJog(m_heldJog);
}

LRESULT CQvxGuiCPanelDlg::OnMouseDown(WPARAM wParam, LPARAM lParam)
{
    // A jog button posts its press with its id and no position.
    if (lParam == 0) {
        OnJogPress(static_cast<int>(wParam));
        return 0;
    }
    OnBarClick(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
    return 0;
}

LRESULT CQvxGuiCPanelDlg::OnMouseUp(WPARAM, LPARAM lParam)
{
    if (lParam == 0)
        EndJog();
    return 0;
}

void CQvxGuiCPanelDlg::OnBarClick(CPoint point)
{
    CPanelCommandBar* bar = nullptr;
    if (m_bar1->m_rect.PtInRect(point))
        bar = m_bar1.get();
    else if (m_twoPhaseShown && m_bar2->m_rect.PtInRect(point) && Bar2InUse())
        bar = m_bar2.get();
    if (!bar)
        return;
    CPanelScaling scaling;
    if (!HaveParameter(6) || !BuildScaling(scaling)) {
        Ask(kNoValues);
        return;
    }
    if (!bar->m_mode || !CPanelBarMath::LimitsUsable(*bar->m_mode))
        return;
    const double target = CPanelBarMath::ClickTarget(*bar->m_mode, scaling, point.x, bar->m_rect.left, bar->m_width);
    CString text;
    if (bar->m_unit.IsEmpty())
        text.Format("WARNING: You've requested a change to %10.2lf.\n\n", target);
    else
        text.Format("WARNING: You've requested a change to %10.2lf (%s).\n\n", target,
                    static_cast<const char*>(bar->m_unit));
    text += "YES - Change position\n";
    text += "NO  - Don't Change position.";
    // A script that answers boxes unseen never moves the motor.
    if (Ask(text, MB_YESNO | MB_ICONEXCLAMATION, IDNO) != IDYES)
        return;
    bar->m_previous = bar->m_value;
    bar->m_value = target;
    SendBar(*bar, 0, 1);
}

void CQvxGuiCPanelDlg::OnOK()
{
    CWnd* focus = GetFocus();
    GetDlgItem(IDC_CPANEL_STOP)->SetFocus();
    CPanelCommandBar* bar = focus == m_bar1->m_edit ? m_bar1.get() : focus == m_bar2->m_edit ? m_bar2.get() : nullptr;
    if (!bar)
        return;
    CString text;
    bar->m_edit->GetWindowText(text);
    text.Remove(',');
    bar->m_previous = bar->m_value;
    bar->m_value = std::atof(text);
    SendBar(*bar, 0, 1);
}

void CQvxGuiCPanelDlg::SendZeroCommands()
{
    const BYTE address = static_cast<BYTE>(GetDrive());
    if (Bar2InUse())
        SendCommand(address, kBar2Command, 0);
    SendCommand(address, kCommand, 0);
    if (CPanelScaling::ModeOf(GetModeWord()) != kPanelModePosition)
        return;
    // Enabled again only when both the status word and the panel's own read of the
    // enable say so: a stale state never re-enables a drive that was switched off.
    LONG enable = 0;
    const int enabled = GetEnableBit() && m_enable.GetValue(enable) && enable != 0;
    SendCommand(address, kEnable, 0);
    SendCommand(address, kEnable, enabled ? 1 : 0);
}

void CQvxGuiCPanelDlg::OnStop()
{
    EndJog();
    GetDlgItem(IDC_CPANEL_STOP)->SetFocus();
    if (!HaveParameter(6) || GetDrive() == -1) {
        Ask(kNoValues);
        return;
    }
    SendZeroCommands();
}

void CQvxGuiCPanelDlg::OnFaultReset()
{
    EndJog();
    GetDlgItem(IDC_CPANEL_STOP)->SetFocus();
    if (!HaveParameter(6) || GetDrive() == -1) {
        Ask(kNoValues);
        return;
    }
    SendZeroCommands();
    SendCommand(static_cast<BYTE>(GetDrive()), kFaultReset, 0);
}

void CQvxGuiCPanelDlg::OnSetZeroPos()
{
    const BarChange change(*this);
    const bool canStop = HaveParameter(6) && GetDrive() != -1;
    OnStop();
    if (!canStop)
        return;
    for (CPanelCommandBar* bar : {m_bar1.get(), m_bar2.get()}) {
        bar->m_edit->SetWindowText("0");
        bar->m_value = bar->m_previous = 0;
    }
    SendCommand(static_cast<BYTE>(GetDrive()), kActualPosition, 0);
    m_positionCommand.Query(static_cast<BYTE>(GetDrive()), kPositionCommand, 0, kQryOneShot | kQryNotify);
}

void CQvxGuiCPanelDlg::OnTachReverse()
{
    LONG tach = 0;
    if (GetDrive() == -1 || !m_tach.GetValue(tach)) {
        Ask(kNoValues);
        return;
    }
    const BYTE address = static_cast<BYTE>(GetDrive());
    SendCommand(address, kTach, tach ? 0 : 1);
    // Read back, so the box and the next click follow the drive.
    m_tach.Query(address, kTach, 0, kQryOneShot | kQryNotify);
}

void CQvxGuiCPanelDlg::OnOptions()
{
    if (!m_ready || m_options || !m_modeKnown || !HaveParameter(6) || !HaveParameter(5))
        return;
    m_options = new CQvxCPanelOptionsDlg(&m_modes, this, IniPath());
    if (AddChildDialog(m_options) < 0)
        m_options = nullptr;
}

void CQvxGuiCPanelDlg::OnChildNotify(CWnd* child, int code)
{
    const BarChange change(*this);
    if (!m_options || child != m_options)
        return;
    // The dialog is going away: what it changed is read now, and it is forgotten.
    const int changed = m_options->IsChanged();
    m_options = nullptr;
    if (code != 1 || !changed || !m_modeKnown || !HaveParameter(6) || !HaveParameter(5))
        return;
    for (CPanelCommandBar* bar : {m_bar1.get(), m_bar2.get()})
        bar->m_value = bar->m_previous = 0;
    CPanelCommandBar& inUse = Bar2InUse() ? *m_bar2 : *m_bar1;
    SetBarMode(inUse, static_cast<int>(Parameter(5)));
    UpdateLabels(inUse);
}

void CQvxGuiCPanelDlg::SetDrive(int drive, int restart)
{
    if (drive != m_drive)
        EndJog();
    if (drive != m_drive && restart) {
        m_modeKnown = 0;
        m_modeChanged = 0;
        m_firstMode = 1;
        m_ready = 0;
    }
    CGuiUpdateDlg::SetDrive(drive, restart);
}

void CQvxGuiCPanelDlg::OnDriveChanged()
{
    EndJog();
    CGuiUpdateDlg::OnDriveChanged();
}

#include "scope/windows/QvxScopeDlg.h"

#include <algorithm>
#include <cmath>

#include "controls/WindowImageExport.h"
#include "foundation/DProperty.h"
#include "foundation/WindowPlacement.h"
#include "platform/core/Archive.h"
#include "platform/core/Exception.h"
#include "platform/core/MessageBox.h"
#include "platform/core/SingleLock.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Menu.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/WaitCursor.h"
#include "resources/ids/QvxScopeIds.h"
#include "scope/ScopeCsvExport.h"
#include "scope/windows/ScopeSettingSheet.h"
#include "scope/windows/SetPlotAxisRangeDlg.h"
#include "scope/windows/SetPlotTimeRangeDlg.h"

namespace {
constexpr UINT WM_KV_RECORD_REQUEST = WM_USER + 0x231;
}

BEGIN_MESSAGE_MAP(CQvxScopeDlg, CDialog)
    ON_MESSAGE(WM_KV_RECORD_REQUEST, &CQvxScopeDlg::OnPostedRecordRequest)
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_CONTEXTMENU()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_CTLCOLOR()
    ON_WM_GETMINMAXINFO()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

namespace {
constexpr int kKeyRowHeight = 16;
constexpr int kXLabelStrip = 25;
// Three entries to a row, with the box's frame and gap.
int PlotKeyHeight(size_t entries)
{
    return entries == 0 ? 0 : static_cast<int>((entries + 2) / 3) * kKeyRowHeight + 6;
}
constexpr int kTraceCount = CScopeTraceDataArray::kTraceCount;
constexpr DWORD kContextHelpExStyle = 0x00000400;  // WS_EX_CONTEXTHELP
constexpr int kTimeModeTracePoints = 1500;
constexpr int kWidthByIndex[] = {0, 2, 4};
constexpr int64_t kMaxRecordBytes = 2000000000;
constexpr COLORREF kTriggerColour = 0x2020C8;
constexpr COLORREF kIdleColour = 0x808080;
constexpr const char* kFilter = "Scope data files (*.qsd)|*.qsd||";

double Quantised(double value) { return std::trunc(value / CQvxScopeDlg::kRangeQuantum) * CQvxScopeDlg::kRangeQuantum; }

int Decimals(double step)
{
    const double l = std::log10(step);
    return l > 0 ? 0 : static_cast<int>(std::fabs(l) + 0.999);
}
}  // namespace

CQvxScopeDlg::CQvxScopeDlg(CScopeDriveServices* services)
    : CDialog(),
      CScopeSampler(*this, services ? *services : m_windowServices),
      m_windowServices(*this)
{
    m_templateId = IDD_QVX_SCOPE;
    m_ignoreSamples = 1;
    SetTrazelCallback(this);
    m_crPlotAreaBk = 0x606020;
    m_crFrameBk = 0x303030;
    m_crScaleAreaBk = 0x303030;
    m_crXScaleBk = 0x303030;
    m_crYScaleBk = 0x303030;
    m_crXScaleText = 0xE0E0E0;
    m_crYScaleText = 0xE0E0E0;
    m_crXLabelText = 0xE0E0E0;
    m_crYLabelText = 0xE0E0E0;
    m_crXMajorGrid = m_crYMajorGrid = 0x909090;
    m_crXMinorGrid = m_crYMinorGrid = 0x707050;
    m_bXMajorGrid = m_bYMajorGrid = 1;
    m_nTimeMode = timeSweep;
    m_bRun = 1;
    m_displayClock.Restart(0.0);
    m_displayClock.Pause();
    ForgetLastPoints();
}

CQvxScopeDlg::~CQvxScopeDlg()
{
    StopSampler();
    CancelAllQueries();
    if (GetSafeHwnd())
        DestroyWindow();
}

int CQvxScopeDlg::ScopeMode() const
{
    CSingleLock lock(&m_scopeLock, TRUE);
    return m_scopeMode;
}

void CQvxScopeDlg::SetDataFolder(const char* folder) { CScopeSampler::SetDataFolder(folder); }

int CQvxScopeDlg::ShowScope(BOOL show, const char* settingsPath)
{
    if (show) {
        SetSettingsPath(settingsPath ? settingsPath : "");
        LoadSettings("");
        if (!GetSafeHwnd()) {
            if (!Create(IDD_QVX_SCOPE, nullptr))
                return 0;
            ModifyStyleEx(0, kContextHelpExStyle);
        } else {
            ApplySettingsToPlot();
        }
    }
    if (!GetSafeHwnd())
        return 1;
    if (static_cast<bool>(IsWindowVisible()) == static_cast<bool>(show))
        return 1;
    if (show) {
        m_sources.Lock();
        for (CScopeSourceData* source : m_sources)
            source->SuspendQuery = 0;
        m_sources.Unlock();
        ShowWindow(SW_SHOW);
        AttachToUpdateList();
        StartMonitoring();
    } else {
        StopMonitoring();
        CGuiUpdateItem::DetachFromUpdateList(kDetachUnregister);
        ShowWindow(SW_HIDE);
    }
    return 1;
}

int CQvxScopeDlg::StartMonitoring()
{
    SetTimer(1, 50);
    SetTimer(2, 100);
    SetTimer(3, 100);
    SetTimer(6, 500);
    SetTimer(4, 10);
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_scopeMode = kIdle;
    }
    StartQueries();
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_queriesRunning = 1;
    }
    ApplyMode();
    if (GetSamplerState() == kSamplerStopped)
        StartSampler();
    return 1;
}

int CQvxScopeDlg::StopMonitoring()
{
    CancelAllQueries();
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_queriesRunning = 0;
    }
    StopSampler();
    for (UINT_PTR id : {1, 2, 3, 6, 4})
        KillTimer(id);
    return 1;
}

void CQvxScopeDlg::ApplyMode()
{
    int mode;
    int monitoring;
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        mode = m_scopeMode;
        monitoring = m_monitoringState;
    }
    if (mode == kIdle || mode == kPlayback) {
        ClearPlot();
        StopPlayback();
        ApplySettingsToPlot();
        StartMonitorMode();
    } else if (mode == kMonitoring) {
        if (monitoring == 2)
            StartMonitorMode();
    } else {
        OnRecord(false);
    }
}

// ---- dialog ----

BOOL CQvxScopeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CRect yset;
    GetDlgItem(IDC_SCOPE_Y_SET)->GetWindowRect(&yset);
    ScreenToClient(&yset);
    CRect client;
    GetClientRect(&client);
    m_slider.Create(WS_VISIBLE | WS_TABSTOP, CRect(yset.right + 8, yset.top, client.right - 8, yset.bottom), this,
                    IDC_SCOPE_SLIDER);
    m_slider.SetRange(0, 1000);
    // The split Settings button stands where the plain one is, which it replaces.
    CWnd* plain = GetDlgItem(IDC_SCOPE_SETTINGS);
    CRect settings;
    plain->GetWindowRect(&settings);
    ScreenToClient(&settings);
    settings.right += 12;
    m_settingsSplit.Create("Settings", WS_VISIBLE | WS_TABSTOP, settings, this, IDC_SCOPE_SETTINGS_SPLIT);
    CMenu dropDown;
    dropDown.CreatePopupMenu();
    dropDown.AppendMenu(MF_STRING, ID_SCOPE_LOAD_SETTINGS, "Load Settings...");
    dropDown.AppendMenu(MF_STRING, ID_SCOPE_SAVE_SETTINGS, "Save Settings...");
    dropDown.AppendMenu(MF_STRING, ID_SCOPE_EDIT_SETTINGS, "Edit Settings...");
    m_settingsSplit.SetDropDownMenu(dropDown);
    plain->ShowWindow(SW_HIDE);
    RememberControlPlaces();
    ApplySettingsToPlot();  // ShowScope has read the settings just before creating the window
    m_displayClock.Restart(0.0);
    m_displayClock.Pause();
    m_latestDataTime = 0.0;
    m_relayoutScales = 1;
    m_ignoreSamples = 0;
    UpdateTexts();
    return TRUE;
}

void CQvxScopeDlg::RememberControlPlaces()
{
    CRect client;
    GetClientRect(&client);
    m_clientHeight = client.Height();
    CRect first;
    GetDlgItem(IDC_SCOPE_RECORD)->GetWindowRect(&first);
    ScreenToClient(&first);
    m_controlsTop = first.top;
}

CRect CQvxScopeDlg::GetPlotRect() const
{
    CRect client;
    GetClientRect(&client);
    return CRect(0, 0, client.right, std::max(0, m_controlsTop - 6));
}

void CQvxScopeDlg::OnSize(UINT, int, int cy)
{
    if (!m_clientHeight || !GetDlgItem(IDC_SCOPE_RECORD))
        return;
    // The controls keep their distance to the bottom edge; the plot takes the rest.
    const int dy = cy - m_clientHeight;
    if (dy == 0)
        return;
    for (CWnd* w = GetWindow(GW_CHILD); w; w = w->GetWindow(GW_HWNDNEXT)) {
        CRect r;
        w->GetWindowRect(&r);
        ScreenToClient(&r);
        w->MoveWindow(r.left, r.top + dy, r.Width(), r.Height(), TRUE);
    }
    m_clientHeight = cy;
    m_controlsTop += dy;
    m_relayoutScales = 1;
    Invalidate(FALSE);
}

void CQvxScopeDlg::OnGetMinMaxInfo(MINMAXINFO* info)
{
    info->ptMinTrackSize.x = 720;
    info->ptMinTrackSize.y = 300;
}

void CQvxScopeDlg::PreparePlot()
{
    m_nOuterRightMargin = static_cast<short>(m_showPlotKey ? 75 : 15);
    // The key sits under the x label's strip, not over it.
    m_nOuterBottomMargin =
        static_cast<short>(kXLabelStrip + (m_showPlotKey ? PlotKeyHeight(m_plotKey.size()) : 0));
    if (m_relayoutScales && GetPlotRect().Height() > 10) {
        LayoutScales();
        m_relayoutScales = 0;
    }
}

void CQvxScopeDlg::OnPaint()
{
    CPaintDC dc(this);
    m_painting = 1;
    const CRect plot = GetPlotRect();
    m_paintRect.IntersectRect(plot, dc.m_ps.rcPaint);
    // A part of the plot keeps the key it shows until timer 1 sees it change.
    if (m_paintRect == plot)
        RefreshPlotKey();
    PreparePlot();
    if (plot.Height() > 10) {
        Draw(&dc, plot, m_paintRect);
        const CRect area = m_pPlotArea->m_plotRect;
        m_pixelSeconds = area.Width() > 0 ? (m_dXMax - m_dXMin) / area.Width() : 0.0;
    }
    m_painting = 0;
}

int CQvxScopeDlg::TZCB_DrawExtraNonPlotArea(CDC* dc, CRect wholeRect)
{
    if (m_showPlotKey)
        DrawPlotKey(dc, wholeRect);
    return 1;
}

bool CQvxScopeDlg::RefreshPlotKey()
{
    std::vector<PlotKeyEntry> entries;
    if (m_showPlotKey)
        entries = PlotKeyEntries();
    const int scheme = m_printScheme;
    if (entries == m_plotKey && scheme == m_plotKeyScheme)
        return false;
    m_plotKey = std::move(entries);
    m_plotKeyScheme = scheme;
    return true;
}

std::vector<CQvxScopeDlg::PlotKeyEntry> CQvxScopeDlg::PlotKeyEntries()
{
    std::vector<PlotKeyEntry> entries;
    CSingleLock lock(&m_traces.m_lock, TRUE);
    m_sources.Lock();
    for (int i = 0; i < m_traces.GetSize(); ++i) {
        const CScopeTraceData& trace = m_traces[i];
        CScopeSourceData* y = m_sources.FindById(trace.YSourceID, 0);
        if (!trace.Enabled || !y || !y->Enabled || y->SuspendQuery)
            continue;
        CString label = y->GetLabel(0, 1, 1, 0);
        if (m_plotMode == 2)
            if (CScopeSourceData* x = m_sources.FindById(trace.XSourceID, 0))
                label += " / " + x->GetLabel(0, 1, 1, 0);
        entries.push_back({trace.Color, label, y->LastError});
    }
    m_sources.Unlock();
    return entries;
}

void CQvxScopeDlg::DrawPlotKey(CDC* dc, const CRect& whole)
{
    const std::vector<PlotKeyEntry>& entries = m_plotKey;
    if (entries.empty())
        return;
    CRect box(whole.left + 4, whole.bottom - PlotKeyHeight(entries.size()), whole.right - 4, whole.bottom - 2);
    CRect shown;
    if (!shown.IntersectRect(box, m_paintRect))
        return;
    dc->FillSolidRect(&box, m_printScheme ? RGB(255, 255, 255) : RGB(230, 230, 230));
    dc->Draw3dRect(&box, RGB(0, 0, 0), RGB(0, 0, 0));
    CFont font;
    font.CreateFont(13, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    CFont* old = dc->SelectObject(&font);
    dc->SetBkMode(TRANSPARENT);
    const int column = box.Width() / 3;
    for (size_t i = 0; i < entries.size(); ++i) {
        const int x = box.left + 6 + static_cast<int>(i % 3) * column;
        const int y = box.top + 3 + static_cast<int>(i / 3) * kKeyRowHeight;
        CPen pen(PS_SOLID, 2, entries[i].colour);
        CPen* oldPen = dc->SelectObject(&pen);
        dc->MoveTo(x, y + 7);
        dc->LineTo(x + 20, y + 7);
        dc->SelectObject(oldPen);
        const int error = entries[i].error;
        dc->SetTextColor(error == 0 ? 0x202020 : error == 37 ? 0x00C8C8 : 0x0000C8);
        dc->TextOut(x + 24, y, entries[i].label);
    }
    dc->SelectObject(old);
}

// ---- plot set-up ----

void CQvxScopeDlg::ApplySettingsToPlot()
{
    m_strXLabel = m_xLabel;
    m_strYLabel = m_yLabel;
    m_bXLabel = m_showXLabel;
    m_bYLabel = m_showYLabel;
    m_nXLabelAlignAcross = 1;  // just under the time scale, clear of the key below it
    m_crPlotAreaBk = m_plotBgColor;
    m_bXMajorGrid = m_bYMajorGrid = m_gridStyle != 0;
    m_bXMinorGrid = m_bYMinorGrid = m_gridStyle == 1;
    if (m_plotMode == 2) {
        m_nTimeMode = timeFixed;
        m_dXMin = m_saveXYPlotMinX;
        m_dXMax = m_saveXYPlotMaxX;
    } else {
        m_nTimeMode = timeSweep;
        m_dXMin = 0.0;
        m_dXMax = std::max(m_sweepRange, kMinSpan);
    }
    m_dYMin = m_scaleMinY;
    m_dYMax = m_scaleMaxY;
    RebuildTraces();
    m_relayoutScales = 1;
}

void CQvxScopeDlg::RebuildTraces()
{
    CSingleLock lock(&m_traces.m_lock, TRUE);
    m_pPlotArea->RemoveAllTraces();
    AddTrace(kTraceCount);
    for (int i = 0; i < kTraceCount; ++i)
        SetMaxTracePoints(i, m_plotMode == 2 ? m_traceTailPoints : kTimeModeTracePoints);
    for (double& t : m_lastPointTime)
        t = -1e300;
    lock.Unlock();
    ApplyTraceAttributes();
}

void CQvxScopeDlg::ApplyTraceAttributes()
{
    CSingleLock lock(&m_traces.m_lock, TRUE);
    for (int i = 0; i < m_traces.GetSize(); ++i) {
        const CScopeTraceData& trace = m_traces[i];
        if (trace.Enabled) {
            SetTraceColor(i, trace.Color);
            SetPenColor(i, trace.Color);
            const int index = trace.WidthIndex;
            SetTraceWidth(i, index >= 0 && index < 3 ? kWidthByIndex[index] : 0);
        }
        SetTraceEnable(i, trace.Enabled);
    }
}

double CQvxScopeDlg::ScaleStep(double span, double divisionLimit, int& minorDivisions, int& decimals)
{
    static const double kFactors[] = {1, 2, 5, 10, 20, 50};
    static const int kMinors[] = {5, 4, 5, 5, 4, 5};
    double p = std::pow(10.0, std::trunc(std::log10(span)) - 1);
    while (span / p < 6)
        p /= 10;
    double step = p * kFactors[5];
    minorDivisions = kMinors[5];
    for (int i = 0; i < 6; ++i)
        if (span / (p * kFactors[i]) < divisionLimit) {
            step = p * kFactors[i];
            minorDivisions = kMinors[i];
            break;
        }
    decimals = Decimals(step);
    return step;
}

void CQvxScopeDlg::LayoutScales()
{
    if (m_dXMax == m_dXMin)
        m_dXMax = m_dXMin + 1;
    if (m_dXMax < m_dXMin)
        std::swap(m_dXMax, m_dXMin);
    if (m_dYMax == m_dYMin)
        m_dYMax = m_dYMin + 1;
    if (m_dYMax < m_dYMin)
        std::swap(m_dYMax, m_dYMin);
    const CRect plot = GetPlotRect();
    int minor = 5;
    int decimals = 0;
    m_dXMajorStep = ScaleStep(m_dXMax - m_dXMin, std::max(1, plot.Width() / 80), minor, decimals);
    m_dXMinorStep = m_dXMajorStep / minor;
    m_nXScaleDigits = static_cast<short>(decimals);
    static const char* kTimeFormats[] = {"TF_S", "TF_MS", "TF_HMS"};
    if (m_plotMode == 2) {
        CString format;
        format.Format("%%0.%uf", static_cast<unsigned>(std::max(decimals, 1)));
        m_pScale->m_strXFormat = format;
    } else {
        m_pScale->m_strXFormat = kTimeFormats[std::clamp(m_timeFormat, 0, 2)];
    }
    m_dYMajorStep = ScaleStep(m_dYMax - m_dYMin, std::max(1, plot.Height() / 30), minor, decimals);
    m_dYMinorStep = m_dYMajorStep / minor;
    m_nYScaleDigits = static_cast<short>(decimals);
    m_pScale->m_strYFormat = "%0.5g";
}

void CQvxScopeDlg::SetYRange(double minimum, double maximum)
{
    const double low = Quantised(minimum);
    m_dYMin = low;
    m_dYMax = Quantised(std::max(maximum, low + kMinSpan));
    m_scaleMinY = m_dYMin;
    m_scaleMaxY = m_dYMax;
    m_relayoutScales = 1;
}

void CQvxScopeDlg::SetXRange(double minimum, double maximum)
{
    const double low = Quantised(minimum);
    m_dXMin = low;
    m_dXMax = Quantised(std::max(maximum, low + kMinSpan));
    if (m_plotMode == 2) {
        m_saveXYPlotMinX = m_dXMin;
        m_saveXYPlotMaxX = m_dXMax;
    } else {
        m_sweepRange = m_dXMax - m_dXMin;
    }
    m_relayoutScales = 1;
}

void CQvxScopeDlg::PlaceXWindow(double start, double end, bool restartClock)
{
    ResetPlot();
    ForgetLastPoints();
    if (restartClock) {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_displayClock.Restart(end);
        if (m_displayClockState == 2)
            m_displayClock.Pause();
    }
    if (m_plotMode != 2) {
        m_dXMin = start;
        m_dXMax = std::max(end, start + kMinSpan);
        m_relayoutScales = 1;
    }
    m_recording.SeekTime(m_plotMode == 2 ? end : start);
}

void CQvxScopeDlg::ZoomY(int step)
{
    const double centre = (m_dYMin + m_dYMax) / 2;
    const double half = (m_dYMax - m_dYMin) / 2 * (step <= 0 ? 2.0 : 0.5);
    SetYRange(centre - half, centre + half);
    SaveSettingsInMonitorMode();
}

void CQvxScopeDlg::ZoomTime(int step)
{
    const double factor = step < 1 ? 2.0 : 0.5;
    const double span = std::max((m_dXMax - m_dXMin) * factor, kMinSpan);
    if (m_plotMode == 2) {
        const double centre = (m_dXMin + m_dXMax) / 2;
        SetXRange(centre - span / 2, centre + span / 2);
    } else {
        m_sweepRange = span;
        const double now = m_displayClock.GetElapsedSeconds();
        ClearPlot();
        PlaceXWindow(now - span, now, false);
        if (ScopeMode() == kMonitoring)
            StartMonitorMode();
    }
    SaveSettingsInMonitorMode();
}

void CQvxScopeDlg::SaveSettingsInMonitorMode()
{
    if (ScopeMode() == kMonitoring)
        SaveSettings("");
}

void CQvxScopeDlg::AutoScale(int shrink)
{
    bool any = false;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    {
        CSingleLock lock(&m_traces.m_lock, TRUE);
        for (int i = 0; i < m_traces.GetSize(); ++i) {
            if (!m_traces[i].Enabled)
                continue;
            double a, b, c, d;
            if (!GetTraceMinMax(i, a, b, c, d))
                continue;
            if (!any) {
                xMin = a, xMax = b, yMin = c, yMax = d;
                any = true;
            } else {
                xMin = std::min(xMin, a), xMax = std::max(xMax, b);
                yMin = std::min(yMin, c), yMax = std::max(yMax, d);
            }
        }
    }
    if (!any)
        return;
    const double yMargin = yMax - yMin == 0 ? 1.0 : (yMax - yMin) * 0.05;
    const double xMargin = xMax - xMin == 0 ? 1.0 : (xMax - xMin) * 0.05;
    double newYMin = shrink ? yMin - yMargin : std::min(m_dYMin, yMin - yMargin);
    double newYMax = shrink ? yMax + yMargin : std::max(m_dYMax, yMax + yMargin);
    newYMin = Quantised(newYMin);
    newYMax = Quantised(newYMax);
    if (newYMin != m_dYMin || newYMax != m_dYMax)
        SetYRange(newYMin, newYMax);
    if (m_plotMode == 2) {
        double newXMin = Quantised(shrink ? xMin - xMargin : std::min(m_dXMin, xMin - xMargin));
        double newXMax = Quantised(shrink ? xMax + xMargin : std::max(m_dXMax, xMax + xMargin));
        if (newXMin != m_dXMin || newXMax != m_dXMax)
            SetXRange(newXMin, newXMax);
    }
}

// ---- engine hooks ----

void CQvxScopeDlg::PlotSample(int sourceId, double time, double value)
{
    m_lastPlottedTime = time;
    CSingleLock lock(&m_traces.m_lock, TRUE);
    const double pixel = m_pixelSeconds.load();
    for (int i = 0; i < m_traces.GetSize(); ++i) {
        CScopeTraceData& trace = m_traces[i];
        if (!trace.Enabled)
            continue;
        if (m_plotMode == 2) {
            if (trace.XSourceID == sourceId)
                trace.LastX = value;
            if (trace.YSourceID == sourceId)
                PlotPoint(i, trace.LastX, value);
        } else if (trace.YSourceID == sourceId) {
            // One point per pixel column keeps the drawing cost bounded.
            if (i < kTraceCount && pixel > 0 && std::fabs(time - m_lastPointTime[i]) < pixel)
                continue;
            if (i < kTraceCount)
                m_lastPointTime[i] = time;
            PlotPoint(i, time, value);
        }
    }
}

void CQvxScopeDlg::ClearPlot()
{
    CTrazel::ClearPlot();
    ForgetLastPoints();
}

void CQvxScopeDlg::ChangeSettings(const std::function<bool()>& change, bool& changed)
{
    const bool sampling = GetSamplerState() != kSamplerStopped;
    if (sampling)
        StopSampler();
    changed = change();
    if (sampling)
        StartSampler();
}

void CQvxScopeDlg::ForgetLastPoints()
{
    CSingleLock lock(&m_traces.m_lock, TRUE);
    for (double& t : m_lastPointTime)
        t = -1e300;
}

void CQvxScopeDlg::AutoScaleIfLocked()
{
    // The sampling thread calls this; the GUI thread rescales with timer 1 instead.
}

// ---- timers ----

void CQvxScopeDlg::OnTimer(UINT_PTR id)
{
    if (m_painting || m_timerBusy)
        return;
    m_timerBusy = 1;
    switch (id) {
    case 1: OnTimer1(); break;
    case 2: UpdateTexts(); break;
    case 3: FollowDataClock(); break;
    case 4: OnTimer4(); break;
    case 6: m_blink = !m_blink; break;
    default: break;
    }
    m_timerBusy = 0;
}

void CQvxScopeDlg::OnTimer1()
{
    HandleTraceError();
    if (ScopeMode() != kMonitoring && !m_slider.IsDragging()) {
        bool plotted = false;
        const double window = m_plotMode == 2 ? 10.0 : m_dXMax - m_dXMin;
        if (DrawFromBuffer(window, plotted))
            m_pauseRequest = 2;
        if (plotted && m_autoScaleLocked)
            AutoScale(0);
    } else if (m_autoScaleLocked) {
        AutoScale(0);
    }
    InvalidatePlotChanges();
    CheckRecordSize();
}

// Only what changed on the plot is painted again: a sweep that gains points
// changes a strip at its current time, a stopped one nothing.
void CQvxScopeDlg::InvalidatePlotChanges()
{
    const bool keyChanged = RefreshPlotKey();
    PreparePlot();
    const CRect plot = GetPlotRect();
    if (plot.Height() <= 10)
        return;
    const CRect changed = keyChanged ? plot : GetChangedRect(plot);
    if (!changed.IsRectEmpty())
        InvalidateRect(&changed, FALSE);
}

// A record request posts the window a wake-up; the 10 ms tick then runs only
// until it has taken the request (a tick skipped while the window is busy
// comes again).
void CQvxScopeDlg::OnRecordRequested()
{
    if (GetSafeHwnd())
        PostMessage(WM_KV_RECORD_REQUEST);
}

LRESULT CQvxScopeDlg::OnPostedRecordRequest(WPARAM, LPARAM)
{
    SetTimer(4, 10);
    return 0;
}

void CQvxScopeDlg::OnTimer4()
{
    KillTimer(4);
    const int state = TakeRecordRequest();
    if (state == kStartRequested) {
        m_pauseRequest = 0;
        if (BeginRecording()) {
            StartDisplayClock();
            ClearPlot();
            const double now = m_recordingClock.GetElapsedSeconds();
            PlaceXWindow(now - (m_dXMax - m_dXMin), now, false);
            CSingleLock lock(&m_scopeLock, TRUE);
            m_scopeMode = kRecording;
        }
    } else if (state == kStopRequested) {
        const BOOL written = StopRecording();
        StopPlayback();
        if (!written) {
            AfxEngineMessageBox("File error.  Could not save scope data.", "Oscilloscope", MB_OK | MB_ICONERROR);
        } else {
            while (AfxEngineMessageBox("Save recording?", "Oscilloscope", MB_YESNO | MB_ICONQUESTION) == IDYES)
                if (SaveDataFile() != 0)
                    break;
        }
        StartMonitorMode();
    }
}

void CQvxScopeDlg::HandleTraceError()
{
    CAmpResponseToGui error;
    if (!TakeError(error))
        return;
    int recording;
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        recording = m_recordingState;
    }
    StopMonitoring();
    CString text = "The following error occured:\r\n" + error.ToString() + "\r\n\r\n" +
                   "Please click 'Retry' to try again or 'Cancel' to disable trace.";
    if (AfxEngineMessageBox(text, "Oscilloscope", MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDCANCEL) {
        SuspendFailingSource(error);
        SaveSettings("");
        ClearErrors();
        ApplyTraceAttributes();
    }
    StartMonitoring();
    if (recording)
        ApplyMode();
}

void CQvxScopeDlg::CheckRecordSize()
{
    if (ScopeMode() != kRecording || m_recording.GetBytesWritten() <= kMaxRecordBytes)
        return;
    StopRecording();
    StopPlayback();
    {
        CSingleLock lock(&m_recordLock, TRUE);
        m_recordState = kRecordIdle;
    }
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_scopeMode = kPlayback;
    }
    if (AfxEngineMessageBox("Maximum record file size has been reached.  Click 'OK' to save recorded data or "
                            "'Cancel' to abort.",
                            "Oscilloscope", MB_OKCANCEL) == IDOK)
        SaveDataFile();
    ApplyMode();
}

double CQvxScopeDlg::TZCB_GetPlotTime()
{
    double t = m_displayClock.GetElapsedSeconds();
    const double edge = m_dXMax - 0.001;
    if (m_pauseRequest == 1 && (t >= m_dXMax || m_plotMode == 2)) {
        CSingleLock lock(&m_scopeLock, TRUE);
        if (m_scopeMode == kMonitoring) {
            m_monitoringState = 2;
        } else {
            m_displayClockState = 2;
        }
        m_displayClock.Restart(m_dXMax);
        m_displayClock.Pause();
        m_pauseRequest = 2;
        return edge;
    }
    if (m_pauseRequest == 2)
        return std::min(t, edge);
    return t;
}

// ---- texts ----

CString CQvxScopeDlg::FormatTime(double seconds, int timeFormat)
{
    CString text;
    if (seconds < 0)
        seconds = 0;
    const auto whole = static_cast<unsigned long long>(seconds);
    const auto hundredths = static_cast<unsigned>((seconds - static_cast<double>(whole)) * 100) % 100;
    CString format;
    switch (timeFormat) {
    case 0: text.Format("%.2f", seconds); break;
    case 1:
        format.Format("%%02u:%%02u.%%0%uu", 2u);
        text.Format(format, static_cast<unsigned>(whole / 60 % 60), static_cast<unsigned>(whole % 60), hundredths);
        break;
    default:
        format.Format("%%02u:%%02u:%%02u.%%0%uu", 2u);
        text.Format(format, static_cast<unsigned>(whole / 3600 % 100), static_cast<unsigned>(whole / 60 % 60),
                    static_cast<unsigned>(whole % 60), hundredths);
        break;
    }
    return text;
}

CString CQvxScopeDlg::TimeText(double seconds) const { return FormatTime(seconds, m_timeFormat); }

CString CQvxScopeDlg::StatusText() const
{
    int mode, monitoring;
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        mode = m_scopeMode;
        monitoring = m_monitoringState;
    }
    switch (mode) {
    case kIdle: return " Idle";
    case kMonitoring:
        if (m_pauseRequest == 1)
            return m_blink ? " Pausing..." : "";
        return monitoring == 0 ? " Waiting..." : monitoring == 1 ? " Monitoring..." : " Paused...";
    default: return " " + TimeText(const_cast<CQvxScopeDlg*>(this)->m_displayClock.GetElapsedSeconds()) + " ";
    }
}

void CQvxScopeDlg::SetItemText(int id, const CString& text)
{
    CWnd* item = GetDlgItem(id);
    if (!item)
        return;
    CString old;
    item->GetWindowText(old);
    if (old != text)
        item->SetWindowText(text);
}

void CQvxScopeDlg::UpdateTexts()
{
    if (!GetSafeHwnd())
        return;
    UpdateButtonTexts();
    UpdateStatusTexts();
    UpdateSlider();
}

void CQvxScopeDlg::UpdateButtonTexts()
{
    const int mode = ScopeMode();
    SetItemText(IDC_SCOPE_PAUSE, m_pauseRequest == 0 ? "Pause" : mode <= kMonitoring ? "Restart" : "Resume");
    int record;
    {
        CSingleLock lock(&m_recordLock, TRUE);
        record = m_recordState;
    }
    CString text = "Record";
    if (record == kRecordIdle)
        text = m_recordStartTrigger == 1 ? "Enable Recording" : "Record";
    else if (record <= kWaitStartLevel)
        text = "Cancel Record";
    else
        text = "Stop && Save";
    SetItemText(IDC_SCOPE_RECORD, text);
    SetItemText(IDC_SCOPE_RANGE_CAPTION, m_plotMode == 2 ? "X-range:" : "Time range:");
    SetItemText(IDC_SCOPE_LOCK_AUTO_SCALE, m_autoScaleLocked ? "Unlock Auto Scale" : "Lock Auto Scale");
    GetDlgItem(IDC_SCOPE_MONITOR)->EnableWindow(mode != kMonitoring || m_pauseRequest != 0);
    GetDlgItem(IDC_SCOPE_EXPORT_CSV)->EnableWindow(TRUE);
    m_slider.EnableWindow(mode >= kRecording);
    for (int id : {IDC_SCOPE_TIME_SPIN, IDC_SCOPE_TIME_SET, IDC_SCOPE_Y_SPIN, IDC_SCOPE_Y_SET})
        GetDlgItem(id)->EnableWindow(!m_autoScaleLocked || id == IDC_SCOPE_TIME_SPIN || id == IDC_SCOPE_TIME_SET);
}

void CQvxScopeDlg::UpdateStatusTexts()
{
    const int mode = ScopeMode();
    SetItemText(IDC_SCOPE_STATUS_CAPTION, mode >= kRecording ? "Playback time:" : "Scope status:");
    SetItemText(IDC_SCOPE_STATUS, StatusText());
    int recordingState;
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        recordingState = m_recordingState;
    }
    int record;
    {
        CSingleLock lock(&m_recordLock, TRUE);
        record = m_recordState;
    }
    CString text = " N/A";
    if (recordingState == 2)
        text = " " + TimeText(m_recordingClock.GetElapsedSeconds());
    else if (m_recordStartTrigger == 1 && record == kWaitStartLevel)
        text = m_blink ? " Waiting..." : "";
    m_recordTimeColour = text == " N/A" ? kIdleColour : kTriggerColour;
    SetItemText(IDC_SCOPE_RECORD_TIME, text);
}

HBRUSH CQvxScopeDlg::OnCtlColor(CDC* dc, CWnd* child, UINT type)
{
    HBRUSH brush = CDialog::OnCtlColor(dc, child, type);
    if (child && child->GetDlgCtrlID() == IDC_SCOPE_RECORD_TIME)
        dc->SetTextColor(m_recordTimeColour);
    return brush;
}

void CQvxScopeDlg::UpdateSlider()
{
    if (m_slider.IsDragging() || !m_slider.GetSafeHwnd())
        return;
    const int mode = ScopeMode();
    double start = 0, end = 0;
    if (mode == kRecording)
        end = m_recordingClock.GetElapsedSeconds();
    else if (mode == kPlayback)
        m_recording.GetTimeSpan(start, end);
    else
        return;
    const double now = m_displayClock.GetElapsedSeconds();
    const int range = m_slider.GetRangeMax();
    m_slider.SetPos(end > start ? static_cast<int>(std::clamp((now - start) / (end - start), 0.0, 1.0) * range) : 0);
}

void CQvxScopeDlg::OnHScroll(UINT code, UINT, CWnd* bar)
{
    if (bar != &m_slider)
        return;
    const int mode = ScopeMode();
    double start = 0, end = 0;
    if (mode == kRecording)
        end = m_recordingClock.GetElapsedSeconds();
    else if (mode == kPlayback)
        m_recording.GetTimeSpan(start, end);
    else
        return;
    const double t = start + m_slider.GetPos() * (end - start) / std::max(1, m_slider.GetRangeMax());
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_displayClock.Restart(t);
        if (m_displayClockState == 2)
            m_displayClock.Pause();
    }
    if (code == TB_ENDTRACK)
        PlaceXWindow(t - (m_dXMax - m_dXMin), t, false);
}

// ---- commands ----

BOOL CQvxScopeDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(static_cast<DWORD>(wParam));
    const UINT code = HIWORD(static_cast<DWORD>(wParam));
    if (code != BN_CLICKED && code != 0)
        return CDialog::OnCommand(wParam, lParam);
    switch (id) {
    case IDC_SCOPE_RECORD: OnRecordButton(); return TRUE;
    case IDC_SCOPE_PAUSE: OnPauseButton(); return TRUE;
    case IDC_SCOPE_MONITOR: OnMonitorButton(); return TRUE;
    case IDC_SCOPE_LOAD_FILE: OnLoadFile(); return TRUE;
    case IDC_SCOPE_EXPORT_CSV: OnExportCsv(); return TRUE;
    case IDC_SCOPE_CAPTURE_IMAGE: OnCaptureImage(); return TRUE;
    case IDC_SCOPE_AUTO_SCALE: OnAutoScaleButton(); return TRUE;
    case IDC_SCOPE_LOCK_AUTO_SCALE: OnLockAutoScale(); return TRUE;
    case IDC_SCOPE_TIME_SET: OnSetTimeRange(); return TRUE;
    case IDC_SCOPE_Y_SET: OnSetYRange(); return TRUE;
    case IDC_SCOPE_SETTINGS:
    case IDC_SCOPE_SETTINGS_SPLIT:
    case ID_SCOPE_EDIT_SETTINGS: OnSettings(); return TRUE;
    case ID_SCOPE_LOAD_SETTINGS: OnLoadSettingsFile(); return TRUE;
    case ID_SCOPE_SAVE_SETTINGS: OnSaveSettingsFile(); return TRUE;
    default:
        if (id >= static_cast<UINT>(ID_SCOPE_TRACE_FIRST) && id <= static_cast<UINT>(ID_SCOPE_CLEAR_PLOT)) {
            OnContextCommand(id);
            return TRUE;
        }
        return CDialog::OnCommand(wParam, lParam);
    }
}

BOOL CQvxScopeDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->code == UDN_DELTAPOS) {
        const auto* updown = reinterpret_cast<const NMUPDOWN*>(lParam);
        if (header->idFrom == static_cast<UINT_PTR>(IDC_SCOPE_Y_SPIN))
            ZoomY(updown->iDelta);
        else if (header->idFrom == static_cast<UINT_PTR>(IDC_SCOPE_TIME_SPIN))
            ZoomTime(updown->iDelta);
        *result = 1;  // the spin keeps no position of its own
        Invalidate(FALSE);
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, result);
}

void CQvxScopeDlg::OnRecordButton()
{
    const int mode = ScopeMode();
    if (mode == kRecording) {
        OnRecord(false);
    } else if (mode == kPlayback) {
        StopPlayback();
        m_preTrigger.Clear();
        OnRecord(true);
    } else {
        OnRecord(true);
    }
    UpdateTexts();
}

void CQvxScopeDlg::OnPauseButton()
{
    if (m_pauseRequest == 0) {
        m_pauseRequest = 1;
    } else if (ScopeMode() == kMonitoring) {
        StartMonitorMode();
        m_pauseRequest = 0;
    } else {
        StartDisplayClock();
        m_pauseRequest = 0;
    }
    UpdateTexts();
}

void CQvxScopeDlg::OnMonitorButton()
{
    ApplyMode();
    UpdateTexts();
}

void CQvxScopeDlg::OnLoadFile()
{
    const int mode = ScopeMode();
    if (mode == kRecording) {
        AfxEngineMessageBox("You must stop recording before you can load a playback file.", "Oscilloscope", MB_OK);
        return;
    }
    m_preTrigger.Clear();
    StopPlayback();
    if (mode == kMonitoring)
        SaveSettings("");
    CFileDialog dialog(TRUE, "qsd", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kFilter, this);
    dialog.m_ofn.lpstrTitle = "Open Scope Data File";
    if (dialog.DoModal() != IDOK)
        return;
    CancelAllQueries();
    bool opened = false;
    ChangeSettings([&] { return OpenDataFile(dialog.GetPathName()) != FALSE; }, opened);
    if (!opened) {
        AfxEngineMessageBox("File error.  Could not open scope data.", "Oscilloscope", MB_OK | MB_ICONERROR);
        StartQueries();  // monitoring goes on
        return;
    }
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_queriesRunning = 0;
    }
    ApplySettingsToPlot();
    m_pauseRequest = 0;
    PlaceXWindow(-(m_dXMax - m_dXMin), 0.0, false);
    UpdateTexts();
}

int CQvxScopeDlg::SaveDataFile()
{
    CFileDialog dialog(FALSE, "qsd", "ScopeData.qsd", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter, this);
    dialog.m_ofn.lpstrTitle = "Save Scope Data File";
    if (dialog.DoModal() != IDOK)
        return -1;
    BOOL saved;
    {
        CWaitCursor wait;
        saved = m_recording.SaveAs(dialog.GetPathName());
    }
    AfxEngineMessageBox(saved ? "Scope data successfully saved." : "File error.  Could not save scope data.",
                        "Oscilloscope", saved ? MB_OK : MB_OK | MB_ICONERROR);
    return saved ? 1 : 0;
}

void CQvxScopeDlg::OnExportCsv()
{
    const int mode = ScopeMode();
    if (mode == kRecording) {
        AfxEngineMessageBox("You must stop recording before you can export.", "Oscilloscope", MB_OK);
        return;
    }
    if (mode != kPlayback) {
        AfxEngineMessageBox("You must load a playback file before you can export.", "Oscilloscope", MB_OK);
        return;
    }
    CFileDialog dialog(FALSE, "csv", "ScopeData.csv", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "CSV files (*.csv)|*.csv||", this);
    if (dialog.DoModal() != IDOK)
        return;
    int result;
    {
        CWaitCursor wait;
        result = CScopeCsvExport::Export(m_recording, m_settings, dialog.GetPathName(), nullptr);
    }
    if (result == CScopeCsvExport::kFailed)
        AfxEngineMessageBox("File error.  Could not save scope data.", "Oscilloscope", MB_OK | MB_ICONERROR);
}

void CQvxScopeDlg::OnCaptureImage() { ExportWindowImage(this, this); }

void CQvxScopeDlg::BeginImageCapture(int, int, int, int, int forPrinting)
{
    m_savedPlotBk = m_crPlotAreaBk;
    m_savedFrameBk = m_crFrameBk;
    if (forPrinting) {
        m_printScheme = 1;
        m_crPlotAreaBk = m_crFrameBk = m_crScaleAreaBk = m_crXScaleBk = m_crYScaleBk = RGB(255, 255, 255);
        m_crXScaleText = m_crYScaleText = m_crXLabelText = m_crYLabelText = RGB(0, 0, 0);
        m_crXMajorGrid = m_crYMajorGrid = RGB(160, 160, 160);
        m_crXMinorGrid = m_crYMinorGrid = RGB(220, 220, 220);
    }
    RedrawWindow();
}

void CQvxScopeDlg::EndImageCapture()
{
    if (m_printScheme) {
        m_printScheme = 0;
        m_crPlotAreaBk = m_savedPlotBk;
        m_crFrameBk = m_crScaleAreaBk = m_crXScaleBk = m_crYScaleBk = m_savedFrameBk;
        m_crXScaleText = m_crYScaleText = m_crXLabelText = m_crYLabelText = 0xE0E0E0;
        m_crXMajorGrid = m_crYMajorGrid = 0x909090;
        m_crXMinorGrid = m_crYMinorGrid = 0x707050;
    }
    RedrawWindow();
}

void CQvxScopeDlg::OnAutoScaleButton()
{
    AutoScale(1);
    SaveSettingsInMonitorMode();
    Invalidate(FALSE);
}

void CQvxScopeDlg::OnLockAutoScale()
{
    m_autoScaleLocked = !m_autoScaleLocked;
    UpdateTexts();
}

void CQvxScopeDlg::OnSetTimeRange()
{
    if (m_plotMode == 2) {
        CSetPlotAxisRangeDlg dialog(this);
        dialog.Title = "Set Scope X-Axis Range";
        dialog.Min = m_dXMin;
        dialog.Max = m_dXMax;
        if (dialog.DoModal() != IDOK)
            return;
        SetXRange(std::min(dialog.Min, dialog.Max), std::max(dialog.Min, dialog.Max));
    } else {
        CSetPlotTimeRangeDlg dialog(this);
        dialog.TimeRange = m_dXMax - m_dXMin;
        if (dialog.DoModal() != IDOK)
            return;
        // A range of 0 is accepted by the dialog; the plot still needs a width.
        const double span = std::max(dialog.TimeRange, kMinSpan);
        m_sweepRange = span;
        ClearPlot();
        PlaceXWindow(m_dXMax - span, m_dXMax, false);
        if (ScopeMode() == kMonitoring)
            StartMonitorMode();
    }
    SaveSettingsInMonitorMode();
    Invalidate(FALSE);
}

void CQvxScopeDlg::OnSetYRange()
{
    CSetPlotAxisRangeDlg dialog(this);
    dialog.Title = "Set Scope Y-Axis Range";
    dialog.Min = m_dYMin;
    dialog.Max = m_dYMax;
    if (dialog.DoModal() != IDOK)
        return;
    SetYRange(std::min(dialog.Min, dialog.Max), std::max(dialog.Min, dialog.Max));
    SaveSettingsInMonitorMode();
    Invalidate(FALSE);
}

void CQvxScopeDlg::OnSettings()
{
    CancelRecordRequest();
    CScopeSettingSheet sheet(this, m_services);
    sheet.TakeFrom(*this);
    const bool ok = sheet.DoModal() == IDOK;
    m_lastActiveSettingsPage = sheet.LastPage;
    if (ok) {
        const short oldMode = m_plotMode;
        const int oldFormat = m_timeFormat;
        bool given = false;
        ChangeSettings([&] {
            sheet.GiveTo(*this);
            return true;
        }, given);
        m_sources.Lock();
        for (CScopeSourceData* source : m_sources)
            source->SuspendQuery = 0;
        m_sources.Unlock();
        ApplySettingsToPlot();
        if (m_plotMode != oldMode) {
            m_autoScaleLocked = 0;
            ApplyMode();
        }
        if (m_timeFormat != oldFormat)
            m_relayoutScales = 1;
        StartQueries();
        ApplyTraceAttributes();
    }
    SaveSettings("");
    Invalidate(FALSE);
    UpdateTexts();
}

namespace {
constexpr const char* kSettingsFilter = "Scope settings files (*.dat)|*.dat||";
}

void CQvxScopeDlg::OnLoadSettingsFile()
{
    CFileDialog dialog(TRUE, "dat", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kSettingsFilter, this);
    dialog.m_ofn.lpstrTitle = "Open Scope Settings File";
    if (dialog.DoModal() != IDOK)
        return;
    m_lastSettingsFile = dialog.GetPathName();
    // Loaded without becoming the current settings file.
    bool loaded = false;
    ChangeSettings([&] { return LoadSettings(m_lastSettingsFile) != FALSE; }, loaded);
    if (!loaded)
        return;
    ApplySettingsToPlot();
    StartQueries();
    ApplyTraceAttributes();
    Invalidate(FALSE);
}

void CQvxScopeDlg::OnSaveSettingsFile()
{
    CFileDialog dialog(FALSE, "dat", m_lastSettingsFile.IsEmpty() ? "ScopeSettings.dat" : m_lastSettingsFile.GetString(),
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kSettingsFilter, this);
    dialog.m_ofn.lpstrTitle = "Save Scope Settings File";
    if (dialog.DoModal() != IDOK)
        return;
    m_lastSettingsFile = dialog.GetPathName();
    const BOOL saved = SaveSettings(m_lastSettingsFile);
    AfxEngineMessageBox(saved ? "Scope settings saved." : "ERROR: Could not save scope settings.", "Oscilloscope",
                        saved ? MB_OK : MB_OK | MB_ICONERROR);
}

// ---- context menu, double-click ----

void CQvxScopeDlg::BuildContextMenu(CMenu& menu)
{
    menu.CreatePopupMenu();
    if (ScopeMode() == kRecording)
        return;
    menu.AppendMenu(MF_STRING, ID_SCOPE_TRACE_FIRST - 1, "Show Traces:");
    menu.AppendMenu(MF_SEPARATOR);
    CSingleLock lock(&m_traces.m_lock, TRUE);
    m_sources.Lock();
    for (int i = 0; i < m_traces.GetSize(); ++i) {
        CScopeSourceData* y = m_sources.FindById(m_traces[i].YSourceID, 0);
        if (!y || !y->Enabled)
            continue;
        const bool checked = m_traces[i].Enabled && !y->SuspendQuery;
        menu.AppendMenu(MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), ID_SCOPE_TRACE_FIRST + i,
                        y->GetLabel(0, 1, 1, 0));
    }
    m_sources.Unlock();
    if (m_plotMode == 2) {
        menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(MF_STRING, ID_SCOPE_CLEAR_PLOT, "Clear Plot");
    }
}

void CQvxScopeDlg::OnContextCommand(UINT id)
{
    if (id == static_cast<UINT>(ID_SCOPE_CLEAR_PLOT)) {
        ClearPlot();
        return;
    }
    const int index = static_cast<int>(id) - ID_SCOPE_TRACE_FIRST;
    if (index < 0 || index >= kTraceCount)
        return;
    bool restart = false;
    {
        CSingleLock lock(&m_traces.m_lock, TRUE);
        CScopeTraceData& trace = m_traces[index];
        trace.Enabled = !trace.Enabled;
        m_sources.Lock();
        for (int sourceId : {trace.YSourceID, trace.XSourceID})
            if (CScopeSourceData* source = m_sources.FindById(sourceId, 0)) {
                if (sourceId == trace.YSourceID && source->SuspendQuery)
                    restart = true;
                source->SuspendQuery = 0;
            }
        m_sources.Unlock();
    }
    ApplyTraceAttributes();
    SaveSettingsInMonitorMode();
    if (restart)
        StartQueries();
}

void CQvxScopeDlg::OnContextMenu(CWnd*, CPoint point)
{
    CMenu menu;
    BuildContextMenu(menu);
    if (menu.GetMenuItemCount() > 0)
        menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CQvxScopeDlg::OnLButtonDblClk(UINT, CPoint point)
{
    const CRect area = m_pPlotArea ? m_pPlotArea->m_plotRect : CRect();
    if (area.IsRectEmpty())
        return;
    if (point.x < area.left && point.y >= area.top && point.y <= area.bottom)
        OnSetYRange();
    else if (point.y > area.bottom && point.x >= area.left && point.x <= area.right)
        OnSetTimeRange();
}

// ---- read-outs and drags ----

bool CQvxScopeDlg::PointValue(CPoint point, double& x, double& y) const
{
    const CRect area = m_pPlotArea ? m_pPlotArea->m_plotRect : CRect();
    if (area.Width() <= 0 || area.Height() <= 0 || !area.PtInRect(point))
        return false;
    double left = m_dXMin;
    double right = m_dXMax;
    if (m_plotMode != 2 && m_dXRangeEnd > m_dXRangeStart) {
        left = m_dXRangeStart;
        right = m_dXRangeEnd;
    }
    x = left + (point.x - area.left) * (right - left) / area.Width();
    y = m_dYMax - (point.y - area.top) * (m_dYMax - m_dYMin) / area.Height();
    return true;
}

CString CQvxScopeDlg::FormatValue(double value, bool xAxis) const
{
    char text[kFormattedValSize];
    const CString& format = xAxis ? m_pScale->m_strXFormat : m_pScale->m_strYFormat;
    GetFormattedVal(value, format, (xAxis ? m_nXScaleDigits : m_nYScaleDigits) + 1, text);
    return text;
}

void CQvxScopeDlg::OnMouseMove(UINT flags, CPoint point)
{
    const CRect area = m_pPlotArea ? m_pPlotArea->m_plotRect : CRect();
    const char* xName = m_plotMode == 2 ? "X" : "t";
    CString text;
    double x = 0, y = 0;
    if (m_drag == kMeasure) {
        if (PointValue(point, x, y)) {
            const CString dx = m_plotMode == 2 ? FormatValue(x - m_dragX, true) : FormatValue(std::fabs(x - m_dragX), true);
            text.Format("d%s=[%s] dY=[%s]", xName, dx.GetString(), FormatValue(y - m_dragY, false).GetString());
        }
    } else if (m_drag == kPanY && area.Height() > 0) {
        const double shift = (point.y - m_dragFrom.y) * (m_dragMax - m_dragMin) / area.Height();
        SetYRange(m_dragMin + shift, m_dragMax + shift);
        Invalidate(FALSE);
        return;
    } else if (m_drag == kPanX && area.Width() > 0) {
        const double shift = (m_dragFrom.x - point.x) * (m_dragMax - m_dragMin) / area.Width();
        SetXRange(m_dragMin + shift, m_dragMax + shift);
        Invalidate(FALSE);
        return;
    } else if ((flags & MK_SHIFT) && PointValue(point, x, y)) {
        text.Format("%s=[%s] Y=[%s]", xName, FormatValue(x, true).GetString(), FormatValue(y, false).GetString());
    }
    SetItemText(IDC_SCOPE_READOUT, text);
}

void CQvxScopeDlg::OnLButtonDown(UINT flags, CPoint point)
{
    if (m_autoScaleLocked || m_drag != kNoDrag)
        return;
    const CRect area = m_pPlotArea ? m_pPlotArea->m_plotRect : CRect();
    if (area.IsRectEmpty())
        return;
    const bool control = (flags & MK_CONTROL) != 0;
    const bool yBand = point.x < area.left && point.y >= area.top && point.y <= area.bottom;
    const bool xBand = point.y > area.bottom && point.x >= area.left && point.x <= area.right;
    if (yBand) {
        m_drag = control ? kCaptureOnly : kPanY;
        m_dragMin = m_dYMin;
        m_dragMax = m_dYMax;
    } else if (xBand && m_plotMode == 2) {
        m_drag = control ? kCaptureOnly : kPanX;
        m_dragMin = m_dXMin;
        m_dragMax = m_dXMax;
    } else if (area.PtInRect(point) && (flags & MK_SHIFT)) {
        PointValue(point, m_dragX, m_dragY);
        m_drag = kMeasure;
    } else if (area.PtInRect(point) && control) {
        m_drag = kCaptureOnly;
    } else {
        return;
    }
    m_dragFrom = point;
    SetCapture();
}

void CQvxScopeDlg::OnLButtonUp(UINT, CPoint)
{
    if (m_drag == kNoDrag)
        return;
    if ((m_drag == kPanY || m_drag == kPanX) && ScopeMode() == kMonitoring)
        SaveSettings("");
    m_drag = kNoDrag;
    ReleaseCapture();
}

// ---- list of open windows, closing ----

void CQvxScopeDlg::ResetQueryStages(int, int, int)
{
    if (ScopeMode() != kPlayback)
        StartQueries();
}

void CQvxScopeDlg::DetachFromUpdateList(int flags)
{
    (void)flags;
    ClosePoll();
}

void CQvxScopeDlg::SerializeLayout(CArchive& ar, int version)
{
    if (ar.IsStoring()) {
        SaveSettings("$$$");
        m_properties.RemoveAll();
        for (const auto [key, value] : m_settings)
            m_properties.SetString(key, value);
        CGuiUpdateItem::SerializeLayout(ar, version);
        ar << m_layoutWord;
        CWindowPlacement placement;
        if (!placement.SaveToArchive(this, ar))
            throw CArchiveException(CArchiveException::genericException);
        return;
    }
    if (!ShowScope(TRUE, ""))
        throw CArchiveException(CArchiveException::genericException);
    CGuiUpdateItem::SerializeLayout(ar, version);
    for (POSITION pos = m_properties.GetHeadPosition(); pos;) {
        const CDProperty* property = m_properties.GetNext(pos);
        m_settings.SetString(property->m_name, property->m_value);
    }
    LoadSettings("$$$");
    ApplySettingsToPlot();
    SaveSettings("");
    ar >> m_layoutWord;
    CWindowPlacement placement;
    if (!placement.LoadFromArchive(FALSE, this, ar, version, TRUE))
        throw CArchiveException(CArchiveException::endOfFile);
    StartQueries();
    ApplyTraceAttributes();
}

void CQvxScopeDlg::ClosePoll()
{
    const int mode = ScopeMode();
    StopRecording();
    StopPlayback();
    StopSampler();
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_scopeMode = kPlayback;
    }
    {
        CSingleLock lock(&m_recordLock, TRUE);
        m_recordState = kRecordIdle;
    }
    if (mode == kRecording && AfxEngineMessageBox("Save recorded data?", "Oscilloscope", MB_YESNO) == IDYES)
        SaveDataFile();
    CancelAllQueries();
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_queriesRunning = 0;
    }
    m_recording.Close();
    m_recording.DeleteTempFile();
    StopMonitoring();
    ShowScope(FALSE, nullptr);
}

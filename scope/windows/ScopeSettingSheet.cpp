#include "scope/windows/ScopeSettingSheet.h"

#include <climits>
#include <vector>

#include "platform/core/SingleLock.h"

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/ScopeSettingsIds.h"
#include "scope/ScopeSampler.h"

namespace {
std::function<void(CScopeSettingSheet&)> g_onOpen;

CPropertyPage* PageOf(CDialog& page, UINT id)
{
    const DialogTemplate* dialog = AfxFindDialogTemplate(id);
    return dialog ? new CPropertyPage(&page, *dialog) : nullptr;
}
}  // namespace

CScopeSettingSheet::CScopeSettingSheet(CWnd* parent, CScopeDriveServices& services)
    : Channels(services), General(Channels), Triggers(Channels), m_parent(parent)
{
}

CScopeSettingSheet::~CScopeSettingSheet()
{
    if (GetSafeHwnd())
        DestroyWindow();
}

void CScopeSettingSheet::OnNextOpen(std::function<void(CScopeSettingSheet&)> action) { g_onOpen = std::move(action); }

void CScopeSettingSheet::TakeFrom(CScopeSampler& scope)
{
    General.ShowXLabel = scope.m_showXLabel;
    General.XLabel = scope.m_xLabel;
    General.ShowYLabel = scope.m_showYLabel;
    General.YLabel = scope.m_yLabel;
    General.ScopeMode = scope.m_plotMode == 2 ? 1 : 0;
    General.TimeFormat = scope.m_timeFormat;
    General.TailPoints = scope.m_traceTailPoints;
    General.ShowPlotKey = scope.m_showPlotKey;
    General.ShowGrid = scope.m_gridStyle;
    General.BackgroundColour = scope.m_plotBgColor;
    Channels.XYMode = General.ScopeMode;
    scope.m_traces.CopyTo(Channels.Traces);
    scope.m_sources.CopyTo(Channels.Sources);
    Triggers.StartMode = scope.m_recordStartTrigger;
    Triggers.StartSourceID = scope.m_startTrigSourceId;
    Triggers.StartCondition = scope.m_startTrigOn;
    Triggers.StartLevel = scope.m_startTrigLevel;
    Triggers.StopMode = scope.m_recordStopTrigger;
    Triggers.StopTime = scope.m_recordTime;
    Triggers.StopSourceID = scope.m_stopTrigSourceId;
    Triggers.StopCondition = scope.m_stopTrigOn;
    Triggers.StopLevel = scope.m_stopTrigLevel;
    Triggers.AdvancedRecording = scope.m_enaAdvancedRecording;
    Triggers.AdvancedSeconds = scope.m_advancedRecordingSecs;
    LastPage = scope.m_lastActiveSettingsPage;
}

void CScopeSettingSheet::GiveTo(CScopeSampler& scope)
{
    scope.m_showXLabel = General.ShowXLabel;
    scope.m_xLabel = General.XLabel;
    scope.m_showYLabel = General.ShowYLabel;
    scope.m_yLabel = General.YLabel;
    scope.m_timeFormat = General.TimeFormat;
    scope.m_traceTailPoints = General.TailPoints;
    scope.m_showPlotKey = General.ShowPlotKey;
    scope.m_gridStyle = General.ShowGrid;
    scope.m_plotBgColor = General.BackgroundColour;
    {
        // The sampling thread reads the plot mode with the traces, under their lock.
        CSingleLock lock(&scope.m_traces.m_lock, TRUE);
        scope.m_plotMode = static_cast<short>(General.ScopeMode == 1 ? 2 : 1);
        Channels.Traces.CopyTo(scope.m_traces);
    }
    // The window's list is locked first, as when the sheet took its copy.
    scope.m_sources.Lock();
    Channels.Sources.CopyTo(scope.m_sources);
    scope.m_sources.Unlock();
    scope.m_recordStartTrigger = Triggers.StartMode;
    scope.m_startTrigSourceId = Triggers.StartSourceID;
    scope.m_startTrigOn = Triggers.StartCondition;
    scope.m_startTrigLevel = Triggers.StartLevel;
    scope.m_recordStopTrigger = Triggers.StopMode;
    scope.m_recordTime = Triggers.StopTime;
    scope.m_stopTrigSourceId = Triggers.StopSourceID;
    scope.m_stopTrigOn = Triggers.StopCondition;
    scope.m_stopTrigLevel = Triggers.StopLevel;
    scope.m_enaAdvancedRecording = Triggers.AdvancedRecording;
    scope.m_advancedRecordingSecs = Triggers.AdvancedSeconds;
}

INT_PTR CScopeSettingSheet::DoModal()
{
    PROPSHEETHEADER header;
    header.caption = "Oscilloscope Settings";
    header.hwndParent = m_parent;
    header.nStartPage = static_cast<UINT>(LastPage < 0 || LastPage > 2 ? 0 : LastPage);
    header.pages = {PageOf(General, IDD_SCOPE_SETTINGS_GENERAL), PageOf(Channels, IDD_SCOPE_SETTINGS_CHANNELS),
                    PageOf(Triggers, IDD_SCOPE_SETTINGS_TRIGGERS)};
    for (CPropertyPage* page : header.pages)
        if (!page) {
            for (CPropertyPage* made : header.pages)
                delete made;
            return -1;
        }
    if (!m_sheet.Create(this, header))
        return -1;
    ModifyStyle(WS_SYSMENU, 0);
    ShowWindow(SW_SHOW);
    // The owner's controls rest while the sheet is open (disabling the owner itself would
    // disable the sheet, its child in the toolkit).
    std::vector<CWnd*> rested;
    if (m_parent && m_parent->GetSafeHwnd())
        for (CWnd* w = m_parent->GetWindow(GW_CHILD); w; w = w->GetWindow(GW_HWNDNEXT))
            if (w != this && w->IsWindowEnabled()) {
                w->EnableWindow(FALSE);
                rested.push_back(w);
            }
    if (auto action = std::move(g_onOpen)) {
        g_onOpen = nullptr;
        action(*this);
    }
    AfxPumpMessagesUntil([this] { return m_sheet.IsClosed() || !GetSafeHwnd(); }, INT_MAX);
    for (CWnd* w : rested)
        w->EnableWindow(TRUE);
    DestroyWindow();
    return m_result;
}

BOOL CScopeSettingSheet::OnInitDialog()
{
    m_sheet.InitDialog();
    return CDialog::OnInitDialog();
}

LRESULT CScopeSettingSheet::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int before = m_sheet.GetCurSel();
    LRESULT result = 0;
    if (m_sheet.DefSheetProc(message, wParam, lParam, &result)) {
        if (message == WM_COMMAND && m_sheet.IsClosed()) {
            // The page that was shown is where the sheet opens next time.
            LastPage = before;
            m_result = LOWORD(static_cast<DWORD>(wParam)) == IDOK ? IDOK : IDCANCEL;
        }
        return result;
    }
    return CDialog::DefWindowProc(message, wParam, lParam);
}

BOOL CScopeSettingSheet::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && SendMessage(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(msg)))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

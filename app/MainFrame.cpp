#include "MainFrame.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <set>

#include "AdminPassword.h"
#include "AppPaths.h"
#include "framework/FactorySettings.h"
#include "FrameFirmwareLink.h"
#include "HelpTopics.h"
#include "KorvaneApp.h"
#include "PasswordDlg.h"
#include "backup/windows/AmpBackupListEngine.h"
#include "ScriptPlayerDlg.h"
#include "comm/demo/DemoDriveLoader.h"
#include "comm/windows/CommunicationsStatisticsDlg.h"
#include "comm/windows/MultiDropCommTestDlg.h"
#include "comm/windows/SelectCommInterfaceDlg.h"
#include "distribution/windows/MonitorDistributionCenterDlg.h"
#include "distribution/windows/TestGlobalParamsDlg.h"
#include "firmware/windows/CustomerLoadFirmwareDlg.h"
#include "firmware/windows/LoadFirmwareDlg.h"
#include "framework/GuiUpdateDlg.h"
#include "foundation/WindowPlacement.h"
#include "platform/core/Clock.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Rand.h"
#include "platform/core/SpecialFolders.h"
#include "platform/core/DebugLog.h"
#include "platform/core/SingleLock.h"
#include "platform/core/WinThread.h"
#include "platform/ui/Font.h"
#include "platform/ui/HelpContext.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/ResourceText.h"
#include "platform/ui/ToolBarResource.h"
#include "platform/ui/WinApp.h"
#include "scope/windows/QvxScopeDlg.h"
#include "tools/QvxEditorFrame.h"
#include "tools/ToolWindows.h"

namespace {
constexpr UINT WM_KV_UPDATE_MAIN_MENU = WM_USER + 0x210;
constexpr UINT WM_KV_ALERT_WORK = WM_USER + 0x211;
constexpr UINT WM_DISPLAYCHANGE = 0x007E;
constexpr WORD kVersionCode = 22706;      // "VER"
constexpr WORD kModelDataCode = 13452;    // "MDL"
constexpr WORD kModelIndexCode = 13449;   // "MDI"
constexpr WORD kHardwareFlagIndex = 14;
constexpr int kBoardTypeParameter = 21;
constexpr UINT kIconId = 97;
constexpr UINT kBackgroundBitmap = 332;
constexpr int kBackupHelpTopic = 1761;
constexpr int kRestoreHelpTopic = 1762;
constexpr int kReportHelpTopic = 1756;
std::atomic<bool> g_failNextBars{false};

CKorvaneApp* App() { return CKorvaneApp::Get(); }

int Message(const char* text) { return AfxEngineMessageBox(text, "Korvane", MB_OK); }
}  // namespace

namespace kvtest {
void FailNextFrameBars() { g_failNextBars = true; }
}  // namespace kvtest

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_MESSAGE(WM_KV_UPDATE_MAIN_MENU, &CMainFrame::OnPostedMenuUpdate)
    ON_MESSAGE(WM_KV_ALERT_WORK, &CMainFrame::OnAlertWork)
    ON_COMMAND(ID_DEMO, &CMainFrame::OnOpenDemo)
    ON_COMMAND(ID_OPEN_COMM, &CMainFrame::OnOpenComm)
    ON_UPDATE_COMMAND_UI(ID_OPEN_COMM, &CMainFrame::OnUpdateOpenOrDemo)
    ON_COMMAND(ID_DC_DEBUG, &CMainFrame::OnDistributionMonitor)
    ON_UPDATE_COMMAND_UI(ID_DC_DEBUG, &CMainFrame::OnUpdateDistributionMonitor)
    ON_COMMAND(ID_GLOBAL_PARAM_TEST, &CMainFrame::OnGlobalParamTest)
    ON_COMMAND(ID_MULTI_DROP_TEST, &CMainFrame::OnMultiDropTest)
    ON_COMMAND(ID_LAYOUT_SAVE, &CMainFrame::OnLayoutSave)
    ON_UPDATE_COMMAND_UI(ID_LAYOUT_SAVE, &CMainFrame::OnUpdateLayoutSave)
    ON_COMMAND(ID_LAYOUT_LOAD, &CMainFrame::OnLayoutLoad)
    ON_UPDATE_COMMAND_UI(ID_LAYOUT_LOAD, &CMainFrame::OnUpdateLayoutLoad)
    ON_COMMAND(ID_LAYOUT_TEST, &CMainFrame::OnLayoutTest)
    ON_UPDATE_COMMAND_UI(ID_DEMO, &CMainFrame::OnUpdateOpenOrDemo)
    ON_COMMAND(ID_CLOSE_COMM, &CMainFrame::OnCloseComm)
    ON_UPDATE_COMMAND_UI(ID_CLOSE_COMM, &CMainFrame::OnUpdateCloseComm)
    ON_COMMAND(ID_STATISTICS, &CMainFrame::OnStatistics)
    ON_UPDATE_COMMAND_UI(ID_STATISTICS, &CMainFrame::OnUpdateStatistics)
    ON_COMMAND(ID_CLEAR_ALERT, &CMainFrame::OnClearAlert)
    ON_COMMAND(ID_BACKUP_DRIVE, &CMainFrame::OnBackupDrive)
    ON_UPDATE_COMMAND_UI(ID_BACKUP_DRIVE, &CMainFrame::OnUpdateBackupCommand)
    ON_COMMAND(ID_RESTORE_DRIVE, &CMainFrame::OnRestoreDrive)
    ON_UPDATE_COMMAND_UI(ID_RESTORE_DRIVE, &CMainFrame::OnUpdateBackupCommand)
    ON_COMMAND(ID_DRIVE_REPORT, &CMainFrame::OnDriveReport)
    ON_UPDATE_COMMAND_UI(ID_DRIVE_REPORT, &CMainFrame::OnUpdateBackupCommand)
    ON_COMMAND(ID_ALERT_LOG, &CMainFrame::OnAlertLog)
    ON_UPDATE_COMMAND_UI(ID_ALERT_LOG, &CMainFrame::OnUpdateAlertLog)
    ON_COMMAND(ID_ALERT_LOG_BUTTON, &CMainFrame::OnAlertLog)
    ON_COMMAND(ID_HELP_KORVANE, &CMainFrame::OnHelpKorvane)
    ON_COMMAND(ID_HELP_CONTENTS, &CMainFrame::OnHelpContents)
    ON_COMMAND(ID_HELP_INDEX, &CMainFrame::OnHelpIndex)
    ON_COMMAND(ID_HELP_SEARCH, &CMainFrame::OnHelpSearch)
    ON_COMMAND(ID_OPEN_CLOSE_TEST, &CMainFrame::OnOpenCloseTest)
    ON_UPDATE_COMMAND_UI(ID_OPEN_CLOSE_TEST, &CMainFrame::OnUpdateOpenCloseTest)
    ON_COMMAND(ID_RUN_GUI_TESTS, &CMainFrame::OnRunGuiTests)
    ON_UPDATE_COMMAND_UI(ID_RUN_GUI_TESTS, &CMainFrame::OnUpdateRunGuiTests)
    ON_COMMAND(ID_CLOSE_ALL_SETUP, &CMainFrame::OnCloseAllSetupWindows)
    ON_UPDATE_COMMAND_UI(ID_CLOSE_ALL_SETUP, &CMainFrame::OnUpdateDriveWindowsOpen)
    ON_COMMAND(ID_CORRAL_WINDOWS, &CMainFrame::OnCorralWindows)
    ON_UPDATE_COMMAND_UI(ID_CORRAL_WINDOWS, &CMainFrame::OnUpdateDriveWindowsOpen)
    ON_COMMAND_RANGE(ID_WINDOW_ENTRY_FIRST, ID_WINDOW_ENTRY_LAST, &CMainFrame::OnWindowEntry)
    ON_UPDATE_COMMAND_UI_RANGE(ID_WINDOW_ENTRY_FIRST, ID_WINDOW_ENTRY_LAST, &CMainFrame::OnUpdateWindowEntry)
    ON_COMMAND(ID_MDI_CASCADE, &CMainFrame::OnCascade)
    ON_COMMAND(ID_MDI_TILE, &CMainFrame::OnTile)
    ON_COMMAND(ID_MANAGE_CLOUD, &CMainFrame::OnManageCloudDatabase)
    ON_UPDATE_COMMAND_UI(ID_MANAGE_CLOUD, &CMainFrame::OnUpdateManageCloudDatabase)
    ON_COMMAND(ID_TEST_DATABASE, &CMainFrame::OnTestDatabase)
    ON_UPDATE_COMMAND_UI(ID_TEST_DATABASE, &CMainFrame::OnUpdateTestDatabase)
    ON_COMMAND(ID_ENCODER_DATABASE, &CMainFrame::OnEncoderDatabase)
    ON_COMMAND(ID_SCRIPT_PLAYER, &CMainFrame::OnScriptPlayer)
    ON_COMMAND(ID_SETUP_WIZARD, &CMainFrame::OnSetupWizard)
    ON_UPDATE_COMMAND_UI(ID_ENCODER_DATABASE, &CMainFrame::OnUpdateEncoderDatabase)
    ON_COMMAND(ID_APP_ABOUT, &CMainFrame::OnAppAbout)
    ON_COMMAND(ID_RESET_WARNINGS, &CMainFrame::OnResetWarnings)
    ON_COMMAND(ID_TEST_TRAJECTORY, &CMainFrame::OnTestTrajectoryPlanner)
    ON_COMMAND(ID_APP_EXIT, &CMainFrame::OnAppExit)
    ON_COMMAND(ID_VIEW_TOOLBAR, &CMainFrame::OnViewToolBar)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, &CMainFrame::OnUpdateViewToolBar)
    ON_COMMAND(ID_VIEW_STATUS_BAR, &CMainFrame::OnViewStatusBar)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, &CMainFrame::OnUpdateViewStatusBar)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() : m_backupComputations(m_parameters, AfxGetAppPaths().factoryIni)
{
    m_backup.SetComputations(&m_backupComputations);
    m_commManager.SetPortFactory(&m_portFactory);
    m_faults.SetHost(&m_alertHost);
    m_parameters.SetDistManager(&m_distManager);
    CDistManager::Install(&m_distManager);
    CGuiFrameServices::Install(this);
    AfxSetHelpRequestHandler(&CMainFrame::ShowHelpOfInstalledFrame);
    CServoScopeHost::Install(&m_scopeHost);
    LoadDriveAssignments();
    m_factory.SetModalOpener([this](const char* className) { OpenFirmwareWindow(className); });
    // Every drive-settings list runs its definition on an engine of its own.
    CAmpBackupListEngine::InstallFactory(&m_backupHost);
}

CMainFrame::~CMainFrame()
{
    m_faults.SetWorkSignal(nullptr);
    CAmpBackupListEngine::RemoveFactory();
    m_backup.StopThread(1);
    if (IsCommOpen())
        CloseCommunication(0);
    m_distManager.Stop();
    delete m_monitor;  // leaves the manager's monitor queue before the manager goes
    if (m_statistics) {
        m_commManager.GetStatistics().SetWindow(nullptr);
        if (m_statistics->GetSafeHwnd())
            m_statistics->DestroyWindow();
        delete m_statistics;
    }
    if (m_scope) {
        HideOscilloscope();
        if (m_scope->GetSafeHwnd())
            m_scope->DestroyWindow();
        delete m_scope;
    }
    CancelAllQueries();
    if (CServoScopeHost::Get() == &m_scopeHost)
        CServoScopeHost::Install(nullptr);
    if (CGuiFrameServices::Get() == this) {
        CGuiFrameServices::Install(nullptr);
        AfxSetHelpRequestHandler(nullptr);
    }
    if (CDistManager::GetInstalled() == &m_distManager)
        CDistManager::Install(nullptr);
}

void CMainFrame::PostNcDestroy()
{
    if (CKorvaneApp* app = App(); app && app->GetMainFrame() == this)
        app->OnMainFrameDestroyed();
    delete this;
}

int CMainFrame::DisplayFlags() const
{
    CKorvaneApp* app = App();
    return app ? app->GetModelDisplayFlags() : 0;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    CWindowPlacement placement;
    placement.m_rescale = 1;
    placement.RestoreFromProfile(FALSE, this, kPlacementSuffix, FALSE);
    const RECT& saved = placement.rcNormalPosition;
    if (saved.left == saved.right || saved.bottom <= saved.top) {
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        cs.cx = std::min(1024, screenWidth > 0 ? screenWidth : 1024);
        cs.cy = std::min(768, screenHeight > 0 ? screenHeight : 768);
        cs.x = std::max(0, (screenWidth - cs.cx) / 2);
        cs.y = std::max(0, (screenHeight - cs.cy) / 2);
    } else {
        cs.x = saved.left;
        cs.y = saved.top;
        cs.cx = saved.right - saved.left;
        cs.cy = saved.bottom - saved.top;
    }
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs)
{
    m_openWindows.Initialise(&m_parameters);
    if (CMDIFrameWnd::OnCreate(cs) == -1)
        return -1;
    if (!CreateBars())
        return -1;
    m_background.SetBitmap(kBackgroundBitmap);
    CreateAlertButtons();
    LoadAlertSettings();
    m_statusBar.SetStatusSource([]() { return App() ? App()->GetCommStatus() : 0; });
    m_statusBar.SetTimer(CKVStatusBar::kTimerId, CKVStatusBar::kTimerMs);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_toolBar);
    LinkToolWindowClasses();
    m_editors.Attach(this);
    m_factory.RegisterWindowClasses();
    // Alerts are taken on the 5 ms tick, which runs only while some wait:
    // raising one (on any thread) posts the frame a wake-up.
    m_faults.SetWorkSignal([this] { PostMessage(WM_KV_ALERT_WORK); });
    ArmAlertTimer();
    UpdateTitle();
    AfxSetWindowIcon(this, kIconId);
    RemoveDebugMenu();
    RecalcLayout();
    if (!m_tutorial.LoadTutorIndex())
        Message("ERROR: Could not initialize setup wizard");
    return 0;
}

bool CMainFrame::CreateBars()
{
    if (!m_toolBar.Create(this, WS_CHILD | WS_VISIBLE, AFX_IDW_TOOLBAR))
        return false;
    CString error;
    if (!AfxLoadToolBar(m_toolBar, kResourceId, &error)) {
        AfxDebugLog("Toolbar %u: %s", kResourceId, error.GetString());
        return false;
    }
    if (g_failNextBars.exchange(false) || !m_statusBar.Create(this, WS_CHILD | WS_VISIBLE, AFX_IDW_STATUS_BAR))
        return false;
    static const UINT indicators[] = {0, 0, 0, 0xE701, 0xE702, 0xE703};  // message, alert, buttons, caps, num, scroll
    if (!m_statusBar.SetIndicators(indicators, 6))
        return false;
    m_statusBar.SetPaneInfo(0, 0, SBPS_STRETCH, 200);
    m_statusBar.SetPaneInfo(1, 0, SBPS_NORMAL, 450);
    m_statusBar.SetPaneText(1, "");
    m_statusBar.SetPaneInfo(2, 0, SBPS_NOBORDERS, 160);
    m_statusBar.SetPaneStyle(2, SBPS_NOBORDERS);
    m_statusBar.SetPaneInfo(4, 0xE702, 0, 140);
    m_statusBar.SetPaneStyle(4, SBT_OWNERDRAW);
    m_statusBar.SetPaneText(4, "Comm Status:");
    m_statusBar.SetPaneText(0, kIdleMessage);
    return true;
}

void CMainFrame::CreateAlertButtons()
{
    m_buttonFont.CreatePointFont(80, "MS Sans Serif");
    m_clearAlert.Create("Clear Alert", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), &m_statusBar, ID_CLEAR_ALERT);
    m_alertLog.Create("Alert Log", WS_CHILD | WS_VISIBLE, CRect(0, 0, 70, 20), &m_statusBar, ID_ALERT_LOG_BUTTON);
    m_clearAlert.SetFont(&m_buttonFont);
    m_alertLog.SetFont(&m_buttonFont);
}

void CMainFrame::OnSize(UINT type, int cx, int cy)
{
    CMDIFrameWnd::OnSize(type, cx, cy);
    if (!m_statusBar.GetSafeHwnd())
        return;
    CRect pane;
    m_statusBar.GetItemRect(2, &pane);
    if (m_clearAlert.GetSafeHwnd())
        m_clearAlert.MoveWindow(pane.left + 3, pane.top, 80, pane.Height());
    if (m_alertLog.GetSafeHwnd())
        m_alertLog.MoveWindow(pane.left + 86, pane.top, 70, pane.Height());
    m_background.Invalidate(FALSE);
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DISPLAYCHANGE)
        KeepOnScreen();
    return CMDIFrameWnd::WindowProc(message, wParam, lParam);
}

LRESULT CMainFrame::OnAlertWork(WPARAM, LPARAM)
{
    ArmAlertTimer();
    return 0;
}

void CMainFrame::ArmAlertTimer()
{
    if (m_alertTimerOn)
        return;
    m_alertTimerOn = true;
    SetTimer(kTimerAlerts, 5);
}

LRESULT CMainFrame::OnPostedMenuUpdate(WPARAM, LPARAM)
{
    if (CKorvaneApp* app = App())
        app->UpdateMainMenu();
    return 0;
}

// ---- timers ----

void CMainFrame::OnTimer(UINT_PTR id)
{
    // A box shown inside a tick runs a message loop; the frame's ticks must not nest.
    if (m_timerGuard)
        return;
    m_timerGuard = 1;
    RunTimerTick(id);
    m_timerGuard = 0;
}

int CMainFrame::GetTickCount(UINT timerId) const { return timerId < 9 ? m_ticks[timerId] : 0; }

void CMainFrame::RunTimerTick(UINT_PTR id)
{
    switch (id) {
    case kTimerGuiUpdate: GuiUpdateTick(); break;
    case kTimerBackup: m_backup.UpdateStatus(); break;
    case kTimerAlerts:
        m_faults.ProcessPendingFaults();
        if (!m_faults.HasWork()) {
            KillTimer(kTimerAlerts);
            m_alertTimerOn = false;
        }
        break;
    case kTimerRandomTest: RandomTestTick(); break;
    case kTimerGuiExercise: m_openWindows.RandomExercise(63); break;
    case kTimerLayoutTest: LayoutTestTick(); break;
    default: Default(); return;
    }
    ++m_ticks[id];
}

void CMainFrame::GuiUpdateTick()
{
    CKorvaneApp* app = App();
    if (!m_closingWindows && app) {
        app->LapWatchTimer("GUI Update");
        if (app->TakeDriveTypeChangedFlag()) {
            Message("Drive type change detected.  Closing communications.");
            CloseCommunication(1);
        }
        if (app->TakeDriveRedetectedFlag()) {
            m_parameters.ResubmitAllOneShotRequests();
            m_openWindows.RestartAllItems();
            QueryDriveStatus();
        }
        m_openWindows.UpdateAll();
    }
    m_distManager.PublishMonitorSnapshot();
}

// ---- communications ----

bool CMainFrame::IsCommOpen() const { return const_cast<CCommManager&>(m_commManager).IsOpen() != FALSE; }

void CMainFrame::StartLinkTimersAndEngine()
{
    SetTimer(kTimerGuiUpdate, 100);
    SetTimer(kTimerBackup, 200);
    m_distManager.Start();
    m_parameters.SetDistManager(&m_distManager);
}

void CMainFrame::AddDriveTables(const CList<CAmplifierData>& drives, bool sendVersionQuery)
{
    for (POSITION pos = drives.GetHeadPosition(); pos;) {
        const CAmplifierData& drive = drives.GetNext(pos);
        m_parameters.AddDrive(static_cast<int>(drive.m_address));
        if (sendVersionQuery)
            SendQuery(static_cast<BYTE>(drive.m_address), kVersionCode, 500, 0);
        m_parameters.RequestParameterQuery(static_cast<int>(drive.m_address), kBoardTypeParameter);
    }
}

int CMainFrame::OpenCommunication(const CCommLinkSettings& settings)
{
    m_lastCommSettings = settings;
    const int opened = m_commManager.OpenCommunications(settings);
    if (opened) {
        StartLinkTimersAndEngine();
        CList<CAmplifierData> drives;
        App()->GetConnectedDrives(drives);
        AddDriveTables(drives, true);
        QueryDriveStatus();
    }
    App()->UpdateMainMenu();
    UpdateTitle();
    return opened;
}

int CMainFrame::OpenDemoCommunication()
{
    const int opened = m_commManager.OpenDemoCommunications();
    if (opened) {
        StartLinkTimersAndEngine();
        CList<CAmplifierData> drives;
        App()->GetConnectedDrives(drives);
        AddDriveTables(drives, false);
        std::vector<DemoDriveRecord> records;
        for (POSITION pos = drives.GetHeadPosition(); pos;) {
            const CAmplifierData& drive = drives.GetNext(pos);
            records.push_back({static_cast<int>(drive.m_address), drive.m_name});
        }
        LoadDemoDrives(records, &m_backup, AfxGetAppPaths().programFolder, []() { AfxPumpMessages(); });
        QueryDriveStatus();
        // The simulated drives always answer; no link thread reports on them.
        App()->SetCommStatus(kCommAllDrives);
    }
    App()->UpdateMainMenu();
    UpdateTitle();
    AddManageCloudDatabaseMenu();
    return opened;
}

void CMainFrame::OpenFirmwareWindow(const char* className)
{
    CFrameFirmwareLink link(*this);
    if (CString(className) == "CLoadFirmwareDlg") {
        CLoadFirmwareDlg dialog(this);
        dialog.m_portName = m_firmwarePort;
        dialog.m_partNumber = m_firmwareFile;
        dialog.m_programFolder = AfxGetAppPaths().programFolder;
        dialog.SetLinkControl(&link);
        dialog.DoModal();
        m_firmwarePort = dialog.m_portName;
        m_firmwareFile = dialog.m_partNumber;
        return;
    }
    CCustomerLoadFirmwareDlg dialog(this);
    dialog.m_displayFlags = DisplayFlags();
    dialog.SetLinkControl(&link);
    dialog.DoModal();
}

void CMainFrame::CloseCommunication(int hideTutorial)
{
    KillTimer(kTimerGuiUpdate);
    KillTimer(kTimerBackup);
    m_openWindows.GetOwnItem().CancelQueries();
    CancelAllQueries();
    m_closingWindows = 1;
    m_openWindows.CloseAllItems();
    m_closingWindows = 0;
    Sleep(100);
    m_distManager.Stop();  // its queue is emptied when it starts again
    m_parameters.RemoveAllDrives();
    m_commManager.CloseCommunications();
    App()->SetCommStatus(kCommClosed);
    if (m_statistics && m_statistics->GetSafeHwnd())
        m_statistics->HideStatistics();
    App()->ClearConnectedDrives();
    if (hideTutorial && m_tutorial.GetSafeHwnd())
        m_tutorial.CloseTutorial();
    App()->UpdateMainMenu();
    UpdateTitle();
}

int CMainFrame::LoadDriveAssignments()
{
    const AppPaths& paths = AfxGetAppPaths();
    if (m_assignments.Load(paths.userIni, paths.factoryIni))
        return 1;
    Message("ERROR: Could not load drive assignments file.");
    return 0;
}

int CMainFrame::SaveDriveAssignments()
{
    if (m_assignments.Save(AfxGetAppPaths().userIni))
        return 1;
    Message("ERROR: Could not save drive assignments file.");
    return 0;
}

int CMainFrame::UpdateLinkDriveNames()
{
    CMapIntToStringLockable& names = m_commManager.GetDriveNames();
    CSingleLock lock(&names.GetLock(), TRUE);
    names.RemoveAll();
    CList<CAmplifierData> drives;
    App()->GetConnectedDrives(drives);
    int result = 1;
    for (POSITION pos = drives.GetHeadPosition(); pos;) {
        const CAmplifierData& drive = drives.GetNext(pos);
        CString name;
        if (!m_assignments.FindName(static_cast<int>(drive.m_address), name)) {
            result = 0;
            break;
        }
        names.SetName(static_cast<int>(drive.m_address), name);
    }
    m_openWindows.GetOwnItem().OnDriveChanged();
    return result;
}

// ---- look ----

void CMainFrame::SetStatusText(const char* text)
{
    if (m_statusBar.GetSafeHwnd() && m_statusBar.GetPaneText(0) != text)
        m_statusBar.SetPaneText(0, text);
}

void CMainFrame::UpdateTitle()
{
    CString title = "Korvane";
    if (IsCommOpen())
        title += " - " + m_commManager.GetPortName();
    SetWindowText(title);
}

void CMainFrame::RemoveDebugMenu()
{
    CMenu* menu = GetMenu();
    if (!menu || (DisplayFlags() & kDisplayDebug))
        return;
    for (int position = menu->GetMenuItemCount() - 1; position >= 0; --position) {
        CMenu* sub = menu->GetSubMenu(position);
        if (sub && AfxFindMenuItem(sub, ID_DEBUG_MENU_MARK, nullptr, nullptr)) {
            menu->DeleteMenu(static_cast<UINT>(position), MF_BYPOSITION);
            break;
        }
    }
    DrawMenuBar();
}

void CMainFrame::KeepOnScreen()
{
    CRect window;
    GetWindowRect(&window);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    int x = std::min(window.left, width - window.Width());
    int y = std::min(window.top, height - window.Height());
    x = std::max(0, x);
    y = std::max(0, y);
    if (x != window.left || y != window.top)
        SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE);
    m_openWindows.KeepWindowsOnScreen();
}

int CMainFrame::FindTopMenu(const char* text) const
{
    CMenu* menu = GetMenu();
    if (!menu || !text)
        return -1;
    for (int position = menu->GetMenuItemCount() - 1; position >= 0; --position) {
        CString item;
        menu->GetMenuString(static_cast<UINT>(position), item, MF_BYPOSITION);
        if (item.Left(1024) == text)
            return position;
    }
    return -1;
}

void CMainFrame::AddManageCloudDatabaseMenu()
{
    const int flags = DisplayFlags();
    const bool allowed = (App() && App()->IsCloudReachable()) ||
                         ((flags & kDisplayFactory) && (flags & kDisplayDebug));
    const int position = allowed ? FindTopMenu("&Tools") : -1;
    CMenu* tools = position >= 0 ? GetMenu()->GetSubMenu(position) : nullptr;
    if (!tools)
        return;
    tools->DeleteMenu(ID_MANAGE_CLOUD, MF_BYCOMMAND);
    tools->AppendMenu(MF_STRING, ID_MANAGE_CLOUD, "&Manage Cloud Database...");
    DrawMenuBar();
}

void CMainFrame::MakeNewEditorFileName(CString& name) { name.Format("KVEdit%d.txt", m_newEditorNumber++); }

// ---- drive status ----

int CMainFrame::OnDriveStatusBits(const CAmpResponseToGui& response)
{
    if (response.m_code != kModelDataCode)
        return 0;
    bool hardwareFlags = response.m_subCommands.IsEmpty();
    for (POSITION pos = response.m_subCommands.GetHeadPosition(); pos;) {
        const CAmpCommand& sub = response.m_subCommands.GetNext(pos);
        hardwareFlags = hardwareFlags || (sub.m_code == kModelIndexCode && sub.m_value == kHardwareFlagIndex);
    }
    if (!hardwareFlags || response.m_error != 0)
        return 0;
    const DWORD value = static_cast<DWORD>(response.m_value);
    const DWORD bits = ((value & 0x1000) ? 1u : 0u) | ((value & 0x2000) ? 2u : 0u);
    if (!App()->UpdateDriveDataWord(response.m_address, 3u, bits))
        return 0;
    m_openWindows.GetOwnItem().OnDriveChanged();
    return 1;
}

void CMainFrame::QueryDriveStatus()
{
    CList<CAmplifierData> drives;
    App()->GetConnectedDrives(drives);
    for (POSITION pos = drives.GetHeadPosition(); pos;) {
        const CAmplifierData& drive = drives.GetNext(pos);
        m_openWindows.GetOwnItem().SendQueryWithArgument(static_cast<BYTE>(drive.m_address), kModelDataCode,
                                                         kModelIndexCode, kHardwareFlagIndex, 0, 0x60);
    }
}

// ---- shut-down ----

void CMainFrame::OnClose()
{
    if (!AskWindowsToClose() || !AskToLeaveEnabledDrives()) {
        Message("Exit cancelled.");
        return;
    }
    if (App() && !App()->GetDatabase().CanClose()) {
        Message("Exit cancelled.");
        return;
    }
    // The editors ask about unsaved files before anything stops, so a refusal leaves the program as it was.
    if (!m_editors.CloseAll()) {
        Message("Exit cancelled.");
        return;
    }
    m_shuttingDown = 1;
    m_backup.StopThread(1);
    HideOscilloscope();
    CloseCommunication(0);
    AfxPumpMessages();  // the drive windows close on messages posted to them
    SaveAlertSettings();
    CWindowPlacement placement;
    placement.SaveToProfile(this, kPlacementSuffix);
    if (CScriptPlayerDlg* player = CScriptPlayerDlg::GetPlayer())
        player->DestroyWindow();
    DestroyWindow();
}

// ---- commands ----

BOOL CMainFrame::OnCmdMsg(UINT id, int code)
{
    if (code == 0 || code == 1) {
        if (id == ID_CLEAR_ALERT && !m_faults.IsAlertShown())
            return FALSE;
        if (id == ID_ALERT_LOG_BUTTON && m_faults.GetDialog().GetSafeHwnd() &&
            m_faults.GetDialog().IsWindowVisible())
            return FALSE;
        if (HandleToolCommand(this, id))
            return TRUE;
        if (id == ID_OSCILLOSCOPE) {
            if (CanOpenOscilloscope())
                OnOscilloscope();
            return TRUE;
        }
        if (m_factory.Find(id) && m_factory.IsAvailable(id, DisplayFlags())) {
            m_factory.Open(id, DisplayFlags());
            return TRUE;
        }
    }
    return CMDIFrameWnd::OnCmdMsg(id, code);
}

void CMainFrame::UpdateCommandUI(CCmdUI& ui)
{
    if (UpdateToolCommand(ui))
        return;
    if (ui.m_nID == ID_OSCILLOSCOPE) {
        ui.Enable(CanOpenOscilloscope());
        return;
    }
    if (ui.m_nID == ID_SETUP_WIZARD) {
        // The wizard's windows would talk to drives the backup engine holds.
        ui.Enable(!IsBackupBusy());
        return;
    }
    if (m_factory.Find(ui.m_nID)) {
        ui.Enable(m_factory.IsEnabled(ui.m_nID, DisplayFlags(), IsCommOpen(), IsBackupBusy()));
        return;
    }
    CMDIFrameWnd::UpdateCommandUI(ui);
}

bool CMainFrame::CanOpenOscilloscope() const
{
    const bool shown = m_scope && m_scope->GetSafeHwnd() && m_scope->IsWindowVisible();
    return IsCommOpen() && !shown && !IsBackupBusy();
}

CGuiUpdateItem* CMainFrame::GetScopeWindow()
{
    // A layout that holds the oscilloscope restores it also before it was first opened.
    if (!m_scope) {
        m_scope = new CQvxScopeDlg();
        m_scope->SetDataFolder(AfxGetAppPaths().dataFolder);
        m_scope->SetFactorySettingsPath(AfxGetAppPaths().factoryIni);
    }
    return m_scope;
}

void CMainFrame::OnOscilloscope()
{
    OpenOscilloscope("");
}

void CMainFrame::OpenOscilloscope(const char* settingsFile)
{
    GetScopeWindow();
    m_scope->ShowScope(TRUE, settingsFile);
}

void CMainFrame::HideOscilloscope()
{
    if (m_scope && m_scope->GetSafeHwnd())
        m_scope->ShowScope(FALSE, nullptr);
}

void CMainFrame::OnUpdateOpenOrDemo(CCmdUI* ui) { ui->Enable(!IsCommOpen() && !m_chooserOpen); }

void CMainFrame::OnUpdateCloseComm(CCmdUI* ui) { ui->Enable(IsCommOpen() && !IsBackupBusy()); }

void CMainFrame::OnStatistics()
{
    if (!m_statistics) {
        m_statistics = new CCommunicationsStatisticsDlg(m_commManager.GetStatistics(), this);
        m_commManager.GetStatistics().SetWindow(m_statistics);
    }
    if (m_statistics->ShowStatistics())
        m_statistics->SetTimer(0, 200);
}

void CMainFrame::OnUpdateStatistics(CCmdUI* ui)
{
    ui->Enable(IsCommOpen() && !(m_statistics && m_statistics->IsWindowVisible()));
}

void CMainFrame::OnClearAlert()
{
    m_faults.RequestStatusRefresh();
    m_faults.ClearLastStatusKey();
}

void CMainFrame::OnOpenComm()
{
    // The chooser deletes itself when it closes.
    auto* chooser = new CSelectCommInterfaceDlg(&m_commHost, this);
    if (chooser->ShowChooser())
        m_chooser = chooser;
    else
        delete chooser;
}

void CMainFrame::SetInterfaceChooserOpen(bool open)
{
    m_chooserOpen = open ? 1 : 0;
    if (!open)
        m_chooser = nullptr;  // it is being destroyed
}

void CMainFrame::OnDistributionMonitor()
{
    if (!m_monitor)
        m_monitor = new CMonitorDistributionCenterDlg(m_distManager, this);
    if (m_monitor->GetSafeHwnd() && m_monitor->IsWindowVisible())
        m_monitor->ShowWindow(SW_HIDE);
    else
        m_monitor->ShowMonitor();
}

void CMainFrame::OnUpdateDistributionMonitor(CCmdUI* ui)
{
    ui->SetCheck(m_monitor && m_monitor->GetSafeHwnd() && m_monitor->IsWindowVisible() ? 1 : 0);
}

void CMainFrame::OnGlobalParamTest()
{
    for (POSITION pos = m_openWindows.GetHeadPosition(); pos;) {
        CGuiUpdateItem* item = m_openWindows.GetNext(pos);
        if (dynamic_cast<CTestGlobalParamsDlg*>(item) && item->GetWnd() && item->GetWnd()->GetSafeHwnd()) {
            item->GetWnd()->ShowWindow(SW_SHOW);
            return;
        }
    }
    auto* window = new CTestGlobalParamsDlg();
    if (!window->CreateGuiWindow(1))
        delete window;
}

void CMainFrame::OnMultiDropTest()
{
    CMultiDropCommTestDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnLayoutSave() { m_openWindows.SaveLayout("", 0, 0); }

void CMainFrame::OnLayoutLoad()
{
    m_closingWindows = 1;
    CString unsent;
    bool go = true;
    if (m_openWindows.ListUnsentChanges(&unsent)) {
        const CString question = "The following windows have data that needs to be saved: \r\n\r\n" + unsent +
                                 "\r\nClick OK to abandon changes or Cancel to cancel loading layout.";
        go = AfxEngineMessageBox(question, "Korvane", MB_OKCANCEL, 63776) == IDOK;
    }
    if (go)
        m_openWindows.LoadLayout("");
    m_closingWindows = 0;
}

void CMainFrame::OnLayoutTest()
{
    m_openWindows.SetInteractive(0);
    SetTimer(kTimerLayoutTest, 5000);
}

void CMainFrame::LayoutTestTick()
{
    if (m_layoutFiles.empty()) {
        CString folder;
        MakeProductFolder(folder, AfxGetSpecialFolder(CSIDL_PERSONAL), TRUE);
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder.GetString(), error))
            if (entry.path().extension() == ".kvl")
                m_layoutFiles.emplace_back(entry.path().string().c_str());
        std::sort(m_layoutFiles.begin(), m_layoutFiles.end());
        m_nextLayout = 0;
    } else if (++m_nextLayout >= m_layoutFiles.size()) {
        m_layoutFiles.clear();  // the search ends; the next tick starts over
        return;
    }
    if (m_layoutFiles.empty() || m_closingWindows)
        return;
    m_openWindows.LoadLayout(m_layoutFiles[m_nextLayout]);
    KeepOnScreen();
}

void CMainFrame::OnBackupDrive()
{
    CString unsent;
    if (m_openWindows.ListUnsentChanges(&unsent)) {
        const CString question = "The following windows have data that needs to be saved: \r\n\r\n" + unsent +
                                 "\r\nDo you wish to abandon all changes? (Click 'No' to abort backup)";
        if (AfxEngineMessageBox(question, "Korvane", MB_YESNO, 63775) != IDYES)
            return;
    }
    m_backup.SetMessageHelpId(-kBackupHelpTopic);
    m_backup.BackupDrive();
}

void CMainFrame::OnRestoreDrive()
{
    m_backup.SetMessageHelpId(-kRestoreHelpTopic);
    m_backup.RestoreDrive();
}

void CMainFrame::OnDriveReport()
{
    m_backup.SetMessageHelpId(-kReportHelpTopic);
    m_backup.CreateDriveReport();
}

int CMainFrame::RestoreBackup(int drive, const CString& driveName, const CString& path, int helpId)
{
    m_backup.SetMessageHelpId(helpId);
    return m_backup.RestoreFromFile(drive, driveName, path, 0, "");
}

void CMainFrame::OnAlertLog()
{
    m_faults.EmptyStatusList();
    m_faults.RequestStatusRefresh();
    m_faults.GetDialog().SetAlertRaiser([](const char* key, const char* text, int level, int flags) {
        if (CKorvaneApp* app = App())
            app->RaiseAlert(key, text, level, flags, -1);
    });
    m_faults.GetDialog().Open(this);
}

void CMainFrame::LoadAlertSettings()
{
    const CString& settings = AfxGetAppPaths().userIni;
    if (!settings.IsEmpty()) {
        m_faults.LoadSettings(settings);
        m_faults.LoadSuppressedFaults(settings);
    }
    m_faults.Reset();
}

void CMainFrame::SaveAlertSettings()
{
    // Without a data folder there is no settings file to write, never a relative path.
    const CString& settings = AfxGetAppPaths().userIni;
    if (!settings.IsEmpty()) {
        m_faults.SaveSettings(settings);
        m_faults.SaveSuppressedFaults(settings);
    }
    m_faults.CloseLogFile();
}

void CMainFrame::OnRunGuiTests()
{
    m_guiTestRunning = !m_guiTestRunning;
    if (m_guiTestRunning) {
        m_openWindows.SetInteractive(0);
        SetTimer(kTimerGuiExercise, 50);
    } else {
        KillTimer(kTimerGuiExercise);
        m_openWindows.SetInteractive(1);
    }
}

void CMainFrame::OnUpdateRunGuiTests(CCmdUI* ui) { ui->SetCheck(m_guiTestRunning ? 1 : 0); }

void CMainFrame::OnOpenCloseTest()
{
    m_randomTestRunning = !m_randomTestRunning;
    if (m_randomTestRunning)
        SetTimer(kTimerRandomTest, 300);
    else
        KillTimer(kTimerRandomTest);
}

void CMainFrame::RandomTestTick()
{
    std::erase_if(m_testWindows, [this](CGuiUpdateItem* item) { return !m_openWindows.Find(item); });
    m_openWindows.SetInteractive(0);  // the windows' boxes answer themselves
    const int draw = Rand();
    if ((draw * 10 / 32767 < 7 && m_testWindows.size() < 15) || m_testWindows.empty())
        OpenRandomTestWindow();
    else
        CloseRandomTestWindow();
}

bool CMainFrame::OpenRandomTestWindow()
{
    // The window kinds the test draws from, by the command that opens each.
    static const UINT kinds[17] = {32791, 32848, 32795, 0, 32789, 32812, 32796, 0,     32786,
                                   32816, 32875, 32817, 32790, 32799, 32906, 32908, 32797};
    // A kind whose window the program lacks is drawn again, a bounded number of times.
    for (int attempt = 0; attempt < 64; ++attempt) {
        const int k = Rand() * 17 / 32767;
        if (k >= 17)
            return false;
        const FactoryRow* row = kinds[k] ? m_factory.Find(kinds[k]) : nullptr;  // 3 draws again; 7 (scope) too for now
        const char* className = row ? m_factory.ClassFor(*row, DisplayFlags()) : nullptr;
        if (!className || !m_registry.GetRuntimeClassByClassName(className) || m_openWindows.GetOpenCount(className) > 0)
            continue;
        CGuiUpdateDlg* window = m_registry.CreateByClassName(className);
        if (!window)
            continue;
        if (!window->CreateGuiWindow(1)) {
            delete window;
            return false;
        }
        m_testWindows.push_back(window);
        return true;
    }
    return false;
}

void CMainFrame::CloseRandomTestWindow()
{
    Rand();  // the oscilloscope's draw; SCOPE HOOK: hide it on 5 once it exists
    const int count = static_cast<int>(m_testWindows.size());
    const int index = count ? Rand() * count / 32767 : -1;
    if (index < 0 || index >= count)
        return;
    CGuiUpdateItem* item = m_testWindows[static_cast<size_t>(index)];
    m_testWindows.erase(m_testWindows.begin() + index);
    if (item->GetWnd() && item->GetWnd()->GetSafeHwnd())
        item->GetWnd()->PostMessage(WM_CLOSE);
}

CString CMainFrame::EnabledDriveNames()
{
    // The enable bits the program already polls: the open-window list's own item
    // follows the default drive, each drive window its own drive.
    std::set<int> enabled;
    if (m_openWindows.GetOwnItem().GetEnableBit())
        enabled.insert(m_openWindows.GetOwnItem().GetDrive());
    for (POSITION pos = m_openWindows.GetHeadPosition(); pos;)
        if (const CGuiUpdateItem* item = m_openWindows.GetNext(pos); item->GetEnableBit())
            enabled.insert(item->GetDrive());
    CString names;
    CList<CAmplifierData> drives;
    if (App())
        App()->GetConnectedDrives(drives);
    for (POSITION pos = drives.GetHeadPosition(); pos;) {
        const CAmplifierData& drive = drives.GetNext(pos);
        if (enabled.count(drive.m_address))
            names += (names.IsEmpty() ? "" : ", ") + drive.m_name;
    }
    return names;
}

bool CMainFrame::AskToLeaveEnabledDrives()
{
    if (!IsCommOpen())
        return true;
    const CString names = EnabledDriveNames();
    if (names.IsEmpty())
        return true;
    const CString question = "Enabled drive: " + names +
                             ".  Its motor may be turning.\r\nClosing communications leaves it running with no "
                             "host to stop it.  Close communications anyway?";
    return AfxEngineMessageBox(question, "Korvane", MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

void CMainFrame::OnCloseComm()
{
    if (AskToLeaveEnabledDrives())
        CloseCommunication(0);
}

bool CMainFrame::AskWindowsToClose()
{
    // One after the other; the first that refuses ends the round with nothing closed.
    CList<CGuiUpdateItem*, CGuiUpdateItem*> open(m_openWindows);
    for (POSITION pos = open.GetHeadPosition(); pos;)
        if (!open.GetNext(pos)->CanClose())
            return false;
    return m_openWindows.CanExit() != 0;
}

void CMainFrame::OnCloseAllSetupWindows()
{
    m_closingWindows = 1;
    if (AskWindowsToClose())
        m_openWindows.CloseAllItems();
    m_closingWindows = 0;
}

void CMainFrame::OnUpdateDriveWindowsOpen(CCmdUI* ui) { ui->Enable(IsCommOpen() && !m_openWindows.IsEmpty()); }

void CMainFrame::OnManageCloudDatabase()
{
    CKorvaneApp* app = App();
    if (!app->IsCloudReachable()) {
        CString typed;
        if (!AskPassword(typed, "Enter password to open Manage Cloud Database window."))
            return;
        if (!IsAdminPassword(typed)) {
            Message("Invalid password.");
            return;
        }
    }
    app->GetDatabase().ToggleCloudManagementWindow();
}

void CMainFrame::OnUpdateManageCloudDatabase(CCmdUI* ui)
{
    ui->SetCheck(App()->GetDatabase().IsCloudManagementWindowVisible() ? 1 : 0);
}

void CMainFrame::OnTestDatabase() { App()->GetDatabase().OpenTestWindow(); }

void CMainFrame::OnUpdateTestDatabase(CCmdUI* ui) { ui->Enable(App()->GetDatabase().HasTestWindow()); }

void CMainFrame::OnEncoderDatabase() { App()->GetDatabase().ToggleEncoderWindow(); }

void CMainFrame::OnScriptPlayer() { CScriptPlayerDlg::OpenScriptPlayer(this); }

void CMainFrame::OnSetupWizard()
{
    if (IsBackupBusy())
        return;
    m_tutorial.RunTutorial(IsCommOpen() ? "SetupTutorCommOpened.dat" : "SetupTutorCommClosed.dat");
}

bool CMainFrame::HandleNavigationKey(UINT key)
{
    return CScriptPlayerDlg::HandleNavigationKey(CScriptPlayerDlg::GetPlayer(), key) != 0;
}

BOOL CMainFrame::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && HandleNavigationKey(static_cast<UINT>(msg->wParam)))
        return TRUE;
    return CMDIFrameWnd::PreTranslateMessage(msg);
}

void CMainFrame::OnUpdateEncoderDatabase(CCmdUI* ui)
{
    CAppDatabase& database = App()->GetDatabase();
    ui->Enable(database.HasEncoderWindow() && database.HasRecordset("AbsEncByModel"));
    ui->SetCheck(database.IsEncoderWindowVisible() ? 1 : 0);
}

void CMainFrame::OnAppAbout() { App()->OnAppAbout(); }
void CMainFrame::OnResetWarnings() { App()->OnResetWarnings(); }
void CMainFrame::OnTestTrajectoryPlanner() { App()->OnTestTrajectoryPlanner(); }

void CMainFrame::OnViewToolBar()
{
    m_toolBar.ShowWindow(m_toolBar.IsWindowVisible() ? SW_HIDE : SW_SHOW);
    RecalcLayout();
}

void CMainFrame::OnViewStatusBar()
{
    m_statusBar.ShowWindow(m_statusBar.IsWindowVisible() ? SW_HIDE : SW_SHOW);
    RecalcLayout();
    CRect client;
    GetClientRect(&client);
    OnSize(0, client.Width(), client.Height());
}

void CMainFrame::OnUpdateViewToolBar(CCmdUI* ui) { ui->SetCheck(m_toolBar.IsWindowVisible() ? 1 : 0); }
void CMainFrame::OnUpdateViewStatusBar(CCmdUI* ui) { ui->SetCheck(m_statusBar.IsWindowVisible() ? 1 : 0); }

// ---- the Window menu ----

void CMainFrame::OnInitMenuPopup(CMenu* popup)
{
    m_editors.OnInitMenuPopup(popup);
    int listPosition = -1;
    for (int i = 0; i < popup->GetMenuItemCount(); ++i)
        if (popup->GetMenuItemID(i) == ID_WINDOWS_LIST)
            listPosition = i;
    if (listPosition < 0)
        return;
    for (UINT id = ID_WINDOW_ENTRY_FIRST; id <= ID_WINDOW_ENTRY_LAST; ++id)
        popup->DeleteMenu(id, MF_BYCOMMAND);
    m_windowMenuEditors = m_editors.Snapshot(10);
    m_windowMenuItems.clear();
    for (POSITION pos = m_openWindows.GetHeadPosition(); pos && m_windowMenuEditors.size() + m_windowMenuItems.size() < 10;) {
        CGuiUpdateItem* item = m_openWindows.GetNext(pos);
        if (item->GetWnd() && item->GetWnd()->GetSafeHwnd())
            m_windowMenuItems.push_back(item);
    }
    UINT position = static_cast<UINT>(listPosition);
    const size_t editors = m_windowMenuEditors.size();
    for (size_t i = 0; i < editors + m_windowMenuItems.size(); ++i) {
        CString title, text;
        CWnd* window = i < editors ? m_windowMenuEditors[i] : m_windowMenuItems[i - editors]->GetWnd();
        window->GetWindowText(title);
        text.Format("&%d %s", static_cast<int>(i + 1), title.GetString());
        popup->InsertMenu(position++, MF_BYPOSITION | MF_STRING, ID_WINDOW_ENTRY_FIRST + i, text);
    }
}

void CMainFrame::OnWindowEntry(UINT id)
{
    size_t index = id - ID_WINDOW_ENTRY_FIRST;
    if (index < m_windowMenuEditors.size()) {
        CQvxEditorFrame* editor = m_windowMenuEditors[index];
        if (m_editors.Contains(editor)) {  // one closed since the menu was built is not touched
            editor->ShowWindow(SW_SHOW);
            editor->MDIActivate();
        }
        return;
    }
    index -= m_windowMenuEditors.size();
    if (index >= m_windowMenuItems.size())
        return;
    CGuiUpdateItem* item = m_windowMenuItems[index];
    // The entry may outlive its window: only a window still open is activated.
    if (!m_openWindows.Find(item) || !item->GetWnd() || !item->GetWnd()->GetSafeHwnd())
        return;
    item->GetWnd()->ShowWindow(SW_SHOW);
    item->GetWnd()->BringWindowToTop();
    item->GetWnd()->SetForegroundWindow();
}

// ---- help ----

void CMainFrame::ShowHelpOfInstalledFrame(UINT helpId)
{
    if (CGuiFrameServices* frame = CGuiFrameServices::Get())
        frame->ShowHelp(helpId);
}

void CMainFrame::WinHelp(DWORD contextId, UINT command)
{
    const int topic = MapHelpTopic(static_cast<WORD>(contextId));
    m_help.ShowTopic(command == 1 ? topic : 0);
}

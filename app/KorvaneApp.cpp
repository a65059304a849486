#include "KorvaneApp.h"

#include "AppPaths.h"
#include "framework/FactorySettings.h"
#include "MainFrame.h"
#include "NetworkReachability.h"
#include "ProductInfo.h"
#include "SettingsFileGuard.h"
#include "SplashWnd.h"
#include "AboutDlg.h"
#include "controls/WarningMessageDlg.h"
#include "foundation/WindowPlacement.h"
#include "tools/DebugWatchWindowDlg.h"
#include "motion/MotionPlayback.h"
#include "platform/core/Clock.h"
#include "platform/core/DebugLog.h"
#include "platform/core/IniFile.h"
#include "platform/core/Profile.h"
#include "platform/core/SingleLock.h"
#include "platform/core/SpecialFolders.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/HelpContext.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/StringTable.h"
#include "setup/motor/windows/QvxGuiTavroCommutationSheet.h"

namespace {
CKorvaneApp* g_app = nullptr;

constexpr UINT kMenuNone = 367;
constexpr UINT kMenuKreln = 366;
constexpr UINT kMenuTavro = 368;
constexpr UINT kMenuBoth = 375;
constexpr UINT kAccelerators = 250;
constexpr int kFamilyKrelnCode = 2;
constexpr int kFamilyTavroCode = 4;
constexpr UINT kManageCloudCommand = 17000;
constexpr UINT kFileDialogHelpId = 0x7004;
}  // namespace

CKorvaneApp* CKorvaneApp::Get() { return g_app; }

int FormatHexBytes(int count, CString& text, const BYTE* bytes)
{
    text.Empty();
    for (int i = 0; bytes && i < count; ++i)
        text.AppendFormat("%02x", bytes[i]);
    return 1;
}

int ShowWarningMessage(const char* key, BOOL question, const char* message, int suppressedAnswer)
{
    CWarningMessageDlg dialog(AfxGetMainWnd());
    return dialog.ShowWarning(key, question, message, suppressedAnswer);
}

CKorvaneApp::CKorvaneApp()
    : CWinApp(kProductName),
      m_database(std::make_unique<CAppDatabase>()),
      m_debugWatch(std::make_unique<CDebugWatchWindowDlg>())
{
    g_app = this;
    m_stopwatch.Restart();
    CCommAppServices::Install(this);
    CGuiAppServices::Install(this);
    CDatabaseAppServices::Install(this);
}

CKorvaneApp::~CKorvaneApp()
{
    if (m_pMainFrame && m_pMainFrame->GetSafeHwnd())
        m_pMainFrame->DestroyWindow();  // deletes itself
    else
        delete m_pMainFrame;
    m_pMainFrame = nullptr;
    if (CCommAppServices::Get() == this)
        CCommAppServices::Install(nullptr);
    if (CGuiAppServices::Get() == this)
        CGuiAppServices::Install(nullptr);
    if (CDatabaseAppServices::Get() == this)
        CDatabaseAppServices::Install(nullptr);
    CQvxGuiTavroCommutationSheet::SetDatabase(nullptr);
    if (m_timerRaised)
        timeEndPeriod(1);
    if (g_app == this)
        g_app = nullptr;
}

void CKorvaneApp::ReportStartupMessage(const CString& text) { AfxMessageBox(text, MB_OK); }

// ---- start-up ----

bool CKorvaneApp::PrepareFolders()
{
    AfxSetRegistryKey(kProfileKey);
    CString message;
    if (SetAsideDamagedSettingsFile(AfxGetProfilePath(), message) != 0)
        ReportStartupMessage(message);
    const CString programFolder = AfxGetModuleFolder() + "/";
    CString dataFolder;
    if (!GetCommonDocumentsProductFolder(dataFolder, FALSE)) {
        ReportStartupMessage("ERROR: Could not find application data folder");
        dataFolder.Empty();
    }
    SetupSettingsFilePaths(programFolder, dataFolder);
    const int damaged = SetAsideDamagedSettingsFile(AfxGetAppPaths().userIni, message);
    if (damaged != 0)
        ReportStartupMessage(message);
    if (damaged < 0)
        SetupSettingsFilePaths(programFolder, CString());  // a file that could not be moved is never written
    CopyDefaultDataFiles();
    return true;
}

bool CKorvaneApp::LoadMenus()
{
    CMenuResource* menus[] = {&m_menuNone, &m_menuTavro, &m_menuKreln, &m_menuBoth};
    const UINT ids[] = {kMenuNone, kMenuTavro, kMenuKreln, kMenuBoth};
    for (int i = 0; i < 4; ++i)
        if (!menus[i]->Load(ids[i])) {
            ReportStartupMessage("ERROR: Could not load the menus: " + menus[i]->GetError());
            return false;
        }
    if (!m_accelerators.Load(kAccelerators)) {
        ReportStartupMessage("ERROR: Could not load the keyboard shortcuts: " + m_accelerators.GetError());
        return false;
    }
    m_currentMenuId = kMenuNone;
    return true;
}

bool CKorvaneApp::CreateMainFrame()
{
    m_pMainFrame = new CMainFrame;
    m_pMainWnd = m_pMainFrame;
    if (!m_pMainFrame->LoadFrame(CMainFrame::kResourceId, WS_OVERLAPPEDWINDOW, nullptr)) {
        delete m_pMainFrame;
        m_pMainFrame = nullptr;
        m_pMainWnd = nullptr;
        ReportStartupMessage("ERROR: Could not create the main window.");
        return false;
    }
    m_accelerators.Install(m_pMainFrame);
    UpdateMainMenu();
    return true;
}

void CKorvaneApp::ShowMainFrame()
{
    CWindowPlacement placement;
    placement.RestoreFromProfile(FALSE, m_pMainFrame, nullptr, FALSE);
    const bool saved = placement.rcNormalPosition.left != placement.rcNormalPosition.right;
    const int show = !saved || placement.showCmd == SW_SHOWMINIMIZED ? SW_SHOW : static_cast<int>(placement.showCmd);
    m_pMainFrame->ShowWindow(show == 0 ? SW_SHOW : show);
    m_pMainFrame->UpdateWindow();
}

BOOL CKorvaneApp::InitInstance()
{
    CHPTimer started;
    started.Restart();
    timeBeginPeriod(1);
    m_timerRaised = true;
    PrepareFolders();
    OpenDebugWatchLog();
    if (!LoadMenus() || !CreateMainFrame())
        return FALSE;
    ShowMainFrame();
    m_secondsToMainWindow = started.GetElapsedSeconds();
    m_stopwatch.Restart();
    m_database->LoadLoginData();
    if (m_options.showSplash)
        CSplashWnd::ShowSplash(kProductName, kProductVersion, kProductBuildDate, kProductNotice, m_pMainFrame);
    Sleep(100);
    CHPTimer local;
    local.Restart();
    RunNetworkSteps();
    WaitForSplash(local);
    if (m_pMainFrame)
        m_pMainFrame->AddManageCloudDatabaseMenu();
    return m_pMainFrame ? TRUE : FALSE;
}

void CKorvaneApp::RunNetworkSteps()
{
    // One network test serves both the cloud synchronisation and the reachability flag:
    // they ask the same question moments apart, and each ping may take its whole bound.
    const ReachabilityResult reach = TestReachability(m_database->GetCloudHost(), m_options.pingSeconds,
                                                      m_options.networkDeadlineMs, []() { AfxPumpMessages(); });
    std::vector<CString> errors;
    m_database->OpenDatabaseFiles(errors);
    for (const CString& error : errors)
        ReportStartupMessage(error);
    SyncDatabaseFromCloud(reach.networkAlive, reach.hostAnswered);
    m_database->CreateDatabaseRecordsets();
    CQvxGuiTavroCommutationSheet::SetDatabase(&m_database->GetTables());
    m_cloudReachable = reach.networkAlive && reach.hostAnswered ? 1 : 0;
}

void CKorvaneApp::SyncDatabaseFromCloud(bool networkAlive, bool hostAnswered)
{
    std::vector<CString> errors;
    if (!networkAlive)
        errors.push_back("Not connected to network.");
    else if (!hostAnswered)
        errors.push_back("Cloud server not available.");
    else
        m_database->SyncTablesFromCloud(errors);
    for (const CString& error : errors)
        RaiseAlert("CANNOT_SYNC_TO_SERVER", "Cloud database sync error: " + error, 2, kAlertStatusBar, -1);
}

void CKorvaneApp::WaitForSplash(CHPTimer& local)
{
    const double seconds = m_options.splashWaitMs / 1000.0;
    while (local.GetElapsedSeconds() <= seconds) {
        AfxPumpMessages();
        Sleep(5);
    }
}

int CKorvaneApp::ExitInstance()
{
    if (m_timerRaised) {
        timeEndPeriod(1);
        m_timerRaised = false;
    }
    return CWinApp::ExitInstance();
}

int CKorvaneApp::Run()
{
    m_running = true;
    const int code = CWinApp::Run();
    m_running = false;
    return code;
}

void CKorvaneApp::OnMainFrameDestroyed()
{
    m_pMainFrame = nullptr;
    m_pMainWnd = nullptr;
    if (m_running)
        AfxPostQuitMessage(0);
}

// ---- factory settings ----

int CKorvaneApp::GetModelDisplayFlags() const { return ::GetModelDisplayFlags(AfxGetAppPaths().factoryIni); }

CQvxDatabaseRecordset* CKorvaneApp::FindRecordset(const char* name) const
{
    return m_database ? m_database->GetTables().FindRecordset(name) : nullptr;
}

double CKorvaneApp::GetFunctionUnlockVersion(const char* function) const
{
    return ::GetFunctionUnlockVersion(AfxGetAppPaths().factoryIni, function);
}

CString CKorvaneApp::GetProgramFolder() const { return AfxGetAppPaths().programFolder; }

int CKorvaneApp::ShowWarningMessage(const char* key, BOOL question, const char* message, int suppressedAnswer)
{
    return ::ShowWarningMessage(key, question, message, suppressedAnswer);
}

// ---- services of the link layer ----

void CKorvaneApp::RaiseAlert(const char* key, const char* message, int level, int flags, int driveAddress)
{
    CString fullKey = key ? key : "";
    CString text = message ? message : "";
    CString name;
    if (driveAddress != -1 && m_pMainFrame &&
        m_pMainFrame->GetCommManager().GetDriveNames().FindDriveName(driveAddress, name)) {
        CString prefix;
        prefix.Format("[Drive:%s] ", name.GetString());
        text = prefix + text;
        fullKey += "_" + name;
    }
    if (m_pMainFrame)
        m_pMainFrame->GetFaultManager().PostFault(fullKey, text, level, flags);
    else
        AfxDebugLog("ALERT %s: %s", fullKey.GetString(), text.GetString());
}

void CKorvaneApp::ClearAllAlerts()
{
    if (m_pMainFrame)
        m_pMainFrame->GetFaultManager().ClearAll();
}

void CKorvaneApp::SetCommStatus(int status)
{
    CSingleLock lock(&m_statusLock, TRUE);
    m_commStatus = status;
}

int CKorvaneApp::GetCommStatus() const
{
    CSingleLock lock(&m_statusLock, TRUE);
    return m_commStatus;
}

void CKorvaneApp::SetDriveReconnected()
{
    CSingleLock lock(&m_flagLock, TRUE);
    m_redetected = 1;
}

void CKorvaneApp::SetDriveTypeChanged()
{
    CSingleLock lock(&m_flagLock, TRUE);
    m_typeChanged = 1;
}

int CKorvaneApp::TakeDriveRedetectedFlag()
{
    CSingleLock lock(&m_flagLock, TRUE);
    const int was = m_redetected;
    m_redetected = 0;
    return was;
}

int CKorvaneApp::TakeDriveTypeChangedFlag()
{
    CSingleLock lock(&m_flagLock, TRUE);
    const int was = m_typeChanged;
    m_typeChanged = 0;
    return was;
}

void CKorvaneApp::PostUpdateMainMenu()
{
    if (m_pMainFrame)
        ::PostMessage(m_pMainFrame, WM_USER + 0x210, 0, 0);
}

int CKorvaneApp::GetDriveFamily(int address, DWORD* dataWord)
{
    CSingleLock lock(&m_listLock, TRUE);
    for (const CAmplifierData& drive : m_connected)
        if (static_cast<int>(drive.m_address) == address) {
            if (dataWord)
                *dataWord = drive.m_data;
            return drive.m_family;
        }
    return -1;
}

void CKorvaneApp::ClearConnectedDrives()
{
    CSingleLock lock(&m_listLock, TRUE);
    m_connected.clear();
}

void CKorvaneApp::AddConnectedDrive(const CAmplifierData& drive)
{
    CSingleLock lock(&m_listLock, TRUE);
    m_connected.push_back(drive);
}

void CKorvaneApp::RenameConnectedDrive(int address, const CString& name)
{
    CSingleLock lock(&m_listLock, TRUE);
    for (CAmplifierData& drive : m_connected)
        if (static_cast<int>(drive.m_address) == address)
            drive.m_name = name;
}

void CKorvaneApp::GetConnectedDrives(CList<CAmplifierData>& drives)
{
    CSingleLock lock(&m_listLock, TRUE);
    for (const CAmplifierData& drive : m_connected)
        drives.AddTail(drive);
}

bool CKorvaneApp::UpdateDriveDataWord(int address, DWORD clear, DWORD set)
{
    CSingleLock lock(&m_listLock, TRUE);
    for (CAmplifierData& drive : m_connected)
        if (static_cast<int>(drive.m_address) == address) {
            drive.m_data = (drive.m_data & ~clear) | set;
            return true;
        }
    return false;
}

void CKorvaneApp::GetDriveAssignments(CList<CDriveAssignment>& assignments)
{
    if (m_pMainFrame)
        m_pMainFrame->GetDriveAssignments().GetAll(assignments);
}

void CKorvaneApp::BuildScopeDriveList(CList<CDriveAssignment>& drives) { GetDriveAssignments(drives); }

CString CKorvaneApp::GetUserSettingsIniPath() { return AfxGetAppPaths().userIni; }

double CKorvaneApp::GetGlobalSeconds() { return m_stopwatch.GetElapsedSeconds(); }

void CKorvaneApp::OpenDebugWatchLog()
{
    const CString folder = AfxGetAppPaths().dataFolder;
    if (!folder.IsEmpty())
        m_debugWatch->OpenLogFile(folder + "/DWWLog.txt");
}

void CKorvaneApp::AddDebugMessage(const char* text) { m_debugWatch->AddMessage(text); }

void CKorvaneApp::SetWatchValue(const char* name, double value) { m_debugWatch->SetWatchValue(name, value); }

void CKorvaneApp::StartWatchTimer(const char* name) { m_debugWatch->StartTimer(name); }

void CKorvaneApp::ReadWatchTimer(const char* name) { m_debugWatch->ReadTimer(name); }

void CKorvaneApp::LapWatchTimer(const char* name) { m_debugWatch->LapTimer(name); }

// ---- menus and commands ----

CMenu* CKorvaneApp::MenuForDrives(UINT& id)
{
    bool kreln = false, tavro = false;
    {
        CSingleLock lock(&m_listLock, TRUE);
        for (const CAmplifierData& drive : m_connected) {
            kreln = kreln || drive.m_family == kFamilyKrelnCode;
            tavro = tavro || drive.m_family == kFamilyTavroCode;
        }
    }
    id = kreln && tavro ? kMenuBoth : kreln ? kMenuKreln : tavro ? kMenuTavro : kMenuNone;
    CMenuResource& menu = id == kMenuBoth ? m_menuBoth : id == kMenuKreln ? m_menuKreln
                        : id == kMenuTavro ? m_menuTavro : m_menuNone;
    return menu.GetMenu();
}

void CKorvaneApp::UpdateMainMenu()
{
    UINT id = 0;
    CMenu* menu = MenuForDrives(id);
    if (!menu || !m_pMainFrame)
        return;
    // The cloud command is offered afresh by those who may offer it.
    CMenu* owner = nullptr;
    int position = -1;
    if (AfxFindMenuItem(menu, kManageCloudCommand, &owner, &position))
        owner->DeleteMenu(static_cast<UINT>(position), MF_BYPOSITION);
    m_currentMenuId = id;
    m_pMainFrame->SetMenu(menu);
    m_pMainFrame->RemoveDebugMenu();
    m_pMainFrame->UpdateTitle();
}

int CKorvaneApp::ExecuteCommandLine(const CString& line, CString& reply)
{
    if (line.Left(4).CompareNoCase("WIZ:") == 0) {
        // Queued for the tutorial's timer; the caller gets no reply.
        if (m_pMainFrame)
            m_pMainFrame->GetTutorial().QueueCommand(line.Mid(4));
        return 0;
    }
    if (!m_pMainFrame)
        return 0;
    return m_pMainFrame->GetUpdateList()->ExecuteCommand(line, reply, 0);
}

void CKorvaneApp::OnAppAbout()
{
    CAboutDlg about(m_pMainFrame);
    about.DoModal();
}

void CKorvaneApp::OnResetWarnings()
{
    const CString ini = AfxGetAppPaths().userIni;
    if (!ini.IsEmpty())
        WritePrivateProfileString("WARN MSGS", nullptr, nullptr, ini);
}

void CKorvaneApp::OnTestTrajectoryPlanner()
{
    CFileDialog dialog(TRUE, "txt", nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                       "Motion Program files (*.txt)|*.txt||", m_pMainFrame);
    INT_PTR answer;
    {
        CHelpContextScope help(static_cast<SHORT>(kFileDialogHelpId));
        answer = dialog.DoModal();
    }
    if (answer != IDOK)
        return;
    CMotionPlayback playback;
    playback.TestProgram(dialog.GetPathName());
}

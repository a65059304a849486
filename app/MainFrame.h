// CMainFrame: the program's main window. It holds the engine for its whole
// life (communication and distribution managers, conversion parameters, the
// open-window list and window registry), builds the toolbar and the status
// bar with the communication lamp and the alert buttons, runs the timers of
// all periodic GUI work, opens and closes communications, opens drive
// windows by command, and decides what happens when the user closes it.
#pragma once

#include "BackupComputations.h"
#include "DriveAssignments.h"
#include "FrameCommHost.h"
#include "FrameBackupHost.h"
#include "FrameAlertHost.h"
#include "FrameScopeHost.h"
#include "HelpWnd.h"
#include "HtmlTutorialDlg.h"
#include "KVStatusBar.h"
#include "QvxBackgroundWnd.h"
#include "WindowFactory.h"
#include "alerts/FaultManager.h"
#include "backup/AmpBackupTool.h"
#include "comm/link/CommLinkSettings.h"
#include "comm/link/CommManager.h"
#include "comm/link/LinkPortFactory.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiFrameServices.h"
#include "framework/GuiUpdateDlgIdMap.h"
#include "framework/GuiUpdateList.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/ToolBar.h"
#include "tools/QvxEditorFrameList.h"

class CCommunicationsStatisticsDlg;
class CQvxScopeDlg;
class CMonitorDistributionCenterDlg;
class CSelectCommInterfaceDlg;
class CMenu;

// Timer ids of the frame.
enum FrameTimer : UINT {
    kTimerGuiUpdate = 2,
    kTimerBackup = 3,
    kTimerAlerts = 5,
    kTimerRandomTest = 6,
    kTimerGuiExercise = 7,
    kTimerLayoutTest = 8,
};

// Command and control ids the frame handles itself.
enum FrameCommand : UINT {
    ID_CLEAR_ALERT = 159,
    ID_BACKUP_DRIVE = 32784,
    ID_RESTORE_DRIVE = 32785,
    ID_DRIVE_REPORT = 32928,
    ID_WINDOW_ENTRY_FIRST = 15000,
    ID_WINDOW_ENTRY_LAST = 15009,
    ID_WINDOWS_LIST = 16000,
    ID_ALERT_LOG_BUTTON = 160,
    ID_MANAGE_CLOUD = 17000,
    ID_OPEN_COMM = 32771,
    ID_CLOSE_COMM = 32772,
    ID_SETUP_WIZARD = 32773,
    ID_OSCILLOSCOPE = 32775,
    ID_DEMO = 32833,
    ID_DC_DEBUG = 32890,
    ID_GLOBAL_PARAM_TEST = 32900,
    ID_GENERAL_DEBUG = 32891,
    ID_ALERT_LOG = 32903,
    ID_DEBUG_MENU_MARK = 32904,
    ID_STATISTICS = 32904,
    ID_HELP_KORVANE = 32909,
    ID_HELP_SEARCH = 32910,
    ID_HELP_CONTENTS = 32911,
    ID_RESET_WARNINGS = 32918,
    ID_OPEN_CLOSE_TEST = 32921,
    ID_RUN_GUI_TESTS = 32922,
    ID_TEST_TRAJECTORY = 32923,
    ID_LAYOUT_SAVE = 32937,
    ID_LAYOUT_LOAD = 32938,
    ID_LAYOUT_TEST = 32941,
    ID_CLOSE_ALL_SETUP = 32942,
    ID_MDI_CASCADE = 32978,
    ID_MDI_TILE = 32979,
    ID_CORRAL_WINDOWS = 33028,
    ID_TEST_DATABASE = 33037,
    ID_MULTI_DROP_TEST = 33035,
    ID_ENCODER_DATABASE = 33039,
    ID_SCRIPT_PLAYER = 32998,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_INDEX = 57666,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};

class CMainFrame : public CMDIFrameWnd, public CDistMngrResponseReceiver, public CGuiFrameServices {
public:
    CMainFrame();
    ~CMainFrame() override;

    static constexpr UINT kResourceId = 250;
    static constexpr const char* kPlacementSuffix = "Korvane2";

    // Communications.
    int OpenCommunication(const CCommLinkSettings& settings);
    int OpenDemoCommunication();
    void CloseCommunication(int hideTutorial);
    int LoadDriveAssignments();
    int SaveDriveAssignments();
    int UpdateLinkDriveNames();
    bool IsCommOpen() const;
    // The settings of the link opened last, so a firmware run can open it again.
    const CCommLinkSettings& GetLastCommSettings() const { return m_lastCommSettings; }
    // Opens a firmware window (by class name) as a modal dialog.
    void OpenFirmwareWindow(const char* className);

    // The frame's look.
    void SetStatusText(const char* text);
    void UpdateTitle();
    void RemoveDebugMenu();
    void KeepOnScreen();
    void AddManageCloudDatabaseMenu();
    // The top-level menu with exactly this text, searched from the last; -1 when none.
    int FindTopMenu(const char* text) const;

    // "KVEdit<n>.txt" for the editor's next new file.
    void MakeNewEditorFileName(CString& name);
    // Drive status bits of parameter 13452 sub 14.
    int OnDriveStatusBits(const CAmpResponseToGui& response);
    void QueryDriveStatus();

    // Help.
    void WinHelp(DWORD contextId, UINT command = 1);
    void ShowHelpContents() { m_help.ShowContents(); }
    void ShowHelpIndex() { m_help.ShowIndex(); }
    void ShowHelpSearch() { m_help.ShowSearch(); }
    CHelpWnd& GetHelpWindow() { return m_help; }
    CHtmlTutorialDlg& GetTutorial() { return m_tutorial; }

    // CGuiFrameServices.
    CGuiUpdateList* GetUpdateList() override { return &m_openWindows; }
    CGuiUpdateDlgIdMap* GetDlgIdMap() override { return &m_registry; }
    CGuiUpdateItem* GetScopeWindow() override;
    void OnDriveStatusResponse(const CAmpResponseToGui& response) override { OnDriveStatusBits(response); }
    void ShowHelp(UINT helpId) override { WinHelp(helpId, 1); }
    // F1 in any dialog (the window layer's help request) reaches this.
    static void ShowHelpOfInstalledFrame(UINT helpId);
    int RestoreBackup(int drive, const CString& driveName, const CString& path, int helpId) override;
    bool HandleNavigationKey(UINT key) override;

    // CDistMngrResponseReceiver: the frame keeps no answers.
    CString GetReceiverName() const override { return "MainFrame"; }
    void OnResponse(const CAmpResponseToGui&) override {}

    // What the status bar, the drive windows and the tests see.
    CCommManager& GetCommManager() { return m_commManager; }
    CDistManager& GetDistManager() { return m_distManager; }
    CGlobalParameterTable& GetParameterTable() { return m_parameters; }
    CDriveAssignments& GetDriveAssignments() { return m_assignments; }
    CFaultManager& GetFaultManager() { return m_faults; }
    CFrameAlertHost& GetAlertHost() { return m_alertHost; }
    CKVStatusBar& GetStatusBar() { return m_statusBar; }
    CToolBar& GetToolBar() { return m_toolBar; }
    CWindowFactory& GetFactory() { return m_factory; }
    CQvxEditorFrameList& GetEditors() { return m_editors; }
    CButton& GetClearAlertButton() { return m_clearAlert; }
    CButton& GetAlertLogButton() { return m_alertLog; }
    void SetInterfaceChooserOpen(bool open);
    bool IsInterfaceChooserOpen() const { return m_chooserOpen != 0; }
    // The chooser while it is on screen, else null.
    CSelectCommInterfaceDlg* GetInterfaceChooser() { return m_chooser; }
    CMonitorDistributionCenterDlg* GetDistributionMonitor() { return m_monitor; }
    bool IsTimerGuardSet() const { return m_timerGuard != 0; }
    bool IsClosingWindows() const { return m_closingWindows != 0; }
    bool IsShuttingDown() const { return m_shuttingDown != 0; }
    // Each timer tick that did its work, by timer id (for tests of the guard).
    int GetTickCount(UINT timerId) const;
    // The port factory the communication manager opens through (tests put a pty's in).
    void SetPortFactory(CCommPortFactory* factory) { m_commManager.SetPortFactory(factory); }
    // Whether the backup engine runs a job.
    bool IsBackupBusy() const { return !const_cast<CAmpBackupTool&>(m_backup).IsIdle(); }
    CAmpBackupTool& GetBackupTool() { return m_backup; }
    CQvxScopeDlg* GetOscilloscope() const { return m_scope; }
    // Shows the oscilloscope with a settings file (empty: its default one).
    void OpenOscilloscope(const char* settingsFile);
    CFrameBackupHost& GetBackupHost() { return m_backupHost; }

    // Window messages.
    int OnCreate(LPCREATESTRUCT cs);
    void OnTimer(UINT_PTR id);
    void OnClose();
    void OnSize(UINT type, int cx, int cy);
    void OnSetFocus(CWnd*) {}
    BOOL OnCmdMsg(UINT id, int code) override;
    void UpdateCommandUI(CCmdUI& ui) override;
    void OnInitMenuPopup(CMenu* popup) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    CString GetRuntimeClassName() const override { return "CMainFrame"; }

protected:
    CWnd& MDIClientObject() override { return m_background; }
    void PostNcDestroy() override;

private:
    bool CreateBars();
    void CreateAlertButtons();
    void RunTimerTick(UINT_PTR id);
    void GuiUpdateTick();
    void StartLinkTimersAndEngine();
    void AddDriveTables(const CList<CAmplifierData>& drives, bool sendVersionQuery);
    void CloseAllDriveWindows(int reason);
    bool AskWindowsToClose();
    // Names of the connected drives known to be enabled, ", " between them.
    CString EnabledDriveNames();
    // With a drive enabled, closing the link would leave a turning motor without a
    // host: the user is asked first. false when they keep the link.
    bool AskToLeaveEnabledDrives();
    int DisplayFlags() const;

    // Command handlers.
    void OnOpenDemo() { OpenDemoCommunication(); }
    void OnOpenComm();
    void OnDistributionMonitor();
    void OnUpdateDistributionMonitor(CCmdUI* ui);
    void OnGlobalParamTest();
    void OnMultiDropTest();
    void OnLayoutSave();
    void OnUpdateLayoutSave(CCmdUI* ui) { ui->Enable(IsCommOpen() && !m_openWindows.IsEmpty()); }
    void OnLayoutLoad();
    void OnUpdateLayoutLoad(CCmdUI* ui) { ui->Enable(IsCommOpen()); }
    void OnLayoutTest();
    void LayoutTestTick();
    void OnCloseComm();
    void OnUpdateOpenOrDemo(CCmdUI* ui);
    void OnUpdateCloseComm(CCmdUI* ui);
    void OnStatistics();
    bool CanOpenOscilloscope() const;
    void OnOscilloscope();
    void HideOscilloscope();
    void OnUpdateStatistics(CCmdUI* ui);
    void OnClearAlert();
    void OnBackupDrive();
    void OnRestoreDrive();
    void OnDriveReport();
    void OnUpdateBackupCommand(CCmdUI* ui) { ui->Enable(IsCommOpen() && !IsBackupBusy()); }
    void OnAlertLog();
    void OnUpdateAlertLog(CCmdUI* ui) { ui->Enable(IsCommOpen()); }
    void LoadAlertSettings();
    void SaveAlertSettings();
    void OnHelpKorvane() { WinHelp(250, 1); }
    void OnHelpContents() { ShowHelpContents(); }
    void OnHelpIndex() { ShowHelpIndex(); }
    void OnHelpSearch() { ShowHelpSearch(); }
    void OnOpenCloseTest();
    void OnUpdateOpenCloseTest(CCmdUI* ui) { ui->SetCheck(m_randomTestRunning ? 1 : 0); }
    void RandomTestTick();
    bool OpenRandomTestWindow();
    void CloseRandomTestWindow();
    void OnRunGuiTests();
    void OnUpdateRunGuiTests(CCmdUI* ui);
    void OnCloseAllSetupWindows();
    void OnCorralWindows() { KeepOnScreen(); }
    void OnUpdateDriveWindowsOpen(CCmdUI* ui);
    void OnWindowEntry(UINT id);
    void OnUpdateWindowEntry(CCmdUI* ui) { ui->Enable(TRUE); }
    void OnCascade() { MDICascade(); }
    void OnTile() { MDITile(); }
    void OnManageCloudDatabase();
    void OnUpdateManageCloudDatabase(CCmdUI* ui);
    void OnTestDatabase();
    void OnUpdateTestDatabase(CCmdUI* ui);
    void OnEncoderDatabase();
    void OnScriptPlayer();
    void OnSetupWizard();
    void OnUpdateEncoderDatabase(CCmdUI* ui);
    void OnAppAbout();
    void OnResetWarnings();
    void OnTestTrajectoryPlanner();
    void OnAppExit() { PostMessage(WM_CLOSE); }
    void OnViewToolBar();
    void OnViewStatusBar();
    void OnUpdateViewToolBar(CCmdUI* ui);
    void OnUpdateViewStatusBar(CCmdUI* ui);
    LRESULT OnPostedMenuUpdate(WPARAM, LPARAM);
    LRESULT OnAlertWork(WPARAM, LPARAM);
    void ArmAlertTimer();

    CQvxBackgroundWnd m_background;
    CString m_firmwarePort;
    CString m_firmwareFile;  // the part number of the factory window's last use
    CCommLinkSettings m_lastCommSettings;
    CCommManager m_commManager;
    CLinkPortFactory m_portFactory{m_commManager};
    CCommManagerLink m_commLink{m_commManager};
    CDistManager m_distManager{&m_commLink};
    CFrameAlertHost m_alertHost{m_statusBar};  // binds to the bar only; the bar is built later
    CFaultManager m_faults;
    CDriveAssignments m_assignments;
    CFrameBackupHost m_backupHost{*this};
    CAmpBackupTool m_backup{&m_backupHost};
    CBackupComputations m_backupComputations;
    CGuiUpdateDlgIdMap m_registry;
    CGlobalParameterTable m_parameters;
    CGuiUpdateList m_openWindows;
    CKVStatusBar m_statusBar;
    CToolBar m_toolBar;
    CFont m_buttonFont;
    CButton m_clearAlert;
    CButton m_alertLog;
    CWindowFactory m_factory{m_openWindows, m_registry};
    CHelpWnd m_help;
    CHtmlTutorialDlg m_tutorial;
    CCommunicationsStatisticsDlg* m_statistics = nullptr;
    // One oscilloscope for the program's life, made when first shown.
    CQvxScopeDlg* m_scope = nullptr;
    CFrameScopeHost m_scopeHost{*this};
    CQvxEditorFrameList m_editors;
    std::vector<CQvxEditorFrame*> m_windowMenuEditors;  // the Window menu's editor entries, before the others
    CMonitorDistributionCenterDlg* m_monitor = nullptr;
    CSelectCommInterfaceDlg* m_chooser = nullptr;
    CFrameCommHost m_commHost{*this};
    std::vector<CString> m_layoutFiles;  // the layout test's files; empty between searches
    size_t m_nextLayout = 0;
    std::vector<CGuiUpdateItem*> m_windowMenuItems;  // the Window menu's open-window entries
    std::vector<CGuiUpdateItem*> m_testWindows;      // opened by the random open/close test
    int m_timerGuard = 0;
    bool m_alertTimerOn = false;
    int m_closingWindows = 0;
    int m_chooserOpen = 0;
    int m_guiTestRunning = 0;
    int m_randomTestRunning = 0;
    int m_shuttingDown = 0;
    int m_newEditorNumber = 1;
    int m_ticks[9] = {};

    DECLARE_MESSAGE_MAP()
};

namespace kvtest {
// The next main frame fails to build its status bar (as when the system refuses it).
void FailNextFrameBars();
}  // namespace kvtest

// CKorvaneApp: the program's application object. It starts the program
// (the main frame, menus, splash, the table files and the cloud test), owns
// what outlives every window (the connected-drive list, the communication
// status, the drive-change flags, the menus) and serves the link layer as
// its CCommAppServices.
#pragma once

#include <memory>
#include <vector>

#include "AppDatabase.h"
#include "comm/link/CommAppServices.h"
#include "database/windows/DatabaseAppServices.h"
#include "foundation/HPTimer.h"
#include "framework/GuiAppServices.h"
#include "platform/core/Mutex.h"
#include "platform/ui/Accelerators.h"
#include "platform/ui/MenuResource.h"
#include "platform/ui/WinApp.h"

class CDebugWatchWindowDlg;
class CMainFrame;

// Two lower-case hexadecimal digits a byte, no separators.
int FormatHexBytes(int count, CString& text, const BYTE* bytes);
// The warning message box with its "don't show again" memory (user settings, "WARN MSGS").
int ShowWarningMessage(const char* key, BOOL question, const char* message, int suppressedAnswer);

// What start-up may be told (tests and benchmarks shorten the waits).
struct StartupOptions {
    int splashWaitMs = 3000;       // start-up keeps the splash up at least this long
    int pingSeconds = 3;           // one ping of the cloud host ends after this
    int networkDeadlineMs = 6000;  // the whole network test ends after this
    bool showSplash = true;
};

class CKorvaneApp : public CWinApp, public CCommAppServices, public CGuiAppServices, public CDatabaseAppServices {
public:
    CKorvaneApp();
    ~CKorvaneApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    int Run() override;

    // Factory display flags and version gates ("kvfact.ini").
    // CGuiAppServices.
    int GetModelDisplayFlags() const override;
    double GetFunctionUnlockVersion(const char* function) const override;
    CString GetProgramFolder() const override;
    int ShowWarningMessage(const char* key, BOOL question, const char* message, int suppressedAnswer) override;
    CQvxDatabaseRecordset* FindRecordset(const char* name) const override;

    // CDatabaseAppServices.
    CQvxDatabase* GetTableDatabase() override { return m_database ? &m_database->GetTables() : nullptr; }
    CQvxCloudDatabaseInterface* GetCloudInterface() override
    {
        return m_database ? &m_database->GetCloud() : nullptr;
    }

    // CCommAppServices.
    void RaiseAlert(const char* key, const char* message, int level, int flags, int driveAddress) override;
    void ClearAllAlerts() override;
    void SetCommStatus(int status) override;
    int GetCommStatus() const;
    void SetDriveReconnected() override;
    void SetDriveTypeChanged() override;
    int TakeDriveRedetectedFlag();
    int TakeDriveTypeChangedFlag();
    void PostUpdateMainMenu() override;
    int GetDriveFamily(int address, DWORD* dataWord = nullptr) override;
    void ClearConnectedDrives() override;
    void AddConnectedDrive(const CAmplifierData& drive) override;
    void GetConnectedDrives(CList<CAmplifierData>& drives) override;
    // A connected drive's new name from the user's drive assignments.
    void RenameConnectedDrive(int address, const CString& name);
    // Sets bits of a connected drive's data word (the drive status bits).
    bool UpdateDriveDataWord(int address, DWORD clear, DWORD set);
    void GetDriveAssignments(CList<CDriveAssignment>& assignments) override;
    void BuildScopeDriveList(CList<CDriveAssignment>& drives) override;
    CString GetUserSettingsIniPath() override;
    double GetGlobalSeconds() override;
    // The debug watch window's writers (any thread).
    void AddDebugMessage(const char* text) override;
    void SetWatchValue(const char* name, double value) override;
    void StartWatchTimer(const char* name) override;
    void ReadWatchTimer(const char* name) override;
    void LapWatchTimer(const char* name) override;
    CDebugWatchWindowDlg& GetDebugWatch() { return *m_debugWatch; }

    // Installs the menu that fits the connected drive families.
    void UpdateMainMenu();
    UINT GetCurrentMenuId() const { return m_currentMenuId; }
    // "WIZ:" lines go to the setup wizard, the rest to the window command interpreter.
    int ExecuteCommandLine(const CString& line, CString& reply);

    int IsCloudReachable() const { return m_cloudReachable; }
    CAppDatabase& GetDatabase() { return *m_database; }
    // The database work puts its own object here.
    void SetDatabase(std::unique_ptr<CAppDatabase> database) { m_database = std::move(database); }
    CMainFrame* GetMainFrame() const { return m_pMainFrame; }
    StartupOptions& GetStartupOptions() { return m_options; }
    // Seconds from the start of InitInstance to the shown main window.
    double GetSecondsToMainWindow() const { return m_secondsToMainWindow; }
    // The main frame is gone: the message loop ends.
    void OnMainFrameDestroyed();

    // Application commands.
    void OnAppAbout();
    void OnResetWarnings();
    void OnTestTrajectoryPlanner();

    static CKorvaneApp* Get();
    // The program's one global stopwatch starts again from zero.
    void RestartGlobalStopwatch() { m_stopwatch.Restart(); }

private:
    bool PrepareFolders();
    void OpenDebugWatchLog();
    bool LoadMenus();
    bool CreateMainFrame();
    void ShowMainFrame();
    void RunNetworkSteps();
    void SyncDatabaseFromCloud(bool networkAlive, bool hostAnswered);
    void WaitForSplash(CHPTimer& local);
    CMenu* MenuForDrives(UINT& id);
    void RemoveDebugMenu(CMenu* menu, UINT id);
    void ReportStartupMessage(const CString& text);

    mutable CMutex m_listLock;
    std::vector<CAmplifierData> m_connected;
    CHPTimer m_stopwatch;
    std::unique_ptr<CAppDatabase> m_database;
    std::unique_ptr<CDebugWatchWindowDlg> m_debugWatch;
    CMutex m_flagLock;
    mutable CMutex m_statusLock;
    CMainFrame* m_pMainFrame = nullptr;
    CMenuResource m_menuNone;
    CMenuResource m_menuKreln;
    CMenuResource m_menuTavro;
    CMenuResource m_menuBoth;
    UINT m_currentMenuId = 0;
    CAcceleratorTable m_accelerators;
    int m_redetected = 0;
    int m_typeChanged = 0;
    int m_cloudReachable = 0;
    int m_commStatus = 0;
    StartupOptions m_options;
    double m_secondsToMainWindow = 0.0;
    bool m_running = false;
    bool m_timerRaised = false;
};

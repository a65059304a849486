// CAmpBackupListEngine: a drive-settings list's private backup engine. It
// runs the list's definition text as a template of its own CAmpBackupTool,
// hands the "!EXTPROC:" lines to the list and expands the rows' texts.
//
// The engine runs one template at a time, while a list rebuilds whenever its
// drive or its definition changes: a run asked for while another is active
// waits for that one to end, and the lines still coming from the old run are
// dropped, so the rows are only ever the newest run's. A run's end is
// serviced whenever the list asks whether the engine is idle, since nothing
// else steps a list's engine.
//
// The engine is its own host: it never opens the progress window, marks the
// program busy or stops the oscilloscope for a list. Boxes, the error log and
// the conversion-parameter tables go to the program's backup host when one
// is given.
#pragma once

#include <atomic>

#include "backup/AmpBackupTool.h"
#include "backup/AmpBackupToolHost.h"
#include "framework/QvxGuiUpdateListEngine.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Mutex.h"

class CAmpBackupListEngine : public CQvxGuiUpdateListEngine,
                             private CAmpBackupToolHost,
                             private CAmpBackupToolExtProcessorCB {
public:
    explicit CAmpBackupListEngine(CAmpBackupToolHost* outer = nullptr);
    ~CAmpBackupListEngine() override;
    CAmpBackupListEngine(const CAmpBackupListEngine&) = delete;
    CAmpBackupListEngine& operator=(const CAmpBackupListEngine&) = delete;

    // Setting the processor starts over: lines of a run begun before go nowhere.
    void SetExtProcessor(CAmpBackupToolExtProcessorCB* processor) override;
    int RunTemplate(int drive, const char* templateText) override;
    int ExpandText(const char* text, CString& out, int digits, int isSigned) override;
    void SetMacro(const char* name, const char* value) override { m_tool.SetMacro(name, value); }
    void SetUserMacro(const char* name, const char* value) override { m_tool.SetUserMacro(name, value); }
    void UpdateStatus() override { Service(); }
    int IsIdle() override;

    // The errors of the last run and of the expansions since.
    CString GetErrorLog() const { return m_tool.GetErrorLog(); }
    // The file the definition text is run from.
    const CString& GetTemplatePath() const { return m_templatePath; }

    // Every list made from now on gets an engine over the host; null removes the factory.
    static void InstallFactory(CAmpBackupToolHost* outer);
    static void RemoveFactory();

private:
    void Service();
    int StartPendingRun();
    bool IsCurrentRun() const { return m_runGeneration == m_generation; }
    CAmpBackupToolExtProcessorCB* List() const { return m_list.load(); }

    // CAmpBackupToolHost
    int ShowBackupDialog(int, int, BackupDialogChoice&) override { return IDCANCEL; }
    int ShowReportDialog(int, BackupDialogChoice&) override { return IDCANCEL; }
    int ShowEditorTransferDialog(int, BackupDialogChoice&) override { return IDCANCEL; }
    void OpenProgress(const char*, const char*) override {}
    void SetProgress(double) override {}
    int IsProgressCancelled() override { return 0; }
    void CloseProgress() override {}
    int MessageBox(const char* text, unsigned type, int helpId) override;
    void ShowLog(const char* title, const char* text) override;
    void SetStatusText(const char*) override {}
    void SetOperationRunning(int) override {}
    void OpenInNotepad(const char*) override {}
    void RestartWindowQueries() override {}
    int IsScopeVisible() override { return 0; }
    void StopScope() override {}
    void RestartScopeMonitoring() override {}
    CGlobalParameterTable* GetParameterTable() override;
    void RestartStopwatch() override {}
    CString GetProgramFolder() override;

    // CAmpBackupToolExtProcessorCB: the list's side, for the current run only.
    int ProcessExtLine(const char* text) override;
    void OnOperationComplete(int success, const char* text) override;
    void OnProgress(double percent) override;
    void OnStatusText(const char* text) override;
    void OnErrorLine(const char* text) override;
    int SendCommand(const CAmpQryCmdFromGui& query, CAmpResponseToGui& response) override;
    int GetNamedValue(const char* name, double& value) override;

    CAmpBackupToolHost* m_outer;
    CAmpBackupTool m_tool;
    // Guards the run generations against the lines the worker hands over.
    CMutex m_lock;
    std::atomic<CAmpBackupToolExtProcessorCB*> m_list{nullptr};
    std::atomic<unsigned> m_generation{0};     // the newest run asked for
    std::atomic<unsigned> m_runGeneration{0};  // the run the engine has (or last had)
    bool m_pending = false;
    int m_lastStart = 0;
    int m_pendingDrive = -1;
    CString m_pendingText;
    int m_inService = 0;
    CString m_folder;
    CString m_templatePath;
};

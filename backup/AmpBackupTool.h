// CAmpBackupTool: moves a drive's configuration between the drive and text
// files. One operation at a time runs on the engine's worker thread, one
// template line a cycle: a backup (mode 0) or report (mode 2) interprets a
// template against the drive, a restore (mode 1) replays a backup's lines as
// drive commands. The main frame owns one and steps it with UpdateStatus.
#pragma once

#include "backup/AmpBackupToolExtProcessorCB.h"
#include "backup/BackupOutputFile.h"
#include "backup/FileQueue.h"
#include "comm/demo/DemoDriveLoader.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "foundation/DThread.h"
#include "platform/core/Map.h"
#include "platform/core/Mutex.h"
#include "pragmix/Pragmix.h"

class CAmpBackupEditor;
class CAmpBackupToolComputations;
class CAmpBackupToolHost;
class CGlobalParameterTable;

class CAmpBackupTool : public CDistMngrResponseReceiver,
                       public CDThread,
                       public CExSolverCallBack,
                       public CDemoBackupRestorer {
public:
    enum Mode { kBackup = 0, kRestore = 1, kReport = 2 };
    enum Status { kIdleStatus = 0, kBackupRunning = 1, kRestoreRunning = 2, kReportRunning = 3, kFinished = 4,
                  kCancelRequested = 5 };
    enum IoListState { kIoIdle = 0, kIoInputsWanted = 1, kIoOutputsWanted = 2, kIoReceived = 3, kIoFailed = 4 };
    enum LineCode { kWriteOutput = 0, kWriteNothing = 1, kLineFailed = 2 };
    static constexpr int kMaxLine = 999;
    static constexpr DWORD kWaitLimitMs = 5000;  // for a conversion parameter or the I/O lists

    explicit CAmpBackupTool(CAmpBackupToolHost* host = nullptr);
    ~CAmpBackupTool() override;

    void SetHost(CAmpBackupToolHost* host) { m_host = host; }
    void SetComputations(CAmpBackupToolComputations* computations) { m_computations = computations; }
    void SetExtProcessor(CAmpBackupToolExtProcessorCB* processor) { m_extProcessor = processor; }
    CString GetReceiverName() const override { return "Drive Backup Tool"; }

    // Entry points (GUI thread); non-zero when the run was started.
    int BackupDrive();
    int RestoreDrive();
    int CreateDriveReport();
    int DownloadToEditor(CAmpBackupEditor* editor);
    int UploadFromEditor(CAmpBackupEditor* editor);
    int ReportToEditor(CAmpBackupEditor* editor);
    int BackupToFile(int drive, const char* outputPath, int quiet, const char* successMessage);
    int RestoreFromFile(int drive, const char* driveName, const char* path, int quiet,
                        const char* successMessage) override;
    void SetTemplateFile(const char* path);
    int RunTemplate(int drive, const char* templatePath);
    int ExpandText(const char* text, CString& out, int digits, int isSigned);
    void SetMacro(const char* name, const char* value);
    void SetUserMacro(const char* name, const char* value);
    CString GetTemplateFolder(int kind);
    // The periodic service from the main frame's timer (GUI thread).
    void UpdateStatus();

    void SetMessageHelpId(int helpId) override { m_helpId = helpId; }
    // No run active and none waiting for its end to be reported: a new one may start.
    bool IsIdle() { return !IsBusy(); }
    int GetOperationStatus() override;
    double GetProgressPercent();
    CString GetStatusText();
    CString GetCompletionText();
    CString GetErrorLog() const { return m_errorLog; }
    CString GetLastError() const { return m_lastError; }
    CString GetEditorExchangeFile();

    int ReadIntoEditor(CAmpBackupEditor* editor, int report);
    int StartOperation(int report, int drive, const char* outputPath, const char* templatesFolder, int quiet);
    int StartRestore(int drive, const char* path, const char* successMessage);

    // The template language; public for the drive-settings list and for tests.
    int InterpretLine(const CString& line, CString& out);
    int ExpandFields(const CString& text, CString& out);
    int PreprocessLine(CString& line);
    int EvaluateIfCondition(const CString& text, int& result);
    int SolveExternalFunctionValue(const CString& name, double& value);
    int SolveExternalFunctionArgs(const CString& name, const CString& argument, double& value);
    int SendDriveCommand(CAmpResponseToGui* out, const CString& text);
    void ReportError(const CString& text, int fatal);

    // Flags callers set directly.
    int m_silent = 0;
    // Tests and benchmarks leave out the pauses that let the link and the scope settle.
    void SetPauses(int on) { m_pauses = on; }
    int m_openWhenDone = 1;
    int m_clearEditor = 1;

protected:
    void OnStart() override;
    void OnEnd(int reason) override;
    int Step() override;

    int SolveExternalFunction(CString name, CString argument, double& value) override;
    int SolveExternalFunction(CString name, double& value) override;

private:
    bool IsBusy();
    void ResetRunState(int mode, int drive);
    void PrepareRun();
    void DefineRunMacros();
    int BeginThread(DWORD pauseMs);
    void SetStatus(int status);
    void SetProgress(DWORD done, DWORD total);

    // Worker side.
    bool ReadDriveIdentity();
    bool OpenTemplateRun();
    bool OpenRestoreRun();
    int StepTemplate();
    int StepRestore();
    void WriteOutputLine(int code, const CString& text);
    bool IsEditorFile(const CString& path);
    bool WaitForParameter(CGlobalParameterTable& table, int id, const CString& name, double& value);
    bool EnsureDriveIdentity();
    bool SendAndWait(CAmpQryCmdFromGui& query, CAmpResponseToGui& response);
    int OpenInclude(const CString& name, CString& out);
    int InterpretDirective(const CString& text, CString& out);
    bool WaitForIoList(int state, const char* what);
    bool IsCancelRequested();

    // Directives.
    int DirectiveIf(const CString& rest, CString& out);
    int DirectiveExtProc(const CString& rest, CString& out);
    void DirectiveSolveFilter(const CString& rest);
    void DirectiveCalcCurrentLoopBw(const CString& rest);
    void DirectiveBuildTavroIoList();
    bool ExpandArguments(const CString& rest, CString& out);
    int FormatValue(double value, CString& text) const;

    // GUI side.
    void ServiceIoList();
    void FinishRun();
    void FinishOutputFile(bool keepTarget);
    void ServeEditor(bool deleteExchange);
    void ReportProgress(int status);
    int ShowBox(const CString& text, unsigned type);

    CMutex m_statusLock;
    int m_drive = 0;
    int m_mode = kBackup;
    int m_quiet = 0;
    int m_skip = 0;
    int m_cancel = 0;
    int m_fatal = 0;
    int m_errors = 0;
    LONG m_firmwareVersion = 0;
    LONG m_partNumber = 0;
    LONG m_configuration = 0;
    int m_status = kIdleStatus;
    int m_lastShownStatus = kIdleStatus;
    int m_digits = 0;
    int m_signed = 1;
    unsigned m_restoreLine = 0;
    DWORD m_progressTotal = 0;
    DWORD m_progressDone = 0;
    CFileQueue m_templates;
    CAmpBackupEditor* m_editor = nullptr;
    CString m_outputPath;
    CString m_templatesFolder;
    CString m_templatePath;
    CString m_explicitTemplatePath;
    CString m_errorLog;
    CString m_lastError;
    CString m_driveName;
    CString m_successMessage;
    int m_explicitTemplate = 0;
    CBackupOutputFile m_output;
    FILE* m_restoreFile = nullptr;
    int m_synchronous = 1;
    int m_synchronousHeld = 0;
    CMacroDefs m_macros;
    CMap<CString, const char*, double, double> m_variables;
    CMapStringToString m_userMacros;
    CMutex m_ioListLock;
    int m_ioListState = kIoIdle;
    CAmpBackupToolExtProcessorCB* m_extProcessor = nullptr;
    int m_expanding = 0;

    CAmpBackupToolHost* m_host = nullptr;
    CAmpBackupToolComputations* m_computations = nullptr;
    int m_helpId = 0;
    bool m_outputFailed = false;  // the output file could not be opened
    int m_identityRead = 0;
    int m_pauses = 1;
};

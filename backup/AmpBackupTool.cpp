#include "backup/AmpBackupTool.h"

#include <cstdlib>
#include <ctime>

#include "backup/AmpBackupEditor.h"
#include "backup/AmpBackupToolComputations.h"
#include "backup/AmpBackupToolHost.h"
#include "comm/protocol/AmpErrors.h"
#include "distribution/AmpCommandText.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "foundation/FileHelpers.h"
#include "foundation/SystemHelpers.h"
#include "platform/core/Clock.h"
#include "platform/core/MessageBox.h"
#include "platform/core/SingleLock.h"
#include "platform/core/SpecialFolders.h"

namespace {

constexpr const char* kEditorExchangeName = "$$ULDLTEMP.txt";

CString LocalTimeText(const char* format)
{
    char text[128] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(text, sizeof(text), format, &local);
    return text;
}

CString WithSlash(CString folder)
{
    folder.Replace('\\', '/');
    if (!folder.IsEmpty() && folder.Right(1) != "/")
        folder += "/";
    return folder;
}

}  // namespace

CAmpBackupTool::CAmpBackupTool(CAmpBackupToolHost* host) : m_host(host) {}

CAmpBackupTool::~CAmpBackupTool()
{
    StopThread(1);
    CancelAllQueries();
    if (m_restoreFile)
        fclose(m_restoreFile);
}

// ---- starting a run ----------------------------------------------------------

bool CAmpBackupTool::IsBusy()
{
    if (GetState() != kIdle)
        return true;
    CSingleLock lock(&m_statusLock, TRUE);
    return m_status != kIdleStatus;
}

int CAmpBackupTool::GetOperationStatus()
{
    CSingleLock lock(&m_statusLock, TRUE);
    return m_status;
}

void CAmpBackupTool::SetStatus(int status)
{
    CSingleLock lock(&m_statusLock, TRUE);
    m_status = status;
}

void CAmpBackupTool::SetProgress(DWORD done, DWORD total)
{
    CSingleLock lock(&m_statusLock, TRUE);
    m_progressDone = done;
    m_progressTotal = total;
}

double CAmpBackupTool::GetProgressPercent()
{
    CSingleLock lock(&m_statusLock, TRUE);
    return m_progressTotal == 0 ? 0.0 : static_cast<double>(m_progressDone) / m_progressTotal * 100.0;
}

void CAmpBackupTool::ResetRunState(int mode, int drive)
{
    m_cancel = 0;
    m_drive = drive;
    m_mode = mode;
    m_skip = 0;
    m_fatal = 0;
    m_errors = 0;
    m_signed = 1;
    m_digits = 0;  // a restore starts clean too: nothing of the last run carries over
    m_restoreLine = 0;
    m_synchronous = 1;
    m_errorLog.Empty();
    m_lastError.Empty();
    m_firmwareVersion = m_partNumber = m_configuration = 0;
    m_identityRead = 0;
    m_outputFailed = false;
    m_output.Discard();
    SetProgress(0, 0);
    CSingleLock lock(&m_ioListLock, TRUE);
    m_ioListState = kIoIdle;
}

void CAmpBackupTool::DefineRunMacros()
{
    m_macros.AddMacro("DATETIME", LocalTimeText("%c"));
    POSITION pos = m_userMacros.GetStartPosition();
    while (pos) {
        CString name, value;
        m_userMacros.GetNextAssoc(pos, name, value);
        m_macros.RemoveMacro(name);
        m_macros.AddMacro(name, value);
    }
}

void CAmpBackupTool::PrepareRun()
{
    if (!m_silent && m_host)
        m_host->SetOperationRunning(1);
    if (m_host && m_host->IsScopeVisible())
        m_host->StopScope();
}

int CAmpBackupTool::BeginThread(DWORD pauseMs)
{
    if (m_pauses)
        Sleep(pauseMs);
    if (GetState() == kIdle && StartThread(-2, 0))
        return 1;
    if (!m_silent && m_host)
        m_host->SetOperationRunning(0);
    return 0;
}

int CAmpBackupTool::StartOperation(int report, int drive, const char* outputPath, const char* templatesFolder,
                                   int quiet)
{
    if (IsBusy())
        return 0;
    ResetRunState(report ? kReport : kBackup, drive);
    m_templatesFolder = templatesFolder ? templatesFolder : "";
    m_outputPath = outputPath ? outputPath : "";
    m_quiet = quiet;
    m_macros.Init();
    m_macros.ResetDatabase();
    m_macros.SetCommentToken(';');
    m_variables.RemoveAll();
    DefineRunMacros();
    PrepareRun();
    return BeginThread(200);
}

int CAmpBackupTool::StartRestore(int drive, const char* path, const char* successMessage)
{
    if (IsBusy())
        return 0;
    ResetRunState(kRestore, drive);
    m_outputPath = path ? path : "";
    m_successMessage = successMessage ? successMessage : "";
    m_macros.Init();
    m_macros.ResetDatabase();
    m_macros.SetCommentToken(';');
    PrepareRun();
    return BeginThread(1000);
}

// ---- entry points ------------------------------------------------------------

CString CAmpBackupTool::GetTemplateFolder(int kind)
{
    if (kind != 1 && kind != 2)
        return "<ERROR>";
    const CString program = m_host ? m_host->GetProgramFolder() : WithSlash(AfxGetModuleFolder());
    return WithSlash(program) + (kind == 1 ? "Backup Templates" : "Report Templates");
}

CString CAmpBackupTool::GetEditorExchangeFile()
{
    CString documents;
    GetDocumentsFolder(documents);
    const CString folder = WithSlash(documents) + "Korvane";
    AfxCreateFolders(folder);
    return folder + "/" + kEditorExchangeName;
}

bool CAmpBackupTool::IsEditorFile(const CString& path)
{
    return GetFileNameFromPath(path, TRUE) == kEditorExchangeName;
}

int CAmpBackupTool::BackupDrive()
{
    if (IsBusy() || !m_host)
        return 0;
    m_openWhenDone = 0;
    BackupDialogChoice choice;
    if (m_host->ShowBackupDialog(0, -1761, choice) != IDOK)
        return 0;
    m_driveName = choice.driveName;
    m_editor = nullptr;
    m_successMessage.Empty();
    return StartOperation(0, choice.drive, choice.path, GetTemplateFolder(1), 0);
}

int CAmpBackupTool::RestoreDrive()
{
    if (IsBusy() || !m_host)
        return 0;
    m_openWhenDone = 0;
    BackupDialogChoice choice;
    if (m_host->ShowBackupDialog(1, -1762, choice) != IDOK)
        return 0;
    m_driveName = choice.driveName;
    m_editor = nullptr;
    m_quiet = 0;
    return StartRestore(choice.drive, choice.path, "");
}

int CAmpBackupTool::CreateDriveReport()
{
    if (IsBusy() || !m_host)
        return 0;
    BackupDialogChoice choice;
    choice.flag = m_openWhenDone;
    if (m_host->ShowReportDialog(m_helpId, choice) != IDOK)
        return 0;
    m_openWhenDone = choice.flag;
    m_driveName = choice.driveName;
    m_editor = nullptr;
    m_successMessage.Empty();
    return StartOperation(1, choice.drive, choice.path, GetTemplateFolder(2), 0);
}

int CAmpBackupTool::DownloadToEditor(CAmpBackupEditor* editor) { return ReadIntoEditor(editor, 0); }

int CAmpBackupTool::ReportToEditor(CAmpBackupEditor* editor) { return ReadIntoEditor(editor, 1); }

// A backup (report 0) or a report (1) of the chosen drive, written to the exchange file the editor loads.
int CAmpBackupTool::ReadIntoEditor(CAmpBackupEditor* editor, int report)
{
    if (IsBusy() || !m_host || !editor)
        return 0;
    m_openWhenDone = 0;
    BackupDialogChoice choice;
    if (m_host->ShowEditorTransferDialog(report ? 2 : 0, choice) != IDOK)
        return 0;
    m_clearEditor = choice.flag;
    m_driveName = choice.driveName;
    m_successMessage.Empty();
    m_editor = editor;
    m_editor->SetTransferBusy(1);
    if (StartOperation(report, choice.drive, GetEditorExchangeFile(), GetTemplateFolder(report + 1), 0))
        return 1;
    m_editor->SetTransferBusy(0);
    m_editor = nullptr;
    return 0;
}

int CAmpBackupTool::UploadFromEditor(CAmpBackupEditor* editor)
{
    if (IsBusy() || !m_host || !editor)
        return 0;
    m_openWhenDone = 0;
    BackupDialogChoice choice;
    if (m_host->ShowEditorTransferDialog(1, choice) != IDOK)
        return 0;
    m_clearEditor = choice.flag;
    m_driveName = choice.driveName;
    m_editor = editor;
    m_editor->SetTransferBusy(1);
    const CString exchange = GetEditorExchangeFile();
    if (m_editor->SaveTextFile(exchange)) {
        m_host->RestartStopwatch();
        m_quiet = 0;
        if (StartRestore(choice.drive, exchange, ""))
            return 1;
    }
    m_editor->SetTransferBusy(0);
    m_editor = nullptr;
    return 0;
}

int CAmpBackupTool::BackupToFile(int drive, const char* outputPath, int quiet, const char* successMessage)
{
    if (IsBusy())
        return 0;
    m_editor = nullptr;
    m_successMessage = successMessage ? successMessage : "";
    return StartOperation(0, drive, outputPath, "", quiet);
}

int CAmpBackupTool::RestoreFromFile(int drive, const char* driveName, const char* path, int quiet,
                                    const char* successMessage)
{
    if (IsBusy())
        return 0;
    m_driveName = driveName ? driveName : "";
    m_editor = nullptr;
    m_quiet = quiet;
    return StartRestore(drive, path, successMessage);
}

void CAmpBackupTool::SetTemplateFile(const char* path)
{
    m_explicitTemplatePath = path ? path : "";
    m_explicitTemplate = 1;
}

int CAmpBackupTool::RunTemplate(int drive, const char* templatePath)
{
    if (IsBusy())
        return 0;
    SetTemplateFile(templatePath);
    m_editor = nullptr;
    m_successMessage.Empty();
    return StartOperation(1, drive, "", "", 1);
}

void CAmpBackupTool::SetMacro(const char* name, const char* value)
{
    // The preprocessor belongs to the run while one is active.
    if (IsBusy())
        return;
    m_macros.RemoveMacro(name);
    m_macros.AddMacro(name, value);
}

void CAmpBackupTool::SetUserMacro(const char* name, const char* value)
{
    m_userMacros.SetAt(name, value);
}

int CAmpBackupTool::ExpandText(const char* text, CString& out, int digits, int isSigned)
{
    // A run owns the preprocessor and the flags on its own thread.
    if (IsBusy())
        return 0;
    m_expanding = 1;
    const int savedDigits = m_digits;
    const int savedSigned = m_signed;
    // A failed expansion tells its caller (last error, the processor's error line)
    // but stays out of the run's log: a window asks many times a second.
    const CString savedLog = m_errorLog;
    const int savedErrors = m_errors;
    m_digits = digits;
    m_signed = isSigned;
    CString line = text ? text : "";
    int result = 0;
    if (PreprocessLine(line) == 1)
        result = ExpandFields(line, out);
    m_digits = savedDigits;
    m_signed = savedSigned;
    m_errorLog = savedLog;
    m_errors = savedErrors;
    m_expanding = 0;
    return result;
}

// ---- the worker thread -------------------------------------------------------

void CAmpBackupTool::OnStart()
{
    m_synchronousHeld = 0;
    if (m_synchronous) {
        BeginSynchronousDriveAccess();
        m_synchronousHeld = 1;
        if (m_pauses)
            Sleep(200);
    }
    if (m_mode == kRestore) {
        if (OpenRestoreRun())
            SetStatus(kRestoreRunning);
        return;
    }
    if (!ReadDriveIdentity()) {
        ReportError("Communications fault", 1);
        return;
    }
    if (OpenTemplateRun())
        SetStatus(m_mode == kReport ? kReportRunning : kBackupRunning);
}

bool CAmpBackupTool::ReadDriveIdentity()
{
    CAmpResponseToGui version, configuration, partNumber, model;
    if (!SendDriveCommand(&version, "VER") || !SendDriveCommand(&configuration, "CS") ||
        !SendDriveCommand(&partNumber, "FPN") || !SendDriveCommand(&model, "MDI 0 MDL"))
        return false;
    m_firmwareVersion = version.GetValue();
    m_configuration = configuration.GetValue();
    m_partNumber = static_cast<LONG>(static_cast<DWORD>(partNumber.GetValue()) +
                                     10000u * static_cast<DWORD>(model.GetValue()));
    m_identityRead = 1;
    return true;
}

bool CAmpBackupTool::OpenTemplateRun()
{
    const bool report = m_mode == kReport;
    if (m_explicitTemplate) {
        m_templatePath = m_explicitTemplatePath;
        m_explicitTemplate = 0;
    } else {
        m_templatePath.Format("%s/%s%d.dat", WithSlash(m_templatesFolder).TrimRight('/').GetString(),
                              report ? "RPT_" : "CDBU_", static_cast<int>(m_configuration));
    }
    const int size = GetFileSizeByName(m_templatePath);
    SetProgress(0, size > 0 ? static_cast<DWORD>(size) : 0);
    if (!m_templates.Push(m_templatePath)) {
        CString text;
        text.Format(report ? "Cannot find report template file \"%s\"" : "Cannot open backup template file \"%s\"",
                    GetFileNameFromPath(m_templatePath, TRUE).GetString());
        ReportError(text, 1);
        return false;
    }
    if (!m_outputPath.IsEmpty()) {
        if (!m_output.Open(m_outputPath)) {
            m_outputFailed = true;
            CString text;
            text.Format(report ? "Cannot open report file \"%s\"" : "Cannot open backup file \"%s\"",
                        m_outputPath.GetString());
            ReportError(text, 1);
            return false;
        }
        m_errorLog.Format(report ? "Error log for report template file \"%s\":\r\n\r\n"
                                 : "Error log for backup template file \"%s\":\r\n\r\n",
                          GetFileNameFromPath(m_templatePath, TRUE).GetString());
        if (!report) {
            CString title = "; Korvane Backup File";
            title.MakeUpper();
            CString header;
            header.Format("%s - %s", title.GetString(), LocalTimeText("%c").GetString());
            if (!m_output.WriteLine(header))
                ReportError("File write", 0);
        }
    }
    return true;
}

bool CAmpBackupTool::OpenRestoreRun()
{
    const int size = GetFileSizeByName(m_outputPath);
    SetProgress(0, size > 0 ? static_cast<DWORD>(size) : 0);
    m_restoreFile = fopen(m_outputPath, "rb");
    if (!m_restoreFile) {
        CString text;
        text.Format("Cannot open backup file \"%s\"", m_outputPath.GetString());
        ReportError(text, 1);
        return false;
    }
    if (IsEditorFile(m_outputPath))
        m_errorLog = "Error log for uploading editor to drive:\r\n\r\n";
    else
        m_errorLog.Format("Error log for restoring file \"%s\":\r\n\r\n",
                          GetFileNameFromPath(m_outputPath, TRUE).GetString());
    return true;
}

int CAmpBackupTool::Step()
{
    if (m_fatal)
        return 3;
    if (GetOperationStatus() == kCancelRequested)
        return 1;
    return m_mode == kRestore ? StepRestore() : StepTemplate();
}

int CAmpBackupTool::StepTemplate()
{
    for (;;) {
        CFileQueueItem* head = m_templates.Head();
        if (!head) {
            CSingleLock lock(&m_statusLock, TRUE);
            m_progressDone = m_progressTotal;
            return 1;
        }
        CString line;
        TemplateLineFault fault = TemplateLineFault::kNone;
        if (!ReadTemplateLine(head->m_file, line, fault, kMaxLine)) {
            m_templates.Pop();
            continue;
        }
        ++head->m_line;
        CString out;
        int code;
        if (fault != TemplateLineFault::kNone) {
            ReportError(TemplateLineFaultText(fault), 0);
            out = m_lastError;
            code = kLineFailed;
        } else {
            code = InterpretLine(line, out);
        }
        WriteOutputLine(code, out);
        if (m_templates.GetCount() == 1) {
            const long position = ftell(m_templates.Head()->m_file);
            CSingleLock lock(&m_statusLock, TRUE);
            m_progressDone = position > 0 ? static_cast<DWORD>(position) : 0;
        }
        return 0;
    }
}

int CAmpBackupTool::StepRestore()
{
    CString line;
    TemplateLineFault fault = TemplateLineFault::kNone;
    if (!m_restoreFile || !ReadTemplateLine(m_restoreFile, line, fault, kMaxLine))
        return 1;
    ++m_restoreLine;
    CString out;
    if (fault != TemplateLineFault::kNone)
        ReportError(TemplateLineFaultText(fault), 0);
    else
        InterpretLine(line, out);
    const long position = ftell(m_restoreFile);
    CSingleLock lock(&m_statusLock, TRUE);
    m_progressDone = position > 0 ? static_cast<DWORD>(position) : 0;
    return 0;
}

void CAmpBackupTool::WriteOutputLine(int code, const CString& text)
{
    if (code == kWriteNothing)
        return;
    CString line = code == kLineFailed ? ";*** " + text : text;
    if (code == kLineFailed) {
        // A restore reads the line as one comment: no line break may split it.
        line.Replace('\r', ' ');
        line.Replace('\n', ' ');
    }
    if (m_mode == kBackup)
        line.MakeUpper();
    if (m_output.IsOpen() && !m_output.WriteLine(line))
        ReportError("File write", 0);
}

void CAmpBackupTool::OnEnd(int /*reason*/)
{
    if (m_synchronousHeld) {
        EndSynchronousDriveAccess();
        m_synchronousHeld = 0;
    }
    m_templates.RemoveAll();
    m_output.Close();
    if (m_restoreFile) {
        fclose(m_restoreFile);
        m_restoreFile = nullptr;
    }
    SetStatus(kFinished);
}

// ---- drive commands and errors -----------------------------------------------

namespace {
// The text after an optional "@<address>:" prefix; false when a prefix is there but malformed.
bool WithoutAddressPrefix(const CString& command, CString& body)
{
    body = command;
    if (body.Left(1) != "@")
        return true;
    const int colon = body.Find(':');
    if (colon < 2)
        return false;
    const CString address = body.Mid(1, colon - 1);
    for (int i = 0; i < address.GetLength(); ++i)
        if (address[i] < '0' || address[i] > '9')
            return false;
    if (address.GetLength() > 3 || std::atoi(address) > 255)
        return false;
    body = body.Mid(colon + 1);
    return true;
}
}  // namespace

int CAmpBackupTool::SendDriveCommand(CAmpResponseToGui* out, const CString& text)
{
    CString command = text;
    const int semicolon = command.Find(';');
    if (semicolon >= 0)
        command = command.Left(semicolon);
    command.Trim();
    CString body;
    CAmpQryCmdFromGui query;
    if (!WithoutAddressPrefix(command, body) || !ParseAmpCommandText(query, body)) {
        CString error;
        error.Format("Invalid drive command: \"%s\"", command.GetString());
        ReportError(error, 0);
        return 0;
    }
    query.m_address = static_cast<BYTE>(m_drive);
    CAmpResponseToGui response;
    if (m_expanding && m_extProcessor) {
        // The caller's processor answers in place of the drive.
        if (!m_extProcessor->SendCommand(query, response))
            return 0;
        if (out)
            *out = response;
        return 1;
    }
    if (m_synchronous && !m_expanding) {
        CAmpResponseMsg answer;
        if (!SendSynchronousMessage(query, answer) && answer.m_error == 0)
            answer.m_error = AMP_ERR_RESPONSE_TIMEOUT;
        static_cast<CAmpResponseMsg&>(response) = answer;
    } else if (!SendAndWait(query, response)) {
        response.m_error = AMP_ERR_RESPONSE_TIMEOUT;
    }
    if (response.m_error != 0) {
        CString error;
        error.Format(" %s \"%s\"", GetAmpErrorString(response.m_error).GetString(), command.GetString());
        ReportError(error, response.m_error == AMP_ERR_RESPONSE_TIMEOUT);
        return 0;
    }
    if (out)
        *out = response;
    return 1;
}

bool CAmpBackupTool::SendAndWait(CAmpQryCmdFromGui& query, CAmpResponseToGui& response)
{
    query.m_flags |= 0xB4;
    query.m_time = kCommandTimeHint;
    query.m_receiver = this;
    const int id = SubmitQuery(query);
    if (id < 0)
        return false;
    const ULONGLONG deadline = GetTickCount64() + 2 * kCommandTimeHint;
    while (GetTickCount64() < deadline) {
        while (GetNextResponse(response)) {
            if (static_cast<int>(response.m_queryId) == id)
                return true;
        }
        Sleep(1);
    }
    CancelQuery(id);
    return false;
}

void CAmpBackupTool::ReportError(const CString& text, int fatal)
{
    CString detail = text;
    detail.Replace("\r\n", " ");
    detail.Replace('\r', ' ');
    detail.Replace('\n', ' ');
    detail.TrimRight();
    CString message;
    CFileQueueItem* head = m_templates.Head();
    if (m_mode != kRestore && head && head->m_line > 0) {
        // The file that holds the line, an included one too, with its own line number.
        message.Format("ERROR in line %u of template file \"%s\":%s.", head->m_line,
                       GetFileNameFromPath(head->m_path, TRUE).GetString(), detail.GetString());
    } else if (m_mode == kRestore && m_restoreLine > 0) {
        if (IsEditorFile(m_outputPath))
            message.Format("ERROR in line %u of editor:%s.", m_restoreLine, detail.GetString());
        else
            message.Format("ERROR in line %u of backup file \"%s\":%s.", m_restoreLine,
                           GetFileNameFromPath(m_outputPath, TRUE).GetString(), detail.GetString());
    } else {
        message.Format("ERROR: %s.", detail.GetString());
    }
    m_errors = 1;
    if (fatal)
        m_fatal = 1;
    if (m_extProcessor)
        m_extProcessor->OnErrorLine(message);
    m_errorLog += message + "\r\n";
    m_lastError = message;
}

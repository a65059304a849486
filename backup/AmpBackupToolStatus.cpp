// The GUI-thread side of CAmpBackupTool: status and completion texts, the
// periodic service and the end of a run.
#include "backup/AmpBackupEditor.h"
#include "backup/AmpBackupTool.h"
#include "backup/AmpBackupToolComputations.h"
#include "backup/AmpBackupToolHost.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "foundation/FileHelpers.h"
#include "platform/core/File.h"
#include "platform/core/MessageBox.h"
#include "platform/core/SingleLock.h"

#include <cmath>

namespace {

CString ErrorsFileName(const CString& path)
{
    CString folder = GetFolderFromPath(path);
    CString name = GetFileNameFromPath(path, FALSE);
    CString extension = GetFileExtension(path);
    if (!extension.IsEmpty() && extension.Left(1) != ".")
        extension = "." + extension;
    CString result;
    result.Format("%s/%s - CONTAINS ERRORS%s", folder.GetString(), name.GetString(), extension.GetString());
    return result;
}

}  // namespace

CString CAmpBackupTool::GetStatusText()
{
    const int status = GetOperationStatus();
    const CString file = GetFileNameFromPath(m_outputPath, TRUE);
    const char* name = m_driveName.GetString();
    CString text;
    switch (status) {
    case kBackupRunning:
        if (m_editor)
            text.Format("Downloading configuration for drive \"%s\" to editor.", name);
        else
            text.Format("Backing-up drive \"%s\" settings to file \"%s\".", name, file.GetString());
        break;
    case kRestoreRunning:
        if (m_editor)
            text.Format("Uploading editor to drive \"%s\"", name);
        else
            text.Format("Restoring drive \"%s\" settings from file \"%s\".", name, file.GetString());
        break;
    case kReportRunning:
        if (m_editor)
            text.Format("Generating report for drive \"%s\" .", name);
        else
            text.Format("Exporting report for drive \"%s\" settings to file \"%s\".", name, file.GetString());
        break;
    default:
        break;
    }
    if (m_silent && !text.IsEmpty())
        text.AppendFormat(".. (%0.1f%% complete)", GetProgressPercent());
    return text;
}

CString CAmpBackupTool::GetCompletionText()
{
    const bool editor = m_editor != nullptr;
    if (m_cancel) {
        if (m_mode == kBackup)
            return editor ? "Download cancelled." : "Backup cancelled.";
        if (m_mode == kRestore)
            return editor ? "Upload cancelled." : "Restore cancelled.";
        return "Report cancelled.";
    }
    if (m_errors) {
        CString word = m_mode == kBackup ? (editor ? "Download" : "Backup")
                       : m_mode == kRestore ? (editor ? "Upload" : "Restore")
                                            : "Report";
        if (m_fatal)
            return word + " FAILED on " + m_errorLog;
        return word + " completed with errors.  View error log?";
    }
    if (m_mode == kBackup)
        return editor ? "Drive configuration successfully downloaded to editor." : "Backup successfully created.";
    if (m_mode == kRestore)
        return editor ? "Editor successfully uploaded to drive" : "Backup successfully restored.";
    return "Report successfully created.";
}

int CAmpBackupTool::ShowBox(const CString& text, unsigned type)
{
    // An external processor hears the outcome through its own callback instead: no box.
    if (m_extProcessor)
        return IDNO;
    if (m_host)
        return m_host->MessageBox(text, type, m_helpId);
    return AfxEngineMessageBox(text, "Korvane", type, static_cast<UINT>(m_helpId));
}

void CAmpBackupTool::UpdateStatus()
{
    const int status = GetOperationStatus();
    ServiceIoList();
    if (status == kIdleStatus) {
        m_lastShownStatus = status;
        return;
    }
    if (status == kFinished) {
        FinishRun();
        m_lastShownStatus = kIdleStatus;
        return;
    }
    if (status == m_lastShownStatus)
        ReportProgress(status);
    else if (status >= kBackupRunning && status <= kReportRunning) {
        static const char* const titles[] = {"", "Backup Drive Settings", "Restoring Drive Settings",
                                             "Creating Drive Report"};
        if (m_silent) {
            if (m_host)
                m_host->SetStatusText(GetStatusText());
        } else if (m_extProcessor) {
            m_extProcessor->OnStatusText(GetStatusText());
        } else if (m_host) {
            m_host->OpenProgress(titles[status], GetStatusText());
        }
    }
    m_lastShownStatus = status;
}

void CAmpBackupTool::ReportProgress(int status)
{
    if (status < kBackupRunning || status > kReportRunning)
        return;
    if (!m_silent && !m_extProcessor && m_host && m_host->IsProgressCancelled()) {
        m_cancel = 1;
        SetStatus(kCancelRequested);
        return;
    }
    const double percent = GetProgressPercent();
    if (m_silent) {
        if (m_host)
            m_host->SetStatusText(GetStatusText());
    } else if (m_extProcessor) {
        m_extProcessor->OnProgress(percent);
    } else if (m_host) {
        m_host->SetProgress(percent);
    }
}

void CAmpBackupTool::ServiceIoList()
{
    CSingleLock lock(&m_ioListLock, TRUE);
    if (m_ioListState != kIoInputsWanted && m_ioListState != kIoOutputsWanted)
        return;
    const int side = m_ioListState == kIoInputsWanted ? CAmpBackupToolComputations::kInputs
                                                      : CAmpBackupToolComputations::kOutputs;
    if (!m_computations) {
        m_ioListState = kIoFailed;
        return;
    }
    if (!m_computations->IsIoReceiving(side)) {
        double variant = 0;
        CGlobalParameterTable* table = m_host ? m_host->GetParameterTable() : nullptr;
        if (!table || !table->GetParameterValue(m_drive, 21, variant))
            variant = 0;
        if (!m_computations->StartIoDefinitions(side, m_drive, static_cast<int>(std::lround(variant)), *this)) {
            m_ioListState = kIoFailed;
            return;
        }
    }
    CAmpResponseToGui response;
    while (m_computations->IsIoReceiving(side) && GetNextResponse(response)) {
        const int result = m_computations->HandleIoResponse(side, response);
        if (result == -2 || result == -1) {
            m_ioListState = kIoFailed;
            return;
        }
        if (result == 2) {
            m_ioListState = kIoReceived;
            return;
        }
    }
}

void CAmpBackupTool::FinishOutputFile(bool keepTarget)
{
    if (!m_output.HasPending())
        return;
    if (!keepTarget) {
        m_output.Discard();
        return;
    }
    const bool toErrorsName = m_errors && !m_fatal && !m_cancel && !m_editor;
    const CString path = toErrorsName ? ErrorsFileName(m_outputPath) : m_outputPath;
    if (toErrorsName && CFile::Exists(path))
        remove(path);
    if (!m_output.Commit(path)) {
        m_errorLog += "Could not write \"" + path + "\".\r\n";
        m_errors = 1;
    }
}

void CAmpBackupTool::ServeEditor(bool deleteExchange)
{
    if (!m_editor)
        return;
    if (m_mode != kRestore && CFile::Exists(m_outputPath))
        m_editor->LoadTextFile(m_outputPath, m_clearEditor);
    m_editor->SetTransferBusy(0);
    m_editor = nullptr;
    if (deleteExchange && m_mode != kRestore)
        remove(m_outputPath);
}

void CAmpBackupTool::FinishRun()
{
    if (m_host && m_host->IsScopeVisible())
        m_host->RestartScopeMonitoring();
    if (m_host) {
        if (CGlobalParameterTable* table = m_host->GetParameterTable())
            table->ResubmitOneShotRequests(m_drive);
    }
    SetStatus(kIdleStatus);
    if (!m_silent && !m_extProcessor && m_host)
        m_host->CloseProgress();

    const bool writes = m_mode != kRestore;
    // A cancelled or failed backup, or a failed report, leaves the file that was there.
    const bool keep = writes && !m_fatal && !(m_cancel && m_mode == kBackup);
    FinishOutputFile(keep);
    const CString completion = GetCompletionText();

    if (!m_errors || m_cancel) {
        if (!m_successMessage.IsEmpty()) {
            ShowBox(m_successMessage, MB_OK);
            ServeEditor(true);
        } else if (!m_quiet) {
            ServeEditor(true);
            if (m_silent || !m_openWhenDone || m_cancel || !writes)
                ShowBox(completion, MB_OK);
            else if (m_host)
                m_host->OpenInNotepad(m_outputPath);
        } else {
            ServeEditor(true);
        }
    } else if (m_fatal) {
        ShowBox(completion, MB_OK);
        ServeEditor(false);
    } else {
        if (ShowBox(completion, MB_YESNO) == IDYES && m_host) {
            const char* title = m_mode == kBackup    ? "Backup Errors"
                                : m_mode == kRestore ? "Restore Backup Errors"
                                                     : "Report Errors";
            m_host->ShowLog(title, m_errorLog);
        }
        ServeEditor(false);
    }

    if (m_silent) {
        if (m_host)
            m_host->SetStatusText("");
        if (m_mode == kRestore && m_host)
            m_host->RestartWindowQueries();
        return;
    }
    if (!m_extProcessor) {
        if (m_host) {
            m_host->RestartWindowQueries();
            m_host->SetOperationRunning(0);
        }
    } else {
        if (m_host)
            m_host->SetOperationRunning(0);
        m_extProcessor->OnOperationComplete(!m_errors, completion);
    }
}

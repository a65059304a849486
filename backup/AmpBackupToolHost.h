// CAmpBackupToolHost: everything the backup engine asks of the windows and the
// main window. The main frame implements it; without one a run still works
// (answers are the defaults: boxes take their default button, dialogs cancel).
#pragma once

#include "platform/core/String.h"

class CAmpBackupEditor;
class CGlobalParameterTable;

// What a drive dialog hands back on OK.
struct BackupDialogChoice {
    int drive = -1;
    CString driveName;
    CString path;
    int flag = 0;  // "View in Notepad" (report) or "Clear editor" (editor transfer)
};

class CAmpBackupToolHost {
public:
    virtual ~CAmpBackupToolHost() = default;

    // The three dialogs; IDOK with the choice filled, else IDCANCEL.
    virtual int ShowBackupDialog(int restore, int helpId, BackupDialogChoice& choice) = 0;
    // choice.flag comes in as the open-when-done flag and goes out as the box.
    virtual int ShowReportDialog(int helpId, BackupDialogChoice& choice) = 0;
    // mode 0 download, 1 upload, 2 report; choice.flag = "Clear editor".
    virtual int ShowEditorTransferDialog(int mode, BackupDialogChoice& choice) = 0;

    // The progress window with its Cancel button.
    virtual void OpenProgress(const char* title, const char* text) = 0;
    virtual void SetProgress(double percent) = 0;
    virtual int IsProgressCancelled() = 0;
    virtual void CloseProgress() = 0;

    virtual int MessageBox(const char* text, unsigned type, int helpId) = 0;
    virtual void ShowLog(const char* title, const char* text) = 0;
    virtual void SetStatusText(const char* text) = 0;
    virtual void SetOperationRunning(int running) = 0;
    virtual void OpenInNotepad(const char* path) = 0;

    // Every open window restarts its queries.
    virtual void RestartWindowQueries() = 0;
    virtual int IsScopeVisible() = 0;
    // Ends recording, stops monitoring, record state 0.
    virtual void StopScope() = 0;
    virtual void RestartScopeMonitoring() = 0;

    // The conversion-parameter tables; null while there are none.
    virtual CGlobalParameterTable* GetParameterTable() = 0;
    virtual void RestartStopwatch() = 0;
    // The program folder with a trailing "/".
    virtual CString GetProgramFolder() = 0;
};

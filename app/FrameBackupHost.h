// CFrameBackupHost: the backup engine's host in the program: its dialogs and
// progress window (from the base), the main frame's status pane and open
// windows, the conversion-parameter tables and the program folder.
#pragma once

#include "backup/windows/AmpBackupToolWindowHost.h"

class CMainFrame;

class CFrameBackupHost : public CAmpBackupToolWindowHost {
public:
    explicit CFrameBackupHost(CMainFrame& frame);

    void ShowLog(const char* title, const char* text) override;
    void SetStatusText(const char* text) override;
    void SetOperationRunning(int running) override { m_operationRunning = running; }
    void OpenInNotepad(const char* path) override;
    void RestartWindowQueries() override;
    // The oscilloscope's queries would share the link with the backup, so it rests meanwhile.
    int IsScopeVisible() override;
    void StopScope() override;
    void RestartScopeMonitoring() override;
    CGlobalParameterTable* GetParameterTable() override;
    // The debug watch window's stopwatch comes with that window.
    void RestartStopwatch() override;
    CString GetProgramFolder() override;

    int IsOperationRunning() const { return m_operationRunning; }

private:
    CMainFrame& m_frame;
    int m_operationRunning = 0;
};

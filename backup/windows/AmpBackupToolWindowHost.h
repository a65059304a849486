// CAmpBackupToolWindowHost: the backup engine's host as far as its own windows
// go: the three dialogs, the progress window and the message boxes. The main
// frame derives from it and adds the rest (log viewer, status bar, scope,
// open windows, parameter tables, program folder).
#pragma once

#include "backup/AmpBackupToolHost.h"
#include "controls/ModelessMsgDlg.h"

class CWnd;

class CAmpBackupToolWindowHost : public CAmpBackupToolHost {
public:
    explicit CAmpBackupToolWindowHost(CWnd* parent = nullptr) : m_parent(parent), m_progress(parent) {}

    int ShowBackupDialog(int restore, int helpId, BackupDialogChoice& choice) override;
    int ShowReportDialog(int helpId, BackupDialogChoice& choice) override;
    int ShowEditorTransferDialog(int mode, BackupDialogChoice& choice) override;
    void OpenProgress(const char* title, const char* text) override;
    void SetProgress(double percent) override;
    int IsProgressCancelled() override;
    void CloseProgress() override;
    int MessageBox(const char* text, unsigned type, int helpId) override;

    CModelessMsgDlg& GetProgressWindow() { return m_progress; }

protected:
    // The user settings file the dialogs remember their choices in.
    virtual CString GetSettingsPath();

    CWnd* m_parent;
    CModelessMsgDlg m_progress;
};

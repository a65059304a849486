// CManageCloudDatabaseDlg: the administrator's window onto the cloud database
// service: publishes the motor table and an encoder file, fetches the encoder
// records users submitted, and edits the login data of the two web services.
// Each action reports its steps in the status pane and ends with one final
// line. The application keeps one such window and only shows or hides it.
#pragma once

#include "database/windows/WindowActionGuard.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/RichEditCtrl.h"

class CManageCloudDatabaseDlg : public CDialog {
public:
    CManageCloudDatabaseDlg();

    // Makes the window on first use; false when it could not be made.
    BOOL CreateIfNeeded(CWnd* parent);
    BOOL OnInitDialog() override;
    // Closing only hides the window; Enter does nothing.
    void OnOK() override {}
    void OnCancel() override;

    // Appends a line to the status pane; a final line is followed by an empty one and a beep.
    void AddStatusLine(const char* text, BOOL final);

    void OnPublishMotorTable();
    void OnPublishEncoderTable();
    void OnRetrieveEncoderSubmissions();
    void OnSettings();

    bool IsBusy() const { return m_guard.IsBusy(); }

protected:
    DECLARE_MESSAGE_MAP()

private:
    // The network and the cloud host; false after the final line saying which failed.
    bool PassCommonChecks();
    void PublishMotorTable();
    void PublishEncoderTable();
    void RetrieveEncoderSubmissions();
    void RunAction(void (CManageCloudDatabaseDlg::*action)());
    void EditSettings();

    CRichEditCtrl m_status;
    // No click starts a second action while one waits and the window handles messages.
    CWindowActionGuard m_guard;
};

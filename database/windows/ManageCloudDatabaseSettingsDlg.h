// CManageCloudDatabaseSettingsDlg: edits a working copy of the cloud and ERP
// login data; each service's connection can be tested with the typed values.
// The caller copies the working copy back only after OK.
#pragma once

#include "database/QvxCloudDatabaseLoginData.h"
#include "platform/ui/Dialog.h"

class CManageCloudDatabaseSettingsDlg : public CDialog {
public:
    explicit CManageCloudDatabaseSettingsDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnCancel() override;

    void OnViewPasswords();
    void OnTestErp();
    void OnTestCloud();
    void OnPublishCloudLogin();

    CQvxCloudDatabaseLoginData m_loginData;

protected:
    DECLARE_MESSAGE_MAP()

private:
    // Runs one connection test with the typed values and shows its result.
    void RunConnectionTest(bool erp);
    void ShowPasswords(bool shown);
    void EnableButtons(bool enable);

    bool m_testing = false;
};

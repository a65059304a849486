#include "database/windows/ManageCloudDatabaseSettingsDlg.h"

#include "database/QvxCloudDatabaseInterface.h"
#include "database/windows/PumpingCloudInterface.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WaitCursor.h"
#include "resources/ids/ManageCloudDatabaseIds.h"

BEGIN_MESSAGE_MAP(CManageCloudDatabaseSettingsDlg, CDialog)
    ON_BN_CLICKED(IDC_MCS_VIEW_PASSWORDS, &CManageCloudDatabaseSettingsDlg::OnViewPasswords)
    ON_BN_CLICKED(IDC_MCS_TEST_ERP, &CManageCloudDatabaseSettingsDlg::OnTestErp)
    ON_BN_CLICKED(IDC_MCS_TEST_CLOUD, &CManageCloudDatabaseSettingsDlg::OnTestCloud)
    ON_BN_CLICKED(IDC_MCS_PUBLISH_LOGIN, &CManageCloudDatabaseSettingsDlg::OnPublishCloudLogin)
END_MESSAGE_MAP()

namespace {
const int kPasswordEdits[] = {IDC_MCS_ERP_PASSWORD, IDC_MCS_CLOUD_PASSWORD};
const int kButtons[] = {IDC_MCS_TEST_ERP, IDC_MCS_TEST_CLOUD, IDC_MCS_PUBLISH_LOGIN, IDOK, IDCANCEL};
}  // namespace

CManageCloudDatabaseSettingsDlg::CManageCloudDatabaseSettingsDlg(CWnd* parent)
    : CDialog(IDD_MANAGE_CLOUD_SETTINGS, parent)
{
    m_nIDHelp = IDD_MANAGE_CLOUD_SETTINGS;
}

void CManageCloudDatabaseSettingsDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_MCS_ERP_HOST, m_loginData.erpHost);
    DDX_Text(dx, IDC_MCS_ERP_URL, m_loginData.erpUrl);
    DDX_Text(dx, IDC_MCS_ERP_USER, m_loginData.erpUser);
    DDX_Text(dx, IDC_MCS_ERP_PASSWORD, m_loginData.erpPassword);
    DDX_Text(dx, IDC_MCS_CLOUD_HOST, m_loginData.cloudHost);
    DDX_Text(dx, IDC_MCS_CLOUD_URL, m_loginData.cloudUrl);
    DDX_Text(dx, IDC_MCS_CLOUD_USER, m_loginData.cloudUser);
    DDX_Text(dx, IDC_MCS_CLOUD_PASSWORD, m_loginData.cloudPassword);
}

BOOL CManageCloudDatabaseSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ShowPasswords(false);
    return TRUE;
}

void CManageCloudDatabaseSettingsDlg::ShowPasswords(bool shown)
{
    for (int id : kPasswordEdits) {
        CWnd* edit = GetDlgItem(id);
        if (!edit)
            continue;
        edit->ModifyStyle(shown ? ES_PASSWORD : 0, shown ? 0 : ES_PASSWORD);
        edit->Invalidate();
        edit->UpdateWindow();
    }
}

void CManageCloudDatabaseSettingsDlg::OnViewPasswords()
{
    ShowPasswords(IsDlgButtonChecked(IDC_MCS_VIEW_PASSWORDS) == BST_CHECKED);
}

void CManageCloudDatabaseSettingsDlg::OnTestErp() { RunConnectionTest(true); }

void CManageCloudDatabaseSettingsDlg::OnTestCloud() { RunConnectionTest(false); }

void CManageCloudDatabaseSettingsDlg::EnableButtons(bool enable)
{
    for (int id : kButtons)
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(enable);
}

void CManageCloudDatabaseSettingsDlg::RunConnectionTest(bool erp)
{
    if (m_testing || !UpdateData(TRUE))
        return;
    // The test waits on the network: while it does the window stays live, but
    // nothing in it may start a second test or end the dialog under the first.
    m_testing = true;
    EnableButtons(false);
    CQvxCloudDatabaseInterface cloud;
    cloud.loginData.CopyFrom(m_loginData);
    BOOL passed = FALSE;
    CString error;
    {
        CWaitCursor wait;
        CPumpingCloudInterface::RunPumping([&] {
            passed = erp ? cloud.TestErpConnection(&error) : cloud.TestCloudConnection(&error);
        });
    }
    EnableButtons(true);
    m_testing = false;
    if (passed)
        AfxMessageBox(erp ? "SyteLine connection successful." : "Cloud connection successful.");
    else
        AfxMessageBox(error);
}

void CManageCloudDatabaseSettingsDlg::OnPublishCloudLogin() { AfxMessageBox("This function is not enabled."); }

void CManageCloudDatabaseSettingsDlg::OnOK()
{
    if (!m_testing)
        CDialog::OnOK();
}

void CManageCloudDatabaseSettingsDlg::OnCancel()
{
    if (!m_testing)
        CDialog::OnCancel();
}

#include "database/windows/ManageCloudDatabaseDlg.h"

#include <iterator>

#include "controls/QvxFileDialog.h"
#include "database/windows/DatabaseAppServices.h"
#include "database/windows/ManageCloudDatabaseSettingsDlg.h"
#include "database/windows/PumpingCloudInterface.h"
#include "platform/core/Profile.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WaitCursor.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/ManageCloudDatabaseIds.h"

BEGIN_MESSAGE_MAP(CManageCloudDatabaseDlg, CDialog)
    ON_BN_CLICKED(IDC_MCD_PUBLISH_MOTORS, &CManageCloudDatabaseDlg::OnPublishMotorTable)
    ON_BN_CLICKED(IDC_MCD_PUBLISH_ENCODERS, &CManageCloudDatabaseDlg::OnPublishEncoderTable)
    ON_BN_CLICKED(IDC_MCD_RETRIEVE_SUBMISSIONS, &CManageCloudDatabaseDlg::OnRetrieveEncoderSubmissions)
    ON_BN_CLICKED(IDC_MCD_SETTINGS, &CManageCloudDatabaseDlg::OnSettings)
END_MESSAGE_MAP()

namespace {
constexpr const char* kSection = "QVXDATABASE";
constexpr const char* kSourcePathEntry = "PublishedAbsEncSourcePath";
constexpr const char* kCsvFilter = "Comma separated value files (*.csv)|*.csv||";
const int kActionButtons[] = {IDC_MCD_PUBLISH_MOTORS, IDC_MCD_PUBLISH_ENCODERS, IDC_MCD_RETRIEVE_SUBMISSIONS,
                              IDC_MCD_SETTINGS};
}  // namespace

CManageCloudDatabaseDlg::CManageCloudDatabaseDlg()
    : CDialog(IDD_MANAGE_CLOUD_DATABASE, nullptr),
      m_guard(*this, std::vector<int>(std::begin(kActionButtons), std::end(kActionButtons)))
{
    m_nIDHelp = IDD_MANAGE_CLOUD_DATABASE;
}

BOOL CManageCloudDatabaseDlg::CreateIfNeeded(CWnd* parent)
{
    return GetSafeHwnd() || Create(IDD_MANAGE_CLOUD_DATABASE, parent);
}

BOOL CManageCloudDatabaseDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_status.SubclassDlgItem(IDC_MCD_STATUS, this);
    SetDlgItemText(IDC_MCD_PUBLISH_MOTORS, "Publish\nMotor Table");
    SetDlgItemText(IDC_MCD_PUBLISH_ENCODERS, "Publish\nEncoder Table");
    SetDlgItemText(IDC_MCD_RETRIEVE_SUBMISSIONS, "Retrieve\nEncoder Submissions");
    return TRUE;
}

void CManageCloudDatabaseDlg::OnCancel() { ShowWindow(SW_HIDE); }

void CManageCloudDatabaseDlg::AddStatusLine(const char* text, BOOL final)
{
    const long end = m_status.GetTextLength();
    m_status.SetSel(end, end);
    m_status.ReplaceSel(CString(text) + "\r\n");
    if (final) {
        m_status.ReplaceSel("\r\n");
        MessageBeep(0);
    }
    const long last = m_status.GetTextLength();
    m_status.SetSel(last, last);
    m_status.LineScroll(m_status.GetLineCount());
    // Shows the line now, while a long request is still to come.
    AfxPumpMessages();
}

void CManageCloudDatabaseDlg::RunAction(void (CManageCloudDatabaseDlg::*action)())
{
    m_guard.Run([this, action] { (this->*action)(); });
}

void CManageCloudDatabaseDlg::OnPublishMotorTable() { RunAction(&CManageCloudDatabaseDlg::PublishMotorTable); }

void CManageCloudDatabaseDlg::OnPublishEncoderTable() { RunAction(&CManageCloudDatabaseDlg::PublishEncoderTable); }

void CManageCloudDatabaseDlg::OnRetrieveEncoderSubmissions()
{
    RunAction(&CManageCloudDatabaseDlg::RetrieveEncoderSubmissions);
}

bool CManageCloudDatabaseDlg::PassCommonChecks()
{
    const CString failure = CPumpingCloudInterface::CheckCloudReachable();
    if (!failure.IsEmpty())
        AddStatusLine(failure, TRUE);
    return failure.IsEmpty();
}

void CManageCloudDatabaseDlg::PublishMotorTable()
{
    if (!PassCommonChecks())
        return;
    CPumpingCloudInterface cloud;
    if (!CPumpingCloudInterface::AnswersPing(cloud.loginData.erpHost)) {
        AddStatusLine("SyteLine server not available.", TRUE);
        return;
    }
    if (AfxMessageBox("Publish motor table to server?", MB_YESNO) != IDYES)
        return;
    AddStatusLine("Collecting and publishing motor data...", FALSE);
    CString error;
    BOOL published = FALSE;
    {
        CWaitCursor wait;
        published = cloud.PublishMotorTable(&error);
    }
    AddStatusLine(published ? "Motor data successfully published to " + cloud.GetCloudUrl() : error, TRUE);
}

void CManageCloudDatabaseDlg::PublishEncoderTable()
{
    if (!PassCommonChecks())
        return;
    const CString start = AfxGetProfileString(kSection, kSourcePathEntry, "");
    CQvxFileDialog dialog(TRUE, "csv", start.IsEmpty() ? nullptr : start.GetString(),
                          OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kCsvFilter, this);
    dialog.m_ofn.lpstrTitle = "Select Encoder File to Publish";
    dialog.m_nIDHelp = m_nIDHelp;
    if (dialog.DoModal() != IDOK)
        return;
    const CString path = dialog.GetPathName();
    AfxWriteProfileString(kSection, kSourcePathEntry, path);
    AddStatusLine("Publishing encoder data...", FALSE);
    CPumpingCloudInterface cloud;
    CString error;
    BOOL published = FALSE;
    {
        CWaitCursor wait;
        published = cloud.PublishEncoderFile(path, &error);
    }
    AddStatusLine(published ? "Encoder data successfull published to " + cloud.GetCloudUrl() : error, TRUE);
}

void CManageCloudDatabaseDlg::RetrieveEncoderSubmissions()
{
    if (!PassCommonChecks())
        return;
    AddStatusLine("Retrieving submitted encoder data...", FALSE);
    AddStatusLine("Checking for data...", FALSE);
    CPumpingCloudInterface cloud;
    CString error;
    BOOL found = FALSE;
    BOOL asked = FALSE;
    {
        CWaitCursor wait;
        asked = cloud.DetectSubmittedEncoderTable(found, &error);
    }
    if (!asked || !found) {
        AddStatusLine(asked ? CString("No submitted encoder data found on the server.") : error, TRUE);
        return;
    }
    CQvxFileDialog dialog(FALSE, "csv", "SubmittedEncoderData.csv", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                          kCsvFilter, this);
    dialog.m_ofn.lpstrTitle = "Save Submitted Encoder Data As";
    dialog.m_nIDHelp = m_nIDHelp;
    if (dialog.DoModal() != IDOK) {
        AddStatusLine("User cancelled.", TRUE);
        return;
    }
    BOOL retrieved = FALSE;
    {
        CWaitCursor wait;
        retrieved = cloud.RetrieveSubmittedEncoderTable(dialog.GetPathName(), &error);
    }
    CString done;
    done.Format("Submitted encoder data retrieved and saved to file \"%s\".", dialog.GetFileName().GetString());
    AddStatusLine(retrieved ? done : error, TRUE);
}

void CManageCloudDatabaseDlg::OnSettings() { RunAction(&CManageCloudDatabaseDlg::EditSettings); }

void CManageCloudDatabaseDlg::EditSettings()
{
    CDatabaseAppServices* app = CDatabaseAppServices::Get();
    CQvxCloudDatabaseInterface* appCloud = app ? app->GetCloudInterface() : nullptr;
    if (!appCloud)
        return;
    CManageCloudDatabaseSettingsDlg settings(this);
    settings.m_loginData.CopyFrom(appCloud->loginData);
    if (settings.DoModal() == IDOK) {
        appCloud->loginData.CopyFrom(settings.m_loginData);
        if (!CQvxCloudDatabaseLoginData::SaveToProfile(appCloud->loginData))
            AfxMessageBox("The login data could not be saved.");
    }
}

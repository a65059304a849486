// The cloud database management window and its settings dialog against the
// loopback server: each action's status lines, the failures of the network,
// the hosts and the servers, and the login data kept or saved.
#include <gtest/gtest.h>

#include "CloudWindowsBench.h"
#include "database/windows/ManageCloudDatabaseDlg.h"
#include "database/windows/ManageCloudDatabaseSettingsDlg.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WaitCursor.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/ManageCloudDatabaseIds.h"
#include "testing/WindowShot.h"

using namespace cloudbench;

namespace {

class ManageCloudDatabaseDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AfxTakeScriptedMessageLog();
        ASSERT_TRUE(window.CreateIfNeeded(nullptr));
        window.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        window.DestroyWindow();
        AfxTakeScriptedMessageLog();
    }
    void Click(int id) { kvtest::Click(window.GetDlgItem(id)); }
    CString Status()
    {
        CString text;
        window.GetDlgItemText(IDC_MCD_STATUS, text);
        return text;
    }
    // The status lines added since the last call.
    CString NewStatus()
    {
        const CString all = Status();
        const CString added = all.Mid(m_seen);
        m_seen = all.GetLength();
        return added;
    }
    std::string CloudUrl() const { return bench.server.Url(kCloudPath); }

    Bench bench;
    CManageCloudDatabaseDlg window;
    int m_seen = 0;
};

const int kActions[] = {IDC_MCD_PUBLISH_MOTORS, IDC_MCD_PUBLISH_ENCODERS, IDC_MCD_RETRIEVE_SUBMISSIONS};

}  // namespace

TEST_F(ManageCloudDatabaseDlgTest, EachActionStopsAtTheFirstFailedCheckWithOnlyItsLine)
{
    struct Case {
        bool network;
        bool cloudAnswers;
        const char* line;
    };
    const Case cases[] = {{false, true, "Not connected to network.\r\n\r\n"},
                          {true, false, "Cloud server not available.\r\n\r\n"}};
    for (const Case& c : cases) {
        bench.network.alive = c.network;
        bench.network.Answer(kCloudHost, c.cloudAnswers);
        for (int action : kActions) {
            Click(action);
            EXPECT_EQ(NewStatus(), c.line) << action;
        }
    }
    EXPECT_TRUE(Boxes().empty()) << "no question and no file dialog before the checks pass";
    EXPECT_EQ(bench.server.RequestCount(), 0u);
}

TEST_F(ManageCloudDatabaseDlgTest, PublishingTheMotorTableAsksOnlyOnceBothHostsAnswer)
{
    bench.network.Answer(kErpHost, false);
    Click(IDC_MCD_PUBLISH_MOTORS);
    EXPECT_EQ(NewStatus(), "SyteLine server not available.\r\n\r\n");
    EXPECT_TRUE(Boxes().empty()) << "the ERP host is checked before the question";

    bench.network.Answer(kErpHost, true);
    AfxQueueScriptedAnswer(IDNO);
    Click(IDC_MCD_PUBLISH_MOTORS);
    EXPECT_EQ(Boxes(), std::vector<CString>{"Publish motor table to server?"});
    EXPECT_EQ(NewStatus(), "") << "No ends silently";
    EXPECT_EQ(bench.server.RequestCount(), 0u);

    bench.SetCloudReply("publish_motor_data.php", "status:success");
    AfxQueueScriptedAnswer(IDYES);
    Click(IDC_MCD_PUBLISH_MOTORS);
    EXPECT_EQ(NewStatus(), CString("Collecting and publishing motor data...\r\nMotor data successfully published to ") +
                               CloudUrl().c_str() + "\r\n\r\n");
    const auto published = bench.CloudRequests("publish_motor_data.php");
    ASSERT_EQ(published.size(), 1u);
    EXPECT_NE(published[0].body.find("<ItemDescription>QMBM-0123456</ItemDescription>"), std::string::npos)
        << "the ERP's data set reaches the cloud";
    EXPECT_EQ(published[0].Header("username"), "admin");

    bench.SetCloudReply("publish_motor_data.php", "status:failed");
    AfxQueueScriptedAnswer(IDYES);
    Click(IDC_MCD_PUBLISH_MOTORS);
    EXPECT_EQ(NewStatus(),
              "Collecting and publishing motor data...\r\nFailed: Server could not publish motor table.\r\n\r\n");
}

TEST_F(ManageCloudDatabaseDlgTest, PublishingAnEncoderFileSendsItAndRemembersItsPath)
{
    const std::string csv = bench.home.File("encoders.csv");
    bench.home.Write("encoders.csv", "\"Heid\",\"EQN\"\r\n\"Ren\",\"Res\"\r\n");
    kvtest::QueueFileDialogAnswer("");
    Click(IDC_MCD_PUBLISH_ENCODERS);
    EXPECT_EQ(NewStatus(), "") << "a cancelled choice ends silently";
    EXPECT_EQ(AfxGetProfileString("QVXDATABASE", "PublishedAbsEncSourcePath", ""), "");

    bench.SetCloudReply("publish_absenc_data.php", "status:success\n");
    kvtest::QueueFileDialogAnswer(csv.c_str());
    Click(IDC_MCD_PUBLISH_ENCODERS);
    EXPECT_EQ(NewStatus(), CString("Publishing encoder data...\r\nEncoder data successfull published to ") +
                               CloudUrl().c_str() + "\r\n\r\n");
    EXPECT_EQ(AfxGetProfileString("QVXDATABASE", "PublishedAbsEncSourcePath", ""), csv.c_str());
    const auto published = bench.CloudRequests("publish_absenc_data.php");
    ASSERT_EQ(published.size(), 1u);
    EXPECT_EQ(published[0].body, "\"Heid\",\"EQN\"\n\"Ren\",\"Res\"\n");
}

TEST_F(ManageCloudDatabaseDlgTest, RetrievingSubmissionsReportsNoneCancelledOrTheSavedFile)
{
    bench.SetCloudReply("detect_submitted_absenc_file.php", "status:nofile");
    Click(IDC_MCD_RETRIEVE_SUBMISSIONS);
    EXPECT_EQ(NewStatus(), "Retrieving submitted encoder data...\r\nChecking for data...\r\n"
                           "No submitted encoder data found on the server.\r\n\r\n");

    bench.SetCloudReply("detect_submitted_absenc_file.php", "status:filefound");
    bench.SetCloudReply("retrieve_submitted_absenc_file.php", "\"Heid\",\"EQN\",\"Ann\"\n");
    kvtest::QueueFileDialogAnswer("");
    Click(IDC_MCD_RETRIEVE_SUBMISSIONS);
    EXPECT_EQ(NewStatus(), "Retrieving submitted encoder data...\r\nChecking for data...\r\nUser cancelled.\r\n\r\n");
    EXPECT_TRUE(bench.CloudRequests("retrieve_submitted_absenc_file.php").empty());

    const std::string saved = bench.home.File("Submitted.csv");
    kvtest::QueueFileDialogAnswer(saved.c_str());
    Click(IDC_MCD_RETRIEVE_SUBMISSIONS);
    EXPECT_EQ(NewStatus(), "Retrieving submitted encoder data...\r\nChecking for data...\r\n"
                           "Submitted encoder data retrieved and saved to file \"Submitted.csv\".\r\n\r\n");
    EXPECT_EQ(bench.home.Read("Submitted.csv"), "\"Heid\",\"EQN\",\"Ann\"\r\n");
    Screenshot(&window, "database_manage_cloud");
}

TEST_F(ManageCloudDatabaseDlgTest, AStoppedSilentOrGarbledServerIsReportedAndNothingIsWritten)
{
    const std::string saved = bench.home.File("Submitted.csv");
    bench.home.Write("encoders.csv", "x,y\r\n");

    // Garbage where a status was expected.
    bench.SetCloudReply("detect_submitted_absenc_file.php", "status:filefound");
    bench.SetCloudReply("retrieve_submitted_absenc_file.php", "status:failed");
    kvtest::QueueFileDialogAnswer(saved.c_str());
    Click(IDC_MCD_RETRIEVE_SUBMISSIONS);
    EXPECT_NE(NewStatus().Find("Failed: Server could not retrieve submitted encoder table.\r\n\r\n"), -1);
    EXPECT_FALSE(CFile::Exists(saved.c_str()));
    bench.SetCloudReply("publish_absenc_data.php", "<html>Internal error</html>");
    kvtest::QueueFileDialogAnswer(bench.home.File("encoders.csv").c_str());
    Click(IDC_MCD_PUBLISH_ENCODERS);
    EXPECT_EQ(NewStatus(), "Publishing encoder data...\r\nFailed: Server could not publish encoder file.\r\n\r\n");

    // A server that never answers: the window keeps working and the request ends in its time.
    CHttpClient::SetTimeouts(300, 600);
    bench.server.SetDefaultMode(TestHttpServer::Mode::silent);
    Ticker ticker;
    Click(IDC_MCD_RETRIEVE_SUBMISSIONS);
    EXPECT_EQ(NewStatus(), "Retrieving submitted encoder data...\r\nChecking for data...\r\n"
                           "Failed: Could not connect to server.  Please check internet connection.\r\n\r\n");
    EXPECT_GT(ticker.ticks, 5) << "the window handled its messages while the request waited";

    // A stopped server.
    bench.server.Stop();
    kvtest::QueueFileDialogAnswer(bench.home.File("encoders.csv").c_str());
    Click(IDC_MCD_PUBLISH_ENCODERS);
    EXPECT_EQ(NewStatus(), "Publishing encoder data...\r\n"
                           "Failed: Could not connect to server.  Please check internet connection.\r\n\r\n");
}

TEST_F(ManageCloudDatabaseDlgTest, TheActionsAreDisabledWhileOneWaits)
{
    CHttpClient::SetTimeouts(300, 600);
    bench.server.SetDefaultMode(TestHttpServer::Mode::silent);
    Ticker ticker;
    std::vector<bool> enabled;
    bool waitCursor = false;
    ticker.action = [&] {
        waitCursor = waitCursor || CWaitCursor::IsShown();
        if (!window.IsBusy() || !enabled.empty())
            return;
        for (int id : {IDC_MCD_PUBLISH_MOTORS, IDC_MCD_PUBLISH_ENCODERS, IDC_MCD_RETRIEVE_SUBMISSIONS,
                       IDC_MCD_SETTINGS})
            enabled.push_back(window.GetDlgItem(id)->IsWindowEnabled() != FALSE);
        // A second action asked for meanwhile (a script's command, say) starts nothing.
        window.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MCD_PUBLISH_MOTORS, BN_CLICKED), 0);
    };
    Click(IDC_MCD_RETRIEVE_SUBMISSIONS);
    EXPECT_EQ(enabled, std::vector<bool>(4, false));
    EXPECT_TRUE(waitCursor) << "the wait cursor shows while the request waits";
    EXPECT_FALSE(CWaitCursor::IsShown());
    EXPECT_TRUE(Boxes().empty()) << "the second action asked nothing";
    EXPECT_EQ(bench.server.RequestCount(), 1u);
    for (int id : kActions)
        EXPECT_TRUE(window.GetDlgItem(id)->IsWindowEnabled()) << id;
}

// ---- the settings dialog ----

namespace {

class ManageCloudDatabaseSettingsDlgTest : public ManageCloudDatabaseDlgTest {
protected:
    static bool Masked(CWnd* dialog, int id) { return (dialog->GetDlgItem(id)->GetStyle() & ES_PASSWORD) != 0; }
    // Runs the settings window from the management window with the action done inside it.
    void RunSettings(const std::function<void(CWnd*)>& inside)
    {
        kvtest::OnNextModal([&](CWnd* dialog) { inside(dialog); });
        Click(IDC_MCD_SETTINGS);
    }
};

}  // namespace

TEST_F(ManageCloudDatabaseSettingsDlgTest, PasswordsAreMaskedUntilViewPasswordsIsChecked)
{
    RunSettings([&](CWnd* dialog) {
        CString text;
        dialog->GetDlgItemText(IDC_MCS_ERP_PASSWORD, text);
        EXPECT_EQ(text, "erp&pw");
        dialog->GetDlgItemText(IDC_MCS_CLOUD_URL, text);
        EXPECT_EQ(text, CloudUrl().c_str());
        EXPECT_TRUE(Masked(dialog, IDC_MCS_ERP_PASSWORD));
        EXPECT_TRUE(Masked(dialog, IDC_MCS_CLOUD_PASSWORD));
        kvtest::Click(dialog->GetDlgItem(IDC_MCS_VIEW_PASSWORDS));
        EXPECT_FALSE(Masked(dialog, IDC_MCS_ERP_PASSWORD));
        EXPECT_FALSE(Masked(dialog, IDC_MCS_CLOUD_PASSWORD));
        Screenshot(dialog, "database_cloud_settings");
        Boxes();
        kvtest::Click(dialog->GetDlgItem(IDC_MCS_VIEW_PASSWORDS));
        EXPECT_TRUE(Masked(dialog, IDC_MCS_ERP_PASSWORD));
        kvtest::Click(dialog->GetDlgItem(IDC_MCS_PUBLISH_LOGIN));
        kvtest::Click(dialog->GetDlgItem(IDCANCEL));
    });
    EXPECT_EQ(Boxes(), std::vector<CString>{"This function is not enabled."});
}

TEST_F(ManageCloudDatabaseSettingsDlgTest, TheTestsUseTheTypedValuesAndReportTheirResult)
{
    bench.SetCloudReply("detect_submitted_absenc_file.php", "status:nofile");
    RunSettings([&](CWnd* dialog) {
        kvtest::Click(dialog->GetDlgItem(IDC_MCS_TEST_ERP));
        kvtest::Click(dialog->GetDlgItem(IDC_MCS_TEST_CLOUD));
        EXPECT_EQ(Boxes(), (std::vector<CString>{"SyteLine connection successful.", "Cloud connection successful."}));

        // Typed values are what the tests use.
        dialog->SetDlgItemText(IDC_MCS_CLOUD_USER, "intruder");
        kvtest::Click(dialog->GetDlgItem(IDC_MCS_TEST_CLOUD));
        EXPECT_EQ(bench.CloudRequests("detect_submitted_absenc_file.php").back().Header("username"), "intruder");
        dialog->SetDlgItemText(IDC_MCS_ERP_HOST, "nowhere.example");
        dialog->SetDlgItemText(IDC_MCS_CLOUD_URL, "http://127.0.0.1:1/");
        kvtest::Click(dialog->GetDlgItem(IDC_MCS_TEST_ERP));
        kvtest::Click(dialog->GetDlgItem(IDC_MCS_TEST_CLOUD));
        bench.network.alive = false;
        kvtest::Click(dialog->GetDlgItem(IDC_MCS_TEST_CLOUD));
        kvtest::Click(dialog->GetDlgItem(IDCANCEL));
    });
    std::vector<CString> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[1], "SyteLine server not available.");
    EXPECT_EQ(boxes[2], "Failed: Could not connect to server.  Please check internet connection.");
    EXPECT_EQ(boxes[3], "Not connected to network.");
    EXPECT_EQ(bench.app.cloud.loginData.cloudUser, "admin") << "Cancel keeps the application's login data";
    EXPECT_EQ(bench.app.cloud.loginData.erpHost, kErpHost);
    EXPECT_EQ(AfxGetProfileString("QVXDATABASE", "kvclid", ""), "") << "and saves nothing";
}

TEST_F(ManageCloudDatabaseSettingsDlgTest, OkSavesTheEditedLoginDataToTheProfile)
{
    RunSettings([&](CWnd* dialog) {
        dialog->SetDlgItemText(IDC_MCS_ERP_USER, "new erp user");
        dialog->SetDlgItemText(IDC_MCS_CLOUD_PASSWORD, "n3w");
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    EXPECT_EQ(bench.app.cloud.loginData.erpUser, "new erp user");
    CQvxCloudDatabaseLoginData saved;
    ASSERT_TRUE(CQvxCloudDatabaseLoginData::LoadFromProfile(saved));
    EXPECT_EQ(saved.erpUser, "new erp user");
    EXPECT_EQ(saved.cloudPassword, "n3w");
    EXPECT_EQ(saved.cloudHost, kCloudHost);
    EXPECT_EQ(saved.erpUrl, bench.app.cloud.loginData.erpUrl);
}

// The cloud database management window with its settings, and the database
// test window, over small tables in a temporary folder and the loopback
// server in place of the cloud service.
#include <gtest/gtest.h>

#include "GalleryWindows.h"
#include "database/QvxCloudDatabaseInterface.h"
#include "database/QvxDatabase.h"
#include "database/windows/DatabaseAppServices.h"
#include "database/windows/ManageCloudDatabaseDlg.h"
#include "database/windows/QvxDatabaseTestDlg.h"
#include "platform/io/NetworkStatus.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/ManageCloudDatabaseIds.h"
#include "resources/ids/QvxDatabaseTestIds.h"
#include "testing/TempDir.h"
#include "testing/TestHttpServer.h"

namespace {
const char* const kMotors =
    "<tabledef>\n"
    "<fieldname=\"PartNum\", type=STRING>\n<fieldname=\"ModelNum\", type=STRING>\n"
    "<fieldname=\"Resistance\", type=STRING>\n<fieldname=\"Inductance\", type=STRING>\n"
    "<fieldname=\"MaxRPM\", type=STRING>\n<fieldname=\"NumPoles\", type=STRING>\n"
    "<fieldname=\"MotorType\", type=STRING>\n"
    "</tabledef>\n"
    "{\"P-100\", \"QMBM-0123456\", \"1.5\", \"3\", \"6000\", \"8\", \"Brushless\"}\n"
    "{\"P-150\", \"QMBM-0999999\", \"2\", \"4\", \"5000\", \"8\", \"Brushless\"}\n"
    "{\"P-300\", \"QMDC-0040000\", \"1\", \"2\", \"3000\", \"\", \"Brush\"}\n";

// Every host answers and the network is up.
class AnsweringNetwork : public CNetworkStatusHook {
public:
    BOOL IsNetworkAlive(DWORD* flags) override
    {
        if (flags)
            *flags = 1;
        return TRUE;
    }
    int PingHost(const char*) override { return 1; }
};

class GalleryDatabaseApp : public CDatabaseAppServices {
public:
    CQvxDatabase* GetTableDatabase() override { return &database; }
    CQvxCloudDatabaseInterface* GetCloudInterface() override { return &cloud; }
    CQvxDatabase database;
    CQvxCloudDatabaseInterface cloud;
};

// The application's side while a gallery entry runs.
class CloudStage {
public:
    CloudStage()
    {
        AfxSetNetworkStatusHook(&network);
        app.cloud.loginData.cloudUrl = server.Url("/cloud/").c_str();
        app.cloud.loginData.cloudHost = "cloud.example";
        app.cloud.loginData.erpHost = "erp.example";
        app.cloud.loginData.cloudPassword = "secret";
        app.cloud.loginData.erpPassword = "secret";
        CDatabaseAppServices::Install(&app);
    }
    ~CloudStage()
    {
        CDatabaseAppServices::Install(nullptr);
        AfxSetNetworkStatusHook(nullptr);
    }
    TempDir home;
    TestHttpServer server;
    AnsweringNetwork network;
    GalleryDatabaseApp app;
};
}  // namespace

void ShowManageCloudDatabase(GalleryShots& shots)
{
    CloudStage stage;
    stage.server.SetReply("/cloud/detect_submitted_absenc_file.php", "status:filefound");
    stage.server.SetReply("/cloud/retrieve_submitted_absenc_file.php", "\"Heid\",\"EQN\"\n");
    CManageCloudDatabaseDlg window;
    ASSERT_TRUE(window.CreateIfNeeded(nullptr));
    window.ShowWindow(SW_SHOW);
    shots.Take(&window, "empty");
    kvtest::QueueFileDialogAnswer(stage.home.File("SubmittedEncoderData.csv").c_str());
    kvtest::Click(window.GetDlgItem(IDC_MCD_RETRIEVE_SUBMISSIONS));
    kvtest::QueueFileDialogAnswer("");
    kvtest::Click(window.GetDlgItem(IDC_MCD_RETRIEVE_SUBMISSIONS));
    shots.Take(&window, "status");
    kvtest::OnNextModal([&](CWnd* settings) {
        shots.Take(settings, "settings");
        kvtest::Click(settings->GetDlgItem(IDC_MCS_VIEW_PASSWORDS));
        shots.Take(settings, "settings passwords shown");
        kvtest::Click(settings->GetDlgItem(IDCANCEL));
    });
    kvtest::Click(window.GetDlgItem(IDC_MCD_SETTINGS));
    window.DestroyWindow();
}

void ShowDatabaseTest(GalleryShots& shots)
{
    CloudStage stage;
    stage.home.Write("QvxMotorDB.txt", kMotors);
    CQvxDatabase& db = stage.app.database;
    CString error;
    ASSERT_TRUE(db.LoadTable(stage.home.File("QvxMotorDB.txt").c_str(), &error)) << error.GetString();
    ASSERT_TRUE(db.OpenRecordset("MotorByPartNum", "QvxMotorDB", "PartNum", "", "", -1));
    CQvxDatabaseTestDlg* window = CQvxDatabaseTestDlg::Open(&db, "QvxMotorDB", "MotorByPartNum");
    ASSERT_NE(window, nullptr);
    shots.Take(window, "unbound");
    kvtest::Click(window->GetDlgItem(IDC_QDT_OPEN_DB));
    kvtest::Click(window->GetDlgItem(IDC_QDT_NEXT));
    shots.Take(window, "bound");
    kvtest::Click(window->GetDlgItem(IDC_QDT_EXPORT_RECORD_JSON));
    shots.Take(window, "record json");
    window->DestroyWindow();
}

// The absolute-encoder database window over a small encoder table in a
// temporary folder: a record the user may edit, an approved one shown read
// only, one marked for submission, a view of one status, and the window while
// a refresh waits on a server that does not answer.
#include <gtest/gtest.h>

#include "GalleryWindows.h"
#include "database/QvxCloudDatabaseInterface.h"
#include "database/QvxDatabase.h"
#include "database/windows/EditAbsEncDbDlg.h"
#include "database/windows/DatabaseAppServices.h"
#include "platform/core/MessageBox.h"
#include "platform/io/NetworkStatus.h"
#include "platform/net/HttpClient.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/MessageMap.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/EditAbsEncDbIds.h"
#include "testing/TempDir.h"
#include "testing/TestHttpServer.h"

namespace {
const char* const kEncoders =
    "<tabledef>\n"
    "<fieldname=\"Manufacturer\", fielddesc=\"Manufacturer\", type=STRING, default=\"\">\n"
    "<fieldname=\"Model\", fielddesc=\"Model\", type=STRING, default=\"\">\n"
    "<fieldname=\"SingleTurn\", fielddesc=\"Single-turn bits\", type=NUMERIC, decdigits=0, default=\"0\">\n"
    "<fieldname=\"MultiTurn\", fielddesc=\"Multi-turn bits\", type=NUMERIC, decdigits=0, default=\"0\">\n"
    "<fieldname=\"Frequency\", fielddesc=\"Frequency\", type=STRING, default=\"\">\n"
    "<fieldname=\"Protocol\", fielddesc=\"Protocol\", type=STRING, default=\"\">\n"
    "<fieldname=\"Status\", fielddesc=\"Status\", type=STRING, default=\"Local\">\n"
    "</tabledef>\n"
    "{\"Heidenhain\", \"ECN1313\", \"13\", \"0\", \"2M\", \"EnDat\", \"Local\"}\n"
    "{\"Heidenhain\", \"EQN1325\", \"25\", \"12\", \"2M\", \"EnDat\", \"Approved\"}\n"
    "{\"Renishaw\", \"Resolute\", \"26\", \"16\", \"4M\", \"BiSS\", \"Ready To Submit\"}\n";

class GalleryEncoderServices : public CDatabaseAppServices {
public:
    CQvxDatabase* GetTableDatabase() override { return database; }
    CQvxCloudDatabaseInterface* GetCloudInterface() override { return &cloud; }
    CQvxDatabase* database = nullptr;
    CQvxCloudDatabaseInterface cloud;
};

class GalleryEncoderNetwork : public CNetworkStatusHook {
public:
    BOOL IsNetworkAlive(DWORD*) override { return TRUE; }
    int PingHost(const char*) override { return 1; }
};

// Takes one shot of the window from a timer while a request of the window waits.
class GalleryEncoderBusyShot : public CWnd {
public:
    GalleryEncoderBusyShot(GalleryShots& shots, CEditAbsEncDbDlg& dialog) : m_shots(shots), m_dialog(dialog)
    {
        CreateEx(0, nullptr, "BusyShot", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
        SetTimer(1, 20, nullptr);
    }
    ~GalleryEncoderBusyShot() override
    {
        KillTimer(1);
        DestroyWindow();
    }
    bool taken = false;

protected:
    void OnTimer(UINT_PTR)
    {
        if (taken || !m_dialog.IsBusy())
            return;
        taken = true;
        m_shots.Take(&m_dialog, "waiting for the server");
    }
    DECLARE_MESSAGE_MAP()

private:
    GalleryShots& m_shots;
    CEditAbsEncDbDlg& m_dialog;
};

BEGIN_MESSAGE_MAP(GalleryEncoderBusyShot, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Refresh From Server against a silent server, shot while it waits.
void ShowWaiting(GalleryShots& shots, CEditAbsEncDbDlg& dialog)
{
    TestHttpServer server;
    server.SetDefaultMode(TestHttpServer::Mode::silent);
    GalleryEncoderNetwork network;
    AfxSetNetworkStatusHook(&network);
    CHttpClient::SetTimeouts(300, 600);
    CDatabaseAppServices::Get()->GetCloudInterface()->loginData.cloudUrl = server.Url("/cloud/").c_str();
    {
        GalleryEncoderBusyShot shot(shots, dialog);
        AfxQueueScriptedAnswer(IDYES);
        kvtest::ChooseMenuItem(&dialog, "Cloud|Refresh From Server");
        EXPECT_TRUE(shot.taken);
    }
    AfxTakeScriptedMessageLog();
    CHttpClient::SetTimeouts(0, 0);
    AfxSetNetworkStatusHook(nullptr);
}

void SelectRecord(CWnd* dialog, int index)
{
    auto* selector = dynamic_cast<CComboBox*>(dialog->GetDlgItem(IDC_AED_RECORD_SELECTOR));
    if (selector)
        kvtest::PickItem(selector, index);
    AfxPumpMessages();
}
}  // namespace

void ShowEditAbsEncDb(GalleryShots& shots)
{
    TempDir home;
    home.Write("AbsEncDB.txt", kEncoders);
    CQvxDatabase db;
    CString error;
    ASSERT_TRUE(db.LoadTable(home.File("AbsEncDB.txt").c_str(), &error)) << error.GetString();
    GalleryEncoderServices services;
    services.database = &db;
    CDatabaseAppServices::Install(&services);
    {
        CEditAbsEncDbDlg dialog;
        ASSERT_TRUE(dialog.Create(IDD_EDIT_ABS_ENC_DB));
        dialog.ShowWindow(SW_SHOW);
        AfxPumpMessages();
        SelectRecord(&dialog, 0);
        shots.Take(&dialog, "local record");
        SelectRecord(&dialog, 1);
        shots.Take(&dialog, "approved record");
        SelectRecord(&dialog, 2);
        dialog.MoveWindow(0, 0, 520, 420);
        AfxPumpMessages();
        shots.Take(&dialog, "ready to submit, enlarged");
        kvtest::ChooseMenuItem(&dialog, "View|Approved");
        AfxPumpMessages();
        shots.Take(&dialog, "approved view");
        kvtest::ChooseMenuItem(&dialog, "View|All");
        ShowWaiting(shots, dialog);
        dialog.DestroyWindow();
    }
    CDatabaseAppServices::Install(nullptr);
}

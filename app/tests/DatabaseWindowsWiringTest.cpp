// The database windows as the program opens them: "Test QVX Database" on the
// application's motor recordset, the cloud management window behind its
// password, and the application's database and login data offered to both.
#include "AppTestFixture.h"
#include "app/AdminPassword.h"
#include "app/Sha256.h"
#include "database/windows/DatabaseAppServices.h"
#include "database/windows/ManageCloudDatabaseDlg.h"
#include "database/windows/QvxDatabaseTestDlg.h"
#include "platform/net/HttpClient.h"
#include "platform/ui/ListCtrl.h"
#include "resources/ids/ManageCloudDatabaseIds.h"
#include "resources/ids/QvxDatabaseTestIds.h"

namespace {
using DatabaseWindowsWiringTest = AppFixture;
}  // namespace

TEST_F(DatabaseWindowsWiringTest, TestQvxDatabaseOpensWindowsOnTheApplicationsMotorRecordset)
{
    FakePing answering(m_home, true);
    kvtest::SetNetworkAlive(1);
    AnswerCloudSync();
    ASSERT_TRUE(Start());
    CDatabaseAppServices* services = CDatabaseAppServices::Get();
    ASSERT_EQ(services, static_cast<CDatabaseAppServices*>(m_app.get()));
    EXPECT_EQ(services->GetTableDatabase(), &Database()->GetTables());
    EXPECT_EQ(services->GetCloudInterface(), &Database()->GetCloud());

    Frame()->SendMessage(WM_COMMAND, ID_TEST_DATABASE);
    Frame()->SendMessage(WM_COMMAND, ID_TEST_DATABASE);
    const auto windows = CQvxDatabaseTestDlg::GetWindows();
    ASSERT_EQ(windows.size(), 2u) << "each command opens one more";
    CQvxDatabaseTestDlg* window = windows[0];
    EXPECT_EQ(window->GetDatabase(), &Database()->GetTables());
    EXPECT_EQ(window->GetRecordsetName(), "MotorByPartNum");
    EXPECT_TRUE(window->IsWindowVisible());
    kvtest::Click(window->GetDlgItem(IDC_QDT_OPEN_DB));
    auto* list = dynamic_cast<CListCtrl*>(window->GetDlgItem(IDC_QDT_LIST1));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetItemText(0, 1), "P-100") << "the synchronised motor table is shown";

    // The windows go with the program, before its database.
    CloseFrame();
    EXPECT_EQ(Frame(), nullptr);
    EXPECT_TRUE(CQvxDatabaseTestDlg::GetWindows().empty());
}

TEST_F(DatabaseWindowsWiringTest, ManageCloudDatabaseShowsAndHidesItsOneWindowAfterThePassword)
{
    kvtest::SetAdminPasswordDigest("pepper", CSha256::HexDigest("pepperTest-Word#7"));
    MakeApp();
    auto database = std::make_unique<CAppDatabase>();
    CAppDatabase* real = database.get();
    m_app->SetDatabase(std::move(database));
    m_database = nullptr;
    ASSERT_TRUE(Start());
    auto command = [&] {
        kvtest::OnNextModal([](CWnd* dialog) {
            kvtest::TypeText(dialog->GetDlgItem(2805), "Test-Word#7");
            kvtest::Click(dialog->GetDlgItem(IDOK));
        });
        Frame()->SendMessage(WM_COMMAND, ID_MANAGE_CLOUD);
    };
    command();
    EXPECT_TRUE(real->IsCloudManagementWindowVisible());
    command();
    EXPECT_FALSE(real->IsCloudManagementWindowVisible());
    command();
    EXPECT_TRUE(real->IsCloudManagementWindowVisible()) << "the same window again";
    EXPECT_TRUE(Messages().empty());
}

namespace {
// Calls its action on every tick of a 10 ms timer while the GUI thread handles messages.
class WiringTicker : public CWnd {
public:
    WiringTicker()
    {
        CreateEx(0, nullptr, "Ticker", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
        SetTimer(1, 10, nullptr);
    }
    ~WiringTicker() override
    {
        if (GetSafeHwnd()) {
            KillTimer(1);
            DestroyWindow();
        }
    }
    std::function<void()> action;

protected:
    void OnTimer(UINT_PTR)
    {
        if (action)
            action();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(WiringTicker, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()
}  // namespace

TEST_F(DatabaseWindowsWiringTest, TheProgramStaysOpenWhileTheCloudWindowsRequestWaits)
{
    kvtest::SetAdminPasswordDigest("pepper", CSha256::HexDigest("pepperTest-Word#7"));
    MakeApp();
    auto database = std::make_unique<CAppDatabase>();
    CAppDatabase* real = database.get();
    m_app->SetDatabase(std::move(database));
    m_database = nullptr;
    ASSERT_TRUE(Start());
    kvtest::OnNextModal([](CWnd* dialog) {
        kvtest::TypeText(dialog->GetDlgItem(2805), "Test-Word#7");
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    Frame()->SendMessage(WM_COMMAND, ID_MANAGE_CLOUD);
    CManageCloudDatabaseDlg* window = real->GetCloudWindow();
    ASSERT_NE(window, nullptr);

    real->GetCloud().loginData.cloudUrl = m_cloud.Url(kCloudPath).c_str();
    FakePing answering(m_home, true);
    kvtest::SetNetworkAlive(1);
    m_cloud.SetDefaultMode(TestHttpServer::Mode::silent);
    CHttpClient::SetTimeouts(300, 600);
    std::vector<bool> mayClose;
    WiringTicker ticker;
    ticker.action = [&] {
        if (window->IsBusy() && mayClose.empty())
            mayClose.push_back(real->CanClose());
    };
    kvtest::Click(window->GetDlgItem(IDC_MCD_RETRIEVE_SUBMISSIONS));
    CHttpClient::SetTimeouts(0, 0);
    EXPECT_EQ(mayClose, std::vector<bool>{false}) << "asked while the request waited";
    EXPECT_TRUE(real->CanClose()) << "and free once it ended";
}

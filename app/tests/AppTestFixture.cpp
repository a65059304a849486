#include "AppTestFixture.h"

#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"

void AppFixture::SetUp()
{
    kvtest::SetNetworkAlive(0);
    kvtest::OverrideScreen(1280, 1024);
    AfxTakeScriptedMessageLog();
}

void AppFixture::TearDown()
{
    m_app.reset();
    kvtest::SetNetworkAlive(-1);
    kvtest::OverrideScreen(0, 0);
    AfxTakeScriptedMessageLog();
}

CKorvaneApp& AppFixture::MakeApp()
{
    m_app = std::make_unique<CKorvaneApp>();
    auto database = std::make_unique<CountingDatabase>();
    m_database = database.get();
    m_database->GetCloud().loginData.cloudUrl = m_cloud.Url(kCloudPath).c_str();
    m_database->SetSyncRequestLimitMs(3000);
    m_app->SetDatabase(std::move(database));
    m_app->GetStartupOptions().splashWaitMs = 0;
    m_app->GetStartupOptions().showSplash = false;
    m_app->GetStartupOptions().pingSeconds = 1;
    m_app->GetStartupOptions().networkDeadlineMs = 4000;
    return *m_app;
}

BOOL AppFixture::Start()
{
    if (!m_app)
        MakeApp();
    const BOOL started = m_app->InitInstance();
    // The link and scope settle at once in the simulator: the demo restore needs no pauses here.
    if (started && Frame())
        Frame()->GetBackupTool().SetPauses(0);
    return started;
}

void AppFixture::CloseFrame()
{
    if (CMainFrame* frame = Frame())
        kvtest::CloseWindow(frame);
}

COLORREF AppFixture::PixelOf(CWnd* window, int x, int y)
{
    CRect client;
    window->GetClientRect(&client);
    CDC screen;
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&memory, client.Width(), client.Height());
    CBitmap* old = memory.SelectObject(&bitmap);
    window->PrintWindow(&memory, PW_CLIENTONLY);
    memory.SelectObject(old);
    return bitmap.GetPixel(x, y);
}

std::vector<CFaultLogItem> AppFixture::Alerts()
{
    CFaultManager& faults = Frame()->GetFaultManager();
    EXPECT_TRUE(Wait([&] { return faults.GetPendingCount() == 0; }));
    return std::vector<CFaultLogItem>(faults.GetHistory().begin(), faults.GetHistory().end());
}

int AppFixture::CountAlerts(const char* key)
{
    int count = 0;
    for (const CFaultLogItem& alert : Alerts())
        count += alert.m_key == key ? 1 : 0;
    return count;
}

void AppFixture::AnswerCloudSync()
{
    m_cloud.SetReply(std::string(kCloudPath) + "retrieve_motor_data.php",
                     "<NewDataSet><IDO diffgr:id=\"IDO1\" msdata:rowOrder=\"0\"><Item>P-100</Item>"
                     "<ItemDescription>QMBM-0123456</ItemDescription><Resistance>1.25</Resistance>"
                     "<Inductance>3</Inductance><MaxRPM>6000</MaxRPM><QMBPoles>8</QMBPoles></IDO></NewDataSet>");
    m_cloud.SetReply(std::string(kCloudPath) + "retrieve_absenc_data.php",
                     "\"Heid\",\"ECN\",\"25\",\"1\",\"2M\",\"0\",\"0\",\"EnDat\",\"Approved\"\r\n");
}

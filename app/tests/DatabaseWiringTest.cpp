// The table database at start-up: the table files copied beside the user's
// settings and loaded, the cloud's tables replacing them when the cloud
// answers, its failures raised as alerts, a silent cloud holding start-up only
// for its bound while the window keeps working, and the standard recordsets.
#include <chrono>

#include "AppTestFixture.h"
#include "app/AppPaths.h"
#include "database/QvxDatabaseTable.h"
#include "platform/core/Profile.h"

namespace {
using DatabaseWiringTest = AppFixture;

int Rows(CAppDatabase& database, const char* table)
{
    const CQvxDatabaseTable* found = database.GetTables().FindTable(table);
    return found ? static_cast<int>(found->rows.GetCount()) : -1;
}

// The records of a starting table the program ships beside itself.
int ShippedRows(const char* table)
{
    CQvxDatabaseTable shipped;
    if (!shipped.LoadFromFile(AfxGetAppPaths().programFolder + "QvxDatabase/" + table + ".txt", nullptr))
        return -1;
    return static_cast<int>(shipped.rows.GetCount());
}
}  // namespace

TEST_F(DatabaseWiringTest, OfflineTheShippedTablesAreCopiedLoadedAndGetTheirRecordsets)
{
    ASSERT_TRUE(Start());
    for (const char* file : {"QvxMotorDB.txt", "AbsEncDB.txt"})
        EXPECT_TRUE(std::filesystem::exists((AfxGetAppPaths().dataFolder + "/QvxDatabase/" + file).GetString())) << file;
    for (const char* table : {"QvxMotorDB", "AbsEncDB"}) {
        EXPECT_LT(0, ShippedRows(table)) << "the demo's motor and encoders ship with the program";
        EXPECT_EQ(ShippedRows(table), Rows(*Database(), table)) << table;
    }
    for (const char* recordset : {"MotorByPartNum", "MotorByModelNum", "AbsEncByModel"})
        EXPECT_TRUE(Database()->HasRecordset(recordset)) << recordset;
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(0u, m_cloud.RequestCount()) << "no network: no request";
}

TEST_F(DatabaseWiringTest, TheCloudsTablesReplaceTheLocalOnesAndAreSaved)
{
    FakePing answering(m_home, true);
    kvtest::SetNetworkAlive(1);
    AnswerCloudSync();
    ASSERT_TRUE(Start());
    EXPECT_EQ(0, CountAlerts("CANNOT_SYNC_TO_SERVER"));
    EXPECT_EQ(1, Rows(*Database(), "QvxMotorDB"));
    EXPECT_EQ(1, Rows(*Database(), "AbsEncDB"));
    EXPECT_TRUE(Database()->HasRecordset("AbsEncByModel"));
    CQvxDatabaseTable saved;
    CString error;
    ASSERT_TRUE(saved.LoadFromFile(AfxGetAppPaths().dataFolder + "/QvxDatabase/QvxMotorDB.txt", &error))
        << error.GetString();
    EXPECT_EQ(1, static_cast<int>(saved.rows.GetCount())) << "the synchronised table is saved to its file";
}

TEST_F(DatabaseWiringTest, EachFailedTableRaisesOneAlertAndTheLocalTablesStay)
{
    FakePing answering(m_home, true);
    kvtest::SetNetworkAlive(1);
    m_cloud.SetReply(std::string(kCloudPath) + "retrieve_motor_data.php", "status:failed");
    m_cloud.SetReply(std::string(kCloudPath) + "retrieve_absenc_data.php", "status:failed");
    ASSERT_TRUE(Start());
    std::vector<CString> texts;
    for (const CFaultLogItem& alert : Alerts())
        if (alert.m_key == "CANNOT_SYNC_TO_SERVER")
            texts.push_back(alert.m_text);
    EXPECT_EQ((std::vector<CString>{"Cloud database sync error: Failed: Server could not send motor data.",
                                    "Cloud database sync error: Failed: Could not retrieve encoder data."}),
              texts);
    EXPECT_EQ(ShippedRows("QvxMotorDB"), Rows(*Database(), "QvxMotorDB"));
    EXPECT_TRUE(Database()->HasRecordset("MotorByPartNum"));
}

TEST_F(DatabaseWiringTest, ASilentCloudHoldsStartUpOnlyForItsBoundAndTheWindowKeepsWorking)
{
    FakePing answering(m_home, true);
    kvtest::SetNetworkAlive(1);
    m_cloud.SetDefaultMode(TestHttpServer::Mode::silent);
    MakeApp();
    Database()->SetSyncRequestLimitMs(1000);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(Start());
    // Start-up's own pumping ran the frame's alert timer while the requests waited.
    const int alertTicksDuringSync = Frame()->GetTickCount(kTimerAlerts);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(6));
    EXPECT_GT(alertTicksDuringSync, 0) << "the window kept its timers running";
    EXPECT_EQ(2, CountAlerts("CANNOT_SYNC_TO_SERVER"));
    EXPECT_EQ(ShippedRows("AbsEncDB"), Rows(*Database(), "AbsEncDB"));
}

TEST_F(DatabaseWiringTest, SavedLoginDataNamesTheCloudAndDamagedDataKeepsTheDefaults)
{
    CQvxCloudDatabaseLoginData saved;
    saved.cloudHost = "127.0.0.1";
    saved.cloudUrl = m_cloud.Url(kCloudPath).c_str();
    ASSERT_TRUE(Start());
    ASSERT_TRUE(CQvxCloudDatabaseLoginData::SaveToProfile(saved));
    Database()->LoadLoginData();
    EXPECT_EQ("127.0.0.1", Database()->GetCloudHost());

    AfxWriteProfileString("QVXDATABASE", "kvclid", "not^scrambled~");
    CAppDatabase fresh;
    fresh.LoadLoginData();
    EXPECT_EQ(CAppDatabase::kDefaultCloudHost, fresh.GetCloudHost());
}

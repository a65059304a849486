#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "database/QvxCloudDatabaseInterface.h"
#include "database/QvxDatabase.h"
#include "platform/core/Profile.h"
#include "platform/io/NetworkStatus.h"
#include "platform/net/HttpClient.h"
#include "testing/TempDir.h"
#include "testing/TestHttpServer.h"

namespace {

using Mode = TestHttpServer::Mode;

const char* const kEncoderTable =
    "<tabledef>\n"
    "<fieldname=\"Manufacturer\", type=STRING>\n<fieldname=\"Model\", type=STRING>\n"
    "<fieldname=\"SingleTurn\", type=NUMERIC, decdigits=0>\n<fieldname=\"MultiTurn\", type=NUMERIC, decdigits=0>\n"
    "<fieldname=\"Frequency\", type=STRING>\n<fieldname=\"AlignBits\", type=STRING>\n"
    "<fieldname=\"CDSBits\", type=STRING>\n<fieldname=\"Protocol\", type=STRING>\n"
    "<fieldname=\"Status\", type=STRING>\n"
    "</tabledef>\n"
    "{\"Heid\", \"EQN\", \"25\", \"12\", \"2M\", \"0\", \"0\", \"EnDat\", \"Approved\"}\n"
    "{\"Heid\", \"ECN\", \"25\", \"0\", \"2M\", \"0\", \"0\", \"EnDat\", \"Ready To Submit\"}\n"
    "{\"Ren\", \"Res\", \"26\", \"16\", \"4M\", \"0\", \"0\", \"BiSS\", \"Submitted\"}\n"
    "{\"Sick\", \"AFS\", \"18\", \"12\", \"1M\", \"0\", \"0\", \"SSI\", \"Approved\"}\n"
    "{\"Baum\", \"EAM\", \"13\", \"12\", \"1M\", \"0\", \"0\", \"SSI\", \"Draft\"}\n";

const char* const kMotorTable =
    "<tabledef>\n"
    "<fieldname=\"PartNum\", type=STRING>\n<fieldname=\"ModelNum\", type=STRING>\n"
    "<fieldname=\"Resistance\", type=STRING>\n<fieldname=\"Inductance\", type=STRING>\n"
    "<fieldname=\"MaxRPM\", type=STRING>\n<fieldname=\"NumPoles\", type=STRING>\n"
    "<fieldname=\"MotorType\", type=STRING>\n<fieldname=\"LinOrRot\", type=STRING>\n"
    "<fieldname=\"LinesPerRev\", type=STRING>\n"
    "</tabledef>\n"
    "{\"OLD-1\", \"QMBM-0123456\", \"1\", \"2\", \"3000\", \"8\", \"Brushless\", \"Rotary\", \"5000\"}\n";

const std::string kErpPath = "/IDORequestService/IDOWebservice.asmx";
const std::string kAction = "http://quorvex.com/IDOWebServices/";

std::string Soap(const std::string& inner)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope xmlns:soap=\"http://www.w3.org/2003/05/"
           "soap-envelope\"><soap:Body>" +
           inner + "</soap:Body></soap:Envelope>";
}

std::string Motor(const std::string& id, const std::string& part, const std::string& model)
{
    return "<IDO diffgr:id=\"" + id + "\" msdata:rowOrder=\"0\"><Item>" + part + "</Item><ItemDescription>" + model +
           "</ItemDescription><Resistance> 1.25 </Resistance><Inductance>3 &amp; 4</Inductance><MaxRPM>6000</MaxRPM>"
           "<QMBPoles>8</QMBPoles></IDO>";
}

const std::string kDataSet = "<NewDataSet>" + Motor("IDO1", "P-100", "QMBM-0123456") +
                             Motor("IDO2", "P-200", "QMDC-0040000") + Motor("IDO3", "P-300", "QX12-0000000") +
                             "</NewDataSet>";

std::string Rows(const CQvxDatabaseTable& table)
{
    std::string text;
    for (POSITION pos = table.rows.GetHeadPosition(); pos;)
        text += table.rows.GetNext(pos)->FormatCsvText().str() + "\n";
    return text;
}

class NetworkDown : public CNetworkStatusHook {
public:
    BOOL IsNetworkAlive(DWORD*) override { return alive; }
    int PingHost(const char* host) override
    {
        pinged += host;
        return answers;
    }
    BOOL alive = FALSE;
    int answers = 1;
    std::string pinged;
};

class CloudTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.Write("AbsEncDB.txt", kEncoderTable);
        home.Write("QvxMotorDB.txt", kMotorTable);
        CString error;
        ASSERT_TRUE(db.LoadTable(home.File("AbsEncDB.txt").c_str(), &error)) << error.GetString();
        ASSERT_TRUE(db.LoadTable(home.File("QvxMotorDB.txt").c_str(), &error)) << error.GetString();
        encoders = db.FindTable("AbsEncDB");
        motors = db.FindTable("QvxMotorDB");
        cloud.loginData.cloudUrl = server.Url("/7C41D0A9E35B2F86/").c_str();
        cloud.loginData.cloudUser = "korvane";
        cloud.loginData.cloudPassword = "s3cret";
        cloud.loginData.erpUrl = server.Url(kErpPath).c_str();
        cloud.loginData.erpUser = "ido<user>";
        cloud.loginData.erpPassword = "a<b&c";
        server.SetReply(kErpPath + "|" + kAction + "CreateSessionToken",
                        Soap("<CreateSessionTokenResponse><CreateSessionTokenResult>tok&amp;en"
                             "</CreateSessionTokenResult></CreateSessionTokenResponse>"));
        server.SetReply(kErpPath + "|" + kAction + "LoadDataSet",
                        Soap("<LoadDataSetResponse><LoadDataSetResult>" + kDataSet +
                             "</LoadDataSetResult></LoadDataSetResponse>"));
    }
    void TearDown() override
    {
        AfxSetNetworkStatusHook(nullptr);
        CHttpClient::SetTimeouts(0, 0);
    }
    TestHttpServer::Request LastRequest()
    {
        const auto requests = server.Requests();
        return requests.empty() ? TestHttpServer::Request() : requests.back();
    }
    void ExpectCloudHeaders(const TestHttpServer::Request& request)
    {
        std::vector<std::string> ours;
        for (const std::string& name : request.HeaderNames()) {
            if (name == "username" || name == "password" || name == "Content-Type")
                ours.push_back(name);
        }
        EXPECT_EQ(ours, (std::vector<std::string>{"username", "password", "Content-Type"}));
        EXPECT_EQ(request.Header("username"), "korvane");
        EXPECT_EQ(request.Header("password"), "s3cret");
        EXPECT_EQ(request.Header("Content-Type"), "text/plain");
        EXPECT_EQ(request.method, "POST");
    }

    TempDir home;
    TestHttpServer server;
    CQvxDatabase db;
    CQvxDatabaseTable* encoders = nullptr;
    CQvxDatabaseTable* motors = nullptr;
    CQvxCloudDatabaseInterface cloud;
};

const std::string kCloud = "/7C41D0A9E35B2F86/";

}  // namespace

TEST_F(CloudTest, EachCloudOperationSendsItsRequestAndReadsItsReply)
{
    CString error;
    BOOL found = TRUE;
    server.SetReply(kCloud + "detect_submitted_absenc_file.php", "status:filefound\r\n");
    ASSERT_TRUE(cloud.DetectSubmittedEncoderTable(found, &error)) << error.GetString();
    EXPECT_TRUE(found);
    auto request = LastRequest();
    EXPECT_EQ(request.path, kCloud + "detect_submitted_absenc_file.php");
    ExpectCloudHeaders(request);
    EXPECT_EQ(request.body, "");
    server.SetReply(kCloud + "detect_submitted_absenc_file.php", "status:nofile");
    ASSERT_TRUE(cloud.DetectSubmittedEncoderTable(found, &error));
    EXPECT_FALSE(found);

    home.Write("enc.csv", "a,b\r\nc,d\r\n");
    server.SetReply(kCloud + "publish_absenc_data.php", "status:success");
    ASSERT_TRUE(cloud.PublishEncoderFile(home.File("enc.csv").c_str(), &error)) << error.GetString();
    EXPECT_EQ(LastRequest().body, "a,b\nc,d\n");
    server.SetReply(kCloud + "publish_absenc_data.php", "status:busy");
    EXPECT_FALSE(cloud.PublishEncoderFile(home.File("enc.csv").c_str(), &error));
    EXPECT_EQ(error, "Failed: Server could not publish encoder file.");
    const size_t before = server.RequestCount();
    EXPECT_FALSE(cloud.PublishEncoderFile(home.File("none.csv").c_str(), &error));
    EXPECT_EQ(error, "Cannot load file \"none.csv\".");
    EXPECT_EQ(server.RequestCount(), before);

    server.SetReply(kCloud + "publish_motor_data.php", "status:success");
    ASSERT_TRUE(cloud.PublishMotorTable(&error)) << error.GetString();
    EXPECT_EQ(LastRequest().path, kCloud + "publish_motor_data.php");
    EXPECT_EQ(LastRequest().body, kDataSet);
    server.SetReply(kCloud + "publish_motor_data.php", "status:failed");
    EXPECT_FALSE(cloud.PublishMotorTable(&error));
    EXPECT_EQ(error, "Failed: Server could not publish motor table.");

    const std::string path = home.File("submitted.csv");
    for (const auto& [reply, message] : std::vector<std::pair<std::string, std::string>>{
             {"status:failed", "Failed: Server could not retrieve submitted encoder table."},
             {"status:nofile", "Failed: No submitted encoder table exists."},
             {"", "Failed: Server could not retrieve submitted encoder table."},
             {"<html><body>Down for maintenance</body></html>", "Failed: Server did not send an encoder table."},
             {"\"x\",\"y\"\nstatus:success", "Failed: Server did not send an encoder table."},
             {"\"x\",\"y\n", "Failed: Server did not send an encoder table."}}) {
        server.ClearRequests();
        server.SetReply(kCloud + "retrieve_submitted_absenc_file.php", reply);
        EXPECT_FALSE(cloud.RetrieveSubmittedEncoderTable(path.c_str(), &error));
        EXPECT_EQ(error.str(), message);
        EXPECT_FALSE(CFile::Exists(path.c_str()));
        EXPECT_EQ(server.Requests().size(), 1u) << "the server's copy is not deleted";
    }
    server.ClearRequests();
    server.SetReply(kCloud + "retrieve_submitted_absenc_file.php", "\"x\",\"y\"\n");
    ASSERT_TRUE(cloud.RetrieveSubmittedEncoderTable(path.c_str(), &error)) << error.GetString();
    EXPECT_EQ(home.Read("submitted.csv"), "\"x\",\"y\"\r\n");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].path, kCloud + "delete_submitted_absenc_temp_file.php");
}

TEST_F(CloudTest, LoginFailedFailsEveryCloudOperation)
{
    server.SetDefaultMode(Mode::normal);
    for (const char* endpoint :
         {"detect_submitted_absenc_file.php", "publish_motor_data.php", "publish_absenc_data.php",
          "retrieve_submitted_absenc_file.php", "submit_absenc_data.php", "retrieve_absenc_data.php",
          "retrieve_motor_data.php"})
        server.SetReply(kCloud + endpoint, "status:login_failed");
    home.Write("enc.csv", "x");
    const std::string before = Rows(*encoders) + Rows(*motors);
    CString error;
    BOOL found = FALSE;
    EXPECT_FALSE(cloud.DetectSubmittedEncoderTable(found, &error));
    EXPECT_EQ(error, "Failed: Login failed");
    EXPECT_FALSE(cloud.PublishMotorTable(&error));
    EXPECT_EQ(error, "Login failed");
    EXPECT_FALSE(cloud.PublishEncoderFile(home.File("enc.csv").c_str(), &error));
    EXPECT_EQ(error, "Failed: Login failed");
    EXPECT_FALSE(cloud.RetrieveSubmittedEncoderTable(home.File("r.csv").c_str(), &error));
    EXPECT_EQ(error, "Failed: Login failed");
    EXPECT_FALSE(cloud.SubmitEncoderRecords(encoders, "me", &error));
    EXPECT_EQ(error, "Failed: Login failed");
    EXPECT_FALSE(cloud.SyncEncoderTable(encoders, &error));
    EXPECT_EQ(error, "Failed: Login failed");
    EXPECT_FALSE(cloud.RetrieveMotorTable(motors, &error));
    EXPECT_EQ(error, "Failed: Login failed");
    EXPECT_EQ(Rows(*encoders) + Rows(*motors), before);
}

TEST_F(CloudTest, EncoderSyncFollowsTheStatusRulesAndSummarises)
{
    server.SetReply(kCloud + "retrieve_absenc_data.php",
                    "\"Heid\",\"ECN\",\"25\",\"1\",\"2M\",\"0\",\"0\",\"EnDat\",\"Approved\"\r\n"
                    "\"Ren\",\"Res\",\"26\",\"20\",\"4M\",\"0\",\"0\",\"BiSS\",\"Approved\"\r\n\r\n"
                    "\"New\",\"N1\",\"17\",\"0\",\"1M\",\"0\",\"0\",\"SSI\",\"Approved\"\n");
    CString error;
    ASSERT_TRUE(cloud.SyncEncoderTable(encoders, &error)) << error.GetString();
    // EQN and AFS were approved and are gone; ECN was ready to submit and stays as it was;
    // Res was submitted and is replaced; the draft EAM stays; N1 is new.
    EXPECT_EQ(Rows(*encoders),
              "\"Heid\",\"ECN\",\"25\",\"0\",\"2M\",\"0\",\"0\",\"EnDat\",\"Ready To Submit\"\n"
              "\"Ren\",\"Res\",\"26\",\"20\",\"4M\",\"0\",\"0\",\"BiSS\",\"Approved\"\n"
              "\"Baum\",\"EAM\",\"13\",\"12\",\"1M\",\"0\",\"0\",\"SSI\",\"Draft\"\n"
              "\"New\",\"N1\",\"17\",\"0\",\"1M\",\"0\",\"0\",\"SSI\",\"Approved\"\n");
    EXPECT_EQ(encoders->rows.GetTail()->syncFlags & 0xC, 0xCu);
    EXPECT_EQ(cloud.FormatSyncSummary(),
              "Encoders Added:\r\n\tNew - N1\r\n"
              "Encoders Deleted:\r\n\tHeid - EQN\r\n\tSick - AFS\r\n"
              "Encoders Updated:\r\n\tRen - Res\r\n");
    EXPECT_TRUE(encoders->modified);
    EXPECT_EQ(home.Read("documents/Korvane/Application Data/__ABSENCCSV_TEMP__.csv").substr(0, 18),
              "{\"Heid\",\"ECN\",\"25\"") << "the records text is left for the user to see";

    ASSERT_TRUE(cloud.SyncEncoderTable(encoders, &error)) << error.GetString();
    EXPECT_EQ(cloud.FormatSyncSummary(), "Encoders Updated:\r\n\tRen - Res\r\n\tNew - N1\r\n");
    server.SetReply(kCloud + "retrieve_absenc_data.php", "status:failed: no table");
    EXPECT_FALSE(cloud.SyncEncoderTable(encoders, &error));
    EXPECT_EQ(error, "Failed: Could not retrieve encoder data.");
}

TEST_F(CloudTest, SubmittingSendsTheReadyRecordsAndMarksThemSubmitted)
{
    server.SetReply(kCloud + "submit_absenc_data.php", "status:success");
    encoders->modified = FALSE;
    ASSERT_TRUE(db.OpenRecordset("e", "AbsEncDB", "", "Status", "Ready To Submit", 0));
    CQvxDatabaseRecordset* rs = db.FindRecordset("e");
    CString error;
    ASSERT_TRUE(cloud.SubmitEncoderRecords(encoders, "Ann \"QA\"", &error)) << error.GetString();
    const auto request = LastRequest();
    ExpectCloudHeaders(request);
    const std::string prefix = "\"Heid\",\"ECN\",\"25\",\"0\",\"2M\",\"0\",\"0\",\"EnDat\",\"Submitted\",\"";
    ASSERT_EQ(request.body.substr(0, prefix.size()), prefix);
    const std::string tail = "\",\"Ann \"QA\"\",0\r\n";
    ASSERT_GT(request.body.size(), prefix.size() + tail.size());
    EXPECT_EQ(request.body.substr(request.body.size() - tail.size()), tail);
    EXPECT_NE(Rows(*encoders).find("\"EnDat\",\"Submitted\""), std::string::npos);
    EXPECT_TRUE(encoders->modified) << "statuses changed";
    CString shown;
    rs->GetFieldValue("Status", FALSE, shown);
    EXPECT_EQ(shown, "Submitted") << "the recordset showing the record reloads it";
    ASSERT_TRUE(rs->Requery());
    EXPECT_EQ(rs->GetCount(), 0) << "no edit buffer wrote the old status back";

    const size_t before = server.RequestCount();
    EXPECT_FALSE(cloud.SubmitEncoderRecords(encoders, "Ann", &error));
    EXPECT_EQ(error, "No encoders to submit.");
    EXPECT_EQ(server.RequestCount(), before);

    CQvxDatabaseTable bare;
    EXPECT_FALSE(cloud.SubmitEncoderRecords(&bare, "Ann", &error));
    EXPECT_EQ(error, "Internal table error");
}

TEST_F(CloudTest, SoapEnvelopeTokenAndDataSet)
{
    CString data;
    CString error;
    ASSERT_TRUE(cloud.LoadDataSet("QvxMotorDB", data, &error)) << error.GetString();
    EXPECT_EQ(data.str(), kDataSet);
    EXPECT_EQ(cloud.sessionToken, "tok&en");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].path, kErpPath);
    EXPECT_EQ(requests[0].Header("SOAPAction"), kAction + "CreateSessionToken");
    EXPECT_EQ(requests[0].Header("Content-Type"), "text/xml; charset=utf-8");
    EXPECT_EQ(requests[0].body,
              "<?xml version=\"1.0\" encoding=\"utf-8\"?> <soap12:Envelope "
              "xmlns:soap12=\"http://www.w3.org/2003/05/soap-envelope\"> <soap12:Body>"
              "<CreateSessionToken xmlns=\"http://quorvex.com/IDOWebServices\">\n"
              "<strUserId>ido&lt;user&gt;</strUserId>\n<strPswd>a&lt;b&amp;c</strPswd>\n<strConfig>qvx</strConfig>\n"
              "</CreateSessionToken></soap12:Body> </soap12:Envelope>");
    EXPECT_EQ(requests[1].Header("SOAPAction"), kAction + "LoadDataSet");
    EXPECT_NE(requests[1].body.find("<strSessionToken>tok&amp;en</strSessionToken>\n<strIDOName>QvxMotorIDO"
                                    "</strIDOName>\n<iRecordCap>0</iRecordCap>\n<strPropertyList>Item,"
                                    "ItemDescription,Resistance,Inductance,MaxRPM,QMBPoles</strPropertyList>"),
              std::string::npos);

    CStringList bad;
    bad.AddTail("noColon");
    CString body;
    EXPECT_FALSE(CQvxCloudDatabaseInterface::BuildSoapBody("M", bad, body));

    // The ERP table's records are added; a motor whose model does not decode is named and skipped.
    ASSERT_FALSE(cloud.LoadErpTable("QvxMotorDB", motors, &error));
    EXPECT_EQ(error, "Model length or name error in P-300 [QX12-0000000]");
    EXPECT_EQ(Rows(*motors),
              "\"OLD-1\",\"QMBM-0123456\",\"1\",\"2\",\"3000\",\"8\",\"Brushless\",\"Rotary\",\"5000\"\n"
              "\"P-100\",\"QMBM-0123456\",\"1.25\",\"3 & 4\",\"6000\",\"8\",\"Brushless\",\"Rotary\",\"5000\"\n"
              "\"P-200\",\"QMDC-0040000\",\"1.25\",\"3 & 4\",\"6000\",\"\",\"Brush\",\"Rotary\",\"1000\"\n");
}

TEST_F(CloudTest, ErpFailuresLeaveTheTablesAndWriteTheDump)
{
    const std::string before = Rows(*motors);
    CString error;
    server.SetReply(kErpPath + "|" + kAction + "LoadDataSet", Soap("<Other>nothing</Other>"));
    CString data;
    EXPECT_FALSE(cloud.LoadDataSet("QvxMotorDB", data, &error));
    const std::string dump = home.File("documents/Korvane/Application Data/SYTELINE_SOAP_DUMP.txt");
    EXPECT_EQ(error.str(), "Invalid data returned from SyteLine.  Dump available at: \"" + dump + "\"");
    EXPECT_EQ(home.Read("documents/Korvane/Application Data/SYTELINE_SOAP_DUMP.txt"), "<Other>nothing</Other>");

    // A reply cut inside an element is no SOAP body.
    const std::string whole = Soap("<LoadDataSetResponse><LoadDataSetResult>" + kDataSet +
                                   "</LoadDataSetResult></LoadDataSetResponse>");
    server.SetReply(kErpPath + "|" + kAction + "LoadDataSet", whole.substr(0, whole.size() / 2));
    EXPECT_FALSE(cloud.LoadErpTable("QvxMotorDB", motors, &error));
    EXPECT_EQ(Rows(*motors), before);

    server.SetReply(kErpPath + "|" + kAction + "CreateSessionToken", Soap("<Nope/>"));
    EXPECT_FALSE(cloud.LoadDataSet("QvxMotorDB", data, &error));
    EXPECT_EQ(error, "Could not obtain SyteLine token.  Please verify user name and password.");
    EXPECT_FALSE(cloud.CreateSessionToken("qvx", "u", "p", &error));
    EXPECT_EQ(error, "Incorrect response from server (334). Please contact Quorvex.");
    // Only a server that answered without a token may have refused the login;
    // every other failure says what happened.
    server.SetReply(kErpPath + "|" + kAction + "CreateSessionToken", "garbage");
    EXPECT_FALSE(cloud.LoadDataSet("QvxMotorDB", data, &error));
    EXPECT_EQ(error, "Could not obtain SyteLine token.  The server's reply is not a SOAP message.");
    server.SetMode(kErpPath, Mode::html500);
    EXPECT_FALSE(cloud.LoadDataSet("QvxMotorDB", data, &error));
    EXPECT_EQ(error, "Could not obtain SyteLine token.  The server answered with HTTP status 500.");
    server.SetMode(kErpPath, Mode::cutShort);
    EXPECT_FALSE(cloud.LoadDataSet("QvxMotorDB", data, &error));
    EXPECT_EQ(error.str().rfind("Could not obtain SyteLine token.  The server's reply failed: transfer closed", 0), 0u)
        << error.str();
    const std::string url = server.Url(kErpPath);
    server.Stop();
    cloud.loginData.erpUrl = url.c_str();
    EXPECT_FALSE(cloud.LoadDataSet("QvxMotorDB", data, &error));
    EXPECT_EQ(error, "Could not obtain SyteLine token.  Could not connect to server.  Please check internet connection.");
    EXPECT_EQ(Rows(*motors), before);
}

TEST_F(CloudTest, MotorTableIsReplacedOnlyByAGoodDataSet)
{
    const std::string before = Rows(*motors);
    CString error;
    for (const std::string& reply :
         {std::string("status:failed"), std::string(""), "<NewDataSet>" + Motor("IDO1", "P-1", "QMBM-0123456") +
                                                              "<IDO><Item>P-2</Item></IDO></NewDataSet>",
          "<NewDataSet>" + Motor("IDO1", "P-1", "QMBM-0123456") + "<IDO diffgr:id=\"IDO2\"><Item>P-2</Item>",
          "<NewDataSet>" + Motor("IDO1", "P-1", "QMBM-0123456"),  // cut between two records
          std::string("<html><body>Maintenance</body></html>")}) {
        server.SetReply(kCloud + "retrieve_motor_data.php", reply);
        EXPECT_FALSE(cloud.RetrieveMotorTable(motors, &error)) << reply;
        EXPECT_EQ(Rows(*motors), before) << reply;
    }
    server.SetReply(kCloud + "retrieve_motor_data.php", "<NewDataSet><IDO><Item>x</Item></IDO></NewDataSet>");
    EXPECT_FALSE(cloud.RetrieveMotorTable(motors, &error));
    EXPECT_EQ(error, "Invalid motor data");

    CQvxDatabaseRecordset* rs = nullptr;
    ASSERT_TRUE(db.OpenRecordset("m", "QvxMotorDB", "PartNum", "", "", 0));
    rs = db.FindRecordset("m");
    server.SetReply(kCloud + "retrieve_motor_data.php", kDataSet);
    EXPECT_FALSE(cloud.RetrieveMotorTable(motors, &error)) << "P-300 does not decode";
    EXPECT_EQ(error, "Model length or name error in P-300 [QX12-0000000]");
    EXPECT_EQ(motors->rows.GetCount(), 2);
    EXPECT_EQ(rs->GetCount(), 2) << "the recordset follows the new records";
    CString part;
    rs->GetFieldValue("PartNum", FALSE, part);
    EXPECT_EQ(part, "P-100");
}

TEST(MotorModelTest, DecodingTable)
{
    struct Case {
        const char* model;
        const char* result;  // MotorType/LinesPerRev/NumPoles, or the error
    };
    const Case cases[] = {
        {"QMBM-0123456", "Brushless/5000/8"},
        {"QMBM-0000000-X1", "Brushless/2048/8"},
        {"QMBA-1234567F", "Brushless/Absolute/8"},
        {"QMBA-12345678", "Brushless/8192/8"},
        {"QMBA-1234567", "Brushless/No Encoder/8"},
        {"QMBA-GGGGGGG7", "Brushless/No Encoder/8"},
        {"QMDC-0040000", "Brush/1000/"},
        {"QMDC-0070000", "Brush/No Encoder/"},
        {"QX12-0000000", "Model length or name error in P [QX12-0000000]"},
        {"QMB", "Model length or name error in P [QMB]"},
        {"QMBM-123", "Data section not found in P [QMBM-123]"},
        {"QMBM0123456", "Data section not found in P [QMBM0123456]"},
        {"QMBM-01234Z6", "Model data section has invalid characters in P [QMBM-01234Z6]"},
    };
    for (const Case& c : cases) {
        CMapStringToString values;
        values.SetAt("PartNum", "P");
        values.SetAt("ModelNum", c.model);
        values.SetAt("NumPoles", "8");
        CString error;
        CString result;
        if (CQvxCloudDatabaseInterface::DecodeMotorModel(values, error)) {
            result = values["MotorType"] + "/" + values["LinesPerRev"] + "/" + values["NumPoles"];
            EXPECT_EQ(values["LinOrRot"], "Rotary");
        } else {
            result = error;
        }
        EXPECT_EQ(result.str(), c.result) << c.model;
    }
    CMapStringToString values;
    CString error;
    EXPECT_FALSE(CQvxCloudDatabaseInterface::DecodeMotorModel(values, error));
    EXPECT_EQ(error, "Missing PartNum");
    values.SetAt("PartNum", "P9");
    values.SetAt("ModelNum", "[N/A]");
    EXPECT_FALSE(CQvxCloudDatabaseInterface::DecodeMotorModel(values, error));
    EXPECT_EQ(error, "Missing ModelNum in PartNum=P9");
}

TEST_F(CloudTest, NothingAServerSendsCorruptsTheEncoderTable)
{
    const std::string before = Rows(*encoders);
    const std::string endpoint = kCloud + "retrieve_absenc_data.php";
    CString error;
    struct Case {
        Mode mode;
        std::string reply;
        std::string message;
    };
    const std::string good = "\"A\",\"B\",\"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"Approved\"\n";
    const std::string seeFile = ". \r\nSee file: \"" +
                                home.File("documents/Korvane/Application Data/__ABSENCCSV_TEMP__.csv") + "\".";
    const Case cases[] = {
        {Mode::html500, good, "Failed: The server answered with HTTP status 500."},
        {Mode::normal, "", "Failed: Could not retrieve encoder data."},
        {Mode::normal, "\r\n \r\n", "Failed: Could not retrieve encoder data."},
        // The server did answer: the reply's wrong length is named, not the connection.
        {Mode::cutShort, good + good, "Failed: The server's reply failed: transfer closed"},
        {Mode::normal, good + "\"A\",\"C\",\"1\"\n",
         "Error importing encoder data: Line 2: the record holds 3 values for 9 fields" + seeFile},
        {Mode::normal, "<html><body>Sorry</body></html>",
         "Error importing encoder data: Line 1: the record holds 1 values for 9 fields" + seeFile},
    };
    for (const Case& c : cases) {
        server.SetMode(endpoint, c.mode);
        server.SetReply(endpoint, c.reply);
        EXPECT_FALSE(cloud.SyncEncoderTable(encoders, &error)) << c.reply;
        const bool named = c.mode == Mode::cutShort ? error.str().rfind(c.message, 0) == 0 : error.str() == c.message;
        EXPECT_TRUE(named) << error.str();
        EXPECT_EQ(Rows(*encoders), before) << c.reply;
    }

    // A retrieved file is written only from a whole, good reply.
    const std::string retrieved = home.File("submitted.csv");
    home.Write("submitted.csv", "kept");
    const std::string fileEndpoint = kCloud + "retrieve_submitted_absenc_file.php";
    server.SetReply(fileEndpoint, good + good + good);
    for (Mode mode : {Mode::html500, Mode::cutShort}) {
        server.SetMode(fileEndpoint, mode);
        EXPECT_FALSE(cloud.RetrieveSubmittedEncoderTable(retrieved.c_str(), &error));
        EXPECT_EQ(home.Read("submitted.csv"), "kept");
    }
}

TEST_F(CloudTest, OfflineRefusedAndSilentServersFailWithinTheTimeOut)
{
    NetworkDown network;
    AfxSetNetworkStatusHook(&network);
    CString error;
    EXPECT_FALSE(cloud.TestCloudConnection(&error));
    EXPECT_EQ(error, "Not connected to network.");
    EXPECT_FALSE(cloud.TestErpConnection(&error));
    EXPECT_EQ(error, "Not connected to network.");
    EXPECT_EQ(server.RequestCount(), 0u);
    EXPECT_EQ(network.pinged, "");

    network.alive = TRUE;
    network.answers = 0;
    cloud.loginData.cloudHost = "cloud.test";
    cloud.loginData.erpHost = "erp.test";
    EXPECT_FALSE(cloud.TestCloudConnection(&error));
    EXPECT_EQ(error, "Cloud server not available.");
    EXPECT_FALSE(cloud.TestErpConnection(&error));
    EXPECT_EQ(error, "SyteLine server not available.");
    EXPECT_EQ(network.pinged, "cloud.testerp.test");
    network.answers = 1;
    server.SetReply(kCloud + "detect_submitted_absenc_file.php", "status:nofile");
    EXPECT_TRUE(cloud.TestCloudConnection(&error)) << error.GetString();
    EXPECT_TRUE(cloud.TestErpConnection(&error)) << error.GetString();

    CHttpClient::SetTimeouts(500, 800);
    server.SetDefaultMode(Mode::silent);
    BOOL found = FALSE;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(cloud.DetectSubmittedEncoderTable(found, &error));
    EXPECT_EQ(error, "Failed: Could not connect to server.  Please check internet connection.");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    const std::string url = server.Url(kCloud);
    server.Stop();
    cloud.loginData.cloudUrl = url.c_str();
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(cloud.DetectSubmittedEncoderTable(found, &error));
    EXPECT_EQ(error, "Failed: Could not connect to server.  Please check internet connection.");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(CloudLoginTest, DefaultsSurviveTheProfileAndTheProfileIsPrivate)
{
    TempDir home;
    CQvxCloudDatabaseLoginData login;
    const CQvxCloudDatabaseLoginData defaults;
    ASSERT_TRUE(CQvxCloudDatabaseLoginData::LoadFromProfile(login));
    EXPECT_EQ(login.cloudPassword, "lornwexcabtip");
    EXPECT_EQ(login.erpPassword, "Pl@k$rime");
    EXPECT_EQ(login.cloudUrl.Right(18), "/7C41D0A9E35B2F86/");
    EXPECT_EQ(login.erpUrl.Right(37), "/IDORequestService/IDOWebservice.asmx");

    login.cloudUser = "ann";
    login.cloudPassword = "p^a~s<s&";
    login.erpHost = "";
    ASSERT_TRUE(CQvxCloudDatabaseLoginData::SaveToProfile(login));
    struct stat st {};
    ASSERT_EQ(stat(AfxGetProfilePath(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const CString stored = AfxGetProfileString("QVXDATABASE", "kvclid");
    EXPECT_EQ(stored.Find("ann"), -1) << "the saved text is scrambled";
    EXPECT_EQ(stored.Right(1), "~");

    CQvxCloudDatabaseLoginData read;
    ASSERT_TRUE(CQvxCloudDatabaseLoginData::LoadFromProfile(read));
    EXPECT_EQ(read.cloudUser, "ann");
    EXPECT_EQ(read.cloudPassword, "p^a~s<s&");
    EXPECT_EQ(read.erpHost, "");
    EXPECT_EQ(read.erpUrl, defaults.erpUrl);

    // Another write of the profile keeps it private.
    ASSERT_TRUE(AfxWriteProfileString("Other", "x", "1"));
    ASSERT_EQ(stat(AfxGetProfilePath(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    ASSERT_TRUE(AfxWriteProfileString("QVXDATABASE", "kvclid", stored + "garbage~"));
    CQvxCloudDatabaseLoginData damaged;
    EXPECT_FALSE(CQvxCloudDatabaseLoginData::LoadFromProfile(damaged));
    EXPECT_EQ(damaged.cloudUser, "ann") << "values before the bad piece stay";
}

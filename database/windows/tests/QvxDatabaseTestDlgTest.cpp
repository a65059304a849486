// The database test window over small motor and encoder tables: moving,
// button enabling, editing, JSON through the text box, further windows on new
// recordsets and on a database of their own, encoder submission and the
// comparison report against the loopback ERP service.
#include <gtest/gtest.h>

#include <unistd.h>

#include "CloudWindowsBench.h"
#include "controls/DPopupSelectListEditCtrl.h"
#include "database/windows/QvxDatabaseTestDlg.h"
#include "database/windows/SoapComparisonReport.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/QvxDatabaseTestIds.h"
#include "testing/WindowShot.h"

using namespace cloudbench;

namespace {

const char* const kMotorFields =
    "<tabledef>\n"
    "<fieldname=\"PartNum\", type=STRING>\n<fieldname=\"ModelNum\", type=STRING>\n"
    "<fieldname=\"Resistance\", type=STRING>\n<fieldname=\"Inductance\", type=STRING>\n"
    "<fieldname=\"MaxRPM\", type=STRING>\n<fieldname=\"NumPoles\", type=STRING>\n"
    "<fieldname=\"MotorType\", type=STRING>\n<fieldname=\"LinOrRot\", type=STRING>\n"
    "<fieldname=\"LinesPerRev\", type=STRING>\n"
    "</tabledef>\n";

const std::string kMotors = std::string(kMotorFields) +
                            "{\"P-100\", \"QMBM-0123456\", \"1.5\", \"3\", \"6000\", \"8\", \"Brushless\", \"Rotary\", "
                            "\"5000\"}\n"
                            "{\"P-150\", \"QMBM-0999999\", \"2\", \"4\", \"5000\", \"8\", \"Brushless\", \"Rotary\", "
                            "\"5000\"}\n"
                            "{\"P-300\", \"QMDC-0040000\", \"1\", \"2\", \"3000\", \"\", \"Brush\", \"Rotary\", "
                            "\"1000\"}\n";

const char* const kEncoders =
    "<tabledef>\n"
    "<fieldname=\"Manufacturer\", type=STRING>\n<fieldname=\"Model\", type=STRING>\n"
    "<fieldname=\"Status\", type=STRING>\n"
    "</tabledef>\n"
    "{\"Heid\", \"EQN\", \"Ready To Submit\"}\n"
    "{\"Ren\", \"Res\", \"Local\"}\n";

enum Button { kFirst, kPrev, kNext, kLast, kAdd, kDel, kWrite };
const int kRecordButtons[] = {IDC_QDT_FIRST, IDC_QDT_PREV, IDC_QDT_NEXT,  IDC_QDT_LAST,
                              IDC_QDT_ADD,   IDC_QDT_DELETE, IDC_QDT_WRITE};

class QvxDatabaseTestDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AfxTakeScriptedMessageLog();
        bench.home.Write("QvxMotorDB.txt", kMotors);
        bench.home.Write("AbsEncDB.txt", kEncoders);
        CString error;
        ASSERT_TRUE(db().LoadTable(bench.home.File("QvxMotorDB.txt").c_str(), &error)) << error.GetString();
        ASSERT_TRUE(db().LoadTable(bench.home.File("AbsEncDB.txt").c_str(), &error)) << error.GetString();
        ASSERT_TRUE(db().OpenRecordset("MotorByPartNum", "QvxMotorDB", "PartNum", "", "", -1));
        ASSERT_TRUE(db().OpenRecordset("MotorByModelNum", "QvxMotorDB", "ModelNum", "", "", -1));
        ASSERT_TRUE(db().OpenRecordset("AbsEncByModel", "AbsEncDB", "Manufacturer,Model", "", "", -1));
        char cwd[4096] = {};
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        m_oldFolder = cwd;
        ASSERT_EQ(chdir(bench.home.path().c_str()), 0) << "the report goes to the current folder";
    }
    void TearDown() override
    {
        while (!CQvxDatabaseTestDlg::GetWindows().empty())
            CQvxDatabaseTestDlg::GetWindows().back()->DestroyWindow();
        EXPECT_EQ(chdir(m_oldFolder.c_str()), 0);
        AfxTakeScriptedMessageLog();
    }
    CQvxDatabase& db() { return bench.app.database; }
    CQvxDatabaseTable* Motors() { return db().FindTable("QvxMotorDB"); }
    CQvxDatabaseTestDlg* OpenBound(const char* table = "QvxMotorDB", const char* recordset = "MotorByPartNum")
    {
        CQvxDatabaseTestDlg* window = CQvxDatabaseTestDlg::Open(&db(), table, recordset);
        if (window)
            Click(window, IDC_QDT_OPEN_DB);
        return window;
    }
    static void Click(CWnd* window, int id) { kvtest::Click(window->GetDlgItem(id)); }
    static std::vector<bool> Enabled(CWnd* window)
    {
        std::vector<bool> enabled;
        for (int id : kRecordButtons)
            enabled.push_back(window->GetDlgItem(id)->IsWindowEnabled() != FALSE);
        return enabled;
    }
    static CListCtrl* List(CWnd* window, int id) { return dynamic_cast<CListCtrl*>(window->GetDlgItem(id)); }
    // The value shown on the list's line of a field (lines in field order).
    static CString Shown(CWnd* window, int line) { return List(window, IDC_QDT_LIST1)->GetItemText(line, 1); }
    static CString Text(CWnd* window)
    {
        CString text;
        window->GetDlgItemText(IDC_QDT_TEXT, text);
        return text;
    }
    static std::string Rows(const CQvxDatabaseTable* table)
    {
        std::string text;
        for (POSITION pos = table->rows.GetHeadPosition(); pos;)
            text += table->rows.GetNext(pos)->FormatCsvText().str() + "\n";
        return text;
    }

    Bench bench;
    std::string m_oldFolder;
};

}  // namespace

TEST_F(QvxDatabaseTestDlgTest, ButtonsFollowThePositionAndTheRowFlags)
{
    CQvxDatabaseTestDlg* window = CQvxDatabaseTestDlg::Open(&db(), "QvxMotorDB", "MotorByPartNum");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Enabled(window), std::vector<bool>(7, false)) << "unbound";

    auto row = [&](int index) { return Motors()->rows.GetAt(Motors()->rows.FindIndex(index)); };
    row(1)->syncFlags = 0x4;
    row(2)->syncFlags = 0x8;
    Click(window, IDC_QDT_OPEN_DB);
    auto* list1 = dynamic_cast<CQvxGuiUpdateList*>(window->GetDlgItem(IDC_QDT_LIST1));
    auto* list2 = dynamic_cast<CQvxGuiUpdateList*>(window->GetDlgItem(IDC_QDT_LIST2));
    ASSERT_TRUE(list1 && list2);
    EXPECT_EQ(list1->GetItemCount(), 9);
    EXPECT_EQ(list2->GetItemCount(), 9);
    EXPECT_EQ(list1->m_flags, 0x103u);
    EXPECT_EQ(dynamic_cast<CComboBox*>(window->GetDlgItem(IDC_QDT_NAV_COMBO))->GetCount(), 3);
    EXPECT_EQ(dynamic_cast<CDPopupSelectListEditCtrl*>(window->GetDlgItem(IDC_QDT_MODEL_EDIT))->GetChoices().GetCount(),
              3) << "the model numbers are the popup's choices";

    struct Step {
        int button;
        const char* part;
        std::vector<bool> enabled;  // << < > >> * Del Write
        int readOnly;
    };
    const Step steps[] = {
        {0, "P-100", {false, false, true, true, true, true, true}, 0},
        {IDC_QDT_NEXT, "P-150", {true, true, true, true, true, true, false}, 1},
        {IDC_QDT_LAST, "P-300", {true, true, false, false, true, false, true}, 0},
        {IDC_QDT_PREV, "P-150", {true, true, true, true, true, true, false}, 1},
        {IDC_QDT_FIRST, "P-100", {false, false, true, true, true, true, true}, 0},
    };
    for (const Step& step : steps) {
        if (step.button)
            Click(window, step.button);
        EXPECT_EQ(Shown(window, 0), step.part) << step.button;
        EXPECT_EQ(Enabled(window), step.enabled) << step.part;
        EXPECT_EQ(list1->m_readOnly, step.readOnly) << step.part;
        EXPECT_EQ(list2->m_readOnly, step.readOnly) << step.part;
    }
    Screenshot(window, "database_test_window");

    Click(window, IDC_QDT_CLOSE_DB);
    EXPECT_EQ(Enabled(window), std::vector<bool>(7, false));
    EXPECT_EQ(list1->GetItemCount(), 0);
    EXPECT_EQ(db().FindRecordset("MotorByPartNum")->clients.GetCount(), 0) << "every control let go";
    EXPECT_NE(db().FindTable("QvxMotorDB"), nullptr) << "the application's database stays";
}

TEST_F(QvxDatabaseTestDlgTest, WriteAddDeleteAndRequeryKeepingTheRecord)
{
    CQvxDatabaseTestDlg* window = OpenBound();
    ASSERT_NE(window, nullptr);
    Click(window, IDC_QDT_NEXT);
    auto* list = dynamic_cast<CQvxGuiUpdateList*>(window->GetDlgItem(IDC_QDT_LIST1));
    ASSERT_TRUE(list->EditSubItem(1, 2));
    list->GetEditBox()->SetWindowText("");
    kvtest::TypeText(list->GetEditBox(), "7.25\r");
    EXPECT_EQ(Rows(Motors()).find("7.25"), std::string::npos) << "held in the edit buffer until Write";
    Click(window, IDC_QDT_WRITE);
    EXPECT_NE(Rows(Motors()).find("\"P-150\",\"QMBM-0999999\",\"7.25\""), std::string::npos);
    EXPECT_TRUE(Motors()->modified);

    // A record the table got behind the recordset's back shows after Requery; the current one stays.
    CQvxDatabaseTableDataRow* added = Motors()->CreateRecord(nullptr);
    added->SetValue(0, "A-001");
    added->SetValue(1, "QMBM-0000001");
    Click(window, IDC_QDT_REQUERY);
    EXPECT_EQ(Shown(window, 0), "P-150");
    EXPECT_EQ(db().FindRecordset("MotorByPartNum")->GetCount(), 4);
    Click(window, IDC_QDT_FIRST);
    EXPECT_EQ(Shown(window, 0), "A-001");

    Click(window, IDC_QDT_ADD);
    EXPECT_EQ(Motors()->rows.GetCount(), 5);
    EXPECT_EQ(Shown(window, 0), "") << "the new record is current";
    EXPECT_EQ(Enabled(window), (std::vector<bool>{true, true, false, false, true, true, true}));
    Click(window, IDC_QDT_DELETE);
    EXPECT_EQ(Motors()->rows.GetCount(), 4);
    Click(window, IDC_QDT_FIRST);
    Click(window, IDC_QDT_DELETE);
    EXPECT_EQ(Rows(Motors()).find("A-001"), std::string::npos);
    EXPECT_EQ(Shown(window, 0), "P-100");
}

TEST_F(QvxDatabaseTestDlgTest, JsonGoesOutToTheTextBoxAndComesBackKeyedByModelNumber)
{
    CQvxDatabaseTestDlg* window = OpenBound();
    ASSERT_NE(window, nullptr);
    Click(window, IDC_QDT_EXPORT_JSON);
    CString all;
    Motors()->ExportJson(nullptr, all);
    CString shown = Text(window);
    shown.Replace("\r\n", "\n");
    EXPECT_EQ(shown, all);
    Click(window, IDC_QDT_LAST);
    Click(window, IDC_QDT_EXPORT_RECORD_JSON);
    shown = Text(window);
    EXPECT_NE(shown.Find("\"PartNum\": \"P-300\""), -1);
    EXPECT_EQ(shown.Find("P-100"), -1) << "only the current record";

    const std::string before = Rows(Motors());
    window->SetDlgItemText(IDC_QDT_TEXT, "{\"QvxMotorDB\": [{\"PartNum\": \"P-100\", \"ModelNum\": \"QMBM-0123456\"");
    Click(window, IDC_QDT_IMPORT_JSON);
    const std::vector<CString> failed = Boxes();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].Left(7), "ERROR: ");
    EXPECT_GT(failed[0].GetLength(), 7);
    EXPECT_EQ(Rows(Motors()), before) << "a failed import changes nothing";

    window->SetDlgItemText(IDC_QDT_TEXT, "{\"QvxMotorDB\": [\r\n"
                                         "{\"PartNum\": \"P-101\", \"ModelNum\": \"QMBM-0123456\", "
                                         "\"MaxRPM\": \"6500\"},"
                                         "{\"PartNum\": \"P-400\", \"ModelNum\": \"QMBM-0444444\"}\r\n]}");
    Click(window, IDC_QDT_IMPORT_JSON);
    EXPECT_EQ(Boxes(), std::vector<CString>{"JSON data loaded successfully."});
    const std::string after = Rows(Motors());
    EXPECT_NE(after.find("\"P-101\",\"QMBM-0123456\""), std::string::npos) << "the matching model is updated";
    EXPECT_NE(after.find("\"P-400\",\"QMBM-0444444\""), std::string::npos) << "a new model is added";
    EXPECT_NE(after.find("\"P-150\""), std::string::npos) << "models the text lacks stay";
    EXPECT_EQ(db().FindRecordset("MotorByPartNum")->GetCount(), 4) << "the recordset was queried again";
}

TEST_F(QvxDatabaseTestDlgTest, NewRecsetOpensWindowsOnNewRecordsetsOfTheSameTable)
{
    CQvxDatabaseTestDlg* window = OpenBound();
    ASSERT_NE(window, nullptr);
    Click(window, IDC_QDT_NEW_RECSET);
    Click(window, IDC_QDT_NEW_RECSET);
    const auto windows = CQvxDatabaseTestDlg::GetWindows();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(windows[1]->GetRecordsetName(), "MotorByPartNum0");
    EXPECT_EQ(windows[2]->GetRecordsetName(), "MotorByPartNum1");
    EXPECT_EQ(windows[1]->GetDatabase(), &db());
    EXPECT_EQ(windows[1]->GetTableName(), "QvxMotorDB");
    EXPECT_TRUE(windows[1]->IsWindowVisible());

    Click(windows[1], IDC_QDT_OPEN_DB);
    ASSERT_NE(db().FindRecordset("MotorByPartNum0"), nullptr);
    Click(windows[1], IDC_QDT_LAST);
    EXPECT_EQ(Shown(windows[1], 0), "P-300");
    EXPECT_EQ(Shown(window, 0), "P-100") << "each window moves its own recordset";
    kvtest::CloseWindow(windows[2]);
    EXPECT_EQ(CQvxDatabaseTestDlg::GetWindows().size(), 2u) << "a closed window deletes itself";

    // Shown on another database, a window lets go of the one it was bound to.
    window->Show(nullptr, "", "Other");
    EXPECT_EQ(window->GetDatabase(), nullptr);
    EXPECT_EQ(db().FindRecordset("MotorByPartNum")->clients.GetCount(), 0);
}

TEST_F(QvxDatabaseTestDlgTest, ADatabaseOfTheWindowsOwnLivesUntilTheLastWindowOnItCloses)
{
    bench.home.Write("Spares.txt", kMotors);
    CQvxDatabaseTestDlg* first = CQvxDatabaseTestDlg::Open(nullptr, "", "Spare");
    ASSERT_NE(first, nullptr);
    kvtest::QueueFileDialogAnswer("");
    Click(first, IDC_QDT_OPEN_DB);
    EXPECT_EQ(first->GetDatabase(), nullptr) << "a cancelled choice leaves it without a database";
    bench.home.Write("Broken.txt", "<tabledef>\n<fieldname=\"A\", type=STRING>\n</tabledef>\n{\"x\"\n");
    kvtest::QueueFileDialogAnswer(bench.home.File("Broken.txt").c_str());
    Click(first, IDC_QDT_OPEN_DB);
    EXPECT_EQ(first->GetDatabase(), nullptr);
    EXPECT_EQ(Boxes().size(), 1u) << "a table that does not load is reported";

    kvtest::QueueFileDialogAnswer(bench.home.File("Spares.txt").c_str());
    Click(first, IDC_QDT_OPEN_DB);
    ASSERT_NE(first->GetDatabase(), nullptr);
    EXPECT_EQ(first->GetTableName(), "Spares");
    EXPECT_EQ(Shown(first, 0), "P-100") << "the window's recordset is opened over its table";
    Click(first, IDC_QDT_NEW_RECSET);
    CQvxDatabaseTestDlg* second = CQvxDatabaseTestDlg::GetWindows().back();
    ASSERT_NE(second, first);
    EXPECT_EQ(second->GetDatabase(), first->GetDatabase());

    // The window that loaded the database goes first; the other, bound meanwhile, still works on it.
    Click(second, IDC_QDT_OPEN_DB);
    kvtest::CloseWindow(first);
    ASSERT_EQ(CQvxDatabaseTestDlg::GetWindows().size(), 1u);
    Click(second, IDC_QDT_LAST);
    EXPECT_EQ(Shown(second, 0), "P-300");
    Click(second, IDC_QDT_EXPORT_JSON);
    EXPECT_NE(Text(second).Find("\"Spares\""), -1);
    kvtest::CloseWindow(second);
    EXPECT_TRUE(CQvxDatabaseTestDlg::GetWindows().empty());
}

TEST_F(QvxDatabaseTestDlgTest, TestSubmitsTheReadyEncodersAsAnonymous)
{
    CQvxDatabaseTestDlg* window = OpenBound("AbsEncDB", "AbsEncByModel");
    ASSERT_NE(window, nullptr);
    CQvxDatabaseTable* encoders = db().FindTable("AbsEncDB");
    bench.SetCloudReply("submit_absenc_data.php", "status:failed");
    Click(window, IDC_QDT_TEST);
    EXPECT_EQ(Boxes(), std::vector<CString>{"Server could not submit encoder data."});
    EXPECT_EQ(Rows(encoders), "\"Heid\",\"EQN\",\"Ready To Submit\"\n\"Ren\",\"Res\",\"Local\"\n");

    bench.SetCloudReply("submit_absenc_data.php", "status:success");
    Click(window, IDC_QDT_TEST);
    EXPECT_TRUE(Boxes().empty());
    const auto sent = bench.CloudRequests("submit_absenc_data.php");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].body.substr(0, 26), "\"Heid\",\"EQN\",\"Submitted\",\"");
    EXPECT_NE(sent[1].body.find("\",\"Anonymous\",0\r\n"), std::string::npos);
    EXPECT_EQ(Rows(encoders), "\"Heid\",\"EQN\",\"Submitted\"\n\"Ren\",\"Res\",\"Local\"\n");
    EXPECT_EQ(Shown(window, 2), "Submitted") << "the window shows the new status";
}

// ---- the comparison report ----

namespace {
const std::string kSoapMotors = SoapMotor("IDO1", "P-100", "QMBM-0123456") +
                                SoapMotor("IDO2", "P-200", "QMBM-0555555") +
                                SoapMotor("IDO3", "P-300", "QMDC-0040000");
}  // namespace

TEST_F(QvxDatabaseTestDlgTest, TheComparisonReportListsTheModelsEachSideLacks)
{
    bench.ServeDataSet(kSoapMotors);
    CQvxDatabaseTestDlg* window = OpenBound();
    ASSERT_NE(window, nullptr);
    CQvxDatabaseRecordset* byModel = db().FindRecordset("MotorByModelNum");
    byModel->MoveLast();
    const POSITION current = byModel->current;
    Click(window, IDC_QDT_TEST_CLOUD);
    EXPECT_TRUE(Boxes().empty());
    // Model numbers are found by their field: the first section names only the model the table lacks.
    EXPECT_EQ(bench.home.Read(CSoapComparisonReport::kFileName),
              "SOAP Models not in Quorvex List\r\n"
              "-------------------------------\r\n"
              "QMBM-0555555 (P-200)\r\n"
              "-------------------------------\r\n"
              "Total in SOAP table: 3\r\n"
              "Total not in Quorvex List: 1\r\n"
              "\r\n\r\n"
              "Quorvex Models not in SOAP Parsed List\r\n"
              "-------------------------------\r\n"
              "QMBM-0999999 (P-150)\r\n"
              "-------------------------------\r\n"
              "Total in Quorvex List: 3\r\n"
              "Total not in SOAP parsed: 1\r\n"
              "Total not in SOAP raw: 1\r\n");
    EXPECT_NE(Text(window).Find("\"QvxMotorDB_Copy\""), -1) << "the copy's JSON is shown";
    EXPECT_NE(Text(window).Find("\"P-200\""), -1);
    EXPECT_EQ(db().FindTable("QvxMotorDB_Copy"), nullptr) << "the copy goes again";
    EXPECT_EQ(db().FindRecordset("SoapTest1"), nullptr);
    EXPECT_EQ(byModel->current, current) << "the shared recordset did not move";
    EXPECT_EQ(bench.network.Pinged().count(kErpHost), 1u) << "the ERP host of the login data is asked";
}

TEST_F(QvxDatabaseTestDlgTest, TheReportsFailuresAreReportedAndLeaveTheDatabaseAsItWas)
{
    CQvxDatabaseTestDlg* window = OpenBound();
    ASSERT_NE(window, nullptr);
    const std::string motors = Rows(Motors());
    const std::string report = bench.home.File(CSoapComparisonReport::kFileName);

    bench.network.alive = false;
    Click(window, IDC_QDT_TEST_CLOUD);
    EXPECT_TRUE(Boxes().empty()) << "without a network nothing happens";
    bench.network.alive = true;
    bench.network.Answer(kErpHost, false);
    Click(window, IDC_QDT_TEST_CLOUD);
    EXPECT_EQ(Boxes(), std::vector<CString>{"Could not find host"});
    EXPECT_EQ(bench.server.RequestCount(), 0u);
    bench.network.Answer(kErpHost, true);

    // The ERP answers garbage, then not at all.
    bench.server.SetDefaultMode(TestHttpServer::Mode::html500);
    Click(window, IDC_QDT_TEST_CLOUD);
    EXPECT_EQ(Boxes(), std::vector<CString>{"Could not obtain SyteLine token.  The server answered with HTTP status 500."});
    EXPECT_EQ(bench.home.Read(CSoapComparisonReport::kFileName), "") << "a failed load leaves an empty report";
    bench.server.Stop();
    Click(window, IDC_QDT_TEST_CLOUD);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(db().FindTable("QvxMotorDB_Copy"), nullptr);
    EXPECT_EQ(Rows(Motors()), motors);

    // What the report needs is missing or in use: a message, not a crash, and no request.
    struct Case {
        std::function<void()> prepare;
        const char* message;
    };
    const Case cases[] = {
        {[&] { db().RemoveRecordset("MotorByModelNum"); }, "Recordset \"MotorByModelNum\" not found."},
        {[&] {
             db().OpenRecordset("MotorByModelNum", "QvxMotorDB", "ModelNum", "", "", -1);
             db().tables.SetAt("QvxMotorDB_Copy", Motors()->CreateEmptyCopy());
         },
         "Could not copy table \"QvxMotorDB\": a copy is in use."},
    };
    for (const Case& c : cases) {
        c.prepare();
        Click(window, IDC_QDT_TEST_CLOUD);
        EXPECT_EQ(Boxes(), std::vector<CString>{c.message});
    }
    EXPECT_EQ(Rows(Motors()), motors);
    ASSERT_NE(db().FindTable("QvxMotorDB_Copy"), nullptr) << "a table the report did not make stays";
}

TEST_F(QvxDatabaseTestDlgTest, ClosingWhileTheReportWaitsClosesOnceTheRequestEnds)
{
    CHttpClient::SetTimeouts(300, 600);
    bench.server.SetDefaultMode(TestHttpServer::Mode::silent);
    CQvxDatabaseTestDlg* window = OpenBound();
    ASSERT_NE(window, nullptr);
    Ticker ticker;
    bool sawDisabled = false;
    ticker.action = [&] {
        if (sawDisabled || CQvxDatabaseTestDlg::GetWindows().empty())
            return;
        sawDisabled = !window->GetDlgItem(IDC_QDT_TEST_CLOUD)->IsWindowEnabled() &&
                      !window->GetDlgItem(IDC_QDT_CLOSE_DB)->IsWindowEnabled();
        kvtest::CloseWindow(window);
    };
    Click(window, IDC_QDT_TEST_CLOUD);
    EXPECT_TRUE(sawDisabled) << "no button starts another action while one waits";
    EXPECT_TRUE(CQvxDatabaseTestDlg::GetWindows().empty()) << "the window went once the request had ended";
    EXPECT_EQ(db().FindTable("QvxMotorDB_Copy"), nullptr);
    EXPECT_EQ(db().FindRecordset("MotorByPartNum")->clients.GetCount(), 0);
    EXPECT_GT(ticker.ticks, 5);
}

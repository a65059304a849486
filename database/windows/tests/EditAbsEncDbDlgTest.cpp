#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "CloudWindowsBench.h"
#include "database/QvxCloudDatabaseInterface.h"
#include "database/QvxDatabase.h"
#include "database/windows/DatabaseAppServices.h"
#include "database/windows/EditAbsEncDbDlg.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "platform/io/NetworkStatus.h"
#include "platform/net/HttpClient.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/AddManufacturerIds.h"
#include "resources/ids/EditAbsEncDbIds.h"
#include "resources/ids/EditSubmitterIds.h"
#include "testing/TempDir.h"
#include "testing/TestHttpServer.h"
#include "testing/WindowShot.h"

namespace {

using Mode = TestHttpServer::Mode;
using cloudbench::Boxes;

const char* const kEncoders =
    "<tabledef>\n"
    "<fieldname=\"Manufacturer\", type=STRING>\n"
    "<fieldname=\"Model\", type=STRING>\n"
    "<fieldname=\"Bits\", type=NUMERIC, decdigits=0, default=\"0\">\n"
    "<fieldname=\"Status\", type=STRING, default=\"Local\">\n"
    "</tabledef>\n"
    "{\"Sick\", \"AFS\", \"18\", \"Ready To Submit\"}\n"
    "{\"Heid\", \"EQN\", \"25\", \"Approved\"}\n"
    "{\"Ren\", \"Res\", \"26\", \"Submitted\"}\n"
    "{\"Heid\", \"ECN\", \"13\", \"Local\"}\n";

const std::string kCloud = "/4F2A/";

class EditAbsEncDbServices : public CDatabaseAppServices {
public:
    CQvxDatabase* GetTableDatabase() override { return database; }
    CQvxCloudDatabaseInterface* GetCloudInterface() override { return cloud; }
    CQvxDatabase* database = nullptr;
    CQvxCloudDatabaseInterface* cloud = nullptr;
};

class EditAbsEncDbNetwork : public CNetworkStatusHook {
public:
    BOOL IsNetworkAlive(DWORD*) override { return alive; }
    int PingHost(const char* host) override
    {
        pinged = host;
        return answers;
    }
    BOOL alive = TRUE;
    int answers = 1;
    std::string pinged;
};

class EditAbsEncDbDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.Write("AbsEncDB.txt", kEncoders);
        CString error;
        ASSERT_TRUE(db.LoadTable(home.File("AbsEncDB.txt").c_str(), &error)) << error.GetString();
        table = db.FindTable("AbsEncDB");
        cloud.loginData.cloudUrl = server.Url(kCloud).c_str();
        cloud.loginData.cloudHost = "127.0.0.1";
        services.database = &db;
        services.cloud = &cloud;
        CDatabaseAppServices::Install(&services);
        AfxSetNetworkStatusHook(&network);
        setenv("VISUAL", "true", 1);
        AfxTakeScriptedMessageLog();
    }
    void TearDown() override
    {
        dialog.DestroyWindow();
        CDatabaseAppServices::Install(nullptr);
        AfxSetNetworkStatusHook(nullptr);
        CHttpClient::SetTimeouts(0, 0);
        unsetenv("VISUAL");
        AfxTakeScriptedMessageLog();
    }

    void Open()
    {
        ASSERT_TRUE(dialog.Create(IDD_EDIT_ABS_ENC_DB));
        dialog.ShowWindow(SW_SHOW);
        AfxPumpMessages();
        rs = dialog.GetRecordset();
        ASSERT_NE(rs, nullptr);
    }
    CWnd* Item(UINT id) { return dialog.GetDlgItem(static_cast<int>(id)); }
    bool Enabled(UINT id) { return Item(id)->IsWindowEnabled() != FALSE; }
    CString Text(UINT id)
    {
        CString text;
        Item(id)->GetWindowText(text);
        return text;
    }
    CString Field(const char* name)
    {
        CString text;
        rs->GetFieldValue(name, FALSE, text);
        return text;
    }
    // Picks the record in the selector as a user would.
    void Select(const char* manufacturerAndModel)
    {
        auto* combo = dynamic_cast<CComboBox*>(Item(IDC_AED_RECORD_SELECTOR));
        ASSERT_NE(combo, nullptr);
        for (int i = 0; i < combo->GetCount(); ++i) {
            CString text;
            combo->GetLBText(i, text);
            if (text == manufacturerAndModel) {
                ASSERT_TRUE(kvtest::PickItem(combo, i));
                return;
            }
        }
        FAIL() << "no record " << manufacturerAndModel;
    }
    int Line(const char* field) { return dialog.LineOfField(field); }
    CString Cell(const char* field) { return dialog.m_list.CReportCtrl::GetItemText(Line(field), 1); }
    void TypeInCell(const char* field, const char* text)
    {
        ASSERT_TRUE(dialog.m_list.EditSubItem(1, Line(field)));
        dialog.m_list.GetEditBox()->SetWindowText("");
        kvtest::TypeText(dialog.m_list.GetEditBox(), text);
    }
    bool Menu(const char* path) { return kvtest::ChooseMenuItem(&dialog, path) != FALSE; }
    static bool Shown(const std::vector<CString>& boxes, const char* text)
    {
        for (const CString& box : boxes)
            if (box.Find(text) >= 0)
                return true;
        return false;
    }
    std::string Saved() { return home.Read("AbsEncDB.txt"); }
    std::string Status(const char* model)
    {
        const int column = table->fields.FindField("Model");
        const int status = table->fields.FindField("Status");
        for (POSITION pos = table->rows.GetHeadPosition(); pos;) {
            const CQvxDatabaseTableDataRow* row = table->rows.GetNext(pos);
            if (row->values[column] == model)
                return row->values[status].str();
        }
        return "<none>";
    }
    CQvxDatabaseTableDataRow* Row(const char* model)
    {
        const int column = table->fields.FindField("Model");
        for (POSITION pos = table->rows.GetHeadPosition(); pos;) {
            CQvxDatabaseTableDataRow* row = table->rows.GetNext(pos);
            if (row->values[column] == model)
                return row;
        }
        return nullptr;
    }

    TempDir home;
    TestHttpServer server;
    CQvxDatabase db;
    CQvxDatabaseTable* table = nullptr;
    CQvxCloudDatabaseInterface cloud;
    EditAbsEncDbServices services;
    EditAbsEncDbNetwork network;
    CEditAbsEncDbDlg dialog;
    CQvxDatabaseRecordset* rs = nullptr;
};

}  // namespace

TEST_F(EditAbsEncDbDlgTest, ButtonsAndEditingFollowTheStatusAndTheSyncFlags)
{
    Open();
    CString caption;
    dialog.GetWindowText(caption);
    EXPECT_EQ(caption, "Edit Absolute Encoder Database");
    EXPECT_EQ(kvtest::MenuBarTexts(&dialog), (std::vector<CString>{"File", "Cloud", "View"}));
    EXPECT_FALSE(Item(IDC_AED_WRITE)->IsWindowVisible());

    struct Case {
        const char* record;
        DWORD flags;
        bool del;
        bool edit;
        bool submit;
        const char* submitText;
    };
    const Case cases[] = {
        {"Heid - ECN", 0, true, true, true, "Submit"},          // Local
        {"Heid - EQN", 0, false, false, false, "Submit"},       // Approved
        {"Ren - Res", 0, true, false, true, "Submit"},          // Submitted
        {"Sick - AFS", 0, true, true, true, "Un-Submit"},       // Ready To Submit
        {"Heid - ECN", 0x4, true, false, true, "Submit"},       // synchronised: no edit
        {"Heid - ECN", 0x8, false, true, true, "Submit"},       // synchronised: no delete
        {"Sick - AFS", 0xC, false, false, true, "Un-Submit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        SCOPED_TRACE(c.flags);
        for (const char* model : {"ECN", "AFS"})
            Row(model)->syncFlags = 0;
        Select("Heid - EQN");
        const CString model = CString(c.record).Mid(CString(c.record).Find(" - ") + 3);
        Row(model)->syncFlags = c.flags;
        Select(c.record);
        EXPECT_EQ(Enabled(IDC_AED_DELETE), c.del);
        EXPECT_EQ(Enabled(IDC_AED_WRITE), c.edit);
        EXPECT_EQ(dialog.m_list.m_readOnly, c.edit ? 0 : 1);
        EXPECT_EQ(dialog.m_list.CanEditSubItem(Line("Bits"), 1) != FALSE, c.edit);
        EXPECT_EQ(Enabled(IDC_AED_SUBMIT), c.submit);
        EXPECT_EQ(Text(IDC_AED_SUBMIT), c.submitText);
        EXPECT_TRUE(Enabled(IDC_AED_ADD));
    }

    // The ends of the sorted records.
    kvtest::Click(Item(IDC_AED_FIRST));
    EXPECT_EQ(Field("Model"), "ECN");
    EXPECT_FALSE(Enabled(IDC_AED_FIRST));
    EXPECT_FALSE(Enabled(IDC_AED_PREVIOUS));
    EXPECT_TRUE(Enabled(IDC_AED_NEXT));
    kvtest::Click(Item(IDC_AED_NEXT));
    EXPECT_EQ(Field("Model"), "EQN");
    kvtest::Click(Item(IDC_AED_LAST));
    EXPECT_EQ(Field("Model"), "AFS");
    EXPECT_TRUE(Enabled(IDC_AED_PREVIOUS));
    EXPECT_FALSE(Enabled(IDC_AED_NEXT));
    EXPECT_FALSE(Enabled(IDC_AED_LAST));
    kvtest::Click(Item(IDC_AED_PREVIOUS));
    EXPECT_EQ(Field("Model"), "Res");
    Screenshot(&dialog, "database_edit_abs_enc_db");
}

TEST_F(EditAbsEncDbDlgTest, SubmitTogglesTheMarkAndAsksBeforeSubmittingAgain)
{
    Open();
    Select("Heid - ECN");
    kvtest::Click(Item(IDC_AED_SUBMIT));
    EXPECT_EQ(Status("ECN"), "Ready To Submit");
    EXPECT_EQ(Text(IDC_AED_SUBMIT), "Un-Submit");
    kvtest::Click(Item(IDC_AED_SUBMIT));
    EXPECT_EQ(Status("ECN"), "Local");
    EXPECT_EQ(Text(IDC_AED_SUBMIT), "Submit");
    EXPECT_TRUE(Boxes().empty());

    Select("Ren - Res");
    AfxQueueScriptedAnswer(IDNO);
    kvtest::Click(Item(IDC_AED_SUBMIT));
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Shown(boxes, "Re-submit model \"Res\"?"));
    EXPECT_EQ(Status("Res"), "Submitted");
    AfxQueueScriptedAnswer(IDYES);
    kvtest::Click(Item(IDC_AED_SUBMIT));
    EXPECT_EQ(Status("Res"), "Ready To Submit");
    EXPECT_EQ(Text(IDC_AED_SUBMIT), "Un-Submit");
    EXPECT_TRUE(table->modified);

    // The button is greyed on an approved record; a script pressing it gets the refusal.
    Select("Heid - EQN");
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_AED_SUBMIT, BN_CLICKED));
    boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Cannot submit and approved model."));
    EXPECT_EQ(Status("EQN"), "Approved");

    // Delete asks with the model.
    Select("Heid - ECN");
    AfxQueueScriptedAnswer(IDNO);
    kvtest::Click(Item(IDC_AED_DELETE));
    EXPECT_TRUE(Shown(Boxes(), "Delete model \"ECN\" from database?"));
    EXPECT_NE(Row("ECN"), nullptr);
    AfxQueueScriptedAnswer(IDYES);
    kvtest::Click(Item(IDC_AED_DELETE));
    EXPECT_EQ(Row("ECN"), nullptr);
    EXPECT_EQ(rs->GetCount(), 3);
}

TEST_F(EditAbsEncDbDlgTest, AddManufacturerInTheManufacturerCellAddsARecord)
{
    Open();
    Select("Heid - ECN");
    CQvxGuiUpdateList& list = dialog.m_list;
    const int line = Line("Manufacturer");
    ASSERT_GE(line, 0);
    const CSortableStringArray* choices = list.GetCustomSelections().Find(line);
    ASSERT_NE(choices, nullptr);
    std::vector<CString> offered;
    for (INT_PTR i = 0; i < choices->GetSize(); ++i)
        offered.push_back(choices->GetAt(i));
    EXPECT_EQ(offered, (std::vector<CString>{"Heid", "Ren", "Sick", "Add Manufacturer..."}));

    kvtest::OnNextModal([](CWnd* d) {
        CString shown;
        d->GetDlgItemText(IDC_ADD_MANUFACTURER_NAME, shown);
        EXPECT_EQ(shown, "New Manufacturer");
        d->SetDlgItemText(IDC_ADD_MANUFACTURER_NAME, "");
        kvtest::TypeText(d->GetDlgItem(IDC_ADD_MANUFACTURER_NAME), "Tamagawa");
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    // The user opens the cell's drop-down and takes its last entry.
    CRect cell;
    list.GetSubItemRect(line, 1, LVIR_LABEL, cell);
    kvtest::ClickAt(&list, cell.CenterPoint());
    kvtest::ClickAt(&list, cell.CenterPoint());
    auto* editor = dynamic_cast<CComboBox*>(list.GetDlgItem(IDC_INPLACE_LIST));
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(kvtest::PickItem(editor, editor->GetCount() - 1));
    kvtest::PressKey(editor, VK_RETURN);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Row("ECN") && table->rows.GetCount() == 5 && Field("Manufacturer") == "Tamagawa"; }));
    AfxPumpMessages();

    EXPECT_EQ(Field("Manufacturer"), "Tamagawa");
    EXPECT_EQ(Field("Status"), "Local");
    EXPECT_EQ(Cell("Manufacturer"), "Tamagawa");
    const int column = table->fields.FindField("Manufacturer");
    EXPECT_EQ(Row("ECN")->values[column], "Heid") << "the shown record keeps its manufacturer";
    EXPECT_TRUE(Enabled(IDC_AED_WRITE)) << "the new record can be edited";

    // A new model name re-sorts the record and renames it in the selector.
    TypeInCell("Model", "AAA\r");
    EXPECT_EQ(Field("Model"), "AAA");
    auto* selector = dynamic_cast<CComboBox*>(Item(IDC_AED_RECORD_SELECTOR));
    CString shown;
    selector->GetWindowText(shown);
    EXPECT_EQ(shown, "Tamagawa - AAA");
    EXPECT_EQ(Row("AAA"), rs->GetCurrentRecord()) << "written and kept current";

    // Cancelled: nothing is added.
    kvtest::OnNextModal([](CWnd* d) { kvtest::Click(d->GetDlgItem(IDCANCEL)); });
    dialog.SendMessage(WM_COMMAND, ID_AED_ADD_MANUFACTURER);
    EXPECT_EQ(table->rows.GetCount(), 5);
}

TEST_F(EditAbsEncDbDlgTest, OneAddThenANewManufacturerMakesOneRecord)
{
    Open();
    Select("Heid - ECN");
    kvtest::Click(Item(IDC_AED_ADD));
    ASSERT_EQ(table->rows.GetCount(), 5);
    kvtest::OnNextModal([](CWnd* d) {
        d->SetDlgItemText(IDC_ADD_MANUFACTURER_NAME, "");
        kvtest::TypeText(d->GetDlgItem(IDC_ADD_MANUFACTURER_NAME), "Tamagawa");
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    CQvxGuiUpdateList& list = dialog.m_list;
    const int line = Line("Manufacturer");
    CRect cell;
    list.GetSubItemRect(line, 1, LVIR_LABEL, cell);
    kvtest::ClickAt(&list, cell.CenterPoint());
    kvtest::ClickAt(&list, cell.CenterPoint());
    auto* editor = dynamic_cast<CComboBox*>(list.GetDlgItem(IDC_INPLACE_LIST));
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(kvtest::PickItem(editor, editor->GetCount() - 1));
    kvtest::PressKey(editor, VK_RETURN);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Field("Manufacturer") == "Tamagawa"; }));
    AfxPumpMessages();
    EXPECT_EQ(table->rows.GetCount(), 5) << "the added record took the manufacturer";
    const int column = table->fields.FindField("Manufacturer");
    for (POSITION pos = table->rows.GetHeadPosition(); pos;)
        EXPECT_FALSE(table->rows.GetNext(pos)->values[column].IsEmpty()) << "no blank record";
}

TEST_F(EditAbsEncDbDlgTest, ANumericFieldRefusesTextThatIsNoNumber)
{
    Open();
    Select("Heid - ECN");
    const std::string before = Saved();
    for (const char* typed : {"abc\r", "12x\r", "nan\r"}) {
        SCOPED_TRACE(typed);
        AfxTakeScriptedMessageLog();
        TypeInCell("Bits", typed);
        EXPECT_TRUE(Shown(AfxTakeScriptedMessageLog(), "\"Bits\" must be a number.")) << typed;
        EXPECT_EQ(Field("Bits"), "13");
        EXPECT_EQ(Cell("Bits"), "13");
    }
    kvtest::Click(Item(IDC_AED_WRITE));
    EXPECT_EQ(Row("ECN")->values[table->fields.FindField("Bits")], "13");
    TypeInCell("Bits", "17\r");
    EXPECT_EQ(Field("Bits"), "17") << "a number is taken";
    EXPECT_EQ(Saved(), before);
}

TEST_F(EditAbsEncDbDlgTest, ViewsBrowseOneStatusWithTheirCheckMark)
{
    Open();
    struct Case {
        const char* item;
        int count;
    };
    const Case cases[] = {{"Approved", 1}, {"Local", 1}, {"Ready To Submit", 1}, {"Submitted", 1}, {"All", 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        ASSERT_TRUE(Menu((CString("View|") + c.item).GetString()));
        EXPECT_EQ(rs->GetCount(), c.count);
        if (c.count == 1) {
            EXPECT_EQ(Field("Status"), c.item);
        }
        for (const Case& other : cases) {
            int checked = -1;
            EXPECT_EQ(kvtest::MenuItemState(&dialog, (CString("View|") + other.item).GetString(), &checked), 1);
            EXPECT_EQ(checked, &other == &c ? 1 : 0) << other.item;
        }
    }
}

TEST_F(EditAbsEncDbDlgTest, SaveRestoreAndTheCloseQuestion)
{
    Open();
    const std::string original = Saved();
    Select("Heid - ECN");
    EXPECT_EQ(kvtest::MenuItemState(&dialog, "File|Save"), 0) << "nothing to save";
    TypeInCell("Bits", "17\r");
    EXPECT_EQ(kvtest::MenuItemState(&dialog, "File|Save"), 1) << "a pending edit";
    ASSERT_TRUE(Menu("File|Save"));
    EXPECT_NE(Saved().find("\"Heid\", \"ECN\", \"17\""), std::string::npos) << Saved();
    EXPECT_EQ(kvtest::MenuItemState(&dialog, "File|Save"), 0);

    TypeInCell("Bits", "99\r");
    AfxQueueScriptedAnswer(IDYES);
    ASSERT_TRUE(Menu("File|Restore Last Saved"));
    EXPECT_TRUE(Shown(Boxes(), "Restore last saved database?"));
    Select("Heid - ECN");
    EXPECT_EQ(Field("Bits"), "17");
    home.Write("AbsEncDB.txt", original);
    AfxQueueScriptedAnswer(IDYES);
    ASSERT_TRUE(Menu("File|Restore Last Saved"));
    Boxes();

    // Closing: Cancel stays, No reloads the file, Yes saves; without changes no question.
    struct Case {
        int answer;
        bool hidden;
        const char* bits;  // shown afterwards
        bool savedChange;
    };
    const Case cases[] = {{IDCANCEL, false, "55", false}, {IDNO, true, "13", false}, {IDYES, true, "55", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        dialog.ShowWindow(SW_SHOW);
        Select("Heid - ECN");
        TypeInCell("Bits", "55\r");
        AfxQueueScriptedAnswer(c.answer);
        kvtest::CloseWindow(&dialog);
        EXPECT_TRUE(Shown(Boxes(), "Save changes to absolute encoder database?"));
        EXPECT_EQ(!dialog.IsWindowVisible(), c.hidden);
        Select("Heid - ECN");
        EXPECT_EQ(Field("Bits"), c.bits);
        EXPECT_EQ(Saved().find("\"55\"") != std::string::npos, c.savedChange);
        if (c.answer == IDCANCEL)
            rs->CancelUpdate();
    }
    dialog.ShowWindow(SW_SHOW);
    kvtest::CloseWindow(&dialog);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_FALSE(dialog.IsWindowVisible());

    // The main frame's question does not reload.
    dialog.ShowWindow(SW_SHOW);
    Select("Heid - ECN");
    TypeInCell("Bits", "77\r");
    AfxQueueScriptedAnswer(IDCANCEL);
    EXPECT_FALSE(dialog.CanClose());
    AfxQueueScriptedAnswer(IDNO);
    EXPECT_TRUE(dialog.CanClose());
    EXPECT_EQ(Field("Bits"), "77");
}

TEST_F(EditAbsEncDbDlgTest, ASaveThatFailsKeepsTheWindowAndTheChanges)
{
    Open();
    Select("Heid - ECN");
    TypeInCell("Bits", "61\r");
    table->path = home.File("no such folder/AbsEncDB.txt").c_str();
    AfxQueueScriptedAnswer(IDYES);
    kvtest::CloseWindow(&dialog);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(Shown(boxes, "Could not open file"));
    EXPECT_TRUE(dialog.IsWindowVisible());
    EXPECT_EQ(Field("Bits"), "61");
}

TEST_F(EditAbsEncDbDlgTest, SubmitToServerSendsEveryReadyRecordWhateverTheView)
{
    server.SetReply(kCloud + "submit_absenc_data.php", "status:success");
    Open();
    Select("Heid - ECN");
    kvtest::Click(Item(IDC_AED_SUBMIT));  // two records ready now
    ASSERT_TRUE(Menu("View|Approved"));
    AfxWriteProfileString("QVXDATABASE", "Submitter", "Bob");

    AfxQueueScriptedAnswer(IDYES);
    kvtest::OnNextModal([](CWnd* d) {
        CString shown;
        d->GetDlgItemText(IDC_SUBMITTER_NAME, shown);
        EXPECT_EQ(shown, "Bob");
        d->SetDlgItemText(IDC_SUBMITTER_NAME, "");
        kvtest::TypeText(d->GetDlgItem(IDC_SUBMITTER_NAME), "Ann");
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    ASSERT_TRUE(Menu("Cloud|Submit To Server"));
    const auto boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Submit 2 encoder record(s) to the Quorvex server now?"));
    EXPECT_TRUE(Shown(boxes, "2 encoder record(s) successfully submitted"));
    EXPECT_EQ(network.pinged, "127.0.0.1");
    EXPECT_EQ(AfxGetProfileString("QVXDATABASE", "Submitter", ""), "Ann");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& body = requests[0].body;
    EXPECT_NE(body.find("\"Heid\",\"ECN\",\"13\",\"Submitted\",\""), std::string::npos) << body;
    EXPECT_NE(body.find("\"Sick\",\"AFS\",\"18\",\"Submitted\",\""), std::string::npos) << body;
    EXPECT_NE(body.find(",\"Ann\",0\r\n"), std::string::npos) << body;
    EXPECT_EQ(body.find("\"Res\""), std::string::npos);
    EXPECT_EQ(Status("ECN"), "Submitted");
    EXPECT_NE(Saved().find("\"Heid\", \"ECN\", \"13\", \"Submitted\""), std::string::npos) << Saved();
    EXPECT_FALSE(table->modified);
    EXPECT_EQ(rs->GetCount(), 1) << "the view is kept";

    // Nothing marked now.
    ASSERT_TRUE(Menu("Cloud|Submit To Server"));
    EXPECT_TRUE(Shown(Boxes(), "No records have been marked for submission."));
    EXPECT_EQ(server.RequestCount(), 1u);
}

TEST_F(EditAbsEncDbDlgTest, SubmitToServerFailuresChangeNothing)
{
    Open();
    const std::string saved = Saved();
    struct Case {
        const char* name;
        BOOL alive;
        int answers;
        Mode mode;
        int answer;  // to "Submit ... now?"
        bool asksName;
        const char* message;
    };
    const Case cases[] = {
        {"network down", FALSE, 1, Mode::normal, IDYES, false, "Not connected to network."},
        {"host silent", TRUE, 0, Mode::normal, IDYES, false, "Cloud server not available."},
        {"user says no", TRUE, 1, Mode::normal, IDNO, false, "Submit cancelled."},
        {"no name given", TRUE, 1, Mode::normal, IDYES, true, nullptr},
        {"server error", TRUE, 1, Mode::html500, IDYES, true,
         "Could not submit records because of the following error:\nFailed: The server answered with HTTP status 500."},
        {"server stopped answering", TRUE, 1, Mode::silent, IDYES, true,
         "Could not submit records because of the following error:\nFailed: Could not connect to server."},
    };
    CHttpClient::SetTimeouts(300, 600);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        network.alive = c.alive;
        network.answers = c.answers;
        server.SetDefaultMode(c.mode);
        AfxQueueScriptedAnswer(c.answer);
        const UINT button = c.message ? IDOK : IDCANCEL;
        if (c.asksName)
            kvtest::OnNextModal([button](CWnd* d) { kvtest::Click(d->GetDlgItem(static_cast<int>(button))); });
        ASSERT_TRUE(Menu("Cloud|Submit To Server"));
        const auto boxes = Boxes();
        if (c.message) {
            EXPECT_TRUE(Shown(boxes, c.message)) << (boxes.empty() ? "" : boxes.back().GetString());
        } else {
            EXPECT_EQ(boxes.size(), 1u) << "the question only";
            EXPECT_EQ(server.RequestCount(), 0u);
        }
        EXPECT_EQ(Status("AFS"), "Ready To Submit");
        EXPECT_EQ(Saved(), saved);
        EXPECT_FALSE(table->modified);
    }
}

TEST_F(EditAbsEncDbDlgTest, RefreshFromServerMergesTheServersTableAndSaves)
{
    server.SetReply(kCloud + "retrieve_absenc_data.php",
                    "\"Ren\",\"Res\",\"27\",\"Approved\"\r\n"
                    "\"New\",\"N1\",\"17\",\"Approved\"\r\n");
    Open();
    AfxQueueScriptedAnswer(IDYES);
    ASSERT_TRUE(Menu("Cloud|Refresh From Server"));
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(Shown(boxes, "Refresh database from server?"));
    EXPECT_TRUE(Shown(boxes, "Encoders Added:\r\n\tNew - N1\r\n"
                             "Encoders Deleted:\r\n\tHeid - EQN\r\n"
                             "Encoders Updated:\r\n\tRen - Res\r\n"));
    EXPECT_EQ(Row("EQN"), nullptr);
    EXPECT_EQ(Status("N1"), "Approved");
    EXPECT_EQ(Status("Res"), "Approved");
    EXPECT_NE(Saved().find("\"New\", \"N1\""), std::string::npos);
    EXPECT_EQ(rs->GetCount(), 4);
    Select("New - N1");
    EXPECT_FALSE(Enabled(IDC_AED_DELETE)) << "a synchronised record";

    // No: nothing happens.
    AfxQueueScriptedAnswer(IDNO);
    ASSERT_TRUE(Menu("Cloud|Refresh From Server"));
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(server.RequestCount(), 1u);
}

TEST_F(EditAbsEncDbDlgTest, RefreshFromServerLeavesUnsavedChangesTheUserKeptUnsaved)
{
    server.SetReply(kCloud + "retrieve_absenc_data.php", "\"Heid\",\"EQN\",\"25\",\"Approved\"\r\n");
    Open();
    const std::string saved = Saved();
    Select("Heid - ECN");
    TypeInCell("Bits", "44\r");

    // A failed sync: the message, the table and its file as they were.
    server.SetMode(kCloud + "retrieve_absenc_data.php", Mode::html500);
    AfxQueueScriptedAnswer(IDYES);
    AfxQueueScriptedAnswer(IDNO);
    ASSERT_TRUE(Menu("Cloud|Refresh From Server"));
    auto boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Save changes to database first?"));
    EXPECT_TRUE(Shown(boxes, "Could not refresh from server due to the following error:\r\n"
                             "Failed: The server answered with HTTP status 500."));
    EXPECT_EQ(Saved(), saved);
    EXPECT_EQ(table->rows.GetCount(), 4);

    // A good sync after No: merged in memory, the file untouched, the table still to be saved.
    server.SetMode(kCloud + "retrieve_absenc_data.php", Mode::normal);
    AfxQueueScriptedAnswer(IDYES);
    AfxQueueScriptedAnswer(IDNO);
    ASSERT_TRUE(Menu("Cloud|Refresh From Server"));
    boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Encoders Updated:\r\n\tHeid - EQN\r\n"));
    EXPECT_EQ(Saved(), saved);
    EXPECT_TRUE(table->modified);
    EXPECT_EQ(kvtest::MenuItemState(&dialog, "File|Save"), 1);

    // Yes saves first and after.
    AfxQueueScriptedAnswer(IDYES);
    AfxQueueScriptedAnswer(IDYES);
    ASSERT_TRUE(Menu("Cloud|Refresh From Server"));
    Boxes();
    EXPECT_NE(Saved().find("\"Heid\", \"ECN\", \"44\""), std::string::npos) << Saved();
    EXPECT_FALSE(table->modified);
}

TEST_F(EditAbsEncDbDlgTest, RefreshFailuresAreReportedAndLeaveTheTableAndItsFile)
{
    Open();
    const std::string saved = Saved();
    const std::string endpoint = kCloud + "retrieve_absenc_data.php";
    const std::string prefix = "Could not refresh from server due to the following error:\r\n";
    struct Case {
        const char* name;
        Mode mode;
        const char* reply;
        bool stop;
        const char* error;
    };
    const Case cases[] = {
        {"server error", Mode::html500, "", false, "Failed: The server answered with HTTP status 500."},
        {"garbage", Mode::normal, "<html><body>Sorry</body></html>", false,
         "Error importing encoder data: Line 1: the record holds 1 values for 4 fields"},
        {"slow", Mode::silent, "", false, "Failed: Could not connect to server."},
        {"stopped", Mode::normal, "", true, "Failed: Could not connect to server."},
    };
    CHttpClient::SetTimeouts(300, 600);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.SetMode(endpoint, c.mode);
        server.SetReply(endpoint, c.reply);
        if (c.stop)
            server.Stop();
        AfxQueueScriptedAnswer(IDYES);
        ASSERT_TRUE(Menu("Cloud|Refresh From Server"));
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_TRUE(Shown(boxes, (prefix + c.error).c_str())) << boxes.back().GetString();
        EXPECT_EQ(table->rows.GetCount(), 4);
        EXPECT_EQ(Status("EQN"), "Approved");
        EXPECT_EQ(rs->GetCount(), 4);
        EXPECT_EQ(Saved(), saved);
    }

    // Without the network nothing is asked of the server.
    network.alive = FALSE;
    AfxQueueScriptedAnswer(IDYES);
    ASSERT_TRUE(Menu("Cloud|Refresh From Server"));
    EXPECT_TRUE(Shown(Boxes(), "Not connected to network."));
}

TEST_F(EditAbsEncDbDlgTest, ExportWritesEveryRecordThatIsNotApprovedWhateverTheView)
{
    Open();
    ASSERT_TRUE(Menu("View|Local"));
    kvtest::QueueFileDialogAnswer(home.File("out.json").c_str());
    ASSERT_TRUE(Menu("File|Export..."));
    EXPECT_TRUE(Shown(Boxes(), "Records successfully exported."));
    const std::string text = home.Read("out.json");
    for (const char* model : {"\"AFS\"", "\"Res\"", "\"ECN\""})
        EXPECT_NE(text.find(model), std::string::npos) << model;
    EXPECT_EQ(text.find("\"EQN\""), std::string::npos);

    // Cancelled: no file, no message; an unwritable path: the message.
    kvtest::QueueFileDialogAnswer("");
    ASSERT_TRUE(Menu("File|Export..."));
    EXPECT_TRUE(Boxes().empty());
    kvtest::QueueFileDialogAnswer(home.File("missing/out.json").c_str());
    ASSERT_TRUE(Menu("File|Export..."));
    EXPECT_TRUE(Shown(Boxes(), "Could not export records."));
}

TEST_F(EditAbsEncDbDlgTest, ImportMergesTheFileAndReportsWhatChanged)
{
    home.Write("enc.json", "{\"AbsEncDB\": [\n"
                           "{\"Manufacturer\": \"Heid\", \"Model\": \"ECN\", \"Bits\": \"14\", \"Status\": \"Ready To Submit\"},\n"
                           "{\"Manufacturer\": \"Tama\", \"Model\": \"T1\", \"Bits\": \"23\", \"Status\": \"Ready To Submit\"}\n"
                           "]}");
    home.Write("bad.json", "{\"AbsEncDB\": [ {\"Manufacturer\": }");
    Open();
    const int bits = table->fields.FindField("Bits");
    struct Case {
        int answer;
        const char* report;  // null: cancelled, no report
        const char* ecnBits;
        const char* ecnStatus;
    };
    const Case cases[] = {
        {IDCANCEL, nullptr, "13", "Local"},
        {IDNO, "Encoders Added:\r\n\tTama - T1\r\n", "13", "Local"},
        {IDYES, "Encoders Added:\r\n\tTama - T1\r\nEncoders Replaced:\r\n\tHeid - ECN\r\n", "14", "Local"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        if (CQvxDatabaseTableDataRow* added = Row("T1")) {  // each case starts without it
            rs->FindFirst("Model", "T1");
            rs->Delete();
            (void)added;
        }
        kvtest::QueueFileDialogAnswer(home.File("enc.json").c_str());
        AfxQueueScriptedAnswer(c.answer);
        ASSERT_TRUE(Menu("File|Import..."));
        const auto boxes = Boxes();
        EXPECT_TRUE(Shown(boxes, "Overwrite matching encoders?"));
        if (c.report) {
            EXPECT_TRUE(Shown(boxes, c.report)) << boxes.back().GetString();
            EXPECT_EQ(Status("T1"), "Local") << "marked records arrive unmarked";
        } else {
            EXPECT_EQ(boxes.size(), 1u);
            EXPECT_EQ(Row("T1"), nullptr);
        }
        EXPECT_EQ(Row("ECN")->values[bits], c.ecnBits);
        EXPECT_EQ(Status("ECN"), c.ecnStatus);
    }

    // A file that is no table: the message, the table as it was.
    const int before = static_cast<int>(table->rows.GetCount());
    kvtest::QueueFileDialogAnswer(home.File("bad.json").c_str());
    AfxQueueScriptedAnswer(IDYES);
    ASSERT_TRUE(Menu("File|Import..."));
    const auto boxes = Boxes();
    EXPECT_TRUE(Shown(boxes, "Could not import \"bad\" due to the following error:\r\n\t")) << boxes.back().GetString();
    EXPECT_EQ(table->rows.GetCount(), before);

    // Nothing new: "No changes".
    kvtest::QueueFileDialogAnswer(home.File("enc.json").c_str());
    AfxQueueScriptedAnswer(IDNO);
    ASSERT_TRUE(Menu("File|Import..."));
    EXPECT_TRUE(Shown(Boxes(), "No changes"));
}

TEST_F(EditAbsEncDbDlgTest, WithoutTheEncoderTableEverythingIsGreyAndCommandsSaySo)
{
    db.RemoveTable("AbsEncDB");
    ASSERT_TRUE(dialog.Create(IDD_EDIT_ABS_ENC_DB));
    dialog.ShowWindow(SW_SHOW);
    EXPECT_EQ(dialog.GetRecordset(), nullptr);
    for (UINT id : {IDC_AED_FIRST, IDC_AED_PREVIOUS, IDC_AED_NEXT, IDC_AED_LAST, IDC_AED_ADD, IDC_AED_DELETE,
                    IDC_AED_WRITE, IDC_AED_SUBMIT})
        EXPECT_FALSE(Enabled(id)) << id;
    for (const char* path : {"Cloud|Submit To Server", "Cloud|Refresh From Server", "File|Import...",
                             "File|Export..."}) {
        ASSERT_TRUE(Menu(path)) << path;
        const auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u) << path;
        EXPECT_TRUE(Shown(boxes, "No recordset found (223).  Please contact Quorvex.")) << path;
    }
    EXPECT_EQ(kvtest::MenuItemState(&dialog, "File|Save"), 0);
    EXPECT_TRUE(dialog.CanClose());
}

TEST_F(EditAbsEncDbDlgTest, ASlowServerLeavesTheWindowWorkingAndRefusesASecondRequest)
{
    CHttpClient::SetTimeouts(300, 600);
    server.SetDefaultMode(Mode::silent);
    Open();
    Select("Heid - ECN");
    const std::string saved = Saved();
    const UINT controls[] = {IDC_AED_FIRST,  IDC_AED_PREVIOUS, IDC_AED_NEXT,           IDC_AED_LAST,
                             IDC_AED_ADD,    IDC_AED_DELETE,   IDC_AED_SUBMIT,         IDC_AED_RECORD_SELECTOR,
                             IDC_AED_RECORD_LIST};
    cloudbench::Ticker ticker;
    std::vector<bool> enabled;
    std::vector<int> menus;
    bool mayClose = true;
    ticker.action = [&] {
        if (!dialog.IsBusy() || !enabled.empty())
            return;
        for (UINT id : controls)
            enabled.push_back(Enabled(id));
        for (const char* path : {"Cloud|Submit To Server", "Cloud|Refresh From Server", "File|Import...",
                                 "File|Restore Last Saved", "View|All"})
            menus.push_back(kvtest::MenuItemState(&dialog, path));
        // What a script could still send meanwhile starts nothing and asks nothing.
        dialog.SendMessage(WM_COMMAND, ID_AED_CLOUD_REFRESH);
        dialog.SendMessage(WM_COMMAND, ID_AED_CLOUD_SUBMIT);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_AED_ADD, BN_CLICKED));
        mayClose = dialog.CanClose();
    };
    AfxQueueScriptedAnswer(IDYES);
    kvtest::OnNextModal([](CWnd* d) { kvtest::Click(d->GetDlgItem(IDOK)); });
    ASSERT_TRUE(Menu("Cloud|Submit To Server"));

    EXPECT_GT(ticker.ticks, 5) << "the window handled its messages while the request waited";
    EXPECT_EQ(enabled, std::vector<bool>(std::size(controls), false));
    EXPECT_EQ(menus, std::vector<int>(5, 0)) << "the menu commands are greyed meanwhile";
    EXPECT_FALSE(mayClose) << "the program does not close under a waiting request";
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u) << "the question and the failure; nothing from the refused commands";
    EXPECT_TRUE(Shown(boxes, "Submit 1 encoder record(s) to the Quorvex server now?"));
    EXPECT_TRUE(Shown(boxes, "Could not submit records because of the following error:\n"
                             "Failed: Could not connect to server."));
    EXPECT_EQ(server.RequestCount(), 1u);
    EXPECT_EQ(table->rows.GetCount(), 4);
    EXPECT_EQ(Status("AFS"), "Ready To Submit");
    EXPECT_EQ(Saved(), saved);

    // Afterwards the usual rules hold again.
    EXPECT_FALSE(dialog.IsBusy());
    EXPECT_TRUE(Enabled(IDC_AED_ADD));
    EXPECT_TRUE(Enabled(IDC_AED_RECORD_SELECTOR));
    EXPECT_TRUE(Enabled(IDC_AED_RECORD_LIST));
    EXPECT_FALSE(Enabled(IDC_AED_FIRST)) << "the first record is still shown";
    EXPECT_EQ(kvtest::MenuItemState(&dialog, "Cloud|Refresh From Server"), 1);
    EXPECT_TRUE(dialog.CanClose());
}

TEST_F(EditAbsEncDbDlgTest, ClosingWhileARequestWaitsClosesOnceItHasEnded)
{
    CHttpClient::SetTimeouts(300, 600);
    server.SetDefaultMode(Mode::silent);
    Open();
    const std::string saved = Saved();
    Select("Heid - ECN");
    TypeInCell("Bits", "44\r");
    cloudbench::Ticker ticker;
    bool closeAsked = false;
    bool shownAfterClose = false;
    ticker.action = [&] {
        if (!dialog.IsBusy() || closeAsked)
            return;
        closeAsked = true;
        kvtest::CloseWindow(&dialog);
        shownAfterClose = dialog.IsWindowVisible() != FALSE;
    };
    AfxQueueScriptedAnswer(IDYES);  // refresh
    AfxQueueScriptedAnswer(IDNO);   // do not save first
    AfxQueueScriptedAnswer(IDOK);   // the failure
    AfxQueueScriptedAnswer(IDNO);   // closing: do not save
    ASSERT_TRUE(Menu("Cloud|Refresh From Server"));

    EXPECT_TRUE(closeAsked);
    EXPECT_TRUE(shownAfterClose) << "the close waited for the request";
    EXPECT_FALSE(dialog.IsWindowVisible());
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_NE(boxes[2].Find("Could not refresh from server due to the following error:"), -1) << boxes[2].GetString();
    EXPECT_NE(boxes[3].Find("Save changes to absolute encoder database?"), -1) << "asked after the request ended";
    EXPECT_EQ(Saved(), saved);
    dialog.ShowWindow(SW_SHOW);
    Select("Heid - ECN");
    EXPECT_EQ(Field("Bits"), "13") << "the unsaved change went with the close";
}

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "database/QvxDatabase.h"
#include "testing/TempDir.h"

namespace {

const char* const kMotors =
    "<tabledef>\n"
    "<fieldname=\"ID\", type=AUTOINCID>\n"
    "<fieldname=\"Maker\", type=STRING>\n"
    "<fieldname=\"Model\", type=STRING>\n"
    "<fieldname=\"Kt\", type=NUMERIC, decdigits=2, default=\"0\">\n"
    "</tabledef>\n"
    "{\"1\", \"B\", \"x2\", \"1.5\"}\n"
    "{\"2\", \"A\", \"x9\", \"1.50\"}\n"
    "{\"3\", \"B\", \"x1\", \"2\"}\n"
    "{\"4\", \"A\", \"x3\", \"0.7\"}\n";

class RecordingClient : public CQvxDatabaseRecordsetClient {
public:
    void OnFieldValueSet(int column, const char* value) override
    {
        calls += "set(" + std::to_string(column) + "," + value + ") ";
    }
    void OnBeforeSelect() override { calls += "before "; }
    void OnCurrentRecordChanged() override { calls += "current "; }
    void OnRecordUpdated() override { calls += "updated "; }
    void OnRequeried() override { calls += "requeried "; }
    void OnRecordRemoved() override { calls += "removed "; }
    void OnRecordAdded() override { calls += "added "; }
    void OnRefresh() override { calls += "refresh "; }
    void OnTableReloaded() override { calls += "reloaded "; }
    std::string Take()
    {
        std::string taken = calls;
        calls.clear();
        return taken;
    }
    std::string calls;
};

class RecordsetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.Write("QvxMotorDB.txt", kMotors);
        CString error;
        ASSERT_TRUE(db.LoadTable(home.File("QvxMotorDB.txt").c_str(), &error)) << error.GetString();
        table = db.FindTable("QvxMotorDB");
        ASSERT_NE(table, nullptr);
    }
    CQvxDatabaseRecordset* Open(const char* name, const char* sort, const char* field = "", const char* value = "",
                                int mode = 0)
    {
        EXPECT_TRUE(db.OpenRecordset(name, "QvxMotorDB", sort, field, value, mode));
        return db.FindRecordset(name);
    }
    static std::string Models(const CQvxDatabaseRecordset& rs)
    {
        std::string text;
        for (POSITION pos = rs.GetHeadPosition(); pos;) {
            text += rs.GetRecord(pos)->values[2].str() + " ";
            rs.GetNext(pos);
        }
        return text;
    }
    static std::string Field(const CQvxDatabaseRecordset& rs, const char* name, BOOL display = FALSE)
    {
        CString text;
        EXPECT_TRUE(rs.GetFieldValue(name, display, text));
        return text.str();
    }

    TempDir home;
    CQvxDatabase db;
    CQvxDatabaseTable* table = nullptr;
};

}  // namespace

TEST_F(RecordsetTest, SortsByTwoFieldsAndRefusesAnUnknownOne)
{
    CQvxDatabaseRecordset* rs = Open("rs", "Maker, Model");
    EXPECT_EQ(Models(*rs), "x3 x9 x1 x2 ");
    EXPECT_EQ(Field(*rs, "Model"), "x3");

    RecordingClient client;
    client.SetRecordset(rs);
    EXPECT_FALSE(rs->Requery("Maker,Colour"));
    EXPECT_EQ(rs->current, nullptr);
    EXPECT_EQ(Field(*rs, "Model"), "<NO DATA>");
    EXPECT_EQ(client.Take(), "") << "a failed re-query tells no client";
    EXPECT_FALSE(db.OpenRecordset("other", "NoSuchTable", "", "", "", 0));
}

TEST_F(RecordsetTest, FiltersNormaliseNumbersAndTakeAMissingColumnAsEmpty)
{
    CQvxDatabaseRecordset* rs = Open("rs", "Model", "Kt", "1.5", 1);
    EXPECT_EQ(Models(*rs), "x1 x3 ") << "1.5 and 1.50 are equal once formatted";
    ASSERT_TRUE(rs->Requery(nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(Models(*rs), "x2 x9 ");

    // A short record is taken as empty in the filter column, never as the previous record's value.
    table->rows.GetAt(table->rows.FindIndex(2))->values.SetSize(2);
    ASSERT_TRUE(rs->Requery("Model", "Kt", "2", 0));
    EXPECT_EQ(Models(*rs), "");
    EXPECT_FALSE(rs->Requery(nullptr, "Colour", "red", 0));
    EXPECT_FALSE(rs->Requery(nullptr, "Kt", nullptr, 0)) << "a filter field needs a value";
}

TEST_F(RecordsetTest, MovesStopAtTheEndsAndTellClientsOnlyWhenTheyMove)
{
    CQvxDatabaseRecordset* rs = Open("rs", "Model");
    RecordingClient client;
    client.SetRecordset(rs);
    EXPECT_FALSE(rs->MovePrev());
    EXPECT_FALSE(rs->MoveFirst());
    ASSERT_TRUE(rs->MoveLast());
    EXPECT_EQ(Field(*rs, "Model"), "x9");
    EXPECT_FALSE(rs->MoveNext());
    EXPECT_FALSE(rs->MoveLast());
    ASSERT_TRUE(rs->MovePrev());
    EXPECT_EQ(client.Take(), "current current ");
    ASSERT_TRUE(rs->FindFirst("Maker", "B"));
    EXPECT_EQ(Field(*rs, "Model"), "x1");
    EXPECT_FALSE(rs->FindFirst("Maker", "Z"));
    EXPECT_FALSE(rs->FindFirst("Colour", "B"));
    EXPECT_EQ(client.Take(), "current ");
}

TEST_F(RecordsetTest, EditsUpdatesAndCancelsTellClientsAndOtherRecordsets)
{
    CQvxDatabaseRecordset* a = Open("a", "Model");
    CQvxDatabaseRecordset* b = Open("b", "Model");
    RecordingClient ca;
    RecordingClient cb;
    ca.SetRecordset(a);
    cb.SetRecordset(b);
    table->modified = FALSE;

    ASSERT_TRUE(a->SetFieldValue("Kt", "0.70"));
    EXPECT_TRUE(a->editChanged);
    EXPECT_EQ(Field(*a, "Kt", TRUE), "0.70");
    a->CancelUpdate();
    EXPECT_EQ(Field(*a, "Kt"), "2");
    EXPECT_EQ(ca.Take(), "set(3,0.70) current ");

    ASSERT_TRUE(a->SetFieldValue("Kt", "2"));
    EXPECT_EQ(ca.Take(), "set(3,2) ");
    a->editChanged = FALSE;
    ASSERT_TRUE(a->SetFieldValue("Kt", "2"));
    EXPECT_FALSE(a->editChanged) << "the same value is no change";
    ASSERT_TRUE(a->Update());
    EXPECT_EQ(ca.Take(), "set(3,2) ");
    EXPECT_FALSE(table->modified);

    ASSERT_TRUE(a->SetFieldValue("Kt", "3.25"));
    ASSERT_TRUE(a->Update());
    EXPECT_TRUE(table->modified);
    EXPECT_FALSE(a->editChanged);
    EXPECT_EQ(ca.Take(), "set(3,3.25) updated ");
    EXPECT_EQ(cb.Take(), "current ") << "b shows the same record";
    EXPECT_EQ(Field(*b, "Kt"), "3.25");
    EXPECT_FALSE(a->SetFieldValue("Colour", "red"));
    EXPECT_EQ(Field(*a, "Colour"), "<INVALID FIELD>");
}

TEST_F(RecordsetTest, DeletingTheLastAndTheOnlyRecord)
{
    CQvxDatabaseRecordset* rs = Open("rs", "Model", "Maker", "B", 0);
    CQvxDatabaseRecordset* all = Open("all", "Model");
    RecordingClient client;
    client.SetRecordset(all);
    ASSERT_TRUE(rs->MoveLast());
    ASSERT_TRUE(all->MoveLast());
    ASSERT_TRUE(rs->Delete());  // x2, the last of two
    EXPECT_EQ(Field(*rs, "Model"), "x1");
    EXPECT_EQ(Models(*all), "x1 x3 x9 ");
    EXPECT_EQ(table->rows.GetCount(), 3);
    client.Take();
    ASSERT_TRUE(rs->Delete());  // the only one left
    EXPECT_EQ(rs->current, nullptr);
    EXPECT_EQ(Field(*rs, "Model"), "<NO DATA>");
    EXPECT_FALSE(rs->Delete());
    EXPECT_EQ(client.Take(), "removed ");
    EXPECT_EQ(Models(*all), "x3 x9 ");
}

TEST_F(RecordsetTest, AnAddThroughOneIsAppendedToAnotherUntilItIsRequeried)
{
    CQvxDatabaseRecordset* a = Open("a", "Model");
    CQvxDatabaseRecordset* b = Open("b", "Model", "Maker", "A", 0);
    RecordingClient ca;
    RecordingClient cb;
    ca.SetRecordset(a);
    cb.SetRecordset(b);
    ASSERT_TRUE(a->AddNew());
    EXPECT_EQ(Field(*a, "ID"), "5");
    EXPECT_EQ(Field(*a, "Kt"), "0");
    ASSERT_TRUE(a->SetFieldValue("Model", "x0"));
    ASSERT_TRUE(a->Update());
    EXPECT_EQ(ca.Take(), "added set(2,x0) updated ");
    EXPECT_EQ(cb.Take(), "added ");
    EXPECT_EQ(Models(*b), "x3 x9 x0 ") << "appended although the filter excludes it";
    ASSERT_TRUE(b->Requery());
    EXPECT_EQ(Models(*b), "x3 x9 ");
    EXPECT_EQ(cb.Take(), "requeried ");
}

TEST_F(RecordsetTest, ReloadsMergesAndRecordReadsAreToldSoNoRecordsetKeepsAFreedRecord)
{
    CQvxDatabaseRecordset* rs = Open("rs", "Model");
    RecordingClient client;
    client.SetRecordset(rs);
    CString error;
    home.Write("more.txt", "{\"\", \"C\", \"y1\", \"1\"}\n");
    ASSERT_TRUE(table->ReadRecordsFromFile(home.File("more.txt").c_str(), &error)) << error.GetString();
    EXPECT_EQ(client.Take(), "removed current requeried ");
    EXPECT_EQ(Models(*rs), "y1 ");

    ASSERT_TRUE(table->LoadFromFile("", &error)) << error.GetString();
    EXPECT_EQ(client.Take(), "removed current requeried reloaded ");
    EXPECT_EQ(Models(*rs), "x1 x2 x3 x9 ");

    std::unique_ptr<CQvxDatabaseTable> incoming(table->CreateEmptyCopy());
    ASSERT_TRUE(incoming->ImportJson(0, "{\"m\": [{\"Maker\": \"A\", \"Model\": \"x3\", \"Kt\": \"9\"}]}", &error));
    CStringList keys;
    keys.AddTail("Model");
    ASSERT_TRUE(table->Merge(*incoming, keys, nullptr, &error)) << error.GetString();
    EXPECT_EQ(Models(*rs), "x3 ");
    EXPECT_EQ(Field(*rs, "Kt"), "9");
    EXPECT_EQ(client.Take(), "removed current requeried ");

    ASSERT_TRUE(table->ImportJson(0, "{\"m\": [{\"Model\": \"z\"}]}", &error));
    EXPECT_EQ(Models(*rs), "z ");
    rs->NotifyClientsRefresh();
    EXPECT_EQ(client.Take(), "removed current requeried refresh ");
}

TEST_F(RecordsetTest, DistinctValuesJsonAndSelectByKey)
{
    CQvxDatabaseRecordset* rs = Open("rs", "Model", "Maker", "B", 0);
    CStringList makers;
    makers.AddTail("Z");
    ASSERT_TRUE(rs->GetDistinctValues(makers, "Maker", FALSE));
    EXPECT_EQ(makers.GetCount(), 2);
    ASSERT_TRUE(rs->GetDistinctValues(makers, 2, TRUE));
    EXPECT_EQ(makers.GetHead(), "x1");
    EXPECT_FALSE(rs->GetDistinctValues(makers, "Colour", TRUE));

    CString json;
    ASSERT_TRUE(rs->ExportJson(json));
    EXPECT_NE(json.Find("\"x2\""), -1);
    EXPECT_EQ(json.Find("\"x9\""), -1);

    RecordingClient client;
    client.SetRecordset(rs);
    POSITION second = rs->GetTailPosition();
    ASSERT_TRUE(rs->SelectByRowKey(rs->GetAt(second)));
    EXPECT_EQ(Field(*rs, "Model"), "x2");
    EXPECT_FALSE(rs->SelectByRowKey(nullptr));
    EXPECT_EQ(client.Take(), "before current ");
}

TEST_F(RecordsetTest, RemovingTablesAndRecordsetsDetachesClients)
{
    CQvxDatabaseRecordset* rs = Open("rs", "Model");
    RecordingClient client;
    client.SetRecordset(rs);
    {
        RecordingClient gone;
        gone.SetRecordset(rs);
    }
    EXPECT_EQ(rs->clients.GetCount(), 1) << "a client leaves in its destructor";
    CString error;
    EXPECT_FALSE(db.LoadTable(home.File("QvxMotorDB.txt").c_str(), &error)) << "the name is taken";
    EXPECT_TRUE(db.RemoveTable("QvxMotorDB"));
    EXPECT_EQ(client.GetRecordset(), nullptr);
    EXPECT_EQ(db.FindRecordset("rs"), nullptr);
    EXPECT_FALSE(db.RemoveTable("QvxMotorDB"));
    EXPECT_FALSE(db.LoadTable(home.File("missing.txt").c_str(), &error));
    EXPECT_EQ(db.FindTable("missing"), nullptr);
}

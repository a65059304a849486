#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "database/QvxDatabaseTable.h"
#include "testing/TempDir.h"

namespace {

const char* const kEncoderTable =
    "<tabledef>\r\n"
    "<fieldname=\"ID\", type=AUTOINCID>\r\n"
    "<fieldname=\"Manufacturer\", type=STRING, default=\"\">\r\n"
    "<fieldname=\"Model\", type=STRING, default=\"\">\r\n"
    "<fieldname=\"Bits\", type=NUMERIC, decdigits=2, default=\"0\">\r\n"
    "</tabledef>\r\n"
    "\r\n"
    "{\"1\", \"Heidenhain\", \"EQN1325\", \"25\"}\r\n"
    "{\"2\", \"Renishaw\", \"Resolute \"\"R\"\"\", \"32\"}\r\n";

std::unique_ptr<CQvxDatabaseTable> LoadFixture(const TempDir& dir, const char* text = kEncoderTable)
{
    dir.Write("AbsEncDB.txt", text);
    auto table = std::make_unique<CQvxDatabaseTable>();
    table->name = "AbsEncDB";
    CString error;
    EXPECT_TRUE(table->LoadFromFile(dir.File("AbsEncDB.txt").c_str(), &error)) << error.GetString();
    return table;
}

std::string Records(const CQvxDatabaseTable& table)
{
    std::string text;
    for (POSITION pos = table.rows.GetHeadPosition(); pos;)
        text += table.rows.GetNext(pos)->FormatCsvText().str() + "|";
    return text;
}

CQvxDatabaseTableDataRow* AddRow(CQvxDatabaseTable& table, std::vector<const char*> values, DWORD flags = 0)
{
    CQvxDatabaseTableDataRow* row = table.CreateRecord(nullptr);
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i])
            row->SetValue(static_cast<int>(i), values[i]);
    }
    row->syncFlags = flags;
    return row;
}

CStringList Keys(std::vector<const char*> names)
{
    CStringList keys;
    for (const char* name : names)
        keys.AddTail(name);
    return keys;
}

// Records every call of the merge, in order, and refuses what it is told to.
class RecordingCallback : public CQvxDatabaseSyncTableCallback {
public:
    bool MayDeleteRecord(CQvxDatabaseTable*, CQvxDatabaseTableDataRow* record) override
    {
        calls += "delete?" + record->values[2].str() + " ";
        return record->values[2] != refuseDelete;
    }
    bool MayReplaceRecord(const CQvxDatabaseTable*, const CQvxDatabaseTableDataRow* incoming, CQvxDatabaseTable*,
                          CQvxDatabaseTableDataRow*) override
    {
        calls += "replace?" + incoming->values[2].str() + " ";
        return incoming->values[2] != refuseReplace;
    }
    bool MayAddRecord(const CQvxDatabaseTable*, const CQvxDatabaseTableDataRow* incoming) override
    {
        calls += "add?" + incoming->values[2].str() + " ";
        return incoming->values[2] != refuseAdd;
    }
    void OnRecordReplaced(CQvxDatabaseTable*, CQvxDatabaseTableDataRow* record) override
    {
        calls += "replaced:" + record->values[2].str() + " ";
    }
    void OnRecordInserted(CQvxDatabaseTable*, CQvxDatabaseTableDataRow* record) override
    {
        calls += "inserted:" + record->values[2].str() + " ";
    }
    std::string calls;
    CString refuseDelete;
    CString refuseReplace;
    CString refuseAdd;
};

}  // namespace

TEST(TableJsonTest, WritesTheFixtureByteForByteAndReadsItBackIntoAnEmptyCopy)
{
    TempDir dir;
    auto table = LoadFixture(dir);
    CString json;
    table->ExportJson(nullptr, json);
    EXPECT_EQ(json.str(),
              "{\n\t\"AbsEncDB\": [\n"
              "\t\t{\n\t\t\t\"ID\": \"1\",\n\t\t\t\"Manufacturer\": \"Heidenhain\",\n\t\t\t\"Model\": \"EQN1325\",\n"
              "\t\t\t\"Bits\": \"25\"\n\t\t},\n"
              "\t\t{\n\t\t\t\"ID\": \"2\",\n\t\t\t\"Manufacturer\": \"Renishaw\",\n"
              "\t\t\t\"Model\": \"Resolute \\\"R\\\"\",\n\t\t\t\"Bits\": \"32\"\n\t\t}\n"
              "\t]\n}");

    std::unique_ptr<CQvxDatabaseTable> copy(table->CreateEmptyCopy());
    EXPECT_EQ(copy->name, "AbsEncDB_Copy");
    EXPECT_EQ(copy->path.str(), dir.File("AbsEncDB_Copy.txt"));
    EXPECT_EQ(copy->rows.GetCount(), 0);
    CString error;
    ASSERT_TRUE(copy->ImportJson(0, json, &error)) << error.GetString();
    EXPECT_EQ(Records(*copy), Records(*table));
    EXPECT_EQ(copy->jsonArrayName, "AbsEncDB");

    CString one;
    table->ExportJson(table->rows.GetTail(), one);
    EXPECT_NE(one.Find("Resolute"), -1);
    EXPECT_EQ(one.Find("EQN1325"), -1);
}

TEST(TableJsonTest, EveryByteAValueMayHoldIsWrittenAsStrictJsonAndReadsBack)
{
    TempDir dir;
    auto table = LoadFixture(dir);
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    table->rows.GetHead()->SetValue(2, all.c_str());
    CString json;
    table->ExportJson(nullptr, json);
    for (const char ch : json.str())
        ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << "only ASCII is written";
    EXPECT_NE(json.Find("\\u0080"), -1);
    EXPECT_NE(json.Find("\\u001F"), -1);

    std::unique_ptr<CQvxDatabaseTable> copy(table->CreateEmptyCopy());
    CString error;
    ASSERT_TRUE(copy->ImportJson(0, json, &error)) << error.GetString();
    EXPECT_EQ(copy->rows.GetHead()->values[2].str(), all);
}

TEST(TableJsonTest, ReaderCases)
{
    struct Case {
        const char* text;
        bool ok;
        const char* resultOrError;  // the Model and Bits of the record read, or the message
    };
    const Case cases[] = {
        {"{\"t\": [{\"Model\": \"A\", \"Bits\": TRUE}]}", true, "A/1"},
        {"{\"t\": [{\"Model\": \"A\", \"Bits\": False}]}", true, "A/0"},
        {"{\"t\": [{\"Model\": \"A\", \"Bits\": 12.5}]}", true, "A/12.5"},
        {"{\"t\": [{\"Model\": \"A\", \"Bits\": -7}]}", true, "A/-7"},
        {"{\"t\": [{\"Model\": \"A\\u00e9\", \"Bits\": 1}]}", true, "A\xe9/1"},
        {"{\"t\": [{\"Model\": \"A\", \"Bits\": 1.5e3}]}", false, "Syntax error in line 1."},
        {"{\"t\": [\n{\"Model\": \"A\",\n\"Color\": \"red\"}]}", false, "Invalid attribute \"Color\" in line 3."},
        {"{\"t\": [\n\n\n{\"Model\": \"A\",\r\n\r\n\"Color\": \"red\"}]}", false,
         "Invalid attribute \"Color\" in line 3."},
        {"{\"t\": [{\"Model\": \"A\xc3\xa9\"}]}", false, "Invalid data format.  Not JSON data."},
        {"{\"t\": [{\"Model\": \"\x80\"}]}", false, "Invalid data format.  Not JSON data."},
        {"{\"t\": [{\"Model\": \"A\\q\"}]}", false, "Invalid escape sequence in line 1."},
        {"{\"t\": [{\"Model\": \"\\u0100\"}]}", false, "Invalid escape sequence in line 1."},
        {"{\"t\": [{\"Model\": \"A\"}, {}]}", false, "Unexpected '}' in line 1."},
        {"{\"t\": [{\"Model\": {\"x\": \"1\"}}]}", false, "Unexpected '{' in line 1."},
        {"{\"t\": [ \"x\" ]}", false, "Unexpected '\"' in line 1."},
        {"{\"t\": [{\"Model\": \"A\"}, \"x\"]}", false, "Unexpected '\"' in line 1."},
        {"{\"t\": [{\"Model\" x: \"1\"}]}", false, "Syntax error in line 1."},
        {"{\"t\": [{\"Model\": \"A\", \"Bits\"\n 5: \"1\"}]}", false, "Syntax error in line 2."},
        {"{\"t\": [[{\"Model\": \"A\"}]]}", false, "Multi-level arrays not allowed in line 1."},
        {"{\"t\": [{\"Model\": \"A\"}],\n\"extra\": \"x\"}", false, "Value outside the records array in line 2."},
        {"{\"t\": [{\"Model\": \"A\"}", false, "Unexpected end of data in line 1."},
        {"{\"t\": [{\"Model\": \"A\"}]}\n}", false, "Unexpected '}' in line 2."},
        {"{\"t\": [{\"Model\" \"A\"}]}", false, "Unexpected '\"' in line 1."},
        {"{\"t\": [{\"Model\": \"A\",, \"Bits\": 1}]}", false, "Unexpected ',' in line 1."},
        {"{\"t\": [{\"Model\": null}]}", false, "Syntax error in line 1."},
        {"[{\"Model\": \"A\"}]", false, "Unexpected '[' in line 1."},
        {"{\"t\": [{\"Model\": \"A\": \"B\"}]}", false, "Unexpected ':' in line 1."},
        {"{\"t\": [{\"Model\": \"A\"]}", false, "Unexpected ']' in line 1."},
        {"{\"t\": {\"Model\": \"A\"}}", false, "Unexpected '{' in line 1."},
        {"{\"t\": [{\"Model\": \"A\"\n x}]}", false, "Quote expected in line 2."},
        {"{\"t\": [{\"Model\": 1.5.2}]}", false, "Syntax error in line 1."},
        {"{\"t\": [{\"Model\": \"A\"}]}", true, "A/0"},
    };
    TempDir dir;
    auto table = LoadFixture(dir);
    const std::string before = Records(*table);
    for (const Case& c : cases) {
        CString error;
        const bool ok = table->ImportJson(0, c.text, &error) != 0;
        EXPECT_EQ(ok, c.ok) << c.text << " -> " << error.GetString();
        if (c.ok) {
            ASSERT_EQ(table->rows.GetCount(), 1) << c.text;
            const CQvxDatabaseTableDataRow* row = table->rows.GetHead();
            EXPECT_EQ((row->values[2] + "/" + row->values[3]).str(), c.resultOrError) << c.text;
            EXPECT_EQ(table->jsonArrayName, "t");
            // Put the fixture back for the next case.
            table = LoadFixture(dir);
        } else {
            EXPECT_EQ(error.str(), c.resultOrError) << c.text;
            EXPECT_EQ(Records(*table), before) << "a failed import leaves the table as it was: " << c.text;
        }
    }
}

TEST(TableJsonTest, AnEmptyTextEmptiesTheTableAndAStartIndexSkipsAPrefix)
{
    TempDir dir;
    auto table = LoadFixture(dir);
    CString error;
    ASSERT_TRUE(table->ImportJson(5, "JUNK {\"x\": [{\"Model\": \"B\"}]}", &error)) << error.GetString();
    EXPECT_EQ(table->rows.GetCount(), 1);
    ASSERT_TRUE(table->ImportJson(0, "  \r\n", &error));
    EXPECT_EQ(table->rows.GetCount(), 0);
}

TEST(TableMergeTest, CallsTheCallbackInOrderAndHonoursTheSyncFlags)
{
    TempDir dir;
    auto local = LoadFixture(dir, "<tabledef>\n<fieldname=\"ID\", type=AUTOINCID>\n<fieldname=\"Maker\", type=STRING>\n"
                                  "<fieldname=\"Model\", type=STRING>\n<fieldname=\"Note\", type=STRING>\n</tabledef>\n");
    AddRow(*local, {nullptr, "H", "keep-bit1", "old"}, CQvxDatabaseTableDataRow::syncNoDelete);
    AddRow(*local, {nullptr, "H", "gone", "old"});
    AddRow(*local, {nullptr, "H", "refused-delete", "old"});
    AddRow(*local, {nullptr, "H", "frozen-bit0", "old"}, CQvxDatabaseTableDataRow::syncNoOverwrite);
    AddRow(*local, {nullptr, "H", "updated", "old"});
    AddRow(*local, {nullptr, "H", "refused-replace", "old"});
    local->modified = FALSE;

    std::unique_ptr<CQvxDatabaseTable> incoming(local->CreateEmptyCopy());
    AddRow(*incoming, {"4", "H", "frozen-bit0", "new"});
    AddRow(*incoming, {"5", "H", "updated", "new"});
    AddRow(*incoming, {"6", "H", "refused-replace", "new"});
    AddRow(*incoming, {"1", "H", "added", "new"});
    AddRow(*incoming, {"2", "H", "refused-add", "new"});
    AddRow(*incoming, {"3", "H", "added", "twice"});
    const std::string incomingBefore = Records(*incoming);

    RecordingCallback callback;
    callback.refuseDelete = "refused-delete";
    callback.refuseReplace = "refused-replace";
    callback.refuseAdd = "refused-add";
    CString error;
    ASSERT_TRUE(local->Merge(*incoming, Keys({"Maker", "Model"}), &callback, &error)) << error.GetString();
    EXPECT_EQ(callback.calls,
              "delete?gone delete?refused-delete "
              "replace?updated replaced:updated replace?refused-replace "
              "add?added inserted:added add?refused-add replace?added replaced:added ");
    EXPECT_EQ(Records(*local),
              "\"1\",\"H\",\"keep-bit1\",\"old\"|\"3\",\"H\",\"refused-delete\",\"old\"|"
              "\"4\",\"H\",\"frozen-bit0\",\"old\"|\"5\",\"H\",\"updated\",\"new\"|"
              "\"6\",\"H\",\"refused-replace\",\"old\"|\"7\",\"H\",\"added\",\"twice\"|")
        << "the new record's repeated id 3 is renumbered";
    EXPECT_TRUE(local->modified);
    EXPECT_EQ(Records(*incoming), incomingBefore) << "the incoming table is not changed";
}

TEST(TableMergeTest, RefusesIncompatibleFieldsUnknownAndMissingKeysAndRenumbersIds)
{
    TempDir dir;
    auto local = LoadFixture(dir);
    const std::string before = Records(*local);
    CString error;

    CQvxDatabaseTable other;
    EXPECT_FALSE(local->Merge(other, Keys({"Model"}), nullptr, &error));
    EXPECT_EQ(error, "Incompatible table fields");
    std::unique_ptr<CQvxDatabaseTable> incoming(local->CreateEmptyCopy());
    EXPECT_FALSE(local->Merge(*incoming, Keys({"Model", "Colour"}), nullptr, &error));
    EXPECT_EQ(error, "Unknown field \"Colour\"");
    EXPECT_FALSE(local->Merge(*incoming, Keys({}), nullptr, &error));
    EXPECT_EQ(error, "No key fields given");
    EXPECT_EQ(Records(*local), before);

    // Incoming ids that repeat local ones are renumbered; none is empty.
    AddRow(*incoming, {"1", "Heidenhain", "EQN1325", "25"});
    AddRow(*incoming, {"1", "Sick", "AFS60", "18"});
    AddRow(*incoming, {"", "Baumer", "EAM580", "13"});
    ASSERT_TRUE(local->Merge(*incoming, Keys({"Manufacturer", "Model"}), nullptr, &error)) << error.GetString();
    // The empty id is given first, then the repeated one.
    EXPECT_EQ(Records(*local), "\"1\",\"Heidenhain\",\"EQN1325\",\"25\"|\"3\",\"Sick\",\"AFS60\",\"18\"|"
                               "\"2\",\"Baumer\",\"EAM580\",\"13\"|");
}

TEST(TableMergeTest, IncomingRecordsWithoutARealKeyAreEachNew)
{
    // A download without the key column: every incoming key is empty or the "-1" placeholder.
    for (const char* placeholder : {"", "-1"}) {
        SCOPED_TRACE(placeholder);
        TempDir dir;
        auto local = LoadFixture(dir);
        std::unique_ptr<CQvxDatabaseTable> incoming(local->CreateEmptyCopy());
        AddRow(*incoming, {placeholder, "Sick", "AFS60", "18"});
        AddRow(*incoming, {placeholder, "Baumer", "EAM580", "13"});
        AddRow(*incoming, {placeholder, "Kuebler", "F5868", "17"});
        RecordingCallback callback;
        CString error;
        ASSERT_TRUE(local->Merge(*incoming, Keys({"ID"}), &callback, &error)) << error.GetString();
        EXPECT_EQ(callback.calls, "delete?EQN1325 delete?Resolute \"R\" add?AFS60 inserted:AFS60 add?EAM580 "
                                  "inserted:EAM580 add?F5868 inserted:F5868 ");
        ASSERT_EQ(local->rows.GetCount(), 3);
        std::string models;
        for (POSITION pos = local->rows.GetHeadPosition(); pos;)
            models += local->rows.GetNext(pos)->values[2].str() + " ";
        EXPECT_EQ(models, "AFS60 EAM580 F5868 ");
    }
    // A local record under the placeholder is not deleted, nor written over.
    TempDir dir;
    auto local = LoadFixture(dir);
    AddRow(*local, {"-1", "Local", "Kept", "1"});
    std::unique_ptr<CQvxDatabaseTable> incoming(local->CreateEmptyCopy());
    AddRow(*incoming, {"1", "Heidenhain", "EQN1325", "25"});
    AddRow(*incoming, {"2", "Renishaw", "Resolute", "32"});
    AddRow(*incoming, {"-1", "Sick", "AFS60", "18"});
    CString error;
    ASSERT_TRUE(local->Merge(*incoming, Keys({"ID"}), nullptr, &error)) << error.GetString();
    std::string models;
    for (POSITION pos = local->rows.GetHeadPosition(); pos;)
        models += local->rows.GetNext(pos)->values[2].str() + " ";
    EXPECT_EQ(models, "EQN1325 Resolute Kept AFS60 ");
}

TEST(TableMergeTest, MergingATableIntoItselfChangesNothingButSetsModified)
{
    TempDir dir;
    auto table = LoadFixture(dir);
    const std::string before = Records(*table);
    table->modified = FALSE;
    CString error;
    ASSERT_TRUE(table->Merge(*table, Keys({"ID"}), nullptr, &error)) << error.GetString();
    EXPECT_EQ(Records(*table), before);
    EXPECT_TRUE(table->modified);
}

TEST(TableCsvTest, ExportsBesideTheTableFileAndQuotesWhatNeedsIt)
{
    TempDir dir;
    auto table = LoadFixture(dir, "<tabledef>\n<fieldname=\"Model\", type=STRING>\n"
                                  "<fieldname=\"Pulses, per rev\", type=STRING>\n</tabledef>\n"
                                  "{\"QM \"\"B\"\"\", \"a,b\"}\n");
    CString error;
    ASSERT_TRUE(table->ExportCsv("", true, &error)) << error.GetString();
    EXPECT_EQ(dir.Read("AbsEncDB.csv"), "Model,\"Pulses, per rev\"\r\n\"QM \"\"B\"\"\",\"a,b\"\r\n");
    ASSERT_TRUE(table->ExportCsv(dir.File("plain.csv").c_str(), false, &error));
    EXPECT_EQ(dir.Read("plain.csv"), "\"QM \"\"B\"\"\",\"a,b\"\r\n");
    EXPECT_FALSE(table->ExportCsv(dir.File("no/such/folder.csv").c_str(), true, &error));
    EXPECT_EQ(error.str(), "Could not open file \"" + dir.File("no/such/folder.csv") + "\"");
}

TEST(TableRecordsTest, ReadRecordsFromFileReplacesRecordsOnlyWhenTheFileIsGood)
{
    TempDir dir;
    auto table = LoadFixture(dir);
    const std::string before = Records(*table);
    dir.Write("more.txt", "{\"\", \"Sick\", \"AFS60\", \"18\"}\n{\"\", \"Baumer\", \"EAM580\", \"13\"}\n");
    dir.Write("bad.txt", "{\"\", \"Sick\", \"AFS60\", \"18\"}\n{\"1\", \"Baumer\"");
    CString error;
    EXPECT_FALSE(table->ReadRecordsFromFile(dir.File("bad.txt").c_str(), &error));
    EXPECT_EQ(error, "Unexpected end of file");
    EXPECT_EQ(Records(*table), before);
    EXPECT_FALSE(table->ReadRecordsFromFile(dir.File("none.txt").c_str(), &error));
    ASSERT_TRUE(table->ReadRecordsFromFile(dir.File("more.txt").c_str(), &error)) << error.GetString();
    EXPECT_EQ(Records(*table), "\"1\",\"Sick\",\"AFS60\",\"18\"|\"2\",\"Baumer\",\"EAM580\",\"13\"|");

    POSITION pos = nullptr;
    CQvxDatabaseTableDataRow* created = table->CreateRecord(&pos);
    EXPECT_EQ(table->rows.GetAt(pos), created);
    EXPECT_EQ(created->FormatCsvText(), "\"3\",\"\",\"\",\"0\"");
}

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/QvxDatabaseTable.h"
#include "testing/TempDir.h"

namespace {

// A motor table as the writer lays it out (CR LF line ends).
const std::string kMotorTable =
    "<tabledef>\r\n"
    "<fieldname=\"ID\", fielddesc=\"Record id\", type=AUTOINCID, readonly=\"TRUE\">\r\n"
    "<fieldname=\"Model\", fielddesc=\"Motor model\", type=STRING, default=\"\">\r\n"
    "<fieldname=\"Kt\", fielddesc=\"Torque constant\", type=NUMERIC, decdigits=3, default=\"0\">\r\n"
    "<fieldname=\"Kind\", fielddesc=\"\", type=SELECTOR, selections=\"Rotary[0]\\Linear[1]\", default=\"0\", "
    "noshow=\"TRUE\">\r\n"
    "</tabledef>\r\n"
    "\r\n"
    "{\"1\", \"QM-100\", \"0.125\", \"0\"}\r\n"
    "{\"2\", \"QL-7 <fast>\", \"1.5e+003\", \"1\"}\r\n";

std::string WithLf(std::string text)
{
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

std::string Dump(const CQvxDatabaseTable& table)
{
    std::string text;
    for (const CQvxDatabaseTableFieldDef* f : table.fields)
        text += f->FormatTag().str() + "\n";
    for (POSITION pos = table.rows.GetHeadPosition(); pos;)
        text += table.rows.GetNext(pos)->FormatRecordLine().str();
    return text;
}

class RecordingDatabase : public CQvxDatabaseTableCB {
public:
    void OnTableEmptied(CQvxDatabaseTable* table) override { calls += "emptied(" + std::to_string(table->rows.GetCount()) + ") "; }
    void OnTableChanged(CQvxDatabaseTable*) override { calls += "changed "; }
    void OnTableReloaded(CQvxDatabaseTable*) override { calls += "reloaded "; }
    std::string calls;
};

}  // namespace

TEST(TableFileTest, LoadsTheSameFromCrLfAndLfAndSavesByteForByte)
{
    TempDir dir;
    dir.Write("QvxMotorDB.txt", kMotorTable);
    dir.Write("lf.txt", WithLf(kMotorTable));
    CQvxDatabaseTable crlf;
    CQvxDatabaseTable lf;
    CString error;
    ASSERT_TRUE(crlf.LoadFromFile(dir.File("QvxMotorDB.txt").c_str(), &error)) << error.GetString();
    ASSERT_TRUE(lf.LoadFromFile(dir.File("lf.txt").c_str(), &error)) << error.GetString();
    EXPECT_EQ(Dump(crlf), Dump(lf));
    EXPECT_TRUE(crlf.GetLoadWarnings().IsEmpty());
    EXPECT_FALSE(crlf.modified);

    ASSERT_EQ(crlf.fields.GetSize(), 4);
    const CQvxDatabaseTableFieldDef* kind = crlf.fields[3];
    EXPECT_EQ(kind->column, 3);
    EXPECT_TRUE(kind->IsSelector());
    EXPECT_EQ(kind->flags, CQvxDatabaseTableFieldDef::flagNoShow);
    CQvxDatabaseTableSelectionItem item;
    ASSERT_TRUE(kind->GetSelectionItem(1, item));
    EXPECT_EQ(item.text, "Linear");
    EXPECT_EQ(item.value, 1);
    EXPECT_FALSE(kind->GetSelectionItem(2, item));
    EXPECT_EQ(crlf.fields[0]->flags, CQvxDatabaseTableFieldDef::flagReadOnly);
    EXPECT_EQ(crlf.rows.GetTail()->values[1], "QL-7 <fast>");
    // Three-digit exponents from older files read like two-digit ones.
    EXPECT_EQ(crlf.fields[2]->FormatValue(crlf.rows.GetTail()->values[2]), "1500.000");

    // Saved without a path, it goes back where it came from, unchanged.
    ASSERT_TRUE(lf.SaveToFile("", &error));
    EXPECT_EQ(dir.Read("lf.txt"), kMotorTable);
    ASSERT_TRUE(crlf.SaveToFile(dir.File("AbsEncDB.txt").c_str(), &error));
    EXPECT_EQ(dir.Read("AbsEncDB.txt"), kMotorTable);
    EXPECT_EQ(crlf.path, dir.File("AbsEncDB.txt").c_str());
}

TEST(TableFileTest, AwkwardValuesSurviveASaveAndALoad)
{
    TempDir dir;
    dir.Write("t.txt", kMotorTable);
    CQvxDatabaseTable table;
    ASSERT_TRUE(table.LoadFromFile(dir.File("t.txt").c_str(), nullptr));
    const char* awkward[] = {"say \"hi\"", "\"", "a, b} {c", "<tag>", "\"\"", ""};
    int id = 10;
    for (const char* text : awkward) {
        CQvxDatabaseTableDataRow* row = new CQvxDatabaseTableDataRow;
        row->InitDefaults(table.fields);
        row->SetValue(0, std::to_string(id++).c_str());
        row->SetValue(1, text);
        table.rows.AddTail(row);
    }
    table.fields[1]->description = "the \"model\" name";
    table.fields[1]->defaultValue = "x\"y";
    ASSERT_TRUE(table.SaveToFile(dir.File("t2.txt").c_str(), nullptr));
    CQvxDatabaseTable again;
    CString error;
    ASSERT_TRUE(again.LoadFromFile(dir.File("t2.txt").c_str(), &error)) << error.GetString();
    EXPECT_EQ(Dump(again), Dump(table));
    EXPECT_EQ(again.fields[1]->description, "the \"model\" name");
    POSITION pos = again.rows.FindIndex(2);
    for (const char* text : awkward)
        EXPECT_EQ(again.rows.GetNext(pos)->values[1], text);
}

TEST(TableFileTest, MalformedFilesGiveTheLineAndLeaveTheTableAsItWas)
{
    const std::string head = "<tabledef>\n<fieldname=\"A\", type=STRING>\n";
    struct Case {
        std::string text;
        int line;
        std::string message;
    };
    const Case cases[] = {
        {head, 3, "</tabledef> expected"},
        {head + "<fieldname=\"B\", type=TEXT>\n</tabledef>\n", 3, "Invalid 'type' attribute: TEXT"},
        {head + "<type=STRING>\n", 3, "Missing 'fieldname' attribute"},
        {head + "<fieldname=\"B\">\n", 3, "Missing 'type' attribute"},
        {head + "<fieldname=\"B\", type\"=STRING>\n", 3, "Misplaced quotation mark"},
        {head + "<fieldname=\"B\",\n fieldname=\"C\", type=STRING>\n", 4, "Duplicate attribute name: fieldname"},
        {head + "<field*name=\"B\">\n", 3, "Invalid character found in attribute name"},
        {head + "<fieldname=B*, type=STRING>\n", 3, "Invalid character in value for attribute: fieldname"},
        {head + "<fieldname=<B>\n", 3, "Unexpected '<' encountered"},
        {head + "<fieldname==B>\n", 3, "Misplaced equal sign"},
        {head + "<fieldname=\"B\",, type=STRING>\n", 3, "Attribute name expected"},
        {head + "<fieldname=\"B\", type=STRING,>\n", 3, "Missing attribute name"},
        {head + "<fieldname=\"B\", type=STRING", 3, "Unexpected end of file"},
        {head + "<fieldname=\"B\", type=STRING, decdigits=2>\n", 3,
         "'decdigits' attribute does not apply non-numeric types"},
        {head + "<fieldname=\"B\", type=STRING, selections=\"x[1]\">\n", 3,
         "'selections' attribute does not apply non-selector type"},
        {head + "<fieldname=\"B\", type=SELECTOR, selections=\"x[1]\\y1]\">\n", 3, "'[' expected in selector value"},
        {head + "<fieldname=\"B\", type=SELECTOR, selections=\"x[1\">\n", 3, "']' expected in selector value"},
        {head + "<fieldname=\"B\", type=SELECTOR, selections=\"x]1[\">\n", 3, "Syntax error in selector value"},
        {head + "<fieldname=\"B\", type=SELECTOR, selections=\"x[99999999999999]\">\n", 3,
         "Selection value out of range in selector value"},
        {head + "<fieldname=\"B\", type=SELECTOR, selections=\"x[1]\\y[-2147483649]\">\n", 3,
         "Selection value out of range in selector value"},
        {head + "<fieldname=\"B\", type=AutoIncID, default=\"1\">\n", 3,
         "'default' attribute does not apply to 'AutoIncID' data type"},
        {head + "</tabledef>\n\n{\"a\"}\n{\"b\", {\"c\"}\n", 6, "Unexpected '{'"},
        {head + "</tabledef>\n\n{\"a\"}\n{\"b\"\n", 7, "Unexpected end of file"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        for (const bool crlf : {false, true}) {
            std::string text = c.text;
            if (crlf) {
                for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
                    text.insert(at, "\r");
            }
            CQvxDatabaseTable table;
            RecordingDatabase database;
            dir.Write("good.txt", kMotorTable);
            ASSERT_TRUE(table.LoadFromFile(dir.File("good.txt").c_str(), nullptr));
            const std::string before = Dump(table);
            table.database = &database;
            table.modified = TRUE;
            dir.Write("bad.txt", text);
            CString error;
            EXPECT_FALSE(table.LoadFromFile(dir.File("bad.txt").c_str(), &error));
            EXPECT_EQ(error.str(), "Error in line " + std::to_string(c.line) + ": " + c.message + ":")
                << c.message << (crlf ? " (CR LF)" : " (LF)");
            EXPECT_EQ(Dump(table), before);
            EXPECT_EQ(table.path, dir.File("good.txt").c_str());
            EXPECT_TRUE(table.modified);
            EXPECT_EQ(database.calls, "");
        }
    }
}

TEST(TableFileTest, FilesWithoutADefinitionSectionFail)
{
    TempDir dir;
    const std::string path = dir.File("AbsEncDB.txt");
    for (const std::string& text : {std::string(""), std::string("{\"1\"}\n<tabledef>\n</tabledef>\n"),
                                    std::string("<tabledef>\n{\"1\"}\n</tabledef>\n")}) {
        dir.Write("AbsEncDB.txt", text);
        CQvxDatabaseTable table;
        CString error;
        EXPECT_FALSE(table.LoadFromFile(path.c_str(), &error));
        EXPECT_EQ(error.Right(2), ".:") << text;
        EXPECT_EQ(error.Find(("File \"" + path + "\" missing table definition section.").c_str()) > 0, true)
            << error.GetString();
    }
    CQvxDatabaseTable table;
    CString error;
    EXPECT_FALSE(table.LoadFromFile(dir.File("none.txt").c_str(), &error));
    EXPECT_EQ(error.str(), "Could not open file \"" + dir.File("none.txt") + "\"");
}

TEST(TableFileTest, RecordsOfTheWrongLengthKeepWhatTheyHoldAndAreReported)
{
    TempDir dir;
    dir.Write("t.txt",
              "<tabledef>\n"
              "<fieldname=\"A\", type=STRING, default=\"da\">\n"
              "<fieldname=\"B\", type=STRING, default=\"db\">\n"
              "<fieldname=\"C\", type=STRING, default=\"dc\">\n"
              "</tabledef>\n"
              "\n"
              "{\"1\", \"2\", \"3\", \"4\"}\n"
              "{\"x\", \"y\"}\n"
              "stray text {\"q\"   , unquoted  ,\"r\" tail}\n"
              "{\"p\" \"s\",,}\n");
    CQvxDatabaseTable table;
    CString error;
    ASSERT_TRUE(table.LoadFromFile(dir.File("t.txt").c_str(), &error)) << error.GetString();
    EXPECT_EQ(Dump(table).substr(Dump(table).find('{')),
              "{\"1\", \"2\", \"3\"}\n"
              "{\"x\", \"y\", \"dc\"}\n"
              "{\"q\", \" unquoted  \", \"r\"}\n"
              "{\"s\", \"\", \"\"}\n");
    const CStringList& warnings = table.GetLoadWarnings();
    ASSERT_EQ(warnings.GetCount(), 2);
    EXPECT_EQ(warnings.GetHead(), "Line 7: the record holds 4 values for 3 fields.");
    EXPECT_EQ(warnings.GetTail(), "Line 8: the record holds 2 values for 3 fields.");
}

TEST(TableFileTest, AutoIncIdsAreMadeDistinct)
{
    TempDir dir;
    dir.Write("t.txt",
              "<tabledef>\n<fieldname=\"N\", type=STRING>\n<fieldname=\"ID\", type=autoincid>\n</tabledef>\n"
              "{\"a\", \"5\"}\n{\"b\", \"5\"}\n{\"c\", \"\"}\n{\"d\", \"2\"}\n");
    CQvxDatabaseTable table;
    ASSERT_TRUE(table.LoadFromFile(dir.File("t.txt").c_str(), nullptr));
    std::vector<std::string> ids;
    for (POSITION pos = table.rows.GetHeadPosition(); pos;)
        ids.push_back(table.rows.GetNext(pos)->values[1].str());
    EXPECT_EQ(ids, (std::vector<std::string>{"5", "7", "6", "2"}));
    int next = 0;
    EXPECT_TRUE(table.nextId.Lookup(1, next));
    EXPECT_EQ(next, 8);
    EXPECT_TRUE(table.modified);
    // A lower-case type is accepted and written back in upper case.
    EXPECT_EQ(table.fields[1]->FormatTag(), "<fieldname=\"ID\", fielddesc=\"\", type=AUTOINCID, readonly=\"TRUE\">");
}

TEST(TableFileTest, IdsNearTheLargestIntStayPositiveAndDistinct)
{
    TempDir dir;
    dir.Write("t.txt",
              "<tabledef>\n<fieldname=\"ID\", type=AUTOINCID>\n</tabledef>\n"
              "{\"2147483646\"}\n{\"\"}\n{\"\"}\n{\"1\"}\n{\"99999999999\"}\n{\"\"}\n{\"1\"}\n");
    dir.Write("max.txt", "<tabledef>\n<fieldname=\"ID\", type=AUTOINCID>\n</tabledef>\n{\"2147483647\"}\n{\"\"}\n");
    CQvxDatabaseTable atMax;
    ASSERT_TRUE(atMax.LoadFromFile(dir.File("max.txt").c_str(), nullptr));
    EXPECT_EQ(atMax.rows.GetTail()->values[0], "1");
    CQvxDatabaseTable table;
    ASSERT_TRUE(table.LoadFromFile(dir.File("t.txt").c_str(), nullptr));
    std::vector<std::string> ids;
    for (POSITION pos = table.rows.GetHeadPosition(); pos;)
        ids.push_back(table.rows.GetNext(pos)->values[0].str());
    // An id beyond the range of an int counts as the largest int; past that
    // the lowest free ids are given.
    EXPECT_EQ(ids, (std::vector<std::string>{"2147483646", "2", "3", "1", "99999999999", "4", "5"}));
    int next = 0;
    EXPECT_TRUE(table.nextId.Lookup(0, next));
    EXPECT_EQ(next, 6);
}

TEST(TableFileTest, DecimalDigitsOutOfRangeAreBroughtInWithAWarning)
{
    TempDir dir;
    dir.Write("t.txt",
              "<tabledef>\n"
              "<fieldname=\"Big\", type=NUMERIC, decdigits=2147483647>\n"
              "<fieldname=\"Low\", type=NUMERIC, decdigits=-99999999999>\n"
              "<fieldname=\"Fine\", type=NUMERIC, decdigits=3>\n"
              "</tabledef>\n{\"1.5\", \"1234.5\", \"2\"}\n");
    CQvxDatabaseTable table;
    CString error;
    ASSERT_TRUE(table.LoadFromFile(dir.File("t.txt").c_str(), &error)) << error.GetString();
    const CQvxDatabaseTableDataRow& row = *table.rows.GetHead();
    EXPECT_EQ(table.fields[0]->FormatValue(row.values[0]), "1.50000000000000000");
    EXPECT_EQ(table.fields[1]->FormatValue(row.values[1]), "1234.5");
    EXPECT_EQ(table.fields[2]->FormatValue(row.values[2]), "2.000");
    const CStringList& warnings = table.GetLoadWarnings();
    ASSERT_EQ(warnings.GetCount(), 2);
    EXPECT_EQ(warnings.GetHead(), "Line 2: the field \"Big\" asks for 2147483647 decimal digits; 17 are used.");
    EXPECT_EQ(warnings.GetTail(), "Line 3: the field \"Low\" asks for -99999999999 decimal digits; -17 are used.");
}

TEST(TableFileTest, TagsTolerateBlanksAndBareAttributes)
{
    CQvxTableReader reader(" <  fieldname = \"A b\" , type= numeric ,readonly, noshow=\"true\" >x");
    CQvxDatabaseTableFieldDef field;
    char stray = 0;
    EXPECT_EQ(field.ReadFromTag(reader, nullptr, &stray), CQvxDatabaseTableFieldDef::tagStrayChar);
    EXPECT_EQ(stray, ' ');
    CString error;
    ASSERT_EQ(field.ReadFromTag(reader, &error), CQvxDatabaseTableFieldDef::tagField) << error.GetString();
    EXPECT_EQ(field.name, "A b");
    EXPECT_EQ(field.type, CQvxDatabaseTableFieldDef::typeNumeric);
    EXPECT_EQ(field.decimalDigits, -1);
    EXPECT_EQ(field.flags, CQvxDatabaseTableFieldDef::flagNoShow);
    EXPECT_EQ(field.FormatValue("1234"), "1e+03");
    EXPECT_EQ(field.ReadFromTag(reader, nullptr, &stray), CQvxDatabaseTableFieldDef::tagStrayChar);
    EXPECT_EQ(stray, 'x');
    EXPECT_EQ(field.ReadFromTag(reader, nullptr), CQvxDatabaseTableFieldDef::tagEndOfFile);
}

TEST(TableFileTest, LoadTellsTheDatabaseInOrder)
{
    TempDir dir;
    dir.Write("t.txt", kMotorTable);
    CQvxDatabaseTable table;
    RecordingDatabase database;
    table.database = &database;
    ASSERT_TRUE(table.LoadFromFile(dir.File("t.txt").c_str(), nullptr));
    ASSERT_TRUE(table.LoadFromFile("", nullptr));
    // The old records are still there when the database hears they go.
    EXPECT_EQ(database.calls, "emptied(0) changed reloaded emptied(2) changed reloaded ");
}

TEST(TableFileTest, SaveToAMissingFolderFailsAndWritesNothing)
{
    TempDir dir;
    CQvxDatabaseTable table;
    CString error;
    table.modified = TRUE;
    EXPECT_FALSE(table.SaveToFile(dir.File("no/such.txt").c_str(), &error));
    EXPECT_EQ(error.str(), "Could not open file \"" + dir.File("no/such.txt") + "\"");
    EXPECT_TRUE(table.modified);
    EXPECT_EQ(dir.CountEntries(), 0);
}

TEST(TableFileTest, FieldsRecordsAndTheirTextForms)
{
    EXPECT_EQ(CQvxDatabaseTableFieldDef::ParseType("selector"), 3);
    EXPECT_EQ(CQvxDatabaseTableFieldDef::ParseType("Unassigned"), -1);
    EXPECT_EQ(CQvxDatabaseTableFieldDef::TypeName(9), "Invalid Data Type");

    TempDir dir;
    dir.Write("t.txt", kMotorTable);
    CQvxDatabaseTable a;
    CQvxDatabaseTable b;
    ASSERT_TRUE(a.LoadFromFile(dir.File("t.txt").c_str(), nullptr));
    ASSERT_TRUE(b.LoadFromFile(dir.File("t.txt").c_str(), nullptr));
    b.fields[2]->description = "other";
    EXPECT_TRUE(a.fields.FieldsEqual(b.fields));
    b.fields[2]->type = CQvxDatabaseTableFieldDef::typeString;
    EXPECT_FALSE(a.fields.FieldsEqual(b.fields));
    EXPECT_EQ(a.fields.FindField("Kt"), 2);
    EXPECT_EQ(a.fields.FindField("kt"), -1);
    EXPECT_EQ(a.fields.GetFieldByColumn(3)->name, "Kind");
    EXPECT_EQ(a.fields.GetFieldByColumn(4), nullptr);

    CQvxDatabaseTableDataRow key;
    key.values.Add("x");
    key.values.Add("QL-7 <fast>");
    CQvxDatabaseTableDataRow::KeyColumns columns;
    columns.Add(1);
    EXPECT_EQ(a.rows.FindByKeys(key, columns), a.rows.GetTail());
    columns.Add(5);
    EXPECT_EQ(a.rows.FindByKeys(key, columns), nullptr);
    EXPECT_FALSE(key.SetValue(2, "z"));

    CQvxDatabaseTableDataRow copy;
    a.rows.GetHead()->syncFlags = 3;
    copy.CopyValues(*a.rows.GetHead(), true);
    EXPECT_EQ(copy.FormatCsvText(), "\"1\",\"QM-100\",\"0.125\",\"0\"");
    EXPECT_EQ(copy.syncFlags, 3u);
    {
        CStdioFile csv(dir.File("t.csv").c_str(), CFile::modeCreate | CFile::modeWrite);
        a.fields.WriteCsvHeader(csv);
        a.rows.WriteCsvLines(csv);
        csv.Close();
    }
    EXPECT_EQ(dir.Read("t.csv"),
              "ID,Model,Kt,Kind\r\n\"1\",\"QM-100\",\"0.125\",\"0\"\r\n\"2\",\"QL-7 <fast>\",\"1.5e+003\",\"1\"\r\n");
}

// libFuzzer target for the table's JSON reader and the table file's record
// reader. Checked: no crash or hang, and a failed JSON import leaves the
// table's records as they were.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "database/QvxDatabaseTable.h"

namespace {

std::string Records(const CQvxDatabaseTable& table)
{
    std::string text;
    for (POSITION pos = table.rows.GetHeadPosition(); pos;)
        text += table.rows.GetNext(pos)->FormatRecordLine().str();
    return text;
}

void AddField(CQvxDatabaseTable& table, const char* name, int type)
{
    auto* field = new CQvxDatabaseTableFieldDef;
    field->name = name;
    field->type = type;
    field->column = static_cast<LONG>(table.fields.GetSize());
    table.fields.Add(field);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CQvxDatabaseTable table;
    table.name = "AbsEncDB";
    AddField(table, "ID", CQvxDatabaseTableFieldDef::typeAutoIncId);
    AddField(table, "Model", CQvxDatabaseTableFieldDef::typeString);
    AddField(table, "Bits", CQvxDatabaseTableFieldDef::typeNumeric);
    table.CreateRecord(nullptr)->SetValue(1, "keep");
    const std::string before = Records(table);
    const CString text(std::string(reinterpret_cast<const char*>(data), size));
    CString error;
    if (!table.ImportJson(0, text, &error) && Records(table) != before)
        std::abort();
    // What was read writes out as JSON that reads back the same.
    CString json;
    table.ExportJson(nullptr, json);
    CQvxDatabaseTable again;
    again.name = table.name;
    AddField(again, "ID", CQvxDatabaseTableFieldDef::typeAutoIncId);
    AddField(again, "Model", CQvxDatabaseTableFieldDef::typeString);
    AddField(again, "Bits", CQvxDatabaseTableFieldDef::typeNumeric);
    if (!again.ImportJson(0, json, &error) || Records(again) != Records(table))
        std::abort();
    return 0;
}

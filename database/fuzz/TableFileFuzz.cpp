// libFuzzer target for the table file reader: any bytes loaded as a table,
// then every value shown through its field and every record and definition
// formatted as the writers would. Checked: no crash, no hang, and a loaded
// table keeps its invariants (one value per field in every record, distinct
// ids in every AutoIncID column).
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "database/QvxDatabaseTable.h"
#include "testing/FuzzInputFile.h"

namespace {

int IdValue(const CString& text)
{
    return static_cast<int>(std::clamp<long long>(std::strtoll(text, nullptr, 10), INT_MIN, INT_MAX));
}

void CheckAndFormat(const CQvxDatabaseTable& table)
{
    const INT_PTR columns = table.fields.GetSize();
    for (INT_PTR c = 0; c < columns; ++c) {
        const CQvxDatabaseTableFieldDef* field = table.fields[c];
        if (field->column != c)
            std::abort();
        (void)field->FormatTag();
        std::set<int> ids;
        for (POSITION pos = table.rows.GetHeadPosition(); pos;) {
            const CQvxDatabaseTableDataRow* row = table.rows.GetNext(pos);
            if (row->values.GetSize() != columns)
                std::abort();
            const CString shown = field->FormatValue(row->values[c]);
            if (shown.GetLength() > 4096)
                std::abort();  // a shown value never grows without bound
            if (field->type == CQvxDatabaseTableFieldDef::typeAutoIncId && !ids.insert(IdValue(row->values[c])).second)
                std::abort();
        }
        CQvxDatabaseTableSelectionItem item;
        if (field->IsSelector() && !field->GetSelectionItem(0, item))
            std::abort();
    }
    for (POSITION pos = table.rows.GetHeadPosition(); pos;) {
        const CQvxDatabaseTableDataRow* row = table.rows.GetNext(pos);
        (void)row->FormatRecordLine();
        (void)row->FormatCsvText();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    CQvxDatabaseTable table;
    CString error;
    if (table.LoadFromFile(input.Put(data, size), &error))
        CheckAndFormat(table);
    else if (error.IsEmpty())
        std::abort();  // a refused file always says why
    return 0;
}

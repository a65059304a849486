// The table's JSON form: the writer, the import through CQvxJsonTableReader
// and the synchronisation from a JSON text.
#include <memory>
#include <unordered_set>

#include "QvxDatabaseTable.h"
#include "QvxJsonTableReader.h"

namespace {

// Every byte the reader cannot take as it stands is escaped, so each table
// writes strict JSON that reads back.
CString JsonEscape(const CString& text)
{
    CString out;
    for (const char ch : text.str()) {
        const auto byte = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (byte < 0x20 || byte >= 0x80)
                out.AppendFormat("\\u%04X", byte);
            else
                out += ch;
        }
    }
    return out;
}

void AppendRecord(const CQvxDatabaseTable& table, const CQvxDatabaseTableDataRow& record, CString& text)
{
    text += "\t\t{\n";
    const INT_PTR count = record.values.GetSize();
    for (INT_PTR i = 0; i < count; ++i) {
        const CQvxDatabaseTableFieldDef* field = table.fields.GetFieldByColumn(static_cast<int>(i));
        text.AppendFormat("\t\t\t\"%s\": \"%s\"", JsonEscape(field ? field->name : CString()).GetString(),
                          JsonEscape(record.values[i]).GetString());
        text += i + 1 < count ? ",\n" : "\n";
    }
    text += "\t\t}";
}

}  // namespace

void CQvxDatabaseTable::ExportJson(const CQvxDatabaseTableDataRow* record, CString& text) const
{
    if (!record) {
        ExportJsonRecords(text, nullptr);
        return;
    }
    CRowRefList one;
    one.AddTail(const_cast<CQvxDatabaseTableDataRow*>(record));
    ExportJsonRecords(text, &one);
}

void CQvxDatabaseTable::ExportJsonRecords(CString& text, const CRowRefList* list) const
{
    std::unordered_set<const CQvxDatabaseTableDataRow*> wanted;
    if (list) {
        for (POSITION pos = list->GetHeadPosition(); pos;)
            wanted.insert(list->GetNext(pos));
    }
    text.Empty();
    text.AppendFormat("{\n\t\"%s\": [\n", JsonEscape(name).GetString());
    bool first = true;
    for (POSITION pos = rows.GetHeadPosition(); pos;) {
        const CQvxDatabaseTableDataRow* record = rows.GetNext(pos);
        if (list && !wanted.count(record))
            continue;
        if (!first)
            text += ",\n";
        first = false;
        AppendRecord(*this, *record, text);
    }
    if (!first)
        text += "\n";
    text += "\t]\n}";
}

bool CQvxDatabaseTable::ImportJson(int start, const CString& text, CString* error)
{
    CQvxDatabaseTableDataRowList read;
    CMap<int, int, int, int> ids(nextId);
    CString arrayName = jsonArrayName;
    CString message;
    const bool empty = start >= text.GetLength() || text.Mid(start).Trim().IsEmpty();
    if (!empty && !CQvxJsonTableReader(*this).Read(text, start, read, ids, arrayName, message)) {
        if (error)
            *error = message;
        return false;
    }
    if (database)
        database->OnTableEmptied(this);
    rows.Swap(read);
    nextId = ids;
    jsonArrayName = arrayName;
    modified = TRUE;
    if (database)
        database->OnTableChanged(this);
    return true;
}

bool CQvxDatabaseTable::SyncFromJson(const CString& text, const CStringList& keyFields,
                                     CQvxDatabaseSyncTableCallback* callback, CString* error)
{
    std::unique_ptr<CQvxDatabaseTable> copy(CreateEmptyCopy());
    if (!copy->ImportJson(0, text, error))
        return false;
    return Merge(*copy, keyFields, callback, error);
}

// The table's operations on whole record sets: new records, empty copies,
// records read from a further file and the CSV form.
#include <memory>

#include "QvxDatabaseTable.h"
#include "foundation/FileHelpers.h"
#include "database/ErrorResult.h"

namespace {
using dberror::Fail;

std::unique_ptr<CQvxDatabaseTableFieldDef> CopyField(const CQvxDatabaseTableFieldDef& field)
{
    auto copy = std::make_unique<CQvxDatabaseTableFieldDef>();
    copy->name = field.name;
    copy->description = field.description;
    copy->column = field.column;
    copy->type = field.type;
    copy->decimalDigits = field.decimalDigits;
    copy->flags = field.flags;
    if (field.selections)
        copy->selections = std::make_unique<CQvxDatabaseTableFieldDef::SelectionList>(*field.selections);
    copy->defaultValue = field.defaultValue;
    return copy;
}

}  // namespace

CQvxDatabaseTableDataRow* CQvxDatabaseTable::NewRecord(const CQvxDatabaseTableFieldDefArray& fields,
                                                       CMap<int, int, int, int>& ids)
{
    auto* record = new CQvxDatabaseTableDataRow;
    record->InitDefaults(fields);
    for (const CQvxDatabaseTableFieldDef* field : fields) {
        if (field->type != CQvxDatabaseTableFieldDef::typeAutoIncId)
            continue;
        int* next = ids.PLookup(field->column);
        CString id = "-1";
        if (next)
            id.Format("%d", (*next)++);
        record->SetValue(field->column, id);
    }
    return record;
}

CQvxDatabaseTableDataRow* CQvxDatabaseTable::CreateRecord(POSITION* pos)
{
    CQvxDatabaseTableDataRow* record = NewRecord(fields, nextId);
    const POSITION at = rows.AddTail(record);
    if (pos)
        *pos = at;
    modified = TRUE;
    return record;
}

CQvxDatabaseTable* CQvxDatabaseTable::CreateEmptyCopy() const
{
    auto copy = std::make_unique<CQvxDatabaseTable>();
    copy->name = name + "_Copy";
    copy->path = GetFolderFromPath(path) + copy->name + GetFileExtension(path);
    for (const CQvxDatabaseTableFieldDef* field : fields)
        copy->fields.Add(CopyField(*field).release());
    return copy.release();
}

bool CQvxDatabaseTable::ReadRecordsFromFile(const char* filePath, CString* error, CStringList* warnings)
{
    CQvxTableReader reader;
    if (!reader.Open(filePath)) {
        CString message;
        message.Format("Could not open file \"%s\"", filePath);
        return Fail(error, message);
    }
    // Read aside: a malformed file leaves the records as they were.
    CQvxDatabaseTableDataRowList read;
    CString message;
    if (read.ReadRecords(fields, reader, &message, warnings) != CQvxDatabaseTableDataRow::readEndOfFile)
        return Fail(error, message);
    // Recordsets must drop their references before the old records go.
    if (database)
        database->OnTableEmptied(this);
    rows.Swap(read);
    RenumberIds();
    modified = TRUE;
    if (database)
        database->OnTableChanged(this);
    return true;
}

bool CQvxDatabaseTable::ExportCsv(const char* filePath, bool withHeader, CString* error) const
{
    const CString target =
        (filePath && *filePath) ? CString(filePath) : GetFolderFromPath(path) + name + ".csv";
    CStdioFile file;
    if (!file.Open(target, CFile::modeCreate | CFile::modeWrite | CFile::typeText)) {
        CString message;
        message.Format("Could not open file \"%s\"", target.GetString());
        return Fail(error, message);
    }
    try {
        if (withHeader)
            fields.WriteCsvHeader(file);
        rows.WriteCsvLines(file);
        file.Close();
    } catch (const CFileException&) {
        file.Abort();
        return Fail(error, "File write error (could the disk be full?)");
    }
    return true;
}

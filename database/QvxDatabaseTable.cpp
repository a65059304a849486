#include "QvxDatabaseTable.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "platform/core/DebugLog.h"

namespace {

bool Fail(CString* error, const CString& message)
{
    if (error)
        *error = message;
    return false;
}

}  // namespace

bool CQvxDatabaseTable::LoadFromFile(const char* filePath, CString* error)
{
    const CString source = (filePath && *filePath) ? CString(filePath) : path;
    CQvxTableReader reader;
    if (!reader.Open(source)) {
        CString message;
        message.Format("Could not open file \"%s\"", source.GetString());
        return Fail(error, message);
    }

    // Read aside and put in place only when the whole file was good.
    CQvxDatabaseTableFieldDefArray readFields;
    CQvxDatabaseTableDataRowList readRows;
    CStringList warnings;
    CString message;
    bool ok = false;
    const int section = readFields.ReadDefinitionSection(reader, &message);
    if (section == CQvxDatabaseTableFieldDefArray::sectionRead) {
        ok = readRows.ReadRecords(readFields, reader, &message, &warnings) == CQvxDatabaseTableDataRow::readEndOfFile;
    } else if (section != CQvxDatabaseTableFieldDefArray::sectionError) {
        message.Format("File \"%s\" missing table definition section.", source.GetString());
    }
    if (!ok) {
        CString wrapped;
        wrapped.Format("Error in line %d: %s:", reader.GetLine(), message.GetString());
        return Fail(error, wrapped);
    }

    if (database)
        database->OnTableEmptied(this);
    fields.Swap(readFields);
    rows.Swap(readRows);
    m_loadWarnings.Swap(warnings);
    modified = FALSE;
    RenumberIds();
    path = source;
    for (POSITION pos = m_loadWarnings.GetHeadPosition(); pos;)
        AfxDebugLog("%s: %s", source.GetString(), m_loadWarnings.GetNext(pos).GetString());
    if (database) {
        database->OnTableChanged(this);
        database->OnTableReloaded(this);
    }
    return true;
}

bool CQvxDatabaseTable::SaveToFile(const char* filePath, CString* error)
{
    const CString target = (filePath && *filePath) ? CString(filePath) : path;
    CStdioFile file;
    if (!file.Open(target, CFile::modeCreate | CFile::modeWrite | CFile::typeText)) {
        CString message;
        message.Format("Could not open file \"%s\"", target.GetString());
        return Fail(error, message);
    }
    if (!fields.WriteDefinitionSection(file, error)) {
        file.Abort();
        return false;
    }
    try {
        rows.WriteRecordLines(file);
        file.Close();
    } catch (const CFileException&) {
        file.Abort();
        return Fail(error, "File write error (could the disk be full?)");
    }
    modified = FALSE;
    path = target;
    return true;
}

void CQvxDatabaseTable::RenumberIds()
{
    for (const CQvxDatabaseTableFieldDef* field : fields) {
        if (field->type == CQvxDatabaseTableFieldDef::typeAutoIncId && RenumberColumn(field->column))
            modified = TRUE;
    }
}

bool CQvxDatabaseTable::RenumberColumn(int column)
{
    int largest = 0;
    for (POSITION pos = rows.GetHeadPosition(); pos;) {
        const CQvxDatabaseTableDataRow* row = rows.GetNext(pos);
        if (column < row->values.GetSize())
            largest = std::max(largest, std::atoi(row->values[column]));
    }
    int next = largest + 1;
    bool changed = false;
    auto giveId = [&](CQvxDatabaseTableDataRow* row) {
        CString id;
        id.Format("%d", next++);
        row->values.SetAtGrow(column, id);
        changed = true;
    };
    for (POSITION pos = rows.GetHeadPosition(); pos;) {
        CQvxDatabaseTableDataRow* row = rows.GetNext(pos);
        if (column >= row->values.GetSize() || row->values[column].IsEmpty())
            giveId(row);
    }
    std::set<int> seen;
    for (POSITION pos = rows.GetHeadPosition(); pos;) {
        CQvxDatabaseTableDataRow* row = rows.GetNext(pos);
        if (!seen.insert(std::atoi(row->values[column])).second)
            giveId(row);
    }
    nextId.SetAt(column, next);
    return changed;
}

#include "QvxDatabaseTable.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>

#include "platform/core/DebugLog.h"
#include "database/ErrorResult.h"

namespace {
using dberror::Fail;

// An id as C atoi reads it, held within the range of an int.
int IdValue(const CString& text)
{
    const long long value = std::strtoll(text, nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
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
    const int section = readFields.ReadDefinitionSection(reader, &message, &warnings);
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
    std::set<int> used;
    long long largest = 0;
    for (POSITION pos = rows.GetHeadPosition(); pos;) {
        const CQvxDatabaseTableDataRow* row = rows.GetNext(pos);
        if (column < row->values.GetSize()) {
            const int id = IdValue(row->values[column]);
            used.insert(id);
            largest = std::max<long long>(largest, id);
        }
    }
    long long next = largest + 1;
    int lowestFree = 1;
    // Ids go on above the largest; past the largest int the free ids are taken from the lowest up.
    auto takeId = [&]() {
        if (next <= INT_MAX)
            return static_cast<int>(next++);
        while (used.count(lowestFree))
            ++lowestFree;
        used.insert(lowestFree);
        return lowestFree;
    };
    bool changed = false;
    auto giveId = [&](CQvxDatabaseTableDataRow* row) {
        CString id;
        id.Format("%d", takeId());
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
        if (!seen.insert(IdValue(row->values[column])).second)
            giveId(row);
    }
    nextId.SetAt(column, takeId());
    return changed;
}

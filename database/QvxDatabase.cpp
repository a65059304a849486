#include "QvxDatabase.h"

#include <vector>

#include "foundation/FileHelpers.h"

CQvxDatabase::~CQvxDatabase()
{
    recordsets.DeleteAll();
    tables.DeleteAll();
}

template <class Call>
void CQvxDatabase::ForEachRecordset(Call call)
{
    std::vector<CQvxDatabaseRecordset*> snapshot;
    CString name;
    CQvxDatabaseRecordset* recordset = nullptr;
    for (POSITION pos = recordsets.GetStartPosition(); pos;) {
        recordsets.GetNextAssoc(pos, name, recordset);
        snapshot.push_back(recordset);
    }
    for (CQvxDatabaseRecordset* each : snapshot)
        call(*each);
}

BOOL CQvxDatabase::LoadTable(const char* path, CString* error)
{
    const CString tableName = GetFileNameFromPath(path, FALSE);
    CQvxDatabaseTable* table = tables.CreateTable(tableName);
    if (!table) {
        if (error)
            error->Format("Table \"%s\" is already loaded.", tableName.GetString());
        return FALSE;
    }
    table->database = this;
    if (!table->LoadFromFile(path, error)) {
        tables.DeleteTable(tableName);
        return FALSE;
    }
    return TRUE;
}

BOOL CQvxDatabase::OpenRecordset(const char* recordsetName, const char* tableName, const char* sort,
                                 const char* field, const char* value, int mode)
{
    CQvxDatabaseRecordset* recordset = recordsets.Lookup(recordsetName);
    if (!recordset) {
        recordset = new CQvxDatabaseRecordset;
        recordset->name = recordsetName;
        recordsets.SetAt(recordsetName, recordset);
    }
    recordset->database = this;
    return recordset->Open(tableName, sort, field, value, mode);
}

BOOL CQvxDatabase::RemoveTable(const char* name)
{
    CStringList doomed;
    CString key;
    CQvxDatabaseRecordset* recordset = nullptr;
    for (POSITION pos = recordsets.GetStartPosition(); pos;) {
        recordsets.GetNextAssoc(pos, key, recordset);
        if (recordset->tableName == name)
            doomed.AddTail(key);
    }
    for (POSITION pos = doomed.GetHeadPosition(); pos;)
        recordsets.DeleteRecordset(doomed.GetNext(pos));
    return tables.DeleteTable(name);
}

BOOL CQvxDatabase::RemoveRecordset(const char* name)
{
    return recordsets.DeleteRecordset(name);
}

void CQvxDatabase::TableEmptied(const char* tableName)
{
    ForEachRecordset([&](CQvxDatabaseRecordset& each) {
        if (each.tableName == tableName)
            each.DropAllEntries();
    });
}

void CQvxDatabase::TableChanged(const char* tableName)
{
    ForEachRecordset([&](CQvxDatabaseRecordset& each) {
        if (each.tableName == tableName)
            each.Requery();
    });
}

void CQvxDatabase::TableReloaded(CQvxDatabaseTable* table)
{
    ForEachRecordset([&](CQvxDatabaseRecordset& each) {
        if (each.table == table)
            each.TellClients(&CQvxDatabaseRecordsetClient::OnTableReloaded);
    });
}

void CQvxDatabase::RecordUpdated(CQvxDatabaseTable* table, POSITION key, CQvxDatabaseRecordset* source)
{
    ForEachRecordset([&](CQvxDatabaseRecordset& each) {
        if (&each != source && each.table == table && each.GetCurrentKey() == key) {
            each.ReloadCurrent();
            each.TellClients(&CQvxDatabaseRecordsetClient::OnCurrentRecordChanged);
        }
    });
}

void CQvxDatabase::RecordDeleted(CQvxDatabaseTable* table, POSITION key, CQvxDatabaseRecordset* source)
{
    ForEachRecordset([&](CQvxDatabaseRecordset& each) {
        if (&each == source || each.table != table)
            return;
        if (const POSITION entry = each.Find(key))
            each.RemoveEntry(entry, false);
    });
}

void CQvxDatabase::RecordAdded(CQvxDatabaseTable* table, POSITION key, CQvxDatabaseRecordset* source)
{
    ForEachRecordset([&](CQvxDatabaseRecordset& each) {
        if (&each == source || each.table != table || each.Find(key))
            return;
        each.AppendKey(key);
        each.TellClients(&CQvxDatabaseRecordsetClient::OnRecordAdded);
    });
}

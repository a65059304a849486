// CQvxDatabase: owns the tables and the recordsets by name and carries every
// change made through one recordset, or by a table itself, to the other
// recordsets over the same table.
#pragma once

#include "QvxDatabaseRecordsetList.h"
#include "QvxDatabaseTableCB.h"
#include "QvxDatabaseTableList.h"

class CQvxDatabase : public CQvxDatabaseTableCB {
public:
    CQvxDatabase() = default;
    // Deletes all recordsets, then all tables.
    ~CQvxDatabase() override;
    CQvxDatabase(const CQvxDatabase&) = delete;
    CQvxDatabase& operator=(const CQvxDatabase&) = delete;

    // A table named after the file's title; false when that name is taken or the load fails.
    BOOL LoadTable(const char* path, CString* error);
    BOOL OpenRecordset(const char* recordsetName, const char* tableName, const char* sort, const char* field,
                       const char* value, int mode);
    BOOL RemoveTable(const char* name);
    BOOL RemoveRecordset(const char* name);
    CQvxDatabaseTable* FindTable(const char* name) const { return tables.Lookup(name); }
    CQvxDatabaseRecordset* FindRecordset(const char* name) const { return recordsets.Lookup(name); }

    void TableEmptied(const char* tableName);
    void TableChanged(const char* tableName);
    void TableReloaded(CQvxDatabaseTable* table);
    void RecordUpdated(CQvxDatabaseTable* table, POSITION key, CQvxDatabaseRecordset* source);
    void RecordDeleted(CQvxDatabaseTable* table, POSITION key, CQvxDatabaseRecordset* source);
    void RecordAdded(CQvxDatabaseTable* table, POSITION key, CQvxDatabaseRecordset* source);

    // What the tables tell.
    void OnTableEmptied(CQvxDatabaseTable* table) override { TableEmptied(table->name); }
    void OnTableChanged(CQvxDatabaseTable* table) override { TableChanged(table->name); }
    void OnTableReloaded(CQvxDatabaseTable* table) override { TableReloaded(table); }
    void OnRecordUpdated(CQvxDatabaseTable* table, POSITION key) override { RecordUpdated(table, key, nullptr); }
    void OnRecordDeleted(CQvxDatabaseTable* table, POSITION key) override { RecordDeleted(table, key, nullptr); }
    void OnRecordAdded(CQvxDatabaseTable* table, POSITION key) override { RecordAdded(table, key, nullptr); }

    CQvxDatabaseTableList tables;
    CQvxDatabaseRecordsetList recordsets;

private:
    template <class Call>
    void ForEachRecordset(Call call);
};

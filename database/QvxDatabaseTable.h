// CQvxDatabaseTable: a table of text records kept in a text file: a definition
// section of tags, <tabledef> ... </tabledef>, then one {"value", ...} record a line.
#pragma once

#include "QvxDatabaseSyncTableCallback.h"
#include "QvxDatabaseTableCB.h"
#include "QvxDatabaseTableDataRowList.h"
#include "QvxDatabaseTableFieldDefArray.h"
#include "platform/core/Map.h"

class CQvxDatabaseTable {
public:
    // Records of a table, not owned.
    using CRowRefList = CList<CQvxDatabaseTableDataRow*, CQvxDatabaseTableDataRow*>;

    CQvxDatabaseTable() = default;
    virtual ~CQvxDatabaseTable() = default;
    CQvxDatabaseTable(const CQvxDatabaseTable&) = delete;
    CQvxDatabaseTable& operator=(const CQvxDatabaseTable&) = delete;

    // An empty path means the stored path. A load that fails leaves the table
    // as it was and gives "Error in line %d: %s:" in error.
    bool LoadFromFile(const char* filePath, CString* error);
    bool SaveToFile(const char* filePath, CString* error);
    // Gives every AutoIncID column distinct ids: empty and repeated ones get new ones.
    void RenumberIds();
    // A record with the fields' defaults and fresh ids, appended; pos receives its key.
    CQvxDatabaseTableDataRow* CreateRecord(POSITION* pos);
    // A record with the fields' defaults and ids taken from ids ("-1" in a
    // column without a next id); not in any table.
    static CQvxDatabaseTableDataRow* NewRecord(const CQvxDatabaseTableFieldDefArray& fields,
                                               CMap<int, int, int, int>& ids);
    // A table outside any database, named name + "_Copy" beside this one, with
    // copies of the field definitions and no records.
    CQvxDatabaseTable* CreateEmptyCopy() const;
    // Replaces the records with those of a file read with the current fields.
    // Records whose value count differs from the field count are listed in
    // warnings when given.
    bool ReadRecordsFromFile(const char* filePath, CString* error, CStringList* warnings = nullptr);

    void ExportJson(const CQvxDatabaseTableDataRow* record, CString& text) const;
    // The records of the list in table order, or all records when list is null.
    void ExportJsonRecords(CString& text, const CRowRefList* list) const;
    // Replaces the records with those of a JSON text; a failed import leaves
    // the table as it was.
    bool ImportJson(int start, const CString& text, CString* error);
    bool ExportCsv(const char* filePath, bool withHeader, CString* error) const;
    bool Merge(const CQvxDatabaseTable& incoming, const CStringList& keyFields, CQvxDatabaseSyncTableCallback* callback,
               CString* error);
    bool SyncFromJson(const CString& text, const CStringList& keyFields, CQvxDatabaseSyncTableCallback* callback,
                      CString* error);

    // Records of the last load that held more or fewer values than the table has fields.
    const CStringList& GetLoadWarnings() const { return m_loadWarnings; }

    CQvxDatabaseTableFieldDefArray fields;
    CQvxDatabaseTableDataRowList rows;
    CString path;
    CString name;
    CString jsonArrayName;
    CMap<int, int, int, int> nextId;
    CQvxDatabaseTableCB* database = nullptr;
    BOOL modified = FALSE;

private:
    bool RenumberColumn(int column);

    CStringList m_loadWarnings;
};

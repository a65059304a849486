// CQvxDatabaseTable: a table of text records kept in a text file: a definition
// section of tags, <tabledef> ... </tabledef>, then one {"value", ...} record a line.
#pragma once

#include "QvxDatabaseTableCB.h"
#include "QvxDatabaseTableDataRowList.h"
#include "QvxDatabaseTableFieldDefArray.h"
#include "platform/core/Map.h"

class CQvxDatabaseTable {
public:
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

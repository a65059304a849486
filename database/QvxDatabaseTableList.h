// CQvxDatabaseTableList: the tables of a database by name (case-sensitive); owns them.
#pragma once

#include "QvxDatabaseTable.h"
#include "platform/core/Map.h"

class CQvxDatabaseTableList : public CMap<CString, const char*, CQvxDatabaseTable*, CQvxDatabaseTable*> {
public:
    CQvxDatabaseTableList() = default;
    ~CQvxDatabaseTableList() override;
    CQvxDatabaseTableList(const CQvxDatabaseTableList&) = delete;
    CQvxDatabaseTableList& operator=(const CQvxDatabaseTableList&) = delete;

    CQvxDatabaseTable* Lookup(const char* name) const;
    // Null when the name is taken.
    CQvxDatabaseTable* CreateTable(const char* name);
    bool DeleteTable(const char* name);
    void DeleteAll();
};

// CQvxDatabaseRecordsetList: the recordsets of a database by name (case-sensitive); owns them.
#pragma once

#include "QvxDatabaseRecordset.h"
#include "platform/core/Map.h"

class CQvxDatabaseRecordsetList : public CMap<CString, const char*, CQvxDatabaseRecordset*, CQvxDatabaseRecordset*> {
public:
    CQvxDatabaseRecordsetList() = default;
    ~CQvxDatabaseRecordsetList() override;
    CQvxDatabaseRecordsetList(const CQvxDatabaseRecordsetList&) = delete;
    CQvxDatabaseRecordsetList& operator=(const CQvxDatabaseRecordsetList&) = delete;

    CQvxDatabaseRecordset* Lookup(const char* name) const;
    bool DeleteRecordset(const char* name);
    void DeleteAll();
};

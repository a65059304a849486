#include "QvxDatabaseRecordsetList.h"

using Base = CMap<CString, const char*, CQvxDatabaseRecordset*, CQvxDatabaseRecordset*>;

CQvxDatabaseRecordsetList::~CQvxDatabaseRecordsetList()
{
    DeleteAll();
}

CQvxDatabaseRecordset* CQvxDatabaseRecordsetList::Lookup(const char* name) const
{
    CQvxDatabaseRecordset* recordset = nullptr;
    return Base::Lookup(name, recordset) ? recordset : nullptr;
}

bool CQvxDatabaseRecordsetList::DeleteRecordset(const char* name)
{
    CQvxDatabaseRecordset* recordset = Lookup(name);
    if (!recordset)
        return false;
    RemoveKey(name);
    delete recordset;
    return true;
}

void CQvxDatabaseRecordsetList::DeleteAll()
{
    CString name;
    CQvxDatabaseRecordset* recordset = nullptr;
    for (POSITION pos = GetStartPosition(); pos;) {
        GetNextAssoc(pos, name, recordset);
        delete recordset;
    }
    RemoveAll();
}

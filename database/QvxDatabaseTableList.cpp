#include "QvxDatabaseTableList.h"

using Base = CMap<CString, const char*, CQvxDatabaseTable*, CQvxDatabaseTable*>;

CQvxDatabaseTableList::~CQvxDatabaseTableList()
{
    DeleteAll();
}

CQvxDatabaseTable* CQvxDatabaseTableList::Lookup(const char* name) const
{
    CQvxDatabaseTable* table = nullptr;
    return Base::Lookup(name, table) ? table : nullptr;
}

CQvxDatabaseTable* CQvxDatabaseTableList::CreateTable(const char* name)
{
    if (Lookup(name))
        return nullptr;
    auto* table = new CQvxDatabaseTable;
    table->name = name;
    SetAt(name, table);
    return table;
}

bool CQvxDatabaseTableList::DeleteTable(const char* name)
{
    CQvxDatabaseTable* table = Lookup(name);
    if (!table)
        return false;
    RemoveKey(name);
    delete table;
    return true;
}

void CQvxDatabaseTableList::DeleteAll()
{
    CString name;
    CQvxDatabaseTable* table = nullptr;
    for (POSITION pos = GetStartPosition(); pos;) {
        GetNextAssoc(pos, name, table);
        delete table;
    }
    RemoveAll();
}

#include "MapIntToIntList.h"

CMapIntToIntList::~CMapIntToIntList()
{
    DeleteAllLists();
}

void CMapIntToIntList::AddValue(int key, int value)
{
    CList<int, int>* list = nullptr;
    if (!Lookup(key, list)) {
        list = new CList<int, int>;
        SetAt(key, list);
    }
    list->AddTail(value);
}

CList<int, int>* CMapIntToIntList::GetList(int key) const
{
    CList<int, int>* list = nullptr;
    return Lookup(key, list) ? list : nullptr;
}

void CMapIntToIntList::DeleteAllLists()
{
    int key = 0;
    CList<int, int>* list = nullptr;
    for (POSITION pos = GetStartPosition(); pos;) {
        GetNextAssoc(pos, key, list);
        delete list;
    }
    RemoveAll();
}

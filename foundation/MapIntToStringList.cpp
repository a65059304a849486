#include "MapIntToStringList.h"

CMapIntToStringList::~CMapIntToStringList()
{
    DeleteAllLists();
}

CStringList* CMapIntToStringList::AddList(int key)
{
    CStringList* old = nullptr;
    if (Lookup(key, old))
        delete old;
    auto* list = new CStringList;
    SetAt(key, list);
    m_current = list;
    return list;
}

int CMapIntToStringList::AddString(const char* text)
{
    if (!m_current)
        return -1;
    m_current->AddTail(CString(text));
    return m_current->GetCount() - 1;
}

void CMapIntToStringList::DeleteAllLists()
{
    int key = 0;
    CStringList* list = nullptr;
    for (POSITION pos = GetStartPosition(); pos;) {
        GetNextAssoc(pos, key, list);
        delete list;
    }
    RemoveAll();
    m_current = nullptr;
}

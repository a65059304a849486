// CMapIntToStringList: string lists by integer key; strings go to the list added last.
#pragma once

#include "platform/core/Collections.h"

class CMapIntToStringList : public CMap<int, int, CStringList*, CStringList*> {
public:
    CMapIntToStringList() = default;
    ~CMapIntToStringList() override;
    CMapIntToStringList(const CMapIntToStringList&) = delete;
    CMapIntToStringList& operator=(const CMapIntToStringList&) = delete;

    // A new empty list under the key (replacing one there), made current.
    CStringList* AddList(int key);
    // The new item's index in the current list, or -1 when there is none.
    int AddString(const char* text);

private:
    void DeleteAllLists();

    CStringList* m_current = nullptr;
};

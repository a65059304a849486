// CMapIntToIntList: lists of integers by integer key.
#pragma once

#include "platform/core/Collections.h"

class CMapIntToIntList : public CMap<int, int, CList<int, int>*, CList<int, int>*> {
public:
    CMapIntToIntList() = default;
    ~CMapIntToIntList() override;
    CMapIntToIntList(const CMapIntToIntList&) = delete;
    CMapIntToIntList& operator=(const CMapIntToIntList&) = delete;

    void AddValue(int key, int value);
    CList<int, int>* GetList(int key) const;
    void DeleteAllLists();
};

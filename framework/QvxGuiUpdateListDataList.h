// CQvxGuiUpdateListDataList: the rows of a settings list, in definition
// order; it owns them.
#pragma once

#include "QvxGuiUpdateListData.h"
#include "platform/core/List.h"

class CQvxGuiUpdateListDataList : public CList<CQvxGuiUpdateListData*, CQvxGuiUpdateListData*> {
public:
    CQvxGuiUpdateListDataList() = default;
    ~CQvxGuiUpdateListDataList() override { DeleteAll(); }
    CQvxGuiUpdateListDataList(const CQvxGuiUpdateListDataList&) = delete;
    CQvxGuiUpdateListDataList& operator=(const CQvxGuiUpdateListDataList&) = delete;

    void DeleteAll()
    {
        while (!IsEmpty())
            delete RemoveHead();
    }
};

// The planner's blocks in program order; the list owns and deletes them.
#pragma once

#include "MultiAxisMoveBlock.h"
#include "platform/core/List.h"

class CMultiAxisMoveBlockList : public CList<CMultiAxisMoveBlock*, CMultiAxisMoveBlock*> {
public:
    CMultiAxisMoveBlockList() = default;
    CMultiAxisMoveBlockList(const CMultiAxisMoveBlockList&) = delete;
    CMultiAxisMoveBlockList& operator=(const CMultiAxisMoveBlockList&) = delete;
    ~CMultiAxisMoveBlockList() override { DeleteAll(); }

    void DeleteAll();
    CMultiAxisMoveBlock* Last() const { return IsEmpty() ? nullptr : GetTail(); }
    // The block before the given one, or null.
    CMultiAxisMoveBlock* Before(const CMultiAxisMoveBlock* block) const;
};

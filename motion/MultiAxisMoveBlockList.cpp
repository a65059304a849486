#include "MultiAxisMoveBlockList.h"

void CMultiAxisMoveBlockList::DeleteAll()
{
    while (!IsEmpty())
        delete RemoveHead();
}

CMultiAxisMoveBlock* CMultiAxisMoveBlockList::Before(const CMultiAxisMoveBlock* block) const
{
    for (POSITION pos = GetTailPosition(); pos;) {
        const CMultiAxisMoveBlock* current = GetPrev(pos);
        if (current == block)
            return pos ? GetAt(pos) : nullptr;
    }
    return nullptr;
}

#include "comm/protocol/AmpCommandList.h"

bool CAmpCommandList::IsEqual(const CAmpCommandList& other) const
{
    if (GetCount() != other.GetCount())
        return false;
    POSITION mine = GetHeadPosition();
    POSITION theirs = other.GetHeadPosition();
    while (mine) {
        const CAmpCommand& a = GetNext(mine);
        const CAmpCommand& b = other.GetNext(theirs);
        if (a.m_code != b.m_code || a.HasValue() != b.HasValue())
            return false;
        if (a.HasValue() && a.m_value != b.m_value)
            return false;
    }
    return true;
}

void CAmpCommandList::Copy(const CAmpCommandList& other)
{
    if (this != &other)
        CList<CAmpCommand>::operator=(other);
}

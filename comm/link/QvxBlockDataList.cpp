#include "comm/link/QvxBlockDataList.h"

#include "platform/core/SingleLock.h"

void CQvxBlockDataList::Add(const BYTE* bytes, int count)
{
    auto* block = new CQvxBlockData(bytes, count);
    CSingleLock lock(&m_lock, TRUE);
    m_blocks.AddTail(block);
}

CQvxBlockData* CQvxBlockDataList::PeekHead()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_blocks.IsEmpty() ? nullptr : m_blocks.GetHead();
}

void CQvxBlockDataList::RemoveHead()
{
    CSingleLock lock(&m_lock, TRUE);
    if (!m_blocks.IsEmpty())
        delete m_blocks.RemoveHead();
}

void CQvxBlockDataList::RemoveAll()
{
    CSingleLock lock(&m_lock, TRUE);
    while (!m_blocks.IsEmpty())
        delete m_blocks.RemoveHead();
}

int CQvxBlockDataList::GetCount()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_blocks.GetCount();
}

#include "comm/trace/CommManagerTraceItemList.h"

#include "platform/core/SingleLock.h"

void CCommManagerTraceItemList::Add(const CAmpMsg& message, DWORD tag)
{
    CSingleLock lock(&m_lock, TRUE);
    m_items.AddTail(CommTraceItem{message, tag});
}

int CCommManagerTraceItemList::TakeNext(CAmpMsg& message, DWORD& tag)
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_items.IsEmpty())
        return 0;
    const CommTraceItem item = m_items.RemoveHead();
    message = item.message;
    tag = item.tag;
    return 1;
}

void CCommManagerTraceItemList::RemoveAll()
{
    CSingleLock lock(&m_lock, TRUE);
    m_items.RemoveAll();
}

int CCommManagerTraceItemList::GetCount()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_items.GetCount();
}

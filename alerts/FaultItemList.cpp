#include "alerts/FaultItemList.h"

#include "platform/core/SingleLock.h"

void CFaultItemList::AddTail(const CFaultItem& item, int limit)
{
    CSingleLock lock(&m_mutex, TRUE);
    if (limit != -1) {
        while (!m_items.IsEmpty() && m_items.GetCount() >= limit)
            m_items.RemoveHead();
    }
    m_items.AddTail(item);
}

int CFaultItemList::PopHead(CFaultItem& out)
{
    CSingleLock lock(&m_mutex, TRUE);
    if (m_items.IsEmpty())
        return 0;
    out = m_items.RemoveHead();
    return 1;
}

void CFaultItemList::RemoveAll()
{
    CSingleLock lock(&m_mutex, TRUE);
    m_items.RemoveAll();
}

int CFaultItemList::GetCount()
{
    CSingleLock lock(&m_mutex, TRUE);
    return m_items.GetCount();
}

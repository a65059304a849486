#include "alerts/FaultLogItemList.h"

int CFaultLogItemList::AddItem(const CFaultItem& item, int max)
{
    // A limit below 1 read from a settings file must not trim an empty history.
    while (!IsEmpty() && GetCount() >= max) {
        m_byId.RemoveKey(GetHead().m_id);
        RemoveHead();
    }
    CFaultLogItem entry(item);
    entry.m_id = ++m_lastId;
    m_byId[entry.m_id] = AddTail(entry);
    return entry.m_id;
}

CFaultLogItem* CFaultLogItemList::FindById(int id)
{
    POSITION pos = nullptr;
    return m_byId.Lookup(id, pos) ? &GetAt(pos) : nullptr;
}

void CFaultLogItemList::RemoveById(int id)
{
    POSITION pos = nullptr;
    if (!m_byId.Lookup(id, pos))
        return;
    RemoveAt(pos);
    m_byId.RemoveKey(id);
}

void CFaultLogItemList::Clear()
{
    RemoveAll();
    m_byId.RemoveAll();
}

int CFaultLogItemList::CountUnacknowledged() const
{
    int count = 0;
    for (const CFaultLogItem& entry : *this)
        count += entry.m_acknowledged ? 0 : 1;
    return count;
}

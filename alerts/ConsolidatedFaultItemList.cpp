#include "alerts/ConsolidatedFaultItemList.h"

void CConsolidatedFaultItemList::AddOrUpdate(const CFaultItem& item, int id)
{
    if (CConsolidatedFaultItem* known = Find(item.m_key)) {
        if (known->m_level < item.m_level) {
            known->m_level = item.m_level;
            known->m_time = item.m_time;
        }
        known->m_text = item.m_text;
        known->m_changed = 1;
        ++known->m_count;
        return;
    }
    const POSITION pos = AddTail(CConsolidatedFaultItem(item, id));
    m_byKey[item.m_key] = pos;
    m_byId[id] = pos;
}

CConsolidatedFaultItem* CConsolidatedFaultItemList::Find(const CString& key)
{
    POSITION pos = nullptr;
    return m_byKey.Lookup(key, pos) ? &GetAt(pos) : nullptr;
}

CConsolidatedFaultItem* CConsolidatedFaultItemList::FindById(int id)
{
    POSITION pos = nullptr;
    return m_byId.Lookup(id, pos) ? &GetAt(pos) : nullptr;
}

int CConsolidatedFaultItemList::IsSuppressed(const CString& key)
{
    const CConsolidatedFaultItem* item = Find(key);
    return item ? item->m_suppressed : 0;
}

void CConsolidatedFaultItemList::SetSuppressed(const CString& key, int value)
{
    if (CConsolidatedFaultItem* item = Find(key))
        item->m_suppressed = value;
}

void CConsolidatedFaultItemList::Release(const CString& key)
{
    CConsolidatedFaultItem* item = Find(key);
    if (!item)
        return;
    if (item->m_count < 2) {
        Remove(key);
        return;
    }
    --item->m_count;
    item->m_changed = 1;
}

void CConsolidatedFaultItemList::Remove(const CString& key)
{
    POSITION pos = nullptr;
    if (!m_byKey.Lookup(key, pos))
        return;
    m_byId.RemoveKey(GetAt(pos).m_id);
    m_byKey.RemoveKey(key);
    RemoveAt(pos);
}

void CConsolidatedFaultItemList::Clear()
{
    RemoveAll();
    m_byKey.RemoveAll();
    m_byId.RemoveAll();
}

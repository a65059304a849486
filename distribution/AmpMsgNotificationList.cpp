#include "distribution/AmpMsgNotificationList.h"

#include "distribution/AmpResponseToGui.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "platform/core/SingleLock.h"

CAmpMsgNotificationItem* CAmpMsgNotificationList::FindItem(const CCompoundAmpMsg& message) const
{
    for (POSITION pos = m_items.GetHeadPosition(); pos;) {
        CAmpMsgNotificationItem* item = m_items.GetNext(pos);
        if (item->Matches(message))
            return item;
    }
    return nullptr;
}

void CAmpMsgNotificationList::Subscribe(const CCompoundAmpMsg& query, CDistMngrResponseReceiver* receiver, DWORD queryId)
{
    CSingleLock lock(&m_lock, TRUE);
    CAmpMsgNotificationItem* item = FindItem(query);
    if (!item) {
        CCompoundAmpMsg command(query);
        item = new CAmpMsgNotificationItem(command);
        m_items.AddTail(item);
    }
    m_queryIndex.SetAt(queryId, item);
    if (item->FindByQuery(queryId))
        return;
    if (CAmpMsgNotificationRcvrInfo* entry = item->FindByReceiver(receiver)) {
        m_queryIndex.RemoveKey(entry->m_queryId);
        m_queryIndex.SetAt(queryId, item);
        entry->m_queryId = queryId;
        return;
    }
    CAmpMsgNotificationRcvrInfo entry;
    entry.m_receiver = receiver;
    entry.m_queryId = queryId;
    item->m_entries.AddTail(entry);
}

void CAmpMsgNotificationList::RemoveItemIfEmpty(CAmpMsgNotificationItem* item)
{
    if (!item->m_entries.IsEmpty())
        return;
    for (POSITION pos = m_queryIndex.GetStartPosition(); pos;) {
        DWORD queryId;
        CAmpMsgNotificationItem* indexed;
        m_queryIndex.GetNextAssoc(pos, queryId, indexed);
        if (indexed == item)
            m_queryIndex.RemoveKey(queryId);
    }
    if (const POSITION pos = m_items.Find(item))
        m_items.RemoveAt(pos);
    delete item;
}

bool CAmpMsgNotificationList::Unsubscribe(DWORD queryId)
{
    CSingleLock lock(&m_lock, TRUE);
    CAmpMsgNotificationItem* item = nullptr;
    if (!m_queryIndex.Lookup(queryId, item))
        return false;
    m_queryIndex.RemoveKey(queryId);
    const bool removed = item->RemoveQuery(queryId);
    RemoveItemIfEmpty(item);
    return removed;
}

void CAmpMsgNotificationList::UnsubscribeReceiver(const CDistMngrResponseReceiver* receiver)
{
    CSingleLock lock(&m_lock, TRUE);
    CList<DWORD> queryIds;
    for (POSITION pos = m_items.GetHeadPosition(); pos;) {
        CAmpMsgNotificationItem* item = m_items.GetNext(pos);
        for (POSITION e = item->m_entries.GetHeadPosition(); e;) {
            const CAmpMsgNotificationRcvrInfo& entry = item->m_entries.GetNext(e);
            if (entry.m_receiver == receiver)
                queryIds.AddTail(entry.m_queryId);
        }
    }
    for (POSITION pos = queryIds.GetHeadPosition(); pos;)
        Unsubscribe(queryIds.GetNext(pos));
}

void CAmpMsgNotificationList::Serve(const CAmpResponseToDistMngr& answer)
{
    CSingleLock lock(&m_lock, TRUE);
    CAmpMsgNotificationItem* item = FindItem(answer);
    if (!item)
        return;
    const bool changed = !item->m_hasValue || item->m_lastValue != answer.m_value;
    item->m_lastValue = answer.m_value;
    item->m_hasValue = 1;
    for (POSITION pos = item->m_entries.GetHeadPosition(); pos;) {
        CAmpMsgNotificationRcvrInfo& entry = item->m_entries.GetNext(pos);
        if (!changed && entry.m_served)
            continue;
        CAmpResponseToGui response(answer);
        response.m_queryId = entry.m_queryId;
        // A notification reports what the drive now holds, whoever wrote it, so
        // it never carries the write flag that windows use to skip write echoes.
        response.m_notification = 1;
        entry.m_served = 1;
        if (entry.m_receiver)
            entry.m_receiver->OnResponse(response);
    }
}

void CAmpMsgNotificationList::RemoveAll()
{
    CSingleLock lock(&m_lock, TRUE);
    while (!m_items.IsEmpty())
        delete m_items.RemoveHead();
    m_queryIndex.RemoveAll();
}

int CAmpMsgNotificationList::GetCount() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_items.GetCount();
}

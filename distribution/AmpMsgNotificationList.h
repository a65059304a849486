// CAmpMsgNotificationList: the notification subscriptions of the distribution
// manager. Each operation takes the list's own lock.
#pragma once

#include "distribution/AmpMsgNotificationItem.h"
#include "comm/protocol/AmpResponseToDistMngr.h"
#include "platform/core/Map.h"
#include "platform/core/Mutex.h"

class CAmpMsgNotificationList {
public:
    CAmpMsgNotificationList() = default;
    ~CAmpMsgNotificationList() { RemoveAll(); }
    CAmpMsgNotificationList(const CAmpMsgNotificationList&) = delete;
    CAmpMsgNotificationList& operator=(const CAmpMsgNotificationList&) = delete;

    void Subscribe(const CCompoundAmpMsg& query, CDistMngrResponseReceiver* receiver, DWORD queryId);
    bool Unsubscribe(DWORD queryId);
    void UnsubscribeReceiver(const CDistMngrResponseReceiver* receiver);
    // Hands the answer to the subscribers of its register: to all when the
    // value changed, else only to those not yet served.
    void Serve(const CAmpResponseToDistMngr& answer);
    void RemoveAll();
    int GetCount() const;

private:
    CAmpMsgNotificationItem* FindItem(const CCompoundAmpMsg& message) const;
    void RemoveItemIfEmpty(CAmpMsgNotificationItem* item);

    mutable CMutex m_lock;
    CList<CAmpMsgNotificationItem*, CAmpMsgNotificationItem*> m_items;
    CMap<DWORD, DWORD, CAmpMsgNotificationItem*, CAmpMsgNotificationItem*> m_queryIndex;
};

// CCommManagerTraceClient: the base of every window that wants a copy of the
// link traffic. It leaves the manager's client list when it is destroyed.
#pragma once

#include "comm/trace/CommManagerTraceItemList.h"

class CCommManagerTraceClientList;

class CCommManagerTraceClient {
public:
    CCommManagerTraceClient() = default;
    virtual ~CCommManagerTraceClient();
    CCommManagerTraceClient(const CCommManagerTraceClient&) = delete;
    CCommManagerTraceClient& operator=(const CCommManagerTraceClient&) = delete;

    // Tag 1: a frame written, 0: a frame read. 0 when there is nothing.
    int GetNextItem(CAmpMsg& message, DWORD& tag) { return m_items.TakeNext(message, tag); }
    void DiscardItems() { m_items.RemoveAll(); }
    int GetItemCount() { return m_items.GetCount(); }
    void AddItem(const CAmpMsg& message, DWORD tag) { m_items.Add(message, tag); }

private:
    friend class CCommManagerTraceClientList;
    CCommManagerTraceItemList m_items;
    CCommManagerTraceClientList* m_owner = nullptr;  // set while registered
};

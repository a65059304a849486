// CCommManagerTraceItemList: frames copied to a trace client, each with its
// tag (1 written, 0 read), oldest first, under the list's own lock.
#pragma once

#include "comm/protocol/AmpMsg.h"
#include "platform/core/List.h"
#include "platform/core/Mutex.h"

struct CommTraceItem {
    CAmpMsg message;
    DWORD tag = 0;
};

class CCommManagerTraceItemList {
public:
    void Add(const CAmpMsg& message, DWORD tag);
    // 0 when empty.
    int TakeNext(CAmpMsg& message, DWORD& tag);
    void RemoveAll();
    int GetCount();

private:
    CMutex m_lock;
    CList<CommTraceItem> m_items;
};

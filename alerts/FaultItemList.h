// CFaultItemList: alerts waiting to be processed or shown, handed between
// threads under the list's own mutex.
#pragma once

#include "alerts/FaultItem.h"
#include "platform/core/List.h"
#include "platform/core/Mutex.h"

class CFaultItemList {
public:
    // With a limit other than -1 the oldest items go first so the list never
    // holds more than the limit.
    void AddTail(const CFaultItem& item, int limit = -1);
    int PopHead(CFaultItem& out);
    void RemoveAll();
    int GetCount();

private:
    CMutex m_mutex;
    CList<CFaultItem> m_items;
};

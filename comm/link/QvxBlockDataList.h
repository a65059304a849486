// CQvxBlockDataList: raw blocks waiting to be sent, oldest first, under a lock.
#pragma once

#include "comm/link/QvxBlockData.h"
#include "platform/core/List.h"
#include "platform/core/Mutex.h"

class CQvxBlockDataList {
public:
    CQvxBlockDataList() = default;
    ~CQvxBlockDataList() { RemoveAll(); }
    CQvxBlockDataList(const CQvxBlockDataList&) = delete;
    CQvxBlockDataList& operator=(const CQvxBlockDataList&) = delete;

    void Add(const BYTE* bytes, int count);
    // The oldest block, still queued; null when none.
    CQvxBlockData* PeekHead();
    void RemoveHead();
    void RemoveAll();
    int GetCount();
    CMutex& GetLock() { return m_lock; }

private:
    CMutex m_lock;
    CList<CQvxBlockData*> m_blocks;
};

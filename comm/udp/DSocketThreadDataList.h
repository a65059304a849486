// CDSocketThreadDataList: datagrams handed between the socket thread and the
// link port, oldest first, under the list's own lock. It owns its items.
#pragma once

#include <memory>

#include "comm/udp/DSocketThreadData.h"
#include "platform/core/List.h"
#include "platform/core/Mutex.h"

class CDSocketThreadDataList {
public:
    CDSocketThreadDataList() = default;
    ~CDSocketThreadDataList();
    CDSocketThreadDataList(const CDSocketThreadDataList&) = delete;
    CDSocketThreadDataList& operator=(const CDSocketThreadDataList&) = delete;

    // Bounded so that a flood while nobody reads cannot eat the memory:
    // false (the datagram dropped) when the list already holds kMaxItems.
    static constexpr int kMaxItems = 512;
    bool Append(const BYTE* bytes, int count);
    // The oldest datagram copied into the buffer: its size; 0 when none waits;
    // -1 when it is larger than the buffer (it is then dropped).
    int Take(BYTE* buffer, int size);
    // The oldest datagram, now the caller's; null when none waits.
    std::unique_ptr<CDSocketThreadData> TakeItem();
    // Returns a taken datagram to the head of the list, to go first next time.
    void PutBack(std::unique_ptr<CDSocketThreadData> item);
    // The size of the oldest datagram, 0 when none waits.
    int PeekSize();
    int GetCount();
    void RemoveAll();

private:
    CMutex m_lock;
    CList<CDSocketThreadData*, CDSocketThreadData*> m_items;
};

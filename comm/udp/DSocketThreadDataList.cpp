#include "comm/udp/DSocketThreadDataList.h"

#include <cstring>

#include "platform/core/SingleLock.h"

CDSocketThreadDataList::~CDSocketThreadDataList() { RemoveAll(); }

bool CDSocketThreadDataList::Append(const BYTE* bytes, int count)
{
    auto item = std::make_unique<CDSocketThreadData>(bytes, count);
    CSingleLock lock(&m_lock, TRUE);
    if (m_items.GetCount() >= kMaxItems)
        return false;
    m_items.AddTail(item.release());
    return true;
}

int CDSocketThreadDataList::Take(BYTE* buffer, int size)
{
    std::unique_ptr<CDSocketThreadData> item = TakeItem();
    if (!item)
        return 0;
    if (item->m_size > size)
        return -1;
    std::memcpy(buffer, item->m_bytes.get(), static_cast<size_t>(item->m_size));
    return item->m_size;
}

std::unique_ptr<CDSocketThreadData> CDSocketThreadDataList::TakeItem()
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_items.IsEmpty())
        return nullptr;
    return std::unique_ptr<CDSocketThreadData>(m_items.RemoveHead());
}

void CDSocketThreadDataList::PutBack(std::unique_ptr<CDSocketThreadData> item)
{
    CSingleLock lock(&m_lock, TRUE);
    m_items.AddHead(item.release());
}

int CDSocketThreadDataList::PeekSize()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_items.IsEmpty() ? 0 : m_items.GetHead()->m_size;
}

int CDSocketThreadDataList::GetCount()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_items.GetCount();
}

void CDSocketThreadDataList::RemoveAll()
{
    CSingleLock lock(&m_lock, TRUE);
    while (!m_items.IsEmpty())
        delete m_items.RemoveHead();
}

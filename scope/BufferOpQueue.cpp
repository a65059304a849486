#include "BufferOpQueue.h"

#include <chrono>

void CBufferOpQueue::Add(int op, double arg)
{
    {
        std::lock_guard lock(m_lock);
        m_items.push_back({op, arg});
    }
    m_added.notify_one();
}

bool CBufferOpQueue::Take(Item& item, int waitMs)
{
    std::unique_lock lock(m_lock);
    if (!m_added.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return !m_items.empty(); }))
        return false;
    item = m_items.front();
    m_items.pop_front();
    return true;
}

void CBufferOpQueue::Clear()
{
    std::lock_guard lock(m_lock);
    m_items.clear();
}

bool CBufferOpQueue::IsEmpty() const
{
    std::lock_guard lock(m_lock);
    return m_items.empty();
}

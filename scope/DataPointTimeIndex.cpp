#include "DataPointTimeIndex.h"

#include <cmath>

#include "platform/core/SingleLock.h"

void CDataPointTimeIndex::Clear()
{
    CSingleLock lock(&m_lock, TRUE);
    m_items.clear();
    m_lastTime = 0.0;
}

void CDataPointTimeIndex::AddIfDue(int64_t offset, double time)
{
    CSingleLock lock(&m_lock, TRUE);
    if (time - m_lastTime < 1.0)
        return;
    m_items.push_back({time, static_cast<int32_t>(offset), 0});
    m_lastTime = time;
}

int64_t CDataPointTimeIndex::FindOffset(double time) const
{
    CSingleLock lock(const_cast<CMutex*>(&m_lock), TRUE);
    const int count = static_cast<int>(m_items.size());
    if (count == 0 || std::isnan(time))
        return 0;
    // A first guess in proportion to the span; one item or a zero span has no
    // proportion, so the walk starts at the first item.
    const double span = m_items.back().m_time - m_items.front().m_time;
    int guess = 0;
    if (count > 1 && span > 0.0) {
        const double estimate = std::floor(count * time / span);
        guess = estimate < 0.0 ? 0 : estimate >= count - 1 ? count - 1 : static_cast<int>(estimate);
    }
    while (guess < count - 1 && time >= m_items[static_cast<size_t>(guess + 1)].m_time)
        ++guess;
    while (guess >= 0 && time < m_items[static_cast<size_t>(guess)].m_time)
        --guess;
    // Items of the very time sought: start at the first, so none of its records is skipped.
    while (guess > 0 && m_items[static_cast<size_t>(guess - 1)].m_time == time)
        --guess;
    return guess < 0 ? 0 : m_items[static_cast<size_t>(guess)].m_offset;
}

int CDataPointTimeIndex::GetCount() const
{
    CSingleLock lock(const_cast<CMutex*>(&m_lock), TRUE);
    return static_cast<int>(m_items.size());
}

std::vector<CDataPointTimeIndexItem> CDataPointTimeIndex::GetItems() const
{
    CSingleLock lock(const_cast<CMutex*>(&m_lock), TRUE);
    return m_items;
}

void CDataPointTimeIndex::SetItems(std::vector<CDataPointTimeIndexItem> items)
{
    CSingleLock lock(&m_lock, TRUE);
    m_items = std::move(items);
    m_lastTime = m_items.empty() ? 0.0 : m_items.back().m_time;
}

BOOL CDataPointTimeIndex::Write(FILE* stream) const
{
    CSingleLock lock(const_cast<CMutex*>(&m_lock), TRUE);
    const int32_t count = static_cast<int32_t>(m_items.size());
    if (std::fwrite(&count, 4, 1, stream) != 1)
        return FALSE;
    return m_items.empty() || std::fwrite(m_items.data(), sizeof(CDataPointTimeIndexItem), m_items.size(),
                                          stream) == m_items.size();
}

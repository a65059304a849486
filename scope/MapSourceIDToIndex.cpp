#include "MapSourceIDToIndex.h"

#include "platform/core/SingleLock.h"

int CMapSourceIDToIndex::Add(int sourceId)
{
    CSingleLock lock(&m_lock, TRUE);
    for (const auto& [id, index] : m_entries)
        if (id == sourceId)
            return index;
    const int index = static_cast<int>(m_entries.size());
    m_entries.emplace_back(sourceId, index);
    return index;
}

BOOL CMapSourceIDToIndex::Lookup(int sourceId, int& index) const
{
    CSingleLock lock(&m_lock, TRUE);
    for (const auto& [id, column] : m_entries)
        if (id == sourceId) {
            index = column;
            return TRUE;
        }
    return FALSE;
}

int CMapSourceIDToIndex::GetCount() const
{
    CSingleLock lock(&m_lock, TRUE);
    return static_cast<int>(m_entries.size());
}

void CMapSourceIDToIndex::Clear()
{
    CSingleLock lock(&m_lock, TRUE);
    m_entries.clear();
}

std::vector<std::pair<int32_t, int32_t>> CMapSourceIDToIndex::GetEntries() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_entries;
}

void CMapSourceIDToIndex::SetEntries(std::vector<std::pair<int32_t, int32_t>> entries)
{
    CSingleLock lock(&m_lock, TRUE);
    m_entries = std::move(entries);
}

BOOL CMapSourceIDToIndex::Write(FILE* stream) const
{
    CSingleLock lock(&m_lock, TRUE);
    const int32_t count = static_cast<int32_t>(m_entries.size());
    if (std::fwrite(&count, 4, 1, stream) != 1)
        return FALSE;
    for (const auto& [id, index] : m_entries) {
        const int32_t pair[2] = {id, index};
        if (std::fwrite(pair, 4, 2, stream) != 2)
            return FALSE;
    }
    return TRUE;
}

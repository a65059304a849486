// CMapSourceIDToIndex: the CSV column of each source id, numbered in the order
// the sources first delivered a sample.
#pragma once

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "platform/core/Mutex.h"

class CMapSourceIDToIndex {
public:
    // The column of the source: the existing one or the next free one.
    int Add(int sourceId);
    BOOL Lookup(int sourceId, int& index) const;
    int GetCount() const;
    void Clear();
    // (source id, column) in the map's order.
    std::vector<std::pair<int32_t, int32_t>> GetEntries() const;
    void SetEntries(std::vector<std::pair<int32_t, int32_t>> entries);
    BOOL Write(FILE* stream) const;

private:
    std::vector<std::pair<int32_t, int32_t>> m_entries;  // few sources: a short list beats a hash
    mutable CMutex m_lock;
};

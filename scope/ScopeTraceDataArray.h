// CScopeTraceDataArray: the scope's twelve traces, always twelve.
#pragma once

#include <vector>

#include "ScopeTraceData.h"
#include "platform/core/Mutex.h"

class CDIniFile;

class CScopeTraceDataArray {
public:
    static constexpr int kTraceCount = 12;
    // The colour a trace gets when its file has none, by position (0-based).
    static DWORD DefaultColor(int index);

    CScopeTraceDataArray();
    int GetSize() const { return static_cast<int>(m_traces.size()); }
    CScopeTraceData& operator[](int index) { return m_traces[static_cast<size_t>(index)]; }
    const CScopeTraceData& operator[](int index) const { return m_traces[static_cast<size_t>(index)]; }

    void Load(const CDIniFile& settings);
    void Save(CDIniFile& settings);
    void CopyTo(CScopeTraceDataArray& other);

    CMutex m_lock;

private:
    std::vector<CScopeTraceData> m_traces;
};

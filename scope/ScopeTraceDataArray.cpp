#include "ScopeTraceDataArray.h"

#include "DIniFile.h"
#include "platform/core/SingleLock.h"

namespace {
constexpr DWORD Rgb(int r, int g, int b)
{
    return static_cast<DWORD>(r) | (static_cast<DWORD>(g) << 8) | (static_cast<DWORD>(b) << 16);
}

constexpr DWORD kDefaultColors[CScopeTraceDataArray::kTraceCount] = {
    Rgb(0, 255, 0),    Rgb(0, 0, 255),    Rgb(255, 0, 0),    Rgb(255, 255, 0),
    Rgb(255, 0, 255),  Rgb(0, 255, 255),  Rgb(32, 196, 32),  Rgb(32, 32, 196),
    Rgb(196, 32, 32),  Rgb(196, 196, 32), Rgb(196, 32, 196), Rgb(32, 196, 196)};

CString TraceKey(int index, const char* field)
{
    CString key;
    key.Format("Scope.Trace%u.%s", static_cast<unsigned>(index + 1), field);
    return key;
}
}  // namespace

DWORD CScopeTraceDataArray::DefaultColor(int index)
{
    return kDefaultColors[static_cast<size_t>(index % kTraceCount)];
}

CScopeTraceDataArray::CScopeTraceDataArray() : m_traces(kTraceCount) {}

void CScopeTraceDataArray::Load(const CDIniFile& settings)
{
    CSingleLock lock(&m_lock, TRUE);
    m_traces.assign(kTraceCount, CScopeTraceData());
    for (int i = 0; i < kTraceCount; ++i) {
        CScopeTraceData& trace = m_traces[static_cast<size_t>(i)];
        if (!settings.GetColor(TraceKey(i, "Color"), trace.Color))
            trace.Color = DefaultColor(i);
        settings.GetInt(TraceKey(i, "WidthIndex"), trace.WidthIndex);
        settings.GetInt(TraceKey(i, "Enabled"), trace.Enabled);
        settings.GetInt(TraceKey(i, "XSourceID"), trace.XSourceID);
        settings.GetInt(TraceKey(i, "YSourceID"), trace.YSourceID);
    }
}

void CScopeTraceDataArray::Save(CDIniFile& settings)
{
    CSingleLock lock(&m_lock, TRUE);
    for (int i = 0; i < GetSize(); ++i) {
        const CScopeTraceData& trace = m_traces[static_cast<size_t>(i)];
        settings.SetInt(TraceKey(i, "Color"), static_cast<int>(trace.Color));
        settings.SetInt(TraceKey(i, "WidthIndex"), trace.WidthIndex);
        settings.SetInt(TraceKey(i, "Enabled"), trace.Enabled);
        settings.SetInt(TraceKey(i, "XSourceID"), trace.XSourceID);
        settings.SetInt(TraceKey(i, "YSourceID"), trace.YSourceID);
    }
}

void CScopeTraceDataArray::CopyTo(CScopeTraceDataArray& other)
{
    if (&other == this)
        return;
    CSingleLock lock(&m_lock, TRUE);
    CSingleLock otherLock(&other.m_lock, TRUE);
    other.m_traces = m_traces;
}

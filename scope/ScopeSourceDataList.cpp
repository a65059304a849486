#include "ScopeSourceDataList.h"

#include "DIniFile.h"
#include "platform/core/SingleLock.h"

CScopeSourceDataList::~CScopeSourceDataList()
{
    RemoveAllSources();
}

void CScopeSourceDataList::RebuildIdMap()
{
    m_byId.clear();
    for (CScopeSourceData* source : *this)
        m_byId.emplace(source->SourceID, source);
}

CScopeSourceData* CScopeSourceDataList::AddNew()
{
    CSingleLock lock(&m_lock, TRUE);
    auto* source = new CScopeSourceData;
    source->SourceID = ++LastSourceID;
    AddTail(source);
    RebuildIdMap();
    return source;
}

void CScopeSourceDataList::RemoveById(int id)
{
    CSingleLock lock(&m_lock, TRUE);
    POSITION pos = GetHeadPosition();
    while (pos) {
        const POSITION here = pos;
        CScopeSourceData* source = GetNext(pos);
        if (source->SourceID == id) {
            delete source;
            RemoveAt(here);
        }
    }
    RebuildIdMap();
}

void CScopeSourceDataList::RemoveAllSources()
{
    CSingleLock lock(&m_lock, TRUE);
    for (CScopeSourceData* source : *this)
        delete source;
    RemoveAll();
    m_byId.clear();
}

CScopeSourceData* CScopeSourceDataList::FindById(int id, int keepLocked)
{
    m_lock.Lock();
    const auto found = m_byId.find(id);
    CScopeSourceData* source = found == m_byId.end() ? nullptr : found->second;
    if (!keepLocked)
        m_lock.Unlock();
    return source;
}

void CScopeSourceDataList::CopyTo(CScopeSourceDataList& other)
{
    if (&other == this)
        return;
    CSingleLock lock(&m_lock, TRUE);
    CSingleLock otherLock(&other.m_lock, TRUE);
    other.RemoveAllSources();
    other.LastSourceID = LastSourceID;
    for (CScopeSourceData* source : *this)
        other.AddTail(new CScopeSourceData(*source));
    other.RebuildIdMap();
}

namespace {
CString SourceKey(int number, const char* field)
{
    CString key;
    key.Format("Scope.Source%u.%s", static_cast<unsigned>(number), field);
    return key;
}
}  // namespace

void CScopeSourceDataList::Load(const CDIniFile& settings)
{
    int count = 0;
    if (!settings.GetInt("Scope.SourceCount", count))
        return;
    CSingleLock lock(&m_lock, TRUE);
    settings.GetInt("Scope.LastSourceID", LastSourceID);
    RemoveAllSources();
    for (int n = 1; n <= count; ++n) {
        auto* source = new CScopeSourceData;
        settings.GetInt(SourceKey(n, "AmpAddr"), source->AmpAddr);
        settings.GetInt(SourceKey(n, "SourceID"), source->SourceID);
        BYTE units = 0;
        if (settings.GetByte(SourceKey(n, "UnitsCode"), units))
            source->UnitsCode = static_cast<signed char>(units);
        settings.GetDouble(SourceKey(n, "Scale"), source->Scale);
        settings.GetDouble(SourceKey(n, "Offset"), source->Offset);
        settings.GetByte(SourceKey(n, "Enabled"), source->Enabled);
        settings.GetInt(SourceKey(n, "QvxSourceIndex"), source->QvxSourceIndex);
        settings.GetString(SourceKey(n, "Command"), source->Command);
        settings.GetString(SourceKey(n, "Description"), source->Description);
        settings.GetInt(SourceKey(n, "MinUpdateMs"), source->MinUpdateMs);
        settings.GetString(SourceKey(n, "DisplayName"), source->DisplayName);
        settings.GetInt(SourceKey(n, "IsXChannel"), source->IsXChannel);
        settings.GetInt(SourceKey(n, "SuspendQuery"), source->SuspendQuery);
        AddTail(source);
    }
    RebuildIdMap();
}

void CScopeSourceDataList::Save(CDIniFile& settings)
{
    CSingleLock lock(&m_lock, TRUE);
    settings.SetInt("Scope.LastSourceID", LastSourceID);
    settings.SetInt("Scope.SourceCount", GetCount());
    int n = 0;
    for (CScopeSourceData* source : *this) {
        ++n;
        settings.SetInt(SourceKey(n, "AmpAddr"), source->AmpAddr);
        settings.SetInt(SourceKey(n, "SourceID"), source->SourceID);
        settings.SetInt(SourceKey(n, "UnitsCode"), source->UnitsCode);
        settings.SetDouble(SourceKey(n, "Scale"), source->Scale);
        settings.SetDouble(SourceKey(n, "Offset"), source->Offset);
        settings.SetInt(SourceKey(n, "Enabled"), source->Enabled);
        settings.SetInt(SourceKey(n, "QvxSourceIndex"), source->QvxSourceIndex);
        settings.SetString(SourceKey(n, "Command"), source->Command);
        settings.SetString(SourceKey(n, "Description"), source->Description);
        settings.SetInt(SourceKey(n, "MinUpdateMs"), source->MinUpdateMs);
        settings.SetString(SourceKey(n, "DisplayName"), source->DisplayName);
        settings.SetInt(SourceKey(n, "IsXChannel"), source->IsXChannel);
        settings.SetInt(SourceKey(n, "SuspendQuery"), source->SuspendQuery);
    }
}

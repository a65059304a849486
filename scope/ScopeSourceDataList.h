// CScopeSourceDataList: the scope's sources, owned by the list, with unique ids
// that are never given twice while the list lives.
#pragma once

#include <map>

#include "ScopeSourceData.h"
#include "platform/core/List.h"
#include "platform/core/Mutex.h"

class CDIniFile;

class CScopeSourceDataList : public CList<CScopeSourceData*, CScopeSourceData*> {
public:
    CScopeSourceDataList() = default;
    ~CScopeSourceDataList() override;
    CScopeSourceDataList(const CScopeSourceDataList&) = delete;
    CScopeSourceDataList& operator=(const CScopeSourceDataList&) = delete;

    CScopeSourceData* AddNew();
    void RemoveById(int id);
    void RemoveAllSources();
    // With keepLocked the caller holds the list's lock afterwards and must release it (Unlock).
    CScopeSourceData* FindById(int id, int keepLocked);
    void CopyTo(CScopeSourceDataList& other);
    void Load(const CDIniFile& settings);
    void Save(CDIniFile& settings);

    void Lock() { m_lock.Lock(); }
    void Unlock() { m_lock.Unlock(); }

    int LastSourceID = 0;

private:
    void RebuildIdMap();

    std::map<int, CScopeSourceData*> m_byId;
    CMutex m_lock;
};

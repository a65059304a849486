// CMapIntToStringLockable: drive address -> drive name, with its own lock. The
// communication manager's map of detected drives; message texts read it.
#pragma once

#include "comm/link/DriveNameSource.h"
#include "platform/core/Map.h"
#include "platform/core/Mutex.h"

class CMapIntToStringLockable : public CDriveNameSource {
public:
    using NameMap = CMap<int, int, CString, const CString&>;

    bool FindDriveName(int address, CString& name) const override;
    bool HasDrive(int address) const;
    void SetName(int address, const CString& name);
    void RemoveAll();
    void Replace(const NameMap& names);
    // A copy, for walking without holding the lock.
    NameMap Snapshot() const;
    int GetCount() const;
    CMutex& GetLock() const { return m_lock; }

private:
    mutable CMutex m_lock;
    NameMap m_names;
};

#include "comm/link/MapIntToStringLockable.h"

#include "platform/core/SingleLock.h"

bool CMapIntToStringLockable::FindDriveName(int address, CString& name) const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_names.Lookup(address, name);
}

bool CMapIntToStringLockable::HasDrive(int address) const
{
    CString ignored;
    return FindDriveName(address, ignored);
}

void CMapIntToStringLockable::SetName(int address, const CString& name)
{
    CSingleLock lock(&m_lock, TRUE);
    m_names.SetAt(address, name);
}

void CMapIntToStringLockable::RemoveAll()
{
    CSingleLock lock(&m_lock, TRUE);
    m_names.RemoveAll();
}

void CMapIntToStringLockable::Replace(const NameMap& names)
{
    CSingleLock lock(&m_lock, TRUE);
    m_names = names;
}

CMapIntToStringLockable::NameMap CMapIntToStringLockable::Snapshot() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_names;
}

int CMapIntToStringLockable::GetCount() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_names.GetCount();
}

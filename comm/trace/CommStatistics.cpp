#include "comm/trace/CommStatistics.h"

#include "platform/core/SingleLock.h"

namespace {
constexpr int kFirstId = kStatRxFrameError;
constexpr int kLastId = kStatReplyTimeout;
}  // namespace

double CCommStatistics::WindowOf(int id)
{
    switch (id) {
    case kStatRxFrameError:
    case kStatDriveCrcError:
    case kStatBytesIn:
    case kStatBytesOut: return 1.0;
    case kStatWriteError:
    case kStatSerialRetry:
    case kStatReplyTimeout: return 10.0;
    case kStatQueryOvertime: return 20.0;
    default: return 0.0;
    }
}

bool CCommStatistics::HasPerDrive(int id)
{
    return id == kStatRxFrameError || id == kStatDriveCrcError || id == kStatWriteError || id == kStatQueryOvertime ||
           id == kStatReplyTimeout;
}

void CCommStatistics::RegisterDrive(int address)
{
    {
        CSingleLock lock(&m_mapLock, TRUE);
        if (m_drives.Find(address))
            return;
        m_drives.AddTail(address);
    }
    SetDriveWindows(address);
}

bool CCommStatistics::IsDriveRegistered(int address)
{
    CSingleLock lock(&m_mapLock, TRUE);
    return m_drives.Find(address) != nullptr;
}

void CCommStatistics::SetDriveWindows(int address)
{
    for (int id = kFirstId; id <= kLastId; ++id)
        if (HasPerDrive(id))
            GetStatistics(DriveKey(address, id))->SetWindow(WindowOf(id));
}

void CCommStatistics::SetWindows()
{
    for (int id = kFirstId; id <= kLastId; ++id)
        GetStatistics(static_cast<DWORD>(id))->SetWindow(WindowOf(id));
    CList<int> drives;
    {
        CSingleLock lock(&m_mapLock, TRUE);
        drives = m_drives;
    }
    POSITION pos = drives.GetHeadPosition();
    while (pos)
        SetDriveWindows(drives.GetNext(pos));
}

void CCommStatistics::ResetStatistics()
{
    CSingleLock lock(&m_mapLock, TRUE);
    ResetAll();
    m_drives.RemoveAll();
}

void CCommStatistics::AddSample(int id, DWORD size, int driveAddress)
{
    GetStatistics(static_cast<DWORD>(id))->AddSample(size);
    if (driveAddress > 0 && HasPerDrive(id)) {
        RegisterDrive(driveAddress);
        GetStatistics(DriveKey(driveAddress, id))->AddSample(size);
    }
}

void CCommStatistics::HideWindow()
{
    if (m_view)
        m_view->HideStatistics();
}

// CCommStatistics: the link's statistics, link-wide and per drive.
#pragma once

#include "comm/trace/CommStatisticsView.h"
#include "comm/trace/DataStatisticsMap.h"
#include "platform/core/List.h"

enum CommStatisticId : int {
    kStatRxFrameError = 1,
    kStatDriveCrcError = 2,
    kStatBytesIn = 3,
    kStatBytesOut = 4,
    kStatRxOverflow = 5,
    kStatTxOverflow = 6,
    kStatWriteError = 7,
    kStatQueryOvertime = 8,
    kStatSerialRetry = 9,
    kStatReplyTimeout = 10,
};

class CCommStatistics : public CDataStatisticsMap {
public:
    static DWORD DriveKey(int address, int id) { return (static_cast<DWORD>(address) << 16) | static_cast<DWORD>(id); }
    static double WindowOf(int id);
    static bool HasPerDrive(int id);

    void RegisterDrive(int address);
    bool IsDriveRegistered(int address);
    // Sets the windows of the link-wide ids and of every registered drive's ids.
    void SetWindows();
    // Resets every value and forgets the drives.
    void ResetStatistics();
    // One sample link-wide and, for a drive other than 0 and an id kept per
    // drive, one for that drive (registering it). Drive 0's key would be the
    // link-wide key itself, so it is not counted twice.
    void AddSample(int id, DWORD size, int driveAddress = -1);

    void SetWindow(CCommStatisticsView* view) { m_view = view; }
    void HideWindow();

private:
    void SetDriveWindows(int address);

    CList<int> m_drives;
    CCommStatisticsView* m_view = nullptr;
};

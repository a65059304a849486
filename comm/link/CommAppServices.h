// CCommAppServices: what the link layer needs of the application, the main
// window, the alert log, the oscilloscope and the debug watch window. The
// application installs its implementation at start-up; while none is
// installed the link layer raises no alerts and knows no connected drives.
#pragma once

#include "comm/link/AmplifierData.h"
#include "comm/link/DriveAssignment.h"
#include "platform/core/List.h"

// Flags of RaiseAlert.
enum AlertFlags : int {
    kAlertStatusBar = 1,
    kAlertPopup = 2,
};

// Values of SetCommStatus.
enum CommStatus : int {
    kCommClosed = 0,
    kCommAllDrives = 1,
    kCommSomeDrivesLost = 2,
    kCommAllDrivesLost = 3,
};

class CCommAppServices {
public:
    virtual ~CCommAppServices() = default;

    // Alert log. A drive address of -1 names no drive.
    virtual void RaiseAlert(const char* key, const char* message, int level, int flags, int driveAddress) = 0;
    virtual void ClearAllAlerts() = 0;
    virtual void SetCommStatus(int status) = 0;
    // A lost drive answered again with the same family, or with another one.
    virtual void SetDriveReconnected() {}
    virtual void SetDriveTypeChanged() {}
    // Asks the GUI thread to rebuild the main menu for the connected drive families.
    // Called from engine threads: it must only post, never touch a window.
    virtual void PostUpdateMainMenu() {}

    // Connected-drive list, in connection order. GetDriveFamily answers -1 for
    // an address not in the list.
    virtual int GetDriveFamily(int address, DWORD* dataWord = nullptr) = 0;
    virtual void ClearConnectedDrives() = 0;
    virtual void AddConnectedDrive(const CAmplifierData& drive) = 0;
    virtual void GetConnectedDrives(CList<CAmplifierData>& drives) = 0;

    // The main window's drive assignments of the current link, in the user's order.
    virtual void GetDriveAssignments(CList<CDriveAssignment>& assignments) = 0;
    // The oscilloscope's drive records, built from the main window's drive-name map.
    virtual void BuildScopeDriveList(CList<CDriveAssignment>& drives) = 0;
    virtual CString GetUserSettingsIniPath() = 0;

    // Debug watch window; it may not exist, so these default to nothing.
    virtual bool IsCommTraceOn() { return false; }
    virtual void AddDebugMessage(const char* /*text*/) {}
    virtual double GetGlobalSeconds() { return 0.0; }
    virtual void SetWatchValue(const char* /*name*/, double /*value*/) {}
    virtual void StartWatchTimer(const char* /*name*/) {}
    virtual void ReadWatchTimer(const char* /*name*/) {}
    virtual void LapWatchTimer(const char* /*name*/) {}

    static void Install(CCommAppServices* services);
    // Null while none is installed.
    static CCommAppServices* Get();
};

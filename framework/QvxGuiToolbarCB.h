// CQvxGuiToolbarCB: what a window toolbar asks of its drive window.
#pragma once

#include "comm/link/AmplifierData.h"
#include "platform/core/List.h"

// Values of GetDriveEnableState.
enum DriveEnableState : int {
    kDriveDisabled = 0,
    kDriveEnabled = 1,
    kDriveError = 2,
    kDriveStateUnknown = 3,
    kDriveFault = 4,
};

class CQvxGuiToolbarCB {
public:
    virtual ~CQvxGuiToolbarCB() = default;
    virtual void GetToolbarInfo(CList<CAmplifierData>& drives, int& currentDrive) = 0;
    // Non-zero accepts the drive the user picked, 0 refuses it.
    virtual int OnToolbarDriveSelected(const CString& driveText) = 0;
    virtual int GetDriveEnableState() = 0;
};

// Restores the demo backup into each simulated drive once the demo link is
// open, one drive after another, through the backup engine.
#pragma once

#include <functional>
#include <vector>

#include "platform/core/String.h"

// What the loader needs of the backup engine.
class CDemoBackupRestorer {
public:
    virtual ~CDemoBackupRestorer() = default;
    virtual void SetMessageHelpId(int helpId) = 0;
    // Non-zero when the engine's worker was started.
    virtual int RestoreFromFile(int address, const char* driveName, const char* path, int quiet,
                                const char* successMessage) = 0;
    // Non-zero from the start of an operation until the engine has finished it.
    virtual int GetOperationStatus() = 0;
};

struct DemoDriveRecord {
    int address;
    CString name;
};

struct DemoLoadLimits {
    DWORD startMs = 10000;    // for the engine to begin a restore
    DWORD finishMs = 300000;  // for a begun restore to end
};

// The fixed name of the demo backup in the "Demo Library" folder.
extern const char* const kDemoBackupFileName;

CString DemoBackupPath(const CString& startupFolder);

// Restores every drive but the module at address 0. Without an engine the drives
// keep the simulator's defaults. pumpMessages lets the GUI thread's messages
// flow while it waits (the engine ends an operation from a GUI timer). A restore
// that does not start or does not end in time is reported and skipped.
// Returns 1.
int LoadDemoDrives(const std::vector<DemoDriveRecord>& drives, CDemoBackupRestorer* engine,
                   const CString& startupFolder, const std::function<void()>& pumpMessages = nullptr,
                   const DemoLoadLimits& limits = DemoLoadLimits());

// CProfileBackupEngine: what the profile generator needs of the backup
// engine: back up one drive with a named template, restore one drive from a
// backup file. The main frame installs the engine's implementation; while
// none is installed the profile backups report that they cannot run.
#pragma once

#include "platform/core/String.h"

class CProfileBackupEngine {
public:
    virtual ~CProfileBackupEngine() = default;
    // Non-zero when the backup was made.
    virtual int BackupDrive(int drive, const CString& driveName, const CString& templateName, const CString& path) = 0;
    // Non-zero when the drive was restored.
    virtual int RestoreDrive(int drive, const CString& driveName, const CString& path) = 0;

    static void Install(CProfileBackupEngine* engine);
    // Null while none is installed.
    static CProfileBackupEngine* Get();
};

#include "comm/demo/DemoDriveLoader.h"

#include "platform/core/Clock.h"
#include "platform/core/DebugLog.h"

const char* const kDemoBackupFileName = "QX5010-DEMO RevA.bk";

namespace {

// Sleeps 5 ms at a time until the condition holds or the time is up.
template <class Condition>
bool WaitWithPump(Condition condition, DWORD limitMs, const std::function<void()>& pumpMessages)
{
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    while (!condition()) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(5);
        if (pumpMessages)
            pumpMessages();
    }
    return true;
}

}  // namespace

CString DemoBackupPath(const CString& startupFolder)
{
    CString folder = startupFolder;
    if (!folder.IsEmpty() && folder.Right(1) != "/")
        folder += "/";
    return folder + "Demo Library/" + kDemoBackupFileName;
}

int LoadDemoDrives(const std::vector<DemoDriveRecord>& drives, CDemoBackupRestorer* engine,
                   const CString& startupFolder, const std::function<void()>& pumpMessages,
                   const DemoLoadLimits& limits)
{
    if (!engine) {
        AfxDebugLog("Demo drives keep their default settings: no backup engine to restore them.");
        return 1;
    }
    const CString path = DemoBackupPath(startupFolder);
    engine->SetMessageHelpId(0);
    int lastDrive = -1;
    for (size_t i = 0; i < drives.size(); ++i) {
        if (drives[i].address != 0)
            lastDrive = static_cast<int>(i);
    }
    for (size_t i = 0; i < drives.size(); ++i) {
        const DemoDriveRecord& drive = drives[i];
        if (drive.address == 0)
            continue;
        const CString name = "DEMO-" + drive.name;
        const char* message = static_cast<int>(i) == lastDrive ? "DEMO Communications active." : "";
        if (!engine->RestoreFromFile(drive.address, name, path, 1, message)) {
            AfxDebugLog("Demo drive %s: the restore could not be started.", name.GetString());
            continue;
        }
        if (!WaitWithPump([&] { return engine->GetOperationStatus() != 0; }, limits.startMs, nullptr)) {
            AfxDebugLog("Demo drive %s: the restore did not start in time; skipped.", name.GetString());
            continue;
        }
        if (!WaitWithPump([&] { return engine->GetOperationStatus() == 0; }, limits.finishMs, pumpMessages))
            AfxDebugLog("Demo drive %s: the restore did not finish in time.", name.GetString());
    }
    return 1;
}

#include "comm/trace/CommDebugTrace.h"

#include "comm/link/CommAppServices.h"

void CommDebugTrace(const char* text)
{
    CCommAppServices* app = CCommAppServices::Get();
    if (!app || !app->IsCommTraceOn())
        return;
    CString line;
    line.Format("%06.3f: %s", app->GetGlobalSeconds(), text ? text : "");
    app->AddDebugMessage(line);
}

int LookupDriveName(int address, CString& name)
{
    CCommAppServices* app = CCommAppServices::Get();
    if (!app)
        return 0;
    CList<CDriveAssignment> drives;
    app->BuildScopeDriveList(drives);
    POSITION pos = drives.GetHeadPosition();
    while (pos) {
        const CDriveAssignment& drive = drives.GetNext(pos);
        if (drive.m_address == address) {
            name = drive.m_name;
            return 1;
        }
    }
    return 0;
}

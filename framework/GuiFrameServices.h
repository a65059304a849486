// CGuiFrameServices: what the drive windows need of the main frame beyond
// the link layer's CCommAppServices (connected drives, drive names and the
// debug log come from there). The main frame installs its implementation when
// it is made; while none is installed windows find no open-window list, no
// registry, no help and no script player.
#pragma once

#include "platform/ui/UiTypes.h"

class CAmpResponseToGui;
class CGuiUpdateDlgIdMap;
class CGuiUpdateItem;
class CGuiUpdateList;
class CString;

class CGuiFrameServices {
public:
    virtual ~CGuiFrameServices() = default;

    virtual CGuiUpdateList* GetUpdateList() = 0;
    virtual CGuiUpdateDlgIdMap* GetDlgIdMap() = 0;
    // Every response queued for the open-window list's own item.
    virtual void OnDriveStatusResponse(const CAmpResponseToGui& /*response*/) {}
    // Shows the help topic of a window's help id (the caption's help button).
    virtual void ShowHelp(UINT /*helpId*/) {}
    // Offers a pressed key to the script player; true when it took the key.
    virtual bool HandleNavigationKey(UINT /*key*/) { return false; }
    // The program's one oscilloscope window (class "CQvxScopeDlg"), made on first use; null without one.
    virtual CGuiUpdateItem* GetScopeWindow() { return nullptr; }
    // Starts restoring a backup file to a drive through the backup engine, its
    // boxes under `helpId`; 0 when the restore could not be started.
    virtual int RestoreBackup(int /*drive*/, const CString& /*driveName*/, const CString& /*path*/, int /*helpId*/)
    {
        return 0;
    }

    static void Install(CGuiFrameServices* services);
    // Null while none is installed.
    static CGuiFrameServices* Get();
};

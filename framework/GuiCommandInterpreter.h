// CGuiCommandInterpreter: the global keywords of the window text commands
// (drive enable, default drive, working folder, layouts, closing all windows,
// backup restore, opening and listing windows). The keywords that change the
// set of windows, or hold the drive long, are queued when the command router
// calls and run by the open-window list's next update.
#pragma once

#include "platform/core/String.h"

class CGuiUpdateList;

class CGuiCommandInterpreter {
public:
    explicit CGuiCommandInterpreter(CGuiUpdateList& list) : m_list(list) {}

    // 1 for a keyword (its outcome in the reply), 0 for an unrecognised command.
    int Execute(const CString& command, CString& reply, int runNow);

private:
    int SendEnable(int state, CString& reply);
    int GetAmpEnabled(CString& reply);
    int SetDefaultAmp(const CString& command, CString& reply);
    int SetWorkingFolder(const CString& command, CString& reply);
    int LoadLayout(const CString& command, CString& reply);
    int CloseAllGuis(CString& reply);
    int RestoreBackup(const CString& command, CString& reply);
    int OpenGui(const CString& command, CString& reply);
    int ListGuis(CString& reply);
    int ListOpenGuis(CString& reply);
    // One quoted text argument; false with the parser's error in the reply.
    static bool ParseText(const CString& command, CString& text, CString& reply);

    CGuiUpdateList& m_list;
};

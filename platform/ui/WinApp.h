// The application object and the message loop. AfxWinInit starts the
// toolkit (once per process) and installs the message box into the engine's
// hook; AfxWinTerm undoes it.
#pragma once

#include <functional>

#include "Wnd.h"

class CWinApp {
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    // Runs the message loop until the main window is gone or AfxPostQuitMessage.
    virtual int Run();

    CWnd* m_pMainWnd = nullptr;
    CString m_appName;
};

BOOL AfxWinInit(int argc = 0, char** argv = nullptr);
void AfxWinTerm();
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
void AfxPostQuitMessage(int exitCode);
// Handles every waiting message of the GUI thread, then returns.
void AfxPumpMessages();
// Handles messages until the condition holds or the deadline (ms) passes.
bool AfxPumpMessagesUntil(const std::function<bool()>& condition, int deadlineMs = 5000);

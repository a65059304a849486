// The program's one message box. In scripted mode (tests, scripts, the
// engine without windows) it shows nothing: it logs a "MSGBOX:" line and
// answers with the queued answer or the default button (platform/core).
#pragma once

#include "Wnd.h"
#include "platform/core/MessageBox.h"

int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
// The owner's caption is the box's title when none is given.
int AfxWndMessageBox(CWnd* owner, LPCSTR text, LPCSTR caption, UINT type);

// Grows by one whenever a box opens, shown or answered by script: a window
// holding something for the user (a held jog) can tell a box came up meanwhile.
unsigned AfxGetMessageBoxSerial();

void AfxSetScriptedMode(BOOL scripted);
BOOL AfxIsScriptedMode();

// Routes the engine's boxes (AfxEngineMessageBox) to this box. A worker's
// notice is posted to the GUI thread and answered IDOK at once; a worker's
// question waits for the GUI thread's answer.
void AfxInstallMessageBoxHook();
void AfxRemoveMessageBoxHook();

// The title boxes carry when no caption is given.
void AfxSetAppTitle(LPCSTR title);
CString AfxGetAppTitle();

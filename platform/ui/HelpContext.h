// The program-wide help context override: while it is not -1, asking for help
// shows this context instead of the asking window's. Dialogs that stand in
// for another (file dialogs, message boxes) set it while they are up.
#pragma once

#include "UiTypes.h"

void AfxSetHelpContextOverride(SHORT context);
SHORT AfxGetHelpContextOverride();

// F1 in a dialog asks for the help of the dialog's help id (its template id
// unless it set another); the program installs who shows it.
using HelpRequestHandler = void (*)(UINT helpId);
void AfxSetHelpRequestHandler(HelpRequestHandler handler);
// FALSE when no handler is installed.
BOOL AfxRequestHelp(UINT helpId);

// Sets the override for the life of the object and puts -1 back after.
class CHelpContextScope {
public:
    explicit CHelpContextScope(SHORT context) { AfxSetHelpContextOverride(context); }
    ~CHelpContextScope() { AfxSetHelpContextOverride(-1); }
    CHelpContextScope(const CHelpContextScope&) = delete;
    CHelpContextScope& operator=(const CHelpContextScope&) = delete;
};

// The tool windows as the main frame sees them: their classes linked in for
// the window registry, and the frame commands that open them.
#pragma once

#include "platform/core/WinTypes.h"

class CCmdUI;
class CWnd;

// Makes the tool window classes known by name before the frame registers its windows.
void LinkToolWindowClasses();
// The frame's tool commands: TRUE when the command is one of them (and was run).
BOOL HandleToolCommand(CWnd* frame, UINT id);
// TRUE when the command is a tool command (its state is then set).
BOOL UpdateToolCommand(CCmdUI& ui);

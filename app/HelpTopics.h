// The help topics of windows: every window asks for help with its dialog id
// (or a negated topic number); this table turns that into a topic of the
// program's help pages.
#pragma once

#include "platform/core/String.h"
#include "platform/core/WinTypes.h"

constexpr int kDefaultHelpTopic = 1658;

// The help context override (while not -1) replaces the id; an id with bit 15
// set names topic -id; other ids go through the window table (default 1658).
int MapHelpTopic(WORD id);
// The folder of the help pages: program folder + "KVHelp21" + '/'.
CString GetHelpFilePath();
// Every dialog id of the window table, for checks of the help pages.
const WORD* HelpTableDialogIds(int& count);

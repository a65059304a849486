// The string table (resources/*.str): one string a line, an id and a quoted
// text. A command's string is its status-bar prompt, then "\n" and its
// toolbar tip:
//
//   STRINGTABLE
//   32833 "Open the demo link with simulated drives\nDemo"
//   END
#pragma once

#include "platform/core/String.h"
#include "platform/core/WinTypes.h"

// FALSE (text emptied) when the id has no string.
BOOL AfxLoadString(UINT id, CString& text);
// Adds the strings of a text, replacing those with the same ids; false with
// an error naming the line on a fault (nothing is added then).
bool AfxRegisterStrings(const char* text, CString* error = nullptr);
// The faults met reading the resources folder's string tables (empty when none).
CString AfxGetStringTableErrors();
// The prompt part (before "\n") and the tip part (after) of a command's string.
CString AfxGetCommandPrompt(UINT id);
CString AfxGetCommandTip(UINT id);

// Two small services of the link layer: the comm trace line of the debug watch
// window, and the user-given name of a drive by its address.
#pragma once

#include "platform/core/String.h"

void CommDebugTrace(const char* text);
// 1 with the name when a connected drive has that address; else 0, name untouched.
int LookupDriveName(int address, CString& name);

// The program's debug log: lines go to standard error when $KORVANE_TRACE is
// set, and to any sink installed (the debug watch window's log file).
#pragma once

#include <functional>

#include "String.h"

void AfxDebugLog(const char* format, ...) KV_PRINTF(1, 2);
void AfxSetDebugLogSink(std::function<void(const CString& line)> sink);

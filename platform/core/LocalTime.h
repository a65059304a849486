// The local date and time in the eight 16-bit fields the program stores and
// shows. Tests may set the clock the program reads.
#pragma once

#include "WinTypes.h"

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

void GetLocalTime(SYSTEMTIME* time);

namespace kvtest {
// Every later GetLocalTime answers this time; null gives the real clock back.
void SetLocalTime(const SYSTEMTIME* time);
}  // namespace kvtest

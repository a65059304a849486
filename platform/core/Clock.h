// Millisecond clocks on CLOCK_MONOTONIC. timeGetTime wraps at 32 bits like the
// original; GetTickCount64 does not, and is what long-running timers use.
#pragma once

#include "WinTypes.h"

DWORD timeGetTime();
ULONGLONG GetTickCount64();
// Sleeps of the calling thread, and of threads it creates afterwards, wake
// closer to their time until timeEndPeriod.
UINT timeBeginPeriod(UINT periodMs);
UINT timeEndPeriod(UINT periodMs);
void Sleep(DWORD milliseconds);

// Test control of the clock: an offset added to every reading, and a frozen
// clock that only moves when told to.
namespace kvtest {
void SetClockOffset(ULONGLONG offsetMs);
void FreezeClock(ULONGLONG nowMs);
void AdvanceClock(ULONGLONG deltaMs);
void ThawClock();
}  // namespace kvtest

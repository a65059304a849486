#include "Clock.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <sys/prctl.h>
#include <time.h>

namespace {

std::atomic<ULONGLONG> g_offsetMs{0};
std::atomic<bool> g_frozen{false};
std::atomic<ULONGLONG> g_frozenMs{0};

ULONGLONG MonotonicMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<ULONGLONG>(ts.tv_sec) * 1000u + static_cast<ULONGLONG>(ts.tv_nsec) / 1000000u;
}

}  // namespace

ULONGLONG GetTickCount64()
{
    if (g_frozen.load())
        return g_frozenMs.load();
    return MonotonicMs() + g_offsetMs.load();
}

DWORD timeGetTime() { return static_cast<DWORD>(GetTickCount64()); }

// A finer timer period is the kernel's timer slack: with the default 50 µs every
// 1 ms sleep of the engine's threads overshoots noticeably. The slack is per
// thread and inherited, so raising it at start-up covers every thread made later.
UINT timeBeginPeriod(UINT /*periodMs*/)
{
    prctl(PR_SET_TIMERSLACK, 1UL);
    return 0;
}

UINT timeEndPeriod(UINT /*periodMs*/)
{
    prctl(PR_SET_TIMERSLACK, 0UL);  // back to the default slack
    return 0;
}

void Sleep(DWORD milliseconds)
{
    if (milliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace kvtest {

void SetClockOffset(ULONGLONG offsetMs) { g_offsetMs = offsetMs; }

void FreezeClock(ULONGLONG nowMs)
{
    g_frozenMs = nowMs;
    g_frozen = true;
}

void AdvanceClock(ULONGLONG deltaMs) { g_frozenMs += deltaMs; }

void ThawClock() { g_frozen = false; }

}  // namespace kvtest

#include "LocalTime.h"

#include <atomic>
#include <ctime>
#include <mutex>

namespace {
std::mutex g_setLock;
std::atomic<bool> g_isSet{false};
SYSTEMTIME g_setTime{};
}  // namespace

void GetLocalTime(SYSTEMTIME* time)
{
    if (!time)
        return;
    if (g_isSet) {
        std::lock_guard<std::mutex> guard(g_setLock);
        *time = g_setTime;
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

namespace kvtest {
void SetLocalTime(const SYSTEMTIME* time)
{
    std::lock_guard<std::mutex> guard(g_setLock);
    if (time)
        g_setTime = *time;
    g_isSet = time != nullptr;
}
}  // namespace kvtest

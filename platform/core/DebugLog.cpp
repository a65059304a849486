#include "DebugLog.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {
std::mutex g_mutex;
std::function<void(const CString&)> g_sink;
const bool g_toStderr = std::getenv("KORVANE_TRACE") != nullptr;
}  // namespace

void AfxSetDebugLogSink(std::function<void(const CString& line)> sink)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_sink = std::move(sink);
}

void AfxDebugLog(const char* format, ...)
{
    CString line;
    va_list args;
    va_start(args, format);
    line.FormatV(format, args);
    va_end(args);
    std::function<void(const CString&)> sink;
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        sink = g_sink;
    }
    if (g_toStderr)
        std::fprintf(stderr, "%s\n", line.GetString());
    if (sink)
        sink(line);
}

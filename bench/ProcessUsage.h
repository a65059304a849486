// What the whole process has cost so far, for the idle benchmarks.
#pragma once

#include <sys/resource.h>

#include <ctime>

inline double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Context switches of every thread of the process: each end of a sleep or wait is one.
inline long ProcessSwitches()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

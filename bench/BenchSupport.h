#pragma once

#include <cstdio>
#include <cstdlib>

#include <windows.h>
#include <psapi.h>

// Seconds since an arbitrary start, from the high-resolution counter.
inline double Now()
{
    LARGE_INTEGER frequency{};
    LARGE_INTEGER count{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Now() at the moment the driver started this process, from the counter it
// left in BENCH_STARTED (one counter serves every process); Now() itself when
// no driver started it.
inline double DriverStarted()
{
    const char* started = std::getenv("BENCH_STARTED");
    if (started == nullptr)
        return Now();
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(std::strtoll(started, nullptr, 10)) / static_cast<double>(frequency.QuadPart);
}

// The largest working set `process` has had, in bytes; 0 when unknown.
inline unsigned long long PeakWorkingSet(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return 0;
    return counters.PeakWorkingSetSize;
}

#pragma once

#include <cstdio>

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

// The largest working set `process` has had, in bytes; 0 when unknown.
inline unsigned long long PeakWorkingSet(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return 0;
    return counters.PeakWorkingSetSize;
}

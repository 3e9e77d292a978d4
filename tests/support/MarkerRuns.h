#pragma once

// What the marker program (tests/platform/MarkerProgram.cpp) noted of each of
// its starts, read back from its output file.

#include <string>
#include <vector>

#include <windows.h>

struct MarkerRun {
    std::wstring commandLine;
    std::wstring folder;
};

inline std::vector<MarkerRun> ReadMarkerRuns(const std::wstring& output)
{
    std::vector<MarkerRun> runs;
    HANDLE file = CreateFileW(output.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return runs;
    std::wstring text(8192, L'\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(file);
    text.resize(read / sizeof(wchar_t));
    // Only whole lines: a start still writing has not finished its line.
    for (size_t start = 0, end = 0; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        const std::wstring line = text.substr(start, end - start);
        const size_t bar = line.rfind(L'|');
        runs.push_back({line.substr(0, bar), line.substr(bar + 1)});
    }
    return runs;
}

// The shell returns before the program runs: waits up to 10 s for `count` runs.
inline std::vector<MarkerRun> WaitForMarkerRuns(const std::wstring& output, size_t count)
{
    std::vector<MarkerRun> runs = ReadMarkerRuns(output);
    for (int waited = 0; runs.size() < count && waited < 10000; waited += 50) {
        Sleep(50);
        runs = ReadMarkerRuns(output);
    }
    return runs;
}

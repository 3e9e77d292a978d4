#pragma once

#include <string>
#include <vector>

#include <windows.h>

// The runs that the marker program (tests/platform/MarkerProgram.cpp) noted
// in `output`, each "command line|current folder", waiting up to 10 s for
// `count` of them: the shell returns before the program runs.
inline std::vector<std::wstring> MarkerRuns(const std::wstring& output, size_t count = 0)
{
    for (int waited = 0;; waited += 50) {
        std::vector<std::wstring> runs;
        std::wstring text(8192, L'\0');
        DWORD read = 0;
        const HANDLE file = CreateFileW(output.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
            CloseHandle(file);
        }
        // Only whole lines: a start still writing has not finished its line.
        for (size_t start = 0, end = 0; (end = text.find(L'\n', start)) < read / sizeof(wchar_t); start = end + 1)
            runs.push_back(text.substr(start, end - start));
        if (runs.size() >= count || waited >= 10000)
            return runs;
        Sleep(50);
    }
}

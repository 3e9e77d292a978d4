#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <windows.h>

// The runs that the copy of the marker program (tests/platform/MarkerProgram.cpp)
// at `program` noted, each "command line|current folder|parent's file name",
// waiting up to 10 s for `count` of them: the shell returns before the
// program runs.
inline std::vector<std::string> MarkerRuns(const std::wstring& program, size_t count = 0)
{
    for (int waited = 0;; waited += 50) {
        std::vector<std::string> runs;
        std::ifstream file(std::filesystem::path(program).replace_extension(".runs"));
        // Only whole lines: a start still writing has not finished its line.
        for (std::string line; std::getline(file, line) && !file.eof();)
            runs.push_back(line);
        if (runs.size() >= count || waited >= 10000)
            return runs;
        Sleep(50);
    }
}

#pragma once

#include <string_view>

// True when the file system can report the last-write time of `path`. A
// relative path is taken from the current folder. Never fails.
bool IsFilePresent(std::string_view path);

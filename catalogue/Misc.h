#pragma once

#include <string_view>

enum class FileState {
    Present,
    // The file system says that the path, or a folder on the way to it, does
    // not exist.
    Absent,
    // Anything else: no access, a drive or share that does not answer, a name
    // the file system refuses.
    Unknown,
};

// What the file system can tell of `path` by its last-write time. A relative
// path is taken from the current folder. Never fails.
FileState ProbeFile(std::string_view path);

inline bool IsFilePresent(std::string_view path) { return ProbeFile(path) == FileState::Present; }

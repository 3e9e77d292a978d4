#pragma once

#include <string_view>

enum class FileState {
    // A file or folder; through a link only when the link leads somewhere.
    Present,
    // The file system says that the path, or a folder on the way to it, does
    // not exist.
    Absent,
    // Anything else: no access, a drive or share that does not answer, a name
    // the file system refuses, a link whose target is missing.
    Unknown,
};

// What the file system can tell of `path` by its last-write time. A relative
// path is taken from the current folder. Never fails.
FileState ProbeFile(std::string_view path);

inline bool IsFilePresent(std::string_view path) { return ProbeFile(path) == FileState::Present; }

// The folder that `path` would be in lists nothing by its name. Wine calls a
// symbolic link whose target is missing absent, yet its folder still holds
// the name; Windows shows the link itself, which ProbeFile finds.
bool IsUnlisted(std::string_view path);

// Whether a file found missing under `root` ("c:\", "\\server\share\") is
// gone for good: the root is there, on a fixed disk or a network share. On a
// removable or optical drive another medium may hold the letter now.
bool CanProveAbsence(std::string_view root);

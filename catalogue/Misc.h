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

// What a root is on, as far as proving a file gone there goes.
enum class DriveKind {
    Fixed,
    Share,         // a network share, or a drive letter mapped to one
    Removable,     // another medium may hold the letter now
    Optical,
    Absent,        // no such drive
    NotAnswering,  // a disk or share that does not answer now
    Other,         // a RAM disk, or a kind Windows cannot tell
};

inline bool CanProveAbsence(DriveKind kind) { return kind == DriveKind::Fixed || kind == DriveKind::Share; }

// What `root` ("c:\", "\\server\share\") is on. A file found missing is
// gone for good only on a fixed disk or a share that answers.
DriveKind RootKind(std::string_view root);

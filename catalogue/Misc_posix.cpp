#include "Misc.h"

#include <cerrno>
#include <string>

#include <sys/stat.h>

FileState ProbeFile(std::string_view path)
{
    if (path.empty() || path.find('\0') != std::string_view::npos)
        return FileState::Unknown;
    struct stat status {};
    const std::string name(path);
    if (stat(name.c_str(), &status) == 0)
        return FileState::Present;
    if (errno != ENOENT && errno != ENOTDIR)
        return FileState::Unknown;
    // A link whose target is missing is there all the same.
    return lstat(name.c_str(), &status) == 0 ? FileState::Unknown : FileState::Absent;
}

DriveKind RootKind(std::string_view root)
{
    switch (ProbeFile(root)) {
    case FileState::Present: return DriveKind::Fixed;
    case FileState::Absent: return DriveKind::Absent;
    case FileState::Unknown: return DriveKind::NotAnswering;
    }
    return DriveKind::Other;
}

bool IsUnlisted(std::string_view path)
{
    struct stat status {};
    return !path.empty() && path.find('\0') == std::string_view::npos && lstat(std::string(path).c_str(), &status) != 0 &&
           (errno == ENOENT || errno == ENOTDIR);
}

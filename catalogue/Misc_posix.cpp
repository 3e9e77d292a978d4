#include "Misc.h"

#include <cerrno>
#include <string>

#include <sys/stat.h>

FileState ProbeFile(std::string_view path)
{
    if (path.empty() || path.find('\0') != std::string_view::npos)
        return FileState::Unknown;
    struct stat status {};
    if (stat(std::string(path).c_str(), &status) == 0)
        return FileState::Present;
    return errno == ENOENT || errno == ENOTDIR ? FileState::Absent : FileState::Unknown;
}

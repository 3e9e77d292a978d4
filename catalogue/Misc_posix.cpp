#include "Misc.h"

#include <string>

#include <sys/stat.h>

bool IsFilePresent(std::string_view path)
{
    struct stat status {};
    return !path.empty() && stat(std::string(path).c_str(), &status) == 0;
}

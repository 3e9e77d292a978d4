#include "ProgramFolder.h"

#include <windows.h>

std::wstring ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        // A full buffer means a cut path (long paths reach 32,767 units).
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t separator = path.rfind(L'\\');
    if (separator == std::wstring::npos)
        return {};
    // "C:" alone would mean the drive's current folder, not its root.
    const bool isDriveRoot = separator > 0 && path[separator - 1] == L':';
    return path.substr(0, isDriveRoot ? separator + 1 : separator);
}

#include "Misc.h"

#include <windows.h>

#include "WinText.h"

bool IsFilePresent(std::string_view path)
{
    // A NUL would end the path early and ask about some other file.
    if (path.empty() || path.find('\0') != std::string_view::npos)
        return false;

    // A path on an empty floppy or card drive must not raise Windows' own
    // "no disk" box: failing quietly is the answer.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    const BOOL found = GetFileAttributesExW(WideFromUtf8(path).c_str(), GetFileExInfoStandard, &attributes);
    SetThreadErrorMode(previousMode, nullptr);
    return found != FALSE;
}

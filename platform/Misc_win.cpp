#include "Misc.h"

#include <windows.h>

#include "WinText.h"

namespace {

// A path on an empty floppy or card drive must not raise Windows' own "no
// disk" box while the file system is asked: failing quietly is the answer.
class QuietCriticalErrors {
public:
    QuietCriticalErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_); }
    ~QuietCriticalErrors() { SetThreadErrorMode(previous_, nullptr); }
    QuietCriticalErrors(const QuietCriticalErrors&) = delete;
    QuietCriticalErrors& operator=(const QuietCriticalErrors&) = delete;

private:
    DWORD previous_ = 0;
};

}  // namespace

FileState ProbeFile(std::string_view path)
{
    // A NUL would end the path early and ask about some other file.
    if (path.empty() || path.find('\0') != std::string_view::npos)
        return FileState::Unknown;

    QuietCriticalErrors quiet;
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (GetFileAttributesExW(WideFromUtf8(path).c_str(), GetFileExInfoStandard, &attributes))
        return FileState::Present;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileState::Absent : FileState::Unknown;
}

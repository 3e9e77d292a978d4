#include "Misc.h"

#include <algorithm>
#include <string>

#include <windows.h>

#include "OwnedHandle.h"
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

// A NUL would end the path early and ask about some other file; a wildcard
// names no one file.
bool NamesOneFile(std::string_view path)
{
    return !path.empty() && path.find_first_of(std::string_view("\0*?", 3)) == std::string_view::npos;
}

bool IsNotFound(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// A path of MAX_PATH characters or more reaches the file system only where
// long paths are on: Windows 10's setting and this program's manifest, which
// RtlAreLongPathsEnabled tells together (Windows 10 1607 and later; Wine 8
// lacks it). Otherwise Windows may answer such a path "not found" without
// looking, and that proves nothing.
bool CanAsk(const std::wstring& path)
{
    if (path.size() < MAX_PATH)
        return true;
    using AreLongPathsEnabled = BOOLEAN(NTAPI*)();
    static const auto enabled = reinterpret_cast<AreLongPathsEnabled>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlAreLongPathsEnabled")));
    return enabled != nullptr && enabled();
}

// Opening follows a link to its target; a link whose target is missing (an
// unplugged volume) cannot be opened.
bool LeadsSomewhere(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const OwnedHandle opened(file == INVALID_HANDLE_VALUE ? nullptr : file);
    return opened != nullptr;
}

}  // namespace

FileState ProbeFile(std::string_view path)
{
    if (!NamesOneFile(path))
        return FileState::Unknown;

    const std::wstring wide = WideFromUtf8(path);
    if (!CanAsk(wide))
        return FileState::Unknown;
    QuietCriticalErrors quiet;
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &attributes)) {
        const bool isLink = (attributes.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        return !isLink || LeadsSomewhere(wide) ? FileState::Present : FileState::Unknown;
    }
    return IsNotFound(GetLastError()) ? FileState::Absent : FileState::Unknown;
}

bool IsUnlisted(std::string_view path)
{
    const std::wstring wide = WideFromUtf8(path);
    if (!NamesOneFile(path) || !CanAsk(wide))
        return false;
    QuietCriticalErrors quiet;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW(wide.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    const OwnedSearch listing(search == INVALID_HANDLE_VALUE ? nullptr : search);
    return listing == nullptr && IsNotFound(GetLastError());
}

DriveKind RootKind(std::string_view root)
{
    std::wstring wide = WideFromUtf8(root);
    // GetDriveType takes a root only with backslashes.
    std::ranges::replace(wide, L'/', L'\\');
    QuietCriticalErrors quiet;
    switch (GetDriveTypeW(wide.c_str())) {
    case DRIVE_FIXED:
        return ProbeFile(root) == FileState::Present ? DriveKind::Fixed : DriveKind::NotAnswering;
    case DRIVE_REMOTE:
        return ProbeFile(root) == FileState::Present ? DriveKind::Share : DriveKind::NotAnswering;
    case DRIVE_REMOVABLE: return DriveKind::Removable;
    case DRIVE_CDROM: return DriveKind::Optical;
    case DRIVE_NO_ROOT_DIR: return DriveKind::Absent;
    default: return DriveKind::Other;
    }
}

#include "Shell.h"

#include <string>

#include <shellapi.h>

#include "CommandLine.h"
#include "Environment.h"
#include "WinText.h"

namespace {

// The folder that holds this program's executable; "" if Windows cannot tell.
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

}  // namespace

void ShellOpen(HWND owner, std::string_view target)
{
    const ShellCommand command = SplitCommand(target);
    const std::string file = ExpandEnvironment(command.file);
    // Without a file there is nothing to start; a NUL would have the shell
    // start something shorter than the command names.
    if (file.empty() || file.find('\0') != std::string::npos ||
        command.parameters.find('\0') != std::string::npos)
        return;

    const std::wstring wideFile = WideFromUtf8(file);
    const std::wstring parameters = WideFromUtf8(command.parameters);
    const std::wstring folder = ProgramFolder();
    ShellExecuteW(owner, nullptr, wideFile.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                  folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
}

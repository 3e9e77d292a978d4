#include "Shell.h"

#include <shellapi.h>

#include "CommandLine.h"
#include "Environment.h"
#include "Misc.h"
#include "ProgramFolder.h"
#include "WinText.h"

namespace {

std::string EnvironmentVariable(const wchar_t* name)
{
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length < value.size()) {
            value.resize(length);
            return Utf8FromWide(value);
        }
        value.resize(length);
    }
}

std::string SystemFolder(UINT (WINAPI *query)(LPWSTR, UINT))
{
    wchar_t folder[MAX_PATH];
    const UINT length = query(folder, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : Utf8FromWide(std::wstring_view(folder, length));
}

}  // namespace

std::string FindSystemProgram(std::string_view name)
{
    const std::string folders = SystemFolder(GetSystemDirectoryW) + ";" + SystemFolder(GetWindowsDirectoryW) + ";" +
                                EnvironmentVariable(L"PATH");
    std::string extensions = EnvironmentVariable(L"PATHEXT");
    if (extensions.empty())
        extensions = ".COM;.EXE;.BAT;.CMD";
    for (const std::string& candidate : ProgramCandidates(name, folders, extensions)) {
        if (IsFilePresent(candidate))
            return candidate;
    }
    return {};
}

void ShellOpen(HWND owner, std::string_view target)
{
    const ShellCommand command = SplitCommand(target);
    std::string file = ExpandEnvironment(command.file);
    // A NUL would have the shell start something shorter than the command names.
    if (file.find('\0') != std::string::npos || command.parameters.find('\0') != std::string::npos)
        return;
    // The shell would look for a bare or relative name in the program's own
    // folder first, and this program runs with administrator rights: a file
    // dropped beside it must never be what starts.
    if (IsRelativePath(file))
        return;
    if (IsBareName(file))
        file = FindSystemProgram(file);
    if (file.empty())
        return;

    const std::wstring wideFile = WideFromUtf8(file);
    const std::wstring parameters = WideFromUtf8(command.parameters);
    const std::wstring folder = ProgramFolder();
    ShellExecuteW(owner, nullptr, wideFile.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                  folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
}

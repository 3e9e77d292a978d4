#include "Shell.h"

#include <string>

#include <shellapi.h>

#include "CommandLine.h"
#include "Environment.h"
#include "ProgramFolder.h"
#include "WinText.h"

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

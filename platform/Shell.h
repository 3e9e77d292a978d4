#pragma once

#include <string>
#include <string_view>

#include <windows.h>

// Starts an uninstall command through the Windows shell, on behalf of `owner`,
// from the program's own folder, and returns at once: nothing is waited for and
// the outcome is not examined. The command is cut into program and arguments
// first (SplitCommand), and %VAR% references in the program are expanded. A
// command without a program, or with a relative path for one, starts nothing;
// a program named without a folder is started from FindSystemProgram's answer.
void ShellOpen(HWND owner, std::string_view target);

// The full path of a program named without a folder ("MsiExec", "cmd.exe"),
// found in the system folder, the Windows folder or PATH's absolute folders,
// never in the program's own folder or the working folder; "" if none has it.
std::string FindSystemProgram(std::string_view name);

#pragma once

#include <string_view>

#include <windows.h>

// Starts an uninstall command through the Windows shell, on behalf of `owner`,
// from the program's own folder, and returns at once: nothing is waited for and
// the outcome is not examined. The command is cut into program and arguments
// first (SplitCommand), and %VAR% references in the program are expanded. A
// command without a program starts nothing.
void ShellOpen(HWND owner, std::string_view target);

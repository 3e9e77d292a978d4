#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <windows.h>

// A program to start: its full path, its parameters ("" for none) and the
// folder it starts in.
struct ProgramStart {
    std::wstring file;
    std::wstring parameters;
    std::wstring folder;
};

// Hands `start` to the shell of the user's desktop (Explorer), which starts it
// as a child of its own, with the rights the user's desktop has. Does not wait
// for it. False when no desktop shell answers or it refuses the start.
bool StartFromDesktopShell(const ProgramStart& start);

// Starts `start` from this process through the Windows shell, on behalf of
// `owner`, and returns at once. False when the shell could not start it.
bool StartFromHere(HWND owner, const ProgramStart& start);

using DesktopStart = std::function<bool(const ProgramStart& start)>;

// Starts an uninstall command and returns at once: nothing is waited for and
// the outcome is not examined. The command is cut into program and arguments
// first (SplitCommand), and %VAR% references in the program are expanded. A
// command without a program, or with a relative path for one, starts nothing;
// a program named without a folder is started from FindSystemProgram's answer.
// The program starts in the folder that holds its file, or in the system
// folder for a target that is no path (a URL).
// Run elevated, this program hands the start to `desktop`, so that the
// uninstaller runs with the user's own rights and asks for more itself where
// it needs them; when `desktop` fails, nothing starts. Otherwise the Windows
// shell starts it from here, on behalf of `owner`.
void ShellOpen(HWND owner, std::string_view target, const DesktopStart& desktop = StartFromDesktopShell);

// The full path of a program named without a folder ("MsiExec", "cmd.exe"),
// found in the system folder, the Windows folder or PATH's absolute folders,
// never in the program's own folder or the working folder; "" if none has it.
std::string FindSystemProgram(std::string_view name);

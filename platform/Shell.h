#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

// A program to start: its full path, its parameters ("" for none) and the
// folder it starts in.
struct ProgramStart {
    std::wstring file;
    std::wstring parameters;
    std::wstring folder;
};

// The moment a hand-off to the desktop's shell is given up.
using Deadline = std::chrono::steady_clock::time_point;

// Hands `start` to the shell of the user's desktop (Explorer), which starts it
// as a child of its own, with the rights the user's desktop has. Does not wait
// for it. Asks Explorer nothing once `deadline` has passed. False when no
// desktop shell answers in time or it refuses the start.
bool StartFromDesktopShell(const ProgramStart& start, Deadline deadline);

// Starts `start` from this process through the Windows shell, on behalf of
// `owner`, and returns at once. False when the shell could not start it.
bool StartFromHere(HWND owner, const ProgramStart& start);

using DesktopStart = std::function<bool(const ProgramStart& start, Deadline deadline)>;
// Where ShellOpen, run elevated, leaves a start for the desktop's shell.
using HandOff = std::function<void(const ProgramStart& start)>;

// Starts an uninstall command and returns at once: nothing is waited for and
// the outcome is not examined. The command is cut into program and arguments
// first (SplitCommand), and %VAR% references in the program are expanded. A
// command without a program, or with a relative path for one, starts nothing;
// a program named without a folder is started from FindSystemProgram's answer.
// The program starts in the folder that holds its file, or in the system
// folder for a target that is no path (a URL).
// Run elevated, this program passes the start to `handOff` for the desktop's
// shell (HandToDesktopShell), so that the uninstaller runs with the user's own
// rights and asks for more itself where it needs them. Otherwise the Windows
// shell starts it from here, on behalf of `owner`.
void ShellOpen(HWND owner, std::string_view target, const HandOff& handOff);

// How long Explorer has to take each start before the rest are given up.
inline constexpr std::chrono::seconds kHandOffTime{5};

// Hands `starts` to `desktop` in order on a thread of its own, and returns at
// once: a desktop shell that hangs never stalls the caller. Each start has
// kHandOffTime; once one overruns it, the ones after it are never handed over
// and nothing more is asked of Explorer. Posts `done` to `notify` when the
// thread ends, which it may never do while Explorer hangs. False when the
// thread could not start; then nothing was handed over.
bool HandToDesktopShell(std::vector<ProgramStart> starts, DesktopStart desktop, HWND notify, UINT done);

// The full path of a program named without a folder ("MsiExec", "cmd.exe"),
// found in the system folder, the Windows folder or PATH's absolute folders,
// never in the program's own folder or the working folder; "" if none has it.
std::string FindSystemProgram(std::string_view name);

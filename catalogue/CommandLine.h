#pragma once

#include <string>
#include <string_view>
#include <vector>

// An uninstall command cut into what the shell can start: handed a whole
// command line as its file, the shell finds no such file and starts nothing.
struct ShellCommand {
    std::string file;        // the program or document to start
    std::string parameters;  // "" when there are none
};

// Surrounding blanks are dropped, then the first rule that fits decides:
// - a leading quote: the text up to the closing quote is the file, the rest
//   (leading blanks dropped) the parameters;
// - the file ends at the first ".exe" (any case) that a blank follows;
// - a first word without "\", "/" or ":" is a program on the search path
//   ("MsiExec /X{...}");
// - otherwise the whole text is the file, with no parameters.
ShellCommand SplitCommand(std::string_view command);

// The root of an absolute path as written: "c:\" for a drive letter followed
// by ":\", "\\server\share\" for a network share, either with "/" for "\" as
// Windows allows; "" for anything else (a bare or relative name,
// "C:Tool\un.exe", a device path such as "\\?\...").
std::string PathRoot(std::string_view path);

// A name without any folder ("MsiExec", "cmd.exe"). Windows would look for it
// in the program's own folder and the working folder before its own folders.
bool IsBareName(std::string_view file);

// A path taken from the working folder or a drive's current folder
// ("Tool\un.exe", "\un.exe", "C:un.exe"): neither absolute, nor bare, nor a
// URL or other target of the form "scheme:...".
bool IsRelativePath(std::string_view file);

// The files a bare program name may stand for, in the order they are tried:
// each folder of `folders` (a list in PATH's form; folders that are not
// absolute are skipped), and in each the name as written when it has an
// extension, otherwise the name with each extension of `extensions` (a list
// in PATHEXT's form, ".COM;.EXE").
std::vector<std::string> ProgramCandidates(std::string_view name, std::string_view folders,
                                           std::string_view extensions);

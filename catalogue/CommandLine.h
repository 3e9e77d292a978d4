#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What separates a program from its arguments, as CreateProcess reads a
// command line.
inline constexpr std::string_view kBlanks = " \t";

std::string_view TrimBlanks(std::string_view text);

// An uninstall command cut into what the shell can start: handed a whole
// command line as its file, the shell finds no such file and starts nothing.
struct ShellCommand {
    std::string file;        // the program or document to start
    std::string parameters;  // "" when there are none
};

// Surrounding blanks are dropped, then the first rule that fits decides:
// - a leading quote: the text up to the closing quote is the file, the rest
//   (leading blanks dropped) the parameters;
// - the file ends at the first blank that follows a name with a program
//   extension (EndsInProgramExtension);
// - a first word without "\", "/" or ":" is a program on the search path
//   ("MsiExec /X{...}");
// - otherwise the whole text is the file, with no parameters.
ShellCommand SplitCommand(std::string_view command);

// The name at the end of `path` (after its last "\\" or "/") ends in one of
// the extensions of the files Windows starts or acts on for an uninstall
// command: .exe .com .bat .cmd .inf .dll .msi .vbs .js .wsf .ps1, any case.
bool EndsInProgramExtension(std::string_view path);

// The root of an absolute path as written: "c:\" for a drive letter followed
// by ":\", "\\server\share\" for a network share, either with "/" for "\" as
// Windows allows; "" for anything else (a bare or relative name,
// "C:Tool\un.exe", a device path such as "\\?\...").
std::string PathRoot(std::string_view path);

// The folder a program starts in: the one that holds its file, or the root of
// its drive or share as written ("C:\"); "" for a target that is no absolute
// path (a URL). Never this program's folder nor the current one: a program
// or DLL that an uninstaller names without a folder is looked for in its
// working folder first.
std::string StartFolder(std::string_view file);

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

// Environment variables by lower-case name: Windows matches names in any case.
using Variables = std::map<std::string, std::string>;

// The environment blocks an entry's %NAME% may be read with.
struct Environments {
    Variables machine;  // the machine's own, as a new logon session gets them
    Variables user;     // the machine's with the user's own on top
    Variables program;  // this program's, as it was started
};

// The value a variable has for the caller; nullopt when it has none that can
// be trusted.
using VariableValue = std::function<std::optional<std::string>(std::string_view name)>;

// `text` with each %NAME% replaced by value(NAME), as Windows expands it: a
// lone "%" and "%%" stay as written. nullopt as soon as a name has no value,
// since what the text then means is not known.
std::optional<std::string> ExpandVariables(std::string_view text, const VariableValue& value);

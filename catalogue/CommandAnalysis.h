#pragma once

#include <string>
#include <string_view>
#include <vector>

// Readings a command may have before it proves nothing: every reading is a
// file detection asks about, and a user's process can write a command with
// one at every blank.
inline constexpr size_t kMostReadings = 64;

// What an uninstall command starts, read the ways Windows may read it.
struct CommandTarget {
    // Every file the command may start or act on, as written (letter case
    // kept, %NAME% not expanded), the one it names plainly first. Empty when
    // the command proves nothing about any file: a program without an
    // extension, a bare library for rundll32, msiexec itself.
    std::vector<std::string> files;
    // The command has more than kMostReadings readings: `files` holds only the
    // one it names plainly, and proves nothing.
    bool tooManyReadings = false;
    // The program is rundll32: `files` is what it acts on, not rundll32.
    bool rundll32 = false;
    // The program is msiexec.
    bool windowsInstaller = false;
    // The product code that msiexec's /X or /I names ("{8-4-4-4-12}" in hex
    // digits); "" when there is none or it is malformed.
    std::string productCode;
};

// Reads `command` as Windows starts it:
// - a quoted path is the program; a path that ends in a program extension
//   (EndsInProgramExtension) before a blank inside the quotes may be the
//   program too, with its arguments inside the quotes;
// - unquoted, the program ends at the first blank that follows a name with a
//   program extension; a path with blanks left unquoted may end at a later
//   such blank, and each shorter text CreateProcess would try first (with
//   ".exe" where it has no extension) may be the program as well;
// - no reading is longer than the longest path Windows accepts;
// - rundll32 (any case, bare or with a path, with or without ".exe") acts on
//   the last absolute path among its arguments, the library included;
// - msiexec acts on the product its first /X or /I option names.
CommandTarget AnalyseCommand(std::string_view command);

// The file whose presence shows that an entry is still installed, lower-
// cased: the program the command plainly names, or what rundll32 acts on; ""
// for rundll32 acting on nothing it names absolutely; the marker for any
// command that mentions msiexec.exe; for any other command that names no
// file, its first three characters without quotes.
std::string DeriveUninstallerPath(std::string_view command);

#pragma once

#include <string>
#include <string_view>

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

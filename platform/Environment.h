#pragma once

#include <string>
#include <string_view>

// `text` with each %NAME% of a defined environment variable replaced by its
// value, as Windows does it: names match in any case; an undefined name and a
// lone % stay as written. A text Windows cannot take (one holding a NUL, or too
// long) comes back unchanged.
std::string ExpandEnvironment(std::string_view text);

#include "CommandLine.h"

// The machine's environment (as a new logon session gets it, without any
// user's own variables), the current user's, and this program's. A block
// Windows cannot make is empty: no variable then proves anything.
Environments ReadEnvironments();

// The folder Windows is installed in ("C:\Windows"), as the system has it
// whatever the environment says; "" if Windows cannot tell.
std::string WindowsFolder();

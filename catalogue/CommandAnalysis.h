#pragma once

#include <string>
#include <string_view>

// The file whose presence shows that an entry is still installed, read from
// its uninstall command and lower-cased: the uninstaller program, the setup
// information file or the library the command names; the marker for Windows
// Installer commands.
std::string DeriveUninstallerPath(std::string_view command);

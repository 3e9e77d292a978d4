#pragma once

#include <optional>
#include <string>
#include <string_view>

struct DerivedUninstaller {
    // The file whose presence shows the entry is still installed, lower-cased,
    // or the marker for Windows Installer commands.
    std::string file;
    // For rundll32 commands the file also replaces the uninstall command.
    std::optional<std::string> replacement;
};

DerivedUninstaller DeriveUninstallerPath(std::string_view command);

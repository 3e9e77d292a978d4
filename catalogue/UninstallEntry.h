#pragma once

#include <string>
#include <string_view>

// Each row of the list is one entry of the Uninstall key: its text is the
// display name, and three hidden columns carry the data the actions need.
enum EntrySubItem : int {
    kUninstallSubItem = 1,   // the command handed to the shell
    kFileExistsSubItem = 2,  // the derived uninstaller file, or kIgnoreMarker
    kKeyNameSubItem = 3,     // the subkey's name under the Uninstall key
};

inline constexpr std::string_view kUninstallKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Entries that have no file to check (Windows Installer commands) carry this.
inline constexpr std::string_view kIgnoreMarker = "IGNORE ME";

// The path of an entry's key: the Uninstall key's path, a backslash, the name.
inline std::string EntryKeyPath(std::string_view keyName)
{
    std::string path(kUninstallKeyPath);
    path += '\\';
    path += keyName;
    return path;
}

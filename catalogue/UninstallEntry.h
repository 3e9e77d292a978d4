#pragma once

#include <array>
#include <string>
#include <string_view>

#include "RegistryStore.h"

// Each row of the list is one entry of an Uninstall key: its text is the
// display name, three hidden columns carry the data the actions need, and the
// row knows which of the places below its key is in.
enum EntrySubItem : int {
    kUninstallSubItem = 1,   // the command handed to the shell
    kFileExistsSubItem = 2,  // the derived uninstaller file, or kIgnoreMarker
    kKeyNameSubItem = 3,     // the subkey's name under the Uninstall key
};

inline constexpr std::string_view kUninstallKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Every place holds an Uninstall key at that path; Windows lists all three.
inline constexpr std::array<RegRoot, 3> kEntryPlaces = {RegRoot::LocalMachine, RegRoot::LocalMachine32,
                                                        RegRoot::CurrentUser};

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

#pragma once

#include <string>

#include "RegistryStore.h"

// One synthetic subkey of the Uninstall key, in the shapes that real systems
// carry: quoted paths with arguments, Windows Installer product codes (known
// to Windows Installer, or orphaned), rundll32 setup information files and
// launchers, %ProgramFiles% commands, and a few subkeys that lack one of the
// two values the list needs.
struct SeedEntry {
    RegRoot place = RegRoot::LocalMachine;
    std::wstring keyName;
    std::wstring displayName;       // empty: the value is left out
    std::wstring uninstallString;   // empty: the value is left out
    bool expandable = false;        // REG_EXPAND_SZ instead of REG_SZ
    std::wstring publisher;
    std::wstring version;
    unsigned estimatedSize = 0;     // kilobytes, as installers write it
    // The file the command names, created so the entry counts as installed;
    // empty when the entry has no file to create.
    std::wstring liveFile;
    bool listed = false;            // has both values, so it gets a row
    bool stale = false;             // listed, and its uninstaller file or product is gone
    // A Windows Installer product that Windows Installer knows: its code is
    // the key's name.
    bool registered = false;
};

// Entry `index` of the set; the same index always gives the same entry. Per
// hundred subkeys, 90 are listed and 9 of those are stale: a tenth of the rows.
// About six entries in ten live in the machine's 64-bit view, three in its
// 32-bit view and one in the user's key, each place with every shape.
SeedEntry MakeSeedEntry(int index);

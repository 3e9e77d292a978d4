#include "Actions.h"

#include <map>

#include "CommandLine.h"
#include "ListItems.h"
#include "RegistryStore.h"
#include "Text.h"
#include "UninstallEntry.h"

namespace {

// The name is appended to the Uninstall key's path. Empty, it would name the
// Uninstall key itself; with a backslash, another key (a trailing one names
// the Uninstall key too); with a NUL, Windows would read a shorter name.
// "." and ".." need no care: to the registry they are names like any other.
bool IsSingleKeyName(std::string_view name)
{
    return !name.empty() && name.find_first_of(std::string_view("\\\0", 2)) == std::string_view::npos;
}

}  // namespace

void UninstallSelectedEntry(ListItems& list, const StartCommand& start)
{
    const int count = list.Count();
    for (int position = 1; position <= count; ++position) {
        if (list.Selected(position))
            start(list.SubItem(position, kUninstallSubItem));
    }
}

void DeleteCheckedEntries(ListItems& list, RegistryStore& store)
{
    // Bottom to top: removing a row moves up only rows already passed.
    const int count = list.Count();
    ListUpdate update(list);
    for (int position = count; position >= 1; --position) {
        if (!list.Checked(position))
            continue;
        const std::string keyName = list.SubItem(position, kKeyNameSubItem);
        if (!IsSingleKeyName(keyName))
            continue;
        const RegStatus status = store.DeleteTree(list.Place(position), EntryKeyPath(keyName));
        // A key that is already gone has left the system's list all the same.
        if (status == kRegSuccess || status == kRegFileNotFound)
            list.Remove(position);
    }
}

void DetectOldEntries(ListItems& list, const FileProbe& probe, const ExpandVariables& expand)
{
    std::map<std::string, bool> rootPresent;
    const int count = list.Count();
    ListUpdate update(list);
    for (int position = 1; position <= count; ++position) {
        const std::string file = list.SubItem(position, kFileExistsSubItem);
        if (file.find(kIgnoreMarker) != std::string::npos)
            continue;
        // Entries name their files through variables such as %ProgramFiles%.
        const std::string path = expand(file);
        // A relative name would be looked for wherever this program happens
        // to stand, and an unseen drive (a network drive, which an elevated
        // program does not see) proves nothing about its files.
        const std::string root = PathRoot(path);
        if (root.empty())
            continue;
        const auto [known, isNew] = rootPresent.try_emplace(LowerAscii(root), false);
        if (isNew)
            known->second = probe(root) == FileState::Present;
        if (known->second && probe(path) == FileState::Absent)
            list.SetChecked(position, true);
    }
}

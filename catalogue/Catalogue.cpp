#include "Catalogue.h"

#include <algorithm>
#include <vector>

#include "CommandAnalysis.h"
#include "ListItems.h"
#include "Reg.h"
#include "RegistryStore.h"
#include "UninstallEntry.h"

namespace {

struct Entry {
    std::string sortKey;
    std::string displayName;
    std::string command;
    std::string keyName;
    RegRoot place;
    KeyTime written;
};

// Any failure ends the enumeration of a place: past the last subkey or on an
// error. The entries read before it stay.
void ReadPlace(RegistryStore& store, RegRoot place, const SortKeyOf& sortKey, std::vector<Entry>& entries)
{
    OpenedKey uninstallKey(store);
    if (uninstallKey.OpenForEnumeration(place, kUninstallKeyPath) != kRegSuccess)
        return;

    std::string keyName;
    KeyTime written = 0;
    for (int index = 0; store.EnumerateSubkey(uninstallKey.Get(), index, keyName, written) == kRegSuccess; ++index) {
        OpenedKey entryKey(store);
        if (entryKey.Open(place, EntryKeyPath(keyName)) != kRegSuccess)
            continue;
        std::string displayName = ReadRegString(entryKey, "DisplayName", "");
        if (displayName.empty())
            continue;
        std::string command = ReadRegString(entryKey, "UninstallString", "");
        if (command.empty())
            continue;
        entries.push_back({sortKey(displayName), std::move(displayName), std::move(command), keyName, place, written});
    }
}

}  // namespace

void LoadUninstallEntries(RegistryStore& store, ListItems& list, const SortKeyOf& sortKey)
{
    ListUpdate update(list);
    list.Clear();

    std::vector<Entry> entries;
    for (const RegRoot place : kEntryPlaces)
        ReadPlace(store, place, sortKey, entries);
    // Sorting pointers moves 8 bytes where an entry would move five texts.
    std::vector<const Entry*> sorted;
    sorted.reserve(entries.size());
    for (const Entry& entry : entries)
        sorted.push_back(&entry);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Entry* a, const Entry* b) { return a->sortKey < b->sortKey; });

    for (const Entry* entry : sorted) {
        const int row = list.Add(entry->displayName, entry->place, entry->written);
        list.SetSubItem(row, kUninstallSubItem, entry->command);
        list.SetSubItem(row, kFileExistsSubItem, DeriveUninstallerPath(entry->command));
        list.SetSubItem(row, kKeyNameSubItem, entry->keyName);
    }
}

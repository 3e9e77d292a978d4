#include "Catalogue.h"

#include "CommandAnalysis.h"
#include "ListItems.h"
#include "Reg.h"
#include "RegistryStore.h"
#include "UninstallEntry.h"

void LoadUninstallEntries(RegistryStore& store, ListItems& list)
{
    ListUpdate update(list);
    list.Clear();

    OpenedKey uninstallKey(store);
    if (store.OpenForEnumeration(RegRoot::LocalMachine, kUninstallKeyPath, uninstallKey.Out()) != kRegSuccess)
        return;

    // Any failure ends the enumeration: past the last subkey, on a name too
    // long for the buffer, or on an error. The rows added so far stay.
    std::string keyName;
    for (int index = 0; store.EnumerateSubkey(uninstallKey.Get(), index, keyName) == kRegSuccess; ++index) {
        const std::string keyPath = EntryKeyPath(keyName);
        const std::string displayName = ReadRegString(store, RegRoot::LocalMachine, keyPath, "DisplayName", "");
        const std::string command = ReadRegString(store, RegRoot::LocalMachine, keyPath, "UninstallString", "");
        if (command.empty() || displayName.empty())
            continue;

        const DerivedUninstaller derived = DeriveUninstallerPath(command);
        const int row = list.Add(displayName);
        list.SetSubItem(row, kUninstallSubItem, derived.replacement.value_or(command));
        list.SetSubItem(row, kFileExistsSubItem, derived.file);
        list.SetSubItem(row, kKeyNameSubItem, keyName);
    }
}

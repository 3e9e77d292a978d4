#pragma once

class ListItems;
class RegistryStore;

// Empties `list` and adds one row per subkey of the Uninstall key that has both
// a display name and an uninstall command, in the order the registry gives them.
void LoadUninstallEntries(RegistryStore& store, ListItems& list);

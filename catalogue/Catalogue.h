#pragma once

#include <functional>
#include <string>
#include <string_view>

class ListItems;
class RegistryStore;

// Bytes whose order, compared as std::string compares, is the order in which
// the list shows display names.
using SortKeyOf = std::function<std::string(std::string_view displayName)>;

// Empties `list` and adds one row for each subkey of the three places'
// Uninstall keys that has both a display name and an uninstall command, sorted
// by display name. Names that sort alike keep the order of the places, then
// the registry's.
void LoadUninstallEntries(RegistryStore& store, ListItems& list, const SortKeyOf& sortKey);

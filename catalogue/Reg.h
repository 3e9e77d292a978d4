#pragma once

#include <string>
#include <string_view>

#include "RegistryStore.h"

// The text of a REG_SZ or REG_EXPAND_SZ value, cut at its first NUL; on any
// failure, and for every other type, `defaultText`. Opens and closes its own key.
std::string ReadRegString(RegistryStore& store, RegRoot root, std::string_view keyPath,
                          std::string_view valueName, std::string_view defaultText);

// The same, from a key the caller holds open.
std::string ReadRegString(const OpenedKey& key, std::string_view valueName, std::string_view defaultText);

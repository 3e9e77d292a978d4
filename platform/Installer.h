#pragma once

#include <set>
#include <string>
#include <string_view>

// Windows Installer's state of a product (MsiQueryProductState's number):
// INSTALLSTATE_UNKNOWN (-1) for a product it does not know, INSTALLSTATE_DEFAULT
// (5) for one installed for this user or the machine, and so on.
int QueryProductState(std::string_view productCode);

// The codes ("{...}", lower-cased) of the products registered for the machine
// and for the current user, read from Windows Installer's own keys in one
// pass; a product it knows may be missing here, never the other way round.
std::set<std::string> RegisteredProducts();

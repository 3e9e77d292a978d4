#pragma once

#include <string_view>

// Windows Installer's state of a product (MsiQueryProductState's number):
// INSTALLSTATE_UNKNOWN (-1) for a product it does not know, INSTALLSTATE_DEFAULT
// (5) for one installed for this user or the machine, and so on.
int QueryProductState(std::string_view productCode);

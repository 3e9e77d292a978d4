#include "Installer.h"

#include <windows.h>
#include <msi.h>

#include "RegistryStore.h"
#include "Text.h"
#include "Win32Registry.h"
#include "WinText.h"

namespace {

// Windows Installer names a product's keys by its code's 32 hex digits
// reordered: each of the first three groups reversed, then each pair of the
// last two swapped.
std::string ProductCodeOf(std::string_view packed)
{
    if (packed.size() != 32 || packed.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
        return {};
    std::string code = "{";
    const auto reversed = [&](size_t from, size_t count) {
        for (size_t at = from + count; at-- > from;)
            code += packed[at];
    };
    reversed(0, 8);
    code += '-';
    reversed(8, 4);
    code += '-';
    reversed(12, 4);
    for (size_t pair = 16; pair < 32; pair += 2) {
        if (pair == 16 || pair == 20)
            code += '-';
        code += packed[pair + 1];
        code += packed[pair];
    }
    return LowerAscii(code + "}");
}

}  // namespace

int QueryProductState(std::string_view productCode)
{
    // A NUL would have Windows Installer read a shorter, other code.
    if (productCode.find('\0') != std::string_view::npos)
        return INSTALLSTATE_INVALIDARG;
    return MsiQueryProductStateW(WideFromUtf8(productCode).c_str());
}

std::set<std::string> RegisteredProducts()
{
    // Products installed for the machine, and for this user alone.
    constexpr std::pair<RegRoot, std::string_view> kProductKeys[] = {
        {RegRoot::LocalMachine, "Software\\Classes\\Installer\\Products"},
        {RegRoot::CurrentUser, "Software\\Microsoft\\Installer\\Products"},
    };
    Win32Registry registry;
    std::set<std::string> codes;
    for (const auto& [root, path] : kProductKeys) {
        OpenedKey products(registry);
        if (products.OpenForEnumeration(root, path) != kRegSuccess)
            continue;
        std::string name;
        KeyTime written = 0;
        for (int index = 0; registry.EnumerateSubkey(products.Get(), index, name, written) == kRegSuccess; ++index) {
            if (std::string code = ProductCodeOf(name); !code.empty())
                codes.insert(std::move(code));
        }
    }
    return codes;
}

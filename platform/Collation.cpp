#include "Collation.h"

#include <windows.h>

#include "WinText.h"

std::string DisplayNameSortKey(std::string_view displayName)
{
    const std::wstring text = WideFromUtf8(displayName);
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE | SORT_DIGITSASNUMBERS;
    // For LCMAP_SORTKEY the sizes count bytes.
    const int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, text.c_str(), static_cast<int>(text.size()),
                                   nullptr, 0, nullptr, nullptr, 0);
    std::string key(static_cast<size_t>(size), '\0');
    if (size > 0 &&
        LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, text.c_str(), static_cast<int>(text.size()),
                      reinterpret_cast<wchar_t*>(key.data()), size, nullptr, nullptr, 0) == size)
        return key;
    // A name the locale cannot map still gets a place: in the order of its text.
    return std::string(displayName);
}

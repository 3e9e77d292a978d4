#include "Environment.h"

#include <cwchar>

#include <windows.h>

#include "WinText.h"

std::string ExpandEnvironment(std::string_view text)
{
    // Windows reads the text up to its first NUL and would expand only that.
    if (text.empty() || text.find('\0') != std::string_view::npos)
        return std::string(text);

    const std::wstring source = WideFromUtf8(text);
    std::wstring expanded(source.size() + 1, L'\0');
    for (;;) {
        const DWORD needed = ExpandEnvironmentStringsW(source.c_str(), expanded.data(),
                                                       static_cast<DWORD>(expanded.size()));
        if (needed == 0)
            return std::string(text);
        if (needed <= expanded.size())
            break;
        expanded.resize(needed);
    }
    expanded.resize(std::wcslen(expanded.c_str()));
    return Utf8FromWide(expanded);
}

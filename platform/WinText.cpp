#include "WinText.h"

#include "Text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

std::wstring WideFromUtf8(std::string_view text)
{
    const std::u16string units = Utf16FromUtf8(text);
    return std::wstring(units.begin(), units.end());
}

std::string Utf8FromWide(std::wstring_view text)
{
    return Utf8FromUtf16(std::u16string(text.begin(), text.end()));
}

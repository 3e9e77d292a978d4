#pragma once

#include <string>
#include <string_view>

// The program holds its texts as UTF-8; the registry and Windows speak UTF-16.
// Unpaired surrogates survive the round trip (encoded as three bytes each, the
// way WTF-8 does), so every key name that Windows can hold can be named back.
std::string Utf8FromUtf16(std::u16string_view text);
std::u16string Utf16FromUtf8(std::string_view text);

// Letters A to Z become a to z; every other character stays as it is.
std::string LowerAscii(std::string_view text);

#pragma once

#include <string>
#include <string_view>

// Windows' UTF-16 at the edge of the program; UTF-8 inside it.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

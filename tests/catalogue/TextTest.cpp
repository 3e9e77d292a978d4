#include <gtest/gtest.h>

#include "Text.h"

namespace {

// Both ways: characters at each edge of an encoded length, UTF-16 units with a
// zero byte, and lone surrogates, which Windows allows in names and which
// come back as three bytes each.
const std::pair<std::u16string_view, std::string_view> kBothWays[] = {
    {u"\u007F\u0080", "\x7F\xC2\x80"},
    {u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
    {u"\uFFFD\uFFFF", "\xEF\xBF\xBD\xEF\xBF\xBF"},
    {u"\U00010000\U0010FFFF", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
    {u"\u0100\u0200", "\xC4\x80\xC8\x80"},
    {u"a\xD800", "a\xED\xA0\x80"},
    {u"\xDBFF" "A\xDC00", "\xED\xAF\xBF" "A\xED\xB0\x80"},
    {u"\xDFFF\xD800\xD800", "\xED\xBF\xBF\xED\xA0\x80\xED\xA0\x80"},
};

// UTF-8 that no character encodes: each unusable lead byte, each cut or
// overlong sequence, each code past U+10FFFF becomes one U+FFFD.
const std::pair<std::string_view, std::u16string_view> kMalformed[] = {
    {"a\x80" "b\xBF", u"a\uFFFDb\uFFFD"},
    {"\xFC\x80\x80\x80\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"\xC0\xAF\xE0\x80\x80\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD"},
    {"\xF4\x90\x80\x80", u"\uFFFD"},
    {"\xE2\x82" "A\xF0\x9F\x9A", u"\uFFFDA\uFFFD"},
};

TEST(Text, ConvertsEveryCharacterAndLoneSurrogateAndReplacesMalformedUtf8)
{
    for (const auto& [utf16, utf8] : kBothWays) {
        EXPECT_EQ(Utf8FromUtf16(utf16), utf8);
        EXPECT_EQ(Utf16FromUtf8(utf8), utf16);
    }
    for (const auto& [utf8, utf16] : kMalformed)
        EXPECT_EQ(Utf16FromUtf8(utf8), utf16);
    EXPECT_EQ(LowerAscii("AZ xyz [@] ÄÖÜ ΣΕΤ"), "az xyz [@] ÄÖÜ ΣΕΤ");
}

}  // namespace

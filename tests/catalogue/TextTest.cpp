#include <gtest/gtest.h>

#include "Text.h"

TEST(Text, RoundTripsEveryKindOfUtf16AndReplacesMalformedUtf8)
{
    const std::u16string samples[] = {
        u"Ωμέγα Тест 测试",
        u"\U0001F680 rocket",                                // a surrogate pair
        std::u16string{u'a', char16_t(0xD800), u'b'},        // a lone high surrogate
        std::u16string{char16_t(0xDBFF), char16_t(0xD800)},  // two highs in a row
        std::u16string{char16_t(0xDC00)},                    // a lone low surrogate
    };
    for (const std::u16string& sample : samples)
        EXPECT_EQ(Utf16FromUtf8(Utf8FromUtf16(sample)), sample);
    EXPECT_EQ(Utf8FromUtf16(u"\U0001F680"), "\xF0\x9F\x9A\x80");

    EXPECT_EQ(Utf16FromUtf8("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf16FromUtf8("\xC3"), u"\uFFFD");              // cut short
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\uFFFD");          // overlong
    EXPECT_EQ(Utf16FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD");  // past U+10FFFF
    EXPECT_EQ(LowerAscii("ABC xyz [@] ÄÖÜ ΣΕΤ"), "abc xyz [@] ÄÖÜ ΣΕΤ");
}

#include <gtest/gtest.h>

#include "Text.h"

TEST(Text, ReplacesMalformedUtf8AndLowerCasesOnlyAToZ)
{
    EXPECT_EQ(Utf16FromUtf8("a\xFF" "b\xC3"), u"a\uFFFDb\uFFFD");          // a stray byte, a cut sequence
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF\xF4\x90\x80\x80"), u"\uFFFD\uFFFD");  // overlong, past U+10FFFF
    EXPECT_EQ(Utf8FromUtf16(u"\U0001F680"), "\xF0\x9F\x9A\x80");
    EXPECT_EQ(Utf8FromUtf16(u"\u07FF\u0800"), "\xDF\xBF\xE0\xA0\x80");
    EXPECT_EQ(LowerAscii("XYZ"), "xyz");
    EXPECT_EQ(LowerAscii("ABC xyz [@] ÄÖÜ ΣΕΤ"), "abc xyz [@] ÄÖÜ ΣΕΤ");
}

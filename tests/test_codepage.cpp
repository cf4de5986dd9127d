#include <gtest/gtest.h>

#include "base/CodePage.h"
#include "base/Round.h"

namespace quorvel {
namespace {

TEST(CodePage, RussianRoundTripsThroughEveryEncoding) {
    const std::string utf8 = "Съешь ещё этих мягких французских булок, ЁЖ №5";
    const std::string cp = Utf8ToCp1251(utf8);
    EXPECT_EQ(cp.size(), 46u);
    EXPECT_EQ(Cp1251ToUtf8(cp), utf8);
    EXPECT_EQ(Utf16ToCp1251(Cp1251ToUtf16(cp)), cp);
    EXPECT_EQ(static_cast<unsigned char>(Ru("№")[0]), 0xB9);
}

TEST(CodePage, EveryByteMapsBackToItself) {
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        EXPECT_EQ(UnicodeToCp1251(Cp1251ToUnicode(static_cast<unsigned char>(c))), c) << b;
    }
}

TEST(CodePage, BadInputBecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("a\xC3"), "a?");
    EXPECT_EQ(Utf8ToCp1251("\x80z"), "?z");
    EXPECT_EQ(Utf8ToCp1251("\xE4\xB8\xAD"), "?");  // outside the code page
    EXPECT_EQ(Utf16ToCp1251(u"\U0001F600x"), "?x");
    // Overlong forms: a NUL or a "<" in disguise would cut or break a saved file.
    EXPECT_EQ(Utf8ToCp1251("\xE0\x80\x80z"), "???z");
    EXPECT_EQ(Utf8ToCp1251("\xC0\xBC"), "??");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x82\x82\xAC"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
}

TEST(CodePage, UpperCaseCoversCyrillicAndYo) {
    EXPECT_EQ(Cp1251ToUtf8(UpperCase(Ru("привет, ёж! abc"))), "ПРИВЕТ, ЁЖ! ABC");
    EXPECT_EQ(Cp1251ToUtf8(LowerCase(Ru("ЁЖ ЯЩИК Ў"))), "ёж ящик ў");
}

TEST(CodePage, Utf16RoundTripsWholeUnicodeAndRepairsBadInput) {
    const std::string utf8 = "CQ de R3ABC \xD0\x96 \xE2\x82\xAC \xF0\x9F\x98\x80";
    const std::u16string wide = Utf8ToUtf16(utf8);
    EXPECT_EQ(wide, u"CQ de R3ABC \u0416 \u20AC \U0001F600");
    EXPECT_EQ(Utf16ToUtf8(wide), utf8);
    EXPECT_EQ(Utf8ToUtf16("a\xC3z"), u"a\uFFFDz");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // an encoded surrogate
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xD800}) + u"x"), "\xEF\xBF\xBDx");
}

TEST(RoundHalvesToEven, MatchesTheFramework) {
    EXPECT_EQ(Round(32767.5), 32768);
    EXPECT_EQ(Round(32768.5), 32768);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(0.49), 0);
    EXPECT_EQ(Round(50.0 / 100 * 65535), 32768);
}

}  // namespace
}  // namespace quorvel

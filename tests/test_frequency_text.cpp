// The dotted frequency text and the shortened hint text.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "plugin/FrequencyText.h"

namespace quorvel::testing {
namespace {

TEST(FrequencyText, DotsMegahertzAndKilohertz) {
    EXPECT_EQ(FrequencyText(1000000), "1.000.000");
    EXPECT_EQ(FrequencyText(9700000), "9.700.000");
    EXPECT_EQ(FrequencyText(14070000), "14.070.000");
    EXPECT_EQ(FrequencyText(144300000), "144.300.000");
    EXPECT_EQ(FrequencyText(1296012345), "1296.012.345");
    EXPECT_EQ(FrequencyText(INT32_MAX), "2147.483.647");
}

TEST(FrequencyText, BelowOneMegahertzInMegahertz) {
    EXPECT_EQ(FrequencyText(999999), "0.999999");
    EXPECT_EQ(FrequencyText(500000), "0.500000");
    EXPECT_EQ(FrequencyText(136000), "0.136000");
    // Short values keep their place value.
    EXPECT_EQ(FrequencyText(1500), "0.001500");
    EXPECT_EQ(FrequencyText(1), "0.000001");
}

TEST(FrequencyText, ZeroIsEmptyAndNegativeKeepsItsSign) {
    EXPECT_EQ(FrequencyText(0), "");
    EXPECT_EQ(FrequencyText(-1500), "-0.001500");
    EXPECT_EQ(FrequencyText(-14070000), "-14.070.000");
    EXPECT_EQ(FrequencyText(INT32_MIN), "-2147.483.648");
}

TEST(ShortenedText, CutsAtTheLimitWithThreeDots) {
    const std::string fifty(50, 'a');
    EXPECT_EQ(ShortenedText(fifty, 50), fifty);
    EXPECT_EQ(ShortenedText(fifty + "b", 50), std::string(47, 'a') + "...");
    EXPECT_EQ(ShortenedText(fifty + "b", 50).size(), 50u);

    EXPECT_EQ(ShortenedText("UA3ABC/P", 20), "UA3ABC/P");
    EXPECT_EQ(ShortenedText("ABCDEFGHIJKLMNOPQRSTU", 20), "ABCDEFGHIJKLMNOPQ...");
    EXPECT_EQ(ShortenedText("\xCF\xF0\xE8\xE2\xE5\xF2", 5), "\xCF\xF0...");  // cp1251 counted per character
    EXPECT_EQ(ShortenedText("", 20), "");
}

TEST(ShortenedText, TinyLimitsNeverUnderflow) {
    EXPECT_EQ(ShortenedText("abcdef", 3), "...");
    EXPECT_EQ(ShortenedText("abcdef", 0), "...");
    EXPECT_EQ(ShortenedText("ab", 2), "ab");
}

}  // namespace
}  // namespace quorvel::testing

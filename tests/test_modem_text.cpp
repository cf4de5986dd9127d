// The modem readout texts: numbers in the framework's general format with the
// system's decimal separator, the speed list's fixed ".", the sideband sum.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "modem/ModemText.h"

namespace quorvel {
namespace {

const char* const kSpeedItems[] = {"15.625", "20", "31.25", "45.45", "62.5", "75", "93.75",
                                   "100",    "110", "125",  "150",   "200",  "250", "500"};

TEST(ModemTextTest, TimingInMillisecondsFollowsTheLocaleSeparator) {
    EXPECT_EQ(TimingText(1234, 1, '.'), "12.34ms");
    EXPECT_EQ(TimingText(1234, 1, ','), "12,34ms");
    EXPECT_EQ(TimingText(1234, -1, '.'), "12.34ms");
    EXPECT_EQ(TimingText(-1234, 1, '.'), "-12.34ms");
    EXPECT_EQ(TimingText(1200, 1, ','), "12ms");
    EXPECT_EQ(TimingText(5, 1, ','), "0,05ms");
    EXPECT_EQ(TimingText(0, 1, '.'), "0ms");
}

TEST(ModemTextTest, TimingInPpmIsAWholeNumber) {
    EXPECT_EQ(TimingText(1234, 0, '.'), "1234ppm");
    EXPECT_EQ(TimingText(1234, 0, ','), "1234ppm");
    EXPECT_EQ(TimingText(-7, 0, '.'), "-7ppm");
    EXPECT_EQ(TimingText(std::numeric_limits<std::int32_t>::min(), 0, '.'), "-2147483648ppm");
}

TEST(ModemTextTest, GeneralFormatKeepsFifteenDigitsAndDropsTrailingZeros) {
    EXPECT_EQ(GeneralDecimalText(0.1 + 0.2, '.'), "0.3");
    EXPECT_EQ(GeneralDecimalText(1.0 / 3.0, '.'), "0.333333333333333");
    EXPECT_EQ(GeneralDecimalText(2.0 / 3.0, ','), "0,666666666666667");
    EXPECT_EQ(GeneralDecimalText(-2.5, '.'), "-2.5");
    EXPECT_EQ(GeneralDecimalText(0.0, '.'), "0");
    EXPECT_EQ(GeneralDecimalText(-0.0, '.'), "0");
    EXPECT_EQ(GeneralDecimalText(100.0, '.'), "100");
    EXPECT_EQ(GeneralDecimalText(123456789012345.0, '.'), "123456789012345");
}

TEST(ModemTextTest, GeneralFormatTurnsScientificOutsideTheFixedRange) {
    EXPECT_EQ(GeneralDecimalText(1e15, '.'), "1E15");
    EXPECT_EQ(GeneralDecimalText(1.25e20, ','), "1,25E20");
    EXPECT_EQ(GeneralDecimalText(0.00001, '.'), "0.00001");
    EXPECT_EQ(GeneralDecimalText(0.000012, '.'), "0.000012");
    EXPECT_EQ(GeneralDecimalText(0.000001, '.'), "1E-6");
    EXPECT_EQ(GeneralDecimalText(-1.5e-6, ','), "-1,5E-6");
    // Rounding to 15 digits can carry into the next power of ten.
    EXPECT_EQ(GeneralDecimalText(999999999999999.9, '.'), "1E15");
    EXPECT_EQ(GeneralDecimalText(std::nan(""), '.'), "NAN");
    EXPECT_EQ(GeneralDecimalText(-std::numeric_limits<double>::infinity(), '.'), "-INF");
}

TEST(ModemTextTest, EverySpeedItemSurvivesTheEngineRoundTripInEitherLocale) {
    for (char separator : {'.', ','}) {
        for (const char* item : kSpeedItems) {
            const auto value = ParseSpeedText(item, separator);
            ASSERT_TRUE(value.has_value()) << item << " with " << separator;
            EXPECT_EQ(SpeedText(*value, separator), item) << "with " << separator;
        }
    }
    EXPECT_DOUBLE_EQ(*ParseSpeedText("45.45", ','), 45.45);
    EXPECT_DOUBLE_EQ(*ParseSpeedText("15.625", '.'), 15.625);
}

TEST(ModemTextTest, ReportedSpeedsOutsideTheListHaveTheirOwnText) {
    EXPECT_EQ(SpeedText(33.0, ','), "33");
    EXPECT_EQ(SpeedText(31.2500001, ','), "31.2500001");
    EXPECT_EQ(SpeedText(1.0 / 3.0, ','), "0.333333333333333");
}

TEST(ModemTextTest, UnreadableSpeedTextGivesNothing) {
    EXPECT_FALSE(ParseSpeedText("", '.'));
    EXPECT_FALSE(ParseSpeedText("   ", ','));
    EXPECT_FALSE(ParseSpeedText("fast", '.'));
    EXPECT_FALSE(ParseSpeedText("31.25.5", '.'));
    EXPECT_FALSE(ParseSpeedText("+", '.'));
    EXPECT_FALSE(ParseSpeedText("inf", '.'));
    // In a "." locale a comma is not a decimal point, in a "," locale it is.
    EXPECT_FALSE(ParseSpeedText("1,5", '.'));
    EXPECT_DOUBLE_EQ(*ParseSpeedText("1,5", ','), 1.5);
    EXPECT_DOUBLE_EQ(*ParseSpeedText(" 62.5 ", ','), 62.5);
}

TEST(ModemTextTest, SignalToNoiseRoundsHalvesToEven) {
    EXPECT_EQ(SignalToNoiseText(12.4), "S/N=12dB");
    EXPECT_EQ(SignalToNoiseText(12.5), "S/N=12dB");
    EXPECT_EQ(SignalToNoiseText(13.5), "S/N=14dB");
    EXPECT_EQ(SignalToNoiseText(-3.6), "S/N=-4dB");
    EXPECT_EQ(SignalToNoiseText(std::nan("")), "S/N=0dB");
    EXPECT_EQ(SignalToNoiseText(1e300), "S/N=2147483647dB");
}

TEST(ModemTextTest, SignalFrequencyAddsTheCarrierOnUpperAndSubtractsOnLower) {
    EXPECT_EQ(SignalFrequency(14070000, 1750, true), 14071750);
    EXPECT_EQ(SignalFrequency(14070000, 1750, false), 14068250);
    EXPECT_EQ(SignalFrequency(7035000, 0, false), 7035000);
    EXPECT_EQ(SignalFrequency(1000, 3000, false), -2000);
    EXPECT_EQ(SignalFrequency(std::numeric_limits<std::int32_t>::max() - 10, 3000, true),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(SignalFrequency(std::numeric_limits<std::int32_t>::min() + 10, 3000, false),
              std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace quorvel

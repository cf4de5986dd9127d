#include <gtest/gtest.h>

#include "ModemTestSupport.h"
#include "Varicode.h"

namespace quorvel::modem {
namespace {

using test::AirPath;
using test::SendOverAir;

const int kBpsk = ModeIndex("bpsk");
const std::string kText = "CQ CQ de DL1ABC pse k\r\n0123456789 the quick brown fox /?=+";

TEST(Varicode, StandardWordsAndTheExtensionAreValidAndDistinct) {
    const TVaricode& v = TVaricode::Extended();
    EXPECT_EQ(v.Encode(' ').bits, 0b1);
    EXPECT_EQ(v.Encode('e').bits, 0b11);
    EXPECT_EQ(v.Encode('\r').bits, 0b11111);
    EXPECT_EQ(v.Encode(0).bits, 0b1010101011);
    EXPECT_EQ(v.Encode(0x7F).bits, 0b1110110101);
    for (unsigned c = 0; c < 256; ++c) {
        const auto w = v.Encode(static_cast<std::uint8_t>(c));
        ASSERT_GT(w.length, 0u) << c;
        EXPECT_EQ(w.bits & 1u, 1u) << c;
        EXPECT_EQ(w.bits >> (w.length - 1), 1u) << c;
        for (unsigned i = 0; i + 1 < w.length; ++i) EXPECT_NE((w.bits >> i) & 3u, 0u) << c;
        EXPECT_EQ(v.Decode(w.bits), static_cast<int>(c));
    }
    // The standard alphabet shares the lower half and knows nothing above.
    const TVaricode& standard = TVaricode::Standard();
    for (unsigned c = 0; c < 128; ++c) EXPECT_EQ(standard.Encode(static_cast<std::uint8_t>(c)).bits, v.Encode(static_cast<std::uint8_t>(c)).bits);
    EXPECT_EQ(standard.Encode(0xC0).length, 0u);
    EXPECT_EQ(standard.Decode(v.Encode(0xC0).bits), -1);
}

TEST(Varicode, DecoderDropsWordsTooLongForTheAlphabet) {
    TVaricodeDecoder d(TVaricode::Standard());
    for (int i = 0; i < 40; ++i) EXPECT_EQ(d.Bit(true), -1);
    EXPECT_EQ(d.Bit(false), -1);
    EXPECT_EQ(d.Bit(false), -1);  // separator after noise: nothing printed
    int got = -1;
    for (bool b : {true, true, false, false}) got = std::max(got, d.Bit(b));
    EXPECT_EQ(got, 'e');
}

TEST(PskModem, EveryStandardSpeedCopiesExactly) {
    for (double baud : {31.25, 62.5, 125.0, 250.0, 500.0}) {
        AirPath p;
        p.baud = baud;
        p.snrDb = 10;
        const auto r = SendOverAir(kBpsk, kText, p);
        EXPECT_EQ(r.decoded, kText) << baud;
    }
}

TEST(PskModem, QpskBothSidebandsAndTheCodePage) {
    for (const char* mode : {"qpsk-U", "qpsk-L"}) {
        AirPath p;
        p.snrDb = 5;
        const auto r = SendOverAir(ModeIndex(mode), kText + kText, p);
        EXPECT_EQ(r.decoded, kText + kText) << mode;
    }
    // "BPSK" carries the whole code page; standard "bpsk" only its lower half.
    const std::string cyrillic = "\xcf\xf0\xe8\xe2\xe5\xf2 73 \xc0\xc1\xc2\xff";
    AirPath p;
    EXPECT_EQ(SendOverAir(ModeIndex("BPSK"), cyrillic + kText, p).decoded, cyrillic + kText);
    EXPECT_EQ(SendOverAir(ModeIndex("bpsk"), cyrillic + kText, p).decoded, " 73 " + kText);
}

TEST(PskModem, WrongSidebandDoesNotCopyQpsk) {
    const int upper = ModeIndex("qpsk-U"), lower = ModeIndex("qpsk-L");
    auto tx = MakeModulator(upper, SettingsFor(upper, kNominalSampleRate, 1500, 31.25));
    auto rx = MakeDemodulator(lower, SettingsFor(lower, kNominalSampleRate, 1500, 31.25));
    std::string got;
    rx->OnDecoded([&](std::uint8_t c) { got.push_back(static_cast<char>(c)); });
    for (char c : kText) tx->PutChar(static_cast<std::uint8_t>(c));
    tx->Finish();
    std::vector<float> block(1024);
    while (!tx->Finished()) rx->Process(std::span<const float>(block.data(), tx->Generate(block)));
    EXPECT_NE(got, kText);
}

TEST(PskModem, AfcPullsAStationFortyHertzOffWithinThreeSeconds) {
    AirPath p;
    p.offsetHz = 40;
    p.afc = true;
    p.snrDb = 10;
    p.leadSeconds = 0;
    const std::string text(60, 'e');
    const auto r = SendOverAir(kBpsk, "CQ CQ CQ " + text, p);
    ASSERT_FALSE(r.charTimes.empty());
    // Copy within 3 s: after the preamble, the text is on screen well before.
    EXPECT_NE(r.decoded.find("eeeeeeeeee"), std::string::npos) << r.decoded;
    std::size_t firstGood = r.decoded.find("CQ");
    if (firstGood == std::string::npos) firstGood = r.decoded.find("eeee");
    ASSERT_NE(firstGood, std::string::npos);
    EXPECT_LT(r.charTimes[firstGood], 3.0) << r.decoded;
    EXPECT_NEAR(r.carrier, 1540, 2);
}

TEST(PskModem, AtcFollowsAClockOffsetAndNoiseAloneStaysQuiet) {
    AirPath p;
    p.clockPpm = 300;
    p.atc = true;
    p.snrDb = 0;
    EXPECT_EQ(SendOverAir(kBpsk, kText + kText, p).decoded, kText + kText);

    for (const char* mode : {"bpsk", "qpsk-U"}) {
        auto rx = MakeDemodulator(ModeIndex(mode), SettingsFor(ModeIndex(mode), kNominalSampleRate, 1500, 31.25));
        std::string got;
        rx->OnDecoded([&](std::uint8_t c) { got.push_back(static_cast<char>(c)); });
        std::vector<float> hiss(static_cast<std::size_t>(60 * kNominalSampleRate), 0.0f);
        TNoise(7).Add(hiss, 0.3);
        rx->Process(hiss);
        EXPECT_EQ(got, "") << mode;
        EXPECT_LT(rx->SignalToNoise(), 4.0) << mode;
    }
}

}  // namespace
}  // namespace quorvel::modem

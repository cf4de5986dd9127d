#include <gtest/gtest.h>

#include "ModemTestSupport.h"
#include "rtty/Rtty.h"

namespace quorvel::modem {
namespace {

using test::AirPath;
using test::SendOverAir;

TEST(Baudot, EveryShiftCaseRoundTrips) {
    const int mode = ModeIndex("rtty-U");
    AirPath p;
    p.baud = 45.45;
    p.snrDb = 10;
    // Figures after a space need their FIGS again (unshift on space); CR and
    // LF keep the shift; lower case goes out in capitals.
    const std::string sent = "RYRY 599 5NN 73 de dl1abc/p 1-2 (A=B)? 3.5 $7! '8'\r\nK K";
    const std::string expected = "RYRY 599 5NN 73 DE DL1ABC/P 1-2 (A=B)? 3.5 $7! '8'\r\nK K";
    EXPECT_EQ(SendOverAir(mode, sent, p).decoded, expected);
    for (double baud : {50.0, 75.0, 100.0}) {
        p.baud = baud;
        EXPECT_EQ(SendOverAir(mode, "CQ TEST 123", p).decoded, "CQ TEST 123") << baud;
    }
}

TEST(Baudot, SidebandsSwapMarkAndSpace) {
    AirPath p;
    p.baud = 45.45;
    EXPECT_EQ(SendOverAir(ModeIndex("rtty-L"), "LSB 123", p).decoded, "LSB 123");
    // The other sense decodes nothing sensible.
    const int upper = ModeIndex("rtty-U"), lower = ModeIndex("rtty-L");
    auto tx = MakeModulator(upper, SettingsFor(upper, kNominalSampleRate, 1500, 45.45));
    auto rx = MakeDemodulator(lower, SettingsFor(lower, kNominalSampleRate, 1500, 45.45));
    std::string got;
    rx->OnDecoded([&](std::uint8_t c) { got.push_back(static_cast<char>(c)); });
    for (char c : std::string("CQ CQ CQ DE DL1ABC")) tx->PutChar(static_cast<std::uint8_t>(c));
    tx->Finish();
    std::vector<float> block(1024);
    while (!tx->Finished()) rx->Process(std::span<const float>(block.data(), tx->Generate(block)));
    EXPECT_NE(got, "CQ CQ CQ DE DL1ABC");
}

TEST(Baudot, EchoComesForEveryCharacterEvenWithoutACode) {
    auto tx = MakeModulator(ModeIndex("rtty-U"), SettingsFor(ModeIndex("rtty-U"), kNominalSampleRate, 1500, 45.45));
    std::string echo;
    tx->OnCharStarted([&](std::uint8_t c) { echo.push_back(static_cast<char>(c)); });
    const std::string text = "A\xc0" "1 b";
    for (char c : text) tx->PutChar(static_cast<std::uint8_t>(c));
    tx->Finish();
    std::vector<float> block(1024);
    std::size_t samples = 0;
    while (!tx->Finished()) samples += tx->Generate(block);
    EXPECT_EQ(echo, text);
    // 6 LTRS, A, FIGS 1, space, B (no LTRS: unshift on space), 3 LTRS: 14
    // frames of 7.5 bits, and a fade.
    EXPECT_NEAR(static_cast<double>(samples) / kNominalSampleRate, (14 * 7.5 + 0.5) / 45.45, 0.05);
}

TEST(Baudot, NoiseAloneAndAfcOffset) {
    auto rx = MakeDemodulator(ModeIndex("rtty-U"), SettingsFor(ModeIndex("rtty-U"), kNominalSampleRate, 1500, 45.45));
    std::string got;
    rx->OnDecoded([&](std::uint8_t c) { got.push_back(static_cast<char>(c)); });
    std::vector<float> hiss(static_cast<std::size_t>(20 * kNominalSampleRate), 0.0f);
    TNoise(3).Add(hiss, 0.3);
    rx->Process(hiss);
    EXPECT_EQ(got, "");

    AirPath p;
    p.baud = 45.45;
    p.offsetHz = 15;
    p.afc = true;
    p.snrDb = 5;
    const auto r = SendOverAir(ModeIndex("rtty-U"), "RYRYRYRYRY CQ CQ DE DL1ABC DL1ABC K", p);
    EXPECT_NE(r.decoded.find("CQ CQ DE DL1ABC DL1ABC K"), std::string::npos) << r.decoded;
    EXPECT_NEAR(r.carrier, 1515, 5);
}

}  // namespace
}  // namespace quorvel::modem

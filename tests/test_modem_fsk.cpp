#include <gtest/gtest.h>

#include "ModemTestSupport.h"

namespace quorvel::modem {
namespace {

using test::AirPath;
using test::SendOverAir;

const std::string kText = "CQ de UA3ABC \xcf\xf0\xe8\xe2\xe5\xf2 73! eeeee 0123\r\n";

TEST(FskModes, EachWidthCopiesTheWholeCodePage) {
    for (const char* mode : {"GMSK", "FSK", "FSK-W"}) {
        for (double baud : {31.25, 125.0}) {
            AirPath p;
            p.baud = baud;
            p.snrDb = 10;
            EXPECT_EQ(SendOverAir(ModeIndex(mode), kText, p).decoded, kText) << mode << " " << baud;
        }
    }
}

TEST(FskModes, AfcAndAtcFollowAnOffStation) {
    AirPath p;
    p.offsetHz = 8;
    p.clockPpm = 200;
    p.afc = p.atc = true;
    p.snrDb = 10;
    const auto r = SendOverAir(ModeIndex("FSK-W"), "RYRYRYRY " + kText + kText, p);
    EXPECT_NE(r.decoded.find(kText + kText), std::string::npos) << r.decoded;
    EXPECT_NEAR(r.carrier, 1508, 2);
}

TEST(FskModes, NoiseAloneStaysQuiet) {
    for (const char* mode : {"GMSK", "FSK", "FSK-W"}) {
        auto rx = MakeDemodulator(ModeIndex(mode), SettingsFor(ModeIndex(mode), kNominalSampleRate, 1500, 31.25));
        std::string got;
        rx->OnDecoded([&](std::uint8_t c) { got.push_back(static_cast<char>(c)); });
        std::vector<float> hiss(static_cast<std::size_t>(20 * kNominalSampleRate), 0.0f);
        TNoise(11).Add(hiss, 0.3);
        rx->Process(hiss);
        EXPECT_EQ(got, "") << mode;
    }
}

}  // namespace
}  // namespace quorvel::modem

// MFSK end to end at the engine's nominal rate: text through the modulator,
// a noisy channel and the demodulator; sideband, tuning, echo and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "modem/mfsk/Mfsk.h"

namespace quorvel::modem {
namespace {

ModemSettings Settings(double baud, Sideband sb, double carrier = 1500) {
    ModemSettings s;
    s.sampleRate = kNominalSampleRate;
    s.baud = baud;
    s.sideband = sb;
    s.carrier = carrier;
    return s;
}

std::vector<float> Transmit(const ModemSettings& s, const std::string& text, std::string* echo = nullptr) {
    auto mod = MakeMfskModulator(s);
    if (echo) mod->OnCharStarted([echo](std::uint8_t c) { echo->push_back(static_cast<char>(c)); });
    for (char c : text) mod->PutChar(static_cast<std::uint8_t>(c));
    mod->Finish();
    std::vector<float> audio;
    std::vector<float> block(1000);
    while (!mod->Finished()) {
        const std::size_t n = mod->Generate(block);
        audio.insert(audio.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
        if (n < block.size()) break;
    }
    return audio;
}

// White noise whose power in 3000 Hz is snrDb below the signal's (a unit sine).
void AddNoise(std::vector<float>& audio, double snrDb, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> gauss;
    const double sigma = std::sqrt(0.5 / std::pow(10.0, snrDb / 10) * (kNominalSampleRate / 2) / 3000);
    for (auto& x : audio) x = static_cast<float>(x + sigma * gauss(rng));
}

struct Received {
    std::string text;
    double snr = 0;
    double carrier = 0;
};

Received Receive(const ModemSettings& s, const std::vector<float>& audio, bool afc = false) {
    auto dem = MakeMfskDemodulator(s);
    dem->SetAfc(afc, 50, 0);
    Received r;
    dem->OnDecoded([&r](std::uint8_t c) { r.text.push_back(static_cast<char>(c)); });
    constexpr std::size_t kBlock = 512;  // the engine's blocks are small and uneven
    for (std::size_t at = 0; at < audio.size(); at += kBlock)
        dem->Process(std::span<const float>(audio).subspan(at, std::min(kBlock, audio.size() - at)));
    r.snr = dem->SignalToNoise();
    r.carrier = dem->Carrier();
    return r;
}

const std::string kText = "CQ CQ de RA3XYZ pse k\r\xcf\xf0\xe8\xe2\xe5\xf2 73!";

TEST(MfskModemTest, EachStandardSpeedCarriesTextExactly) {
    for (double baud : {15.625, 31.25, 62.5}) {
        const auto s = Settings(baud, Sideband::Upper);
        auto audio = Transmit(s, kText);
        AddNoise(audio, 10, 1);
        const auto r = Receive(s, audio);
        EXPECT_EQ(r.text, kText) << baud;
        EXPECT_GT(r.snr, 5) << baud;
    }
}

TEST(MfskModemTest, ScaledSpeedWorksToo) {
    const auto s = Settings(45.45, Sideband::Lower, 1200);
    auto audio = Transmit(s, kText);
    AddNoise(audio, 10, 2);
    EXPECT_EQ(Receive(s, audio).text, kText);
}

TEST(MfskModemTest, WeakSignalNearTheLimitStillCopies) {
    const auto s = Settings(15.625, Sideband::Upper);
    auto audio = Transmit(s, kText);
    AddNoise(audio, -12, 3);
    EXPECT_EQ(Receive(s, audio).text, kText);
}

TEST(MfskModemTest, EachSidebandDecodesItsOwnSignalOnly) {
    for (auto sent : {Sideband::Lower, Sideband::Upper}) {
        const auto other = sent == Sideband::Lower ? Sideband::Upper : Sideband::Lower;
        auto audio = Transmit(Settings(15.625, sent), kText);
        AddNoise(audio, 10, 4);
        EXPECT_EQ(Receive(Settings(15.625, sent), audio).text, kText);
        const auto wrong = Receive(Settings(15.625, other), audio).text;
        EXPECT_LT(wrong.size(), 3u) << wrong;
    }
}

TEST(MfskModemTest, NoiseAloneDecodesNothingAndReadsLow) {
    std::vector<float> audio(static_cast<std::size_t>(20 * kNominalSampleRate), 0.0f);
    AddNoise(audio, 0, 5);
    const auto r = Receive(Settings(15.625, Sideband::Upper), audio);
    EXPECT_EQ(r.text, "");
    EXPECT_LT(r.snr, 0);

    std::vector<float> silence(static_cast<std::size_t>(2 * kNominalSampleRate), 0.0f);
    const auto quiet = Receive(Settings(15.625, Sideband::Upper), silence);
    EXPECT_TRUE(std::isfinite(quiet.snr));
    EXPECT_EQ(quiet.text, "");
}

TEST(MfskModemTest, NonFiniteSamplesDoNotStopTheReceiver) {
    const auto s = Settings(31.25, Sideband::Upper);
    auto audio = Transmit(s, kText);
    AddNoise(audio, 10, 8);
    std::vector<float> spoilt(300, std::nanf(""));
    spoilt[7] = std::numeric_limits<float>::infinity();
    audio.insert(audio.begin(), spoilt.begin(), spoilt.end());
    const auto r = Receive(s, audio);
    EXPECT_EQ(r.text, kText);
    EXPECT_TRUE(std::isfinite(r.snr));
}

TEST(MfskModemTest, AfcPullsAMistunedReceiverOntoTheSignal) {
    auto audio = Transmit(Settings(15.625, Sideband::Upper, 1500), kText);
    AddNoise(audio, 10, 6);
    for (double tuned : {1507.0, 1494.0, 1530.0}) {
        const auto r = Receive(Settings(15.625, Sideband::Upper, tuned), audio, true);
        EXPECT_EQ(r.text, kText) << tuned;
        EXPECT_NEAR(r.carrier, 1500, 2) << tuned;
    }
    // Without AFC the receiver stays where it was put.
    EXPECT_NE(Receive(Settings(15.625, Sideband::Upper, 1530), audio).text, kText);
}

TEST(MfskModemTest, FollowsASenderWhoseClockRunsFast) {
    // The sender's sound card is 500 ppm fast: its symbols are that much short.
    auto tx = Settings(15.625, Sideband::Upper);
    tx.sampleRate = kNominalSampleRate * (1 - 500e-6);
    std::string text;
    for (int i = 0; i < 6; ++i) text += kText;
    auto audio = Transmit(tx, text);
    AddNoise(audio, 10, 7);
    auto dem = MakeMfskDemodulator(Settings(15.625, Sideband::Upper));
    dem->SetAtc(true);
    std::string got;
    dem->OnDecoded([&got](std::uint8_t c) { got.push_back(static_cast<char>(c)); });
    dem->Process(audio);
    EXPECT_EQ(got, text);
    EXPECT_NEAR(dem->ClockErrorPpm(), 500, 200);
}

TEST(MfskModemTest, EchoReportsEveryCharacterOnceInOrder) {
    const auto s = Settings(31.25, Sideband::Upper);
    auto mod = MakeMfskModulator(s);
    std::string echo;
    mod->OnCharStarted([&echo](std::uint8_t c) { echo.push_back(static_cast<char>(c)); });
    for (char c : std::string("abc")) mod->PutChar(static_cast<std::uint8_t>(c));
    EXPECT_EQ(mod->Pending(), 3u);
    std::vector<float> block(2048);
    // The preamble goes first; then the queue drains while idle fill follows.
    for (int i = 0; i < 20; ++i) EXPECT_EQ(mod->Generate(block), block.size());
    EXPECT_EQ(echo, "abc");
    EXPECT_EQ(mod->Pending(), 0u);
    EXPECT_FALSE(mod->Finished());
    mod->PutChar('d');
    mod->Finish();
    std::size_t n = 0;
    while (!mod->Finished() && (n = mod->Generate(block)) == block.size()) {
    }
    EXPECT_TRUE(mod->Finished());
    EXPECT_LT(n, block.size());
    EXPECT_EQ(echo, "abcd");
    for (float x : block) EXPECT_LE(std::abs(x), 1.0f);
}

TEST(MfskModemTest, TextQueuedAfterFinishIsStillSentAndClosed) {
    const auto s = Settings(31.25, Sideband::Upper);
    auto mod = MakeMfskModulator(s);
    for (char c : std::string("first")) mod->PutChar(static_cast<std::uint8_t>(c));
    mod->Finish();
    std::vector<float> audio, block(1000);
    bool added = false;
    while (!mod->Finished()) {
        const std::size_t n = mod->Generate(block);
        audio.insert(audio.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
        // Into the closing flush, more text arrives.
        if (!added && audio.size() > static_cast<std::size_t>(1.5 * kNominalSampleRate)) {
            for (char c : std::string(" more")) mod->PutChar(static_cast<std::uint8_t>(c));
            added = true;
        }
    }
    EXPECT_EQ(Receive(s, audio).text, "first more");
}

TEST(MfskModemTest, RefusesSettingsItCannotRun) {
    for (double baud : {0.0, -15.625, std::nan(""), 500.0}) {
        EXPECT_THROW(MakeMfskModulator(Settings(baud, Sideband::Upper)), std::invalid_argument) << baud;
        EXPECT_THROW(MakeMfskDemodulator(Settings(baud, Sideband::Upper)), std::invalid_argument) << baud;
    }
    auto s = Settings(15.625, Sideband::Upper);
    s.sampleRate = 0;
    EXPECT_THROW(MakeMfskDemodulator(s), std::invalid_argument);
    EXPECT_EQ(MfskProfileFor(15.625).onAirName, "MFSK16");
    EXPECT_EQ(MfskProfileFor(31.25).onAirName, "MFSK32");
    EXPECT_EQ(MfskProfileFor(62.5).onAirName, "MFSK64");
    EXPECT_EQ(MfskProfileFor(20).onAirName, "");
    EXPECT_EQ(MfskProfileFor(125).interleaverDepth, 20);
}

}  // namespace
}  // namespace quorvel::modem

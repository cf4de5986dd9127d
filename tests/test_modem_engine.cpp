#include <gtest/gtest.h>

#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>
#include <numbers>

#include "DspEngine.h"
#include "Modes.h"
#include "SimDispatcher.h"
#include "WavFile.h"

namespace quorvel::modem {
namespace {

struct Recorder final : IModemEngineEvents {
    TModemEngine* engine = nullptr;
    std::array<std::string, 5> rx;
    std::string echo;
    std::vector<std::string> log;
    std::vector<std::int32_t> errors;
    std::vector<std::uint16_t> txCarriers;
    std::string feed;  // characters handed out on request
    std::size_t drawn = 0;
    void OnRxChar(std::int16_t ch, const std::u16string&, std::uint16_t w) override {
        if (engine->bTX() && ch == 0) {
            echo.push_back(static_cast<char>(w));
            log.push_back("echo");
        } else {
            rx[static_cast<std::size_t>(ch)].push_back(static_cast<char>(w));
        }
    }
    void OnTxState(std::int16_t s) override { log.push_back("state " + std::to_string(s) + (engine->bTX() ? " tx" : " rx")); }
    void OnGetTxChar(std::uint16_t& w) override {
        if (feed.empty()) return;
        w = static_cast<unsigned char>(feed.front());
        feed.erase(0, 1);
    }
    void OnError(std::int32_t code) override { errors.push_back(code); }
    void OnTxCarrier(std::uint16_t hz) override { txCarriers.push_back(hz); }
    void OnTiming(std::int16_t ch, std::int32_t ppm, std::int16_t unit) override {
        if (ch == 0 && unit == 0) lastPpm = ppm;
    }
    std::int32_t lastPpm = 0;
    void OnDrawFFT(std::uint16_t, const std::int16_t*) override { ++drawn; }
};

struct Capture final : IAudioOutput {
    std::vector<float>* samples;
    explicit Capture(std::vector<float>* s) : samples(s) {}
    void Write(std::span<const float> block) override { samples->insert(samples->end(), block.begin(), block.end()); }
};

struct Tones final : IAudioInput {
    std::vector<double> hz;
    double t = 0;
    std::size_t Read(std::span<float> out) override {
        for (float& s : out) {
            s = 0;
            for (double f : hz) s += static_cast<float>(0.2 * std::sin(2 * std::numbers::pi * f * t));
            t += 1 / kNominalSampleRate;
        }
        return out.size();
    }
};

// A float WAV of 8 kHz mono, built in memory.
std::string FloatWav(const std::vector<float>& samples) {
    auto u32 = [](std::string& s, std::uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::string& s, std::uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); };
    const auto bytes = static_cast<std::uint32_t>(samples.size() * 4);
    std::string w = "RIFF";
    u32(w, 36 + bytes);
    w += "WAVEfmt ";
    u32(w, 16);
    u16(w, 3);  // IEEE float
    u16(w, 1);
    u32(w, 8000);
    u32(w, 32000);
    u16(w, 4);
    u16(w, 32);
    w += "data";
    u32(w, bytes);
    w.append(reinterpret_cast<const char*>(samples.data()), bytes);
    return w;
}

TEST(WavFromMemory, ReadsResampledAndClipsWhatNoConverterCouldGive) {
    std::vector<float> in(8000, 0.25f);
    in[100] = std::nanf("");
    in[200] = INFINITY;
    in[300] = 1e30f;
    const std::string bytes = FloatWav(in);
    TWavReader reader(bytes, kNominalSampleRate, "memory.wav");
    EXPECT_EQ(reader.FileRate(), 8000);
    std::vector<float> out(20000);
    const std::size_t n = reader.Read(out);
    EXPECT_NEAR(static_cast<double>(n), kNominalSampleRate, 16);  // one second at the engine's rate
    for (std::size_t i = 0; i < n; ++i) {
        ASSERT_TRUE(std::isfinite(out[i])) << i;
        ASSERT_LE(std::abs(out[i]), 1.2f) << i;
    }
    EXPECT_NEAR(out[n / 2], 0.25f, 0.01f);
    EXPECT_EQ(reader.Read(out), 0u);

    EXPECT_THROW(TWavReader(std::string_view("RIFF\0\0\0\0WAVE", 12), kNominalSampleRate, "bad.wav"),
                 std::runtime_error);
}

class ModemEngine : public ::testing::Test {
protected:
    sim::TSimDispatcher clock;
    TDspModemEngine engine{clock};
    Recorder events;
    void SetUp() override {
        events.engine = &engine;
        engine.SetEvents(&events);
        engine.set_bActive(OleTrue);
    }
    void Run(double seconds) { clock.Advance(static_cast<std::int64_t>(seconds * 1000)); }
    // Level of the input spectrum at hz, dB.
    double LevelAt(double hz) const {
        const auto& d = engine.Display();
        return d.spectrum.at(static_cast<std::size_t>(std::lround(hz / d.binHz))) / 100.0;
    }
};

TEST_F(ModemEngine, TransmitEchoesEachCharacterBeforeReturningToReceive) {
    std::vector<float> air;
    engine.SetOutput(std::make_unique<Capture>(&air));
    engine.set_wTxCarrier(1200);
    engine.SendText(u"CQ DE DL1ABC");
    engine.SetTxState(TxStateTransmit);
    Run(1);
    engine.SendChar('K');
    engine.SetTxState(TxStateEnd);
    EXPECT_TRUE(engine.bTX());
    Run(10);
    EXPECT_EQ(events.echo, "CQ DE DL1ABCK");
    ASSERT_GE(events.log.size(), 3u);
    EXPECT_EQ(events.log.front(), "state 1 tx");
    EXPECT_EQ(events.log.back(), "state 0 rx");
    EXPECT_EQ(events.log[events.log.size() - 2], "echo");  // the last echo comes first
    EXPECT_FALSE(engine.bTX());
    EXPECT_EQ(engine.SentText(), "CQ DE DL1ABCK");

    // What went on the air is a real signal: an independent receiver copies it.
    auto rx = MakeDemodulator(4, SettingsFor(4, kNominalSampleRate, 1200, 31.25));
    std::string copied;
    rx->OnDecoded([&](std::uint8_t c) { copied.push_back(static_cast<char>(c)); });
    air.resize(air.size() + 11025, 0.0f);
    rx->Process(air);
    EXPECT_EQ(copied, "CQ DE DL1ABCK");
    // The output level follows wModGain: half scale at 16384.
    float peak = 0;
    for (float s : air) peak = std::max(peak, std::abs(s));
    EXPECT_NEAR(peak, 0.5f, 0.02f);
    // Nothing of the station's own signal was heard as received text.
    EXPECT_EQ(events.rx[0], "");
}

TEST_F(ModemEngine, FeedModeAsksForCharactersAndReceiveStopsAtOnce) {
    events.feed = "TEST";
    engine.SetTxState(TxStateTransmit);
    Run(4);
    EXPECT_EQ(events.echo, "TEST");
    EXPECT_TRUE(engine.bTX());  // idles until told to end
    engine.SetTxState(TxStateReceive);
    EXPECT_FALSE(engine.bTX());
    Run(0.1);
    EXPECT_EQ(events.log.back(), "state 0 rx");
}

TEST_F(ModemEngine, FiveChannelsDecodeFiveStationsAtOnce) {
    const std::array<const char*, 5> modes = {"bpsk", "qpsk-U", "rtty-U", "BPSK", "bpsk"};
    const std::array<double, 5> speeds = {31.25, 31.25, 45.45, 31.25, 62.5};
    const std::array<std::string, 5> texts = {"CQ DE DL1ABC", "QRZ? UA3XYZ", "RYRY DE W1AW", "\xcf\xd0\xc8\xc2\xc5\xd2", "TNX FER QSO 73"};
    for (std::int16_t ch = 0; ch < 5; ++ch) {
        engine.set_ChannelOpen(ch, OleTrue);
        engine.set_Mode(ch, static_cast<std::int16_t>(ModeIndex(modes[static_cast<std::size_t>(ch)])));
        engine.set_Speed(ch, speeds[static_cast<std::size_t>(ch)]);
        engine.set_RxCarrier(ch, static_cast<std::uint16_t>(600 + 400 * ch));
        engine.Band()->SetSignalToNoise(ch, 10);
    }
    for (std::int16_t ch = 0; ch < 5; ++ch) ASSERT_TRUE(engine.RemoteSend(ch, texts[static_cast<std::size_t>(ch)]));
    Run(4);
    EXPECT_GT(engine.SignalToNoise(0), 10);  // while the station is on
    Run(8);
    for (std::size_t ch = 0; ch < 5; ++ch) EXPECT_EQ(events.rx[ch], texts[ch]) << ch;
    EXPECT_GT(events.drawn, 50u);  // five spectra a second
    EXPECT_TRUE(events.errors.empty());
}

TEST_F(ModemEngine, TheSameModeAndSpeedAgainKeepTheReceiverInStep) {
    engine.Band()->SetSignalToNoise(0, 20);
    ASSERT_TRUE(engine.RemoteSend(0, "CQ CQ CQ DE DL1ABC DL1ABC PSE K"));
    Run(3);
    // Opening another channel writes the current mode and speed again.
    engine.set_Mode(0, engine.Mode(0));
    engine.set_Speed(0, engine.Speed(0));
    Run(10);
    EXPECT_EQ(events.rx[0], "CQ CQ CQ DE DL1ABC DL1ABC PSE K");
    // Another speed is another receiver.
    ASSERT_TRUE(engine.RemoteSend(0, "TEST TEST TEST"));
    Run(1.5);
    engine.set_Speed(0, 62.5);
    Run(8);
    EXPECT_NE(events.rx[0], "CQ CQ CQ DE DL1ABC DL1ABC PSE KTEST TEST TEST");
}

TEST_F(ModemEngine, AfcWithNetPullsTheTransmitCarrierAlong) {
    engine.set_bNET(OleTrue);
    engine.set_RxCarrier(0, 1000);
    engine.set_Afc(0, 1);
    StationSetup off;
    off.offsetHz = 25;
    ASSERT_TRUE(engine.RemoteSend(0, "CQ CQ CQ DE DL1ABC DL1ABC PSE K", &off));
    Run(15);
    EXPECT_NE(events.rx[0].find("DL1ABC PSE K"), std::string::npos) << events.rx[0];
    EXPECT_NEAR(engine.RxCarrier(0), 1025, 2);
    EXPECT_EQ(engine.wTxCarrier(), engine.RxCarrier(0));
    ASSERT_FALSE(events.txCarriers.empty());
    EXPECT_EQ(events.txCarriers.back(), engine.wTxCarrier());

    // Without NET the transmit carrier stays where it was put.
    engine.set_bNET(OleFalse);
    engine.set_wTxCarrier(1500);
    engine.set_RxCarrier(0, 1000);
    ASSERT_TRUE(engine.RemoteSend(0, "QRZ QRZ DE DL1ABC K", &off));
    Run(8);
    EXPECT_EQ(engine.wTxCarrier(), 1500);
}

// The engine left on the band's noise with every channel open, on the virtual
// clock: QUORVEL_LONG_DSP_MINUTES simulated minutes (the long run takes 1440).
TEST_F(ModemEngine, HoursOnNoiseKeepMemoryFlat) {
    const char* n = std::getenv("QUORVEL_LONG_DSP_MINUTES");
    const int minutes = n != nullptr ? std::max(2, std::atoi(n)) : 2;
    for (std::int16_t ch = 1; ch < 5; ++ch) {
        engine.set_Mode(ch, static_cast<std::int16_t>(ch * 2 % engine.wModeMax()));
        engine.set_ChannelOpen(ch, OleTrue);
    }
    Run(60);
    const std::size_t warm = mallinfo2().uordblks;
    std::size_t highest = warm;
    for (int m = 1; m < minutes; ++m) {
        Run(60);
        highest = std::max(highest, mallinfo2().uordblks);
        for (auto& text : events.rx) text.clear();  // what the window would show
    }
    std::printf("%d simulated minutes on noise: live heap %zu after the first, highest %zu bytes\n", minutes, warm,
                highest);
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(highest - warm, 256u << 10);
#endif
}

TEST_F(ModemEngine, NotchAndCustomFiltersActOnTheAudio) {
    auto tones = std::make_unique<Tones>();
    tones->hz = {1000, 1500, 2500};
    engine.SetInput(std::move(tones));
    Run(1);
    const double before = LevelAt(1000);
    EXPECT_NEAR(LevelAt(1500), before, 1);
    engine.AddNotch(1000);
    EXPECT_EQ(engine.wNumNotches(), 1);
    Run(1);
    EXPECT_LT(LevelAt(1000), before - 30);
    EXPECT_NEAR(LevelAt(1500), before, 1);
    engine.DeleteNotch(0);
    EXPECT_EQ(engine.wNumNotches(), 0);

    // Band-pass 1300-1700 of order 8: 1500 passes, 1000 and 2500 are down
    // as far as the Butterworth edges go (18 and 27 dB).
    EXPECT_EQ(engine.SetFilter(FilterBandPass, 80, 1300, 1700, 60), 0);
    Run(1);
    EXPECT_NEAR(LevelAt(1500), before, 1.5);
    EXPECT_LT(LevelAt(1000), before - 15);
    EXPECT_LT(LevelAt(2500), before - 24);
    // Low-pass at 1200 (edge 2: the carrier it was measured from).
    EXPECT_EQ(engine.SetFilter(FilterLowPass, 60, 1200, 1000, 60), 0);
    Run(1);
    EXPECT_NEAR(LevelAt(1000), before, 3);
    EXPECT_LT(LevelAt(2500), before - 30);
    engine.ClearFilter();
    Run(1);
    EXPECT_NEAR(LevelAt(2500), before, 1);
    // Nonsense edges are refused and change nothing.
    EXPECT_EQ(engine.SetFilter(FilterBandPass, 80, 1300, 1300, 60), -1);
    EXPECT_EQ(engine.SetFilter(7, 80, 1300, 1700, 60), -1);
}

TEST_F(ModemEngine, ChannelBandPassKeepsTheStationAndDropsANeighbour) {
    // A strong carrier 150 Hz away; the narrow filter keeps the copy clean.
    engine.set_RxCarrier(0, 1000);
    engine.set_nBPF(3);
    double low = 0, high = 0;
    ASSERT_TRUE(BandPassEdges(3, 4, 31.25, engine.FilterCentre(0), low, high));
    EXPECT_LT(high - low, 70);
    EXPECT_NEAR((low + high) / 2, 1000, 1);
    engine.set_FilterOffset(0, 20);
    EXPECT_EQ(engine.FilterCentre(0), 1020);
    engine.set_FilterOffset(0, 0);
    ASSERT_TRUE(engine.RemoteSend(0, "NARROW FILTER TEST"));
    Run(8);
    EXPECT_EQ(events.rx[0], "NARROW FILTER TEST");
}

TEST_F(ModemEngine, AtcReportsTheStationsClockOffset) {
    engine.set_bATC(OleTrue);
    engine.set_RxCarrier(0, 1000);
    StationSetup fast;
    fast.clockPpm = 400;
    ASSERT_TRUE(engine.RemoteSend(0, "CQ CQ CQ DE DL1ABC DL1ABC DL1ABC PSE K", &fast));
    Run(14);
    EXPECT_EQ(events.rx[0], "CQ CQ CQ DE DL1ABC DL1ABC DL1ABC PSE K");
    EXPECT_NEAR(events.lastPpm, 400, 150);
}

TEST_F(ModemEngine, MfskCopiesItsOwnSidebandAndRefusesASpeedItCannotFit) {
    engine.set_Mode(0, static_cast<std::int16_t>(ModeIndex("mfsk-U")));
    engine.set_Speed(0, 15.625);
    engine.set_RxCarrier(0, 1500);
    engine.set_ChannelOpen(1, OleTrue);
    engine.set_Mode(1, static_cast<std::int16_t>(ModeIndex("mfsk-L")));
    engine.set_Speed(1, 15.625);
    engine.set_RxCarrier(1, 1500);
    ASSERT_TRUE(engine.RemoteSend(0, "CQ DE DL1ABC"));
    Run(14);
    EXPECT_EQ(events.rx[0], "CQ DE DL1ABC");
    EXPECT_LT(events.rx[1].size(), 3u);  // the other tone order is no text
    EXPECT_TRUE(events.errors.empty());
    // 16 tones 500 Hz apart do not fit below half of 11025 Hz.
    engine.set_Speed(0, 500);
    Run(0.1);
    ASSERT_EQ(events.errors.size(), 1u);
    EXPECT_EQ(events.errors[0], kErrorModeUnavailable);
    EXPECT_EQ(engine.wModeMax(), 11);
}

}  // namespace
}  // namespace quorvel::modem

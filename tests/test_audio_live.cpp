// The DSP engine on live sound cards: a PulseAudio server of the test's own,
// whose null sink plays what one engine transmits and whose monitor records
// it for another, on the wall clock.
#include <unistd.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <numbers>
#include <thread>

#include "DspEngine.h"
#include "Modes.h"
#include "PulseServer.h"
#include "SimDispatcher.h"

namespace quorvel::modem {
namespace {

using namespace std::chrono_literals;
using linux_platform::TSoundDevice;

#define REQUIRE_SERVER(server) \
    if (!(server).Ready()) GTEST_SKIP() << "PulseAudio could not start here: " << (server).Error()

struct Station final : IModemEngineEvents {
    TDspModemEngine* engine = nullptr;
    std::string rx, echo;
    std::vector<std::int32_t> errors;
    std::vector<std::int16_t> states;
    void OnRxChar(std::int16_t ch, const std::u16string&, std::uint16_t w) override {
        if (ch != 0) return;
        (engine->bTX() ? echo : rx).push_back(static_cast<char>(w));
    }
    void OnTxState(std::int16_t s) override { states.push_back(s); }
    void OnError(std::int32_t code) override { errors.push_back(code); }
    bool Saw(std::int32_t code) const { return std::find(errors.begin(), errors.end(), code) != errors.end(); }
};

// Engines on one UI thread that keeps to the wall clock.
class LiveSoundCards : public ::testing::Test {
protected:
    sim::TSimDispatcher clock;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();

    void Attach(TDspModemEngine& engine, Station& station, const char16_t* soundId) {
        station.engine = &engine;
        engine.SetEvents(&station);
        engine.UseSoundCards(true);
        engine.set_strSoundID(soundId);
        engine.set_bActive(OleTrue);
    }
    // Runs the UI thread until done() or the time is up; false on time-out.
    bool RunUntil(double seconds, const std::function<bool()>& done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(20ms);
            const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
            clock.Advance(now.count() - clock.Now());
            if (done()) return true;
        }
        return false;
    }
    void Run(double seconds) { RunUntil(seconds, [] { return false; }); }
};

struct LoopCase {
    const char* mode;
    double baud;
    double txRate, txOffset;  // the sender's calibration and offset
    double rxRate, rxCarrier;
    bool afc, blockUi;
};

TEST_F(LiveSoundCards, TransmissionThroughTheNullSinkIsDecodedFromItsMonitor) {
    testing::TPulseServer server;
    REQUIRE_SERVER(server);
    // bpsk: the receiver calibrated 75 Hz off nominal, the sender 100 Hz up
    // by its offset, and the UI thread blocked for 500 ms on the way.
    for (const LoopCase& c : {LoopCase{"bpsk", 31.25, 11025, 100, 11100, 1590, true, true},
                              LoopCase{"rtty-U", 45.45, 11025, 0, 11025, 1500, false, false}}) {
        SCOPED_TRACE(c.mode);
        const auto mode = static_cast<std::int16_t>(ModeIndex(c.mode));
        TDspModemEngine sender(clock), receiver(clock);
        Station tx, rx;
        Attach(sender, tx, u"-2,-1");
        Attach(receiver, rx, u"0,-2");
        for (TDspModemEngine* e : {&sender, &receiver}) {
            e->set_Mode(0, mode);
            e->set_Speed(0, c.baud);
            e->set_bNET(OleFalse);
        }
        sender.set_dblSampleFreq(c.txRate);
        sender.set_dblTxOffset(c.txOffset);
        sender.set_wTxCarrier(1500);
        receiver.set_dblSampleFreq(c.rxRate);
        receiver.set_RxCarrier(0, static_cast<std::uint16_t>(c.rxCarrier));
        receiver.set_Afc(0, c.afc ? 1 : 0);
        ASSERT_TRUE(RunUntil(5, [&] { return sender.SoundStatus().OutputOpen && receiver.SoundStatus().InputOpen; }));
        Run(0.5);

        const std::string text = "CQ DE DL1ABC K";
        sender.SendText(std::u16string(text.begin(), text.end()));
        sender.SetTxState(TxStateTransmit);
        sender.SetTxState(TxStateEnd);
        if (c.blockUi) {
            ASSERT_TRUE(RunUntil(10, [&] { return rx.rx.find("DE") != std::string::npos; }));
            std::this_thread::sleep_for(500ms);  // nothing pumped meanwhile
        }
        ASSERT_TRUE(RunUntil(20, [&] { return !tx.states.empty() && tx.states.back() == TxStateReceive; }));
        // The return to receive waits for the device to play the queue.
        EXPECT_EQ(tx.echo, text);
        EXPECT_FALSE(sender.bTX());
        RunUntil(4, [&] { return rx.rx.find(text) != std::string::npos; });
        EXPECT_NE(rx.rx.find(text), std::string::npos) << "decoded: " << rx.rx;
        if (c.afc) {
            // Resampled to the calibrated rate, the carrier is where it was sent.
            EXPECT_NEAR(receiver.RxCarrier(0), 1500 + c.txOffset, 2.0);
        }
        EXPECT_EQ(receiver.SoundStatus().Overruns, 0u);
        EXPECT_EQ(sender.SoundStatus().Underruns, 0u);
        EXPECT_TRUE(tx.errors.empty()) << ::testing::PrintToString(tx.errors) << ::testing::PrintToString(sender.TakeSoundReport());
        EXPECT_TRUE(rx.errors.empty()) << ::testing::PrintToString(rx.errors) << ::testing::PrintToString(receiver.TakeSoundReport());
    }
}

TEST_F(LiveSoundCards, ActiveFalseClosesTheStreamsAndTrueOpensTheNewDevices) {
    testing::TPulseServer server;
    REQUIRE_SERVER(server);
    TDspModemEngine engine(clock);
    Station station;
    Attach(engine, station, u"0,-2");
    ASSERT_TRUE(RunUntil(5, [&] { return engine.SoundStatus().InputOpen; }));
    EXPECT_NE(server.Pactl("list short source-outputs"), "");
    EXPECT_EQ(server.Pactl("list short sink-inputs"), "");

    engine.set_bActive(OleFalse);
    EXPECT_FALSE(engine.SoundStatus().InputOpen);
    EXPECT_TRUE(engine.SoundStatus().Input.empty());
    ASSERT_TRUE(RunUntil(3, [&] { return server.Pactl("list short source-outputs").empty(); }));

    engine.set_strSoundID(u"-2,0");
    engine.set_bActive(OleTrue);
    ASSERT_TRUE(RunUntil(5, [&] { return engine.SoundStatus().OutputOpen; }));
    EXPECT_TRUE(engine.SoundStatus().Input.empty());
    EXPECT_NE(server.Pactl("list short sink-inputs"), "");
    EXPECT_TRUE(station.errors.empty());
}

TEST_F(LiveSoundCards, LostDeviceRaisesErrorsAndIsReopenedWhenItReturns) {
    testing::TPulseServer server;
    REQUIRE_SERVER(server);
    TDspModemEngine engine(clock);
    Station station;
    Attach(engine, station, u"0,0");
    ASSERT_TRUE(RunUntil(5, [&] { return engine.SoundStatus().InputOpen && engine.SoundStatus().OutputOpen; }));

    server.Pactl("unload-module module-null-sink");
    ASSERT_TRUE(RunUntil(8, [&] { return station.Saw(kErrorSoundInput) && station.Saw(kErrorSoundOutput); }));
    const std::size_t raised = station.errors.size();
    Run(1.5);  // retrying meanwhile raises nothing more
    EXPECT_EQ(station.errors.size(), raised);

    server.Pactl("load-module module-null-sink");
    ASSERT_TRUE(RunUntil(8, [&] { return engine.SoundStatus().InputOpen && engine.SoundStatus().OutputOpen; }));
    EXPECT_EQ(engine.SoundStatus().InputOpens, 2u);
    EXPECT_EQ(engine.SoundStatus().OutputOpens, 2u);
    const auto report = engine.TakeSoundReport();
    EXPECT_TRUE(std::any_of(report.begin(), report.end(), [](const std::string& l) { return l.find("lost") != std::string::npos; }));
}

TEST_F(LiveSoundCards, DevicesThatCannotBeUsedRaiseErrorsAndTheEngineWorksOn) {
    TDspModemEngine engine(clock);
    Station station;
    engine.SetSoundDevices({{"Gone", "hw:97", "hw:97", true, true}});
    Attach(engine, station, u"0,3");  // a device that will not open, and no output 3
    ASSERT_TRUE(RunUntil(3, [&] { return station.Saw(kErrorSoundInput) && station.Saw(kErrorSoundOutput); }));
    auto report = engine.TakeSoundReport();
    ASSERT_EQ(report.size(), 2u);
    EXPECT_NE(report[0].find("no wave-output device 3"), std::string::npos) << report[0];
    EXPECT_NE(report[1].find("cannot record from hw:97"), std::string::npos) << report[1];

    // Without an output the transmission still runs its course and ends.
    engine.set_strSoundID(u"-2,-2");
    engine.set_bActive(OleFalse);
    engine.set_bActive(OleTrue);
    engine.set_Mode(0, static_cast<std::int16_t>(ModeIndex("rtty-U")));
    engine.SendText(u"RYRY");
    engine.SetTxState(TxStateTransmit);
    engine.SetTxState(TxStateEnd);
    ASSERT_TRUE(RunUntil(5, [&] { return !station.states.empty() && station.states.back() == TxStateReceive; }));
    EXPECT_EQ(station.echo, "RYRY");

    station.errors.clear();
    engine.set_strSoundID(u"left,right");
    engine.set_bActive(OleFalse);
    engine.set_bActive(OleTrue);
    Run(0.1);
    EXPECT_EQ(station.errors, (std::vector<std::int32_t>{kErrorSoundInput, kErrorSoundOutput}));
    report = engine.TakeSoundReport();
    ASSERT_EQ(report.size(), 1u);
    EXPECT_NE(report[0].find("left,right"), std::string::npos);
}

TEST(SoundCardBuffers, RingKeepsOrderAcrossItsEndAndTakesNoMoreThanFits) {
    TAudioRing ring(5);
    std::vector<float> out(8);
    for (int round = 0; round < 4; ++round) {  // the read and write points wrap
        const float base = static_cast<float>(round * 10);
        const std::vector<float> in{base + 1, base + 2, base + 3, base + 4, base + 5, base + 6};
        EXPECT_EQ(ring.Push(in), 5u);
        EXPECT_EQ(ring.Size(), 5u);
        EXPECT_EQ(ring.Push(in), 0u);
        ASSERT_EQ(ring.Pop(std::span<float>(out.data(), 3)), 3u);
        EXPECT_EQ(ring.Push(std::span<const float>(in).subspan(5)), 1u);
        ASSERT_EQ(ring.Pop(out), 3u);
        EXPECT_EQ(out[0], base + 4);
        EXPECT_EQ(out[2], base + 6);
        EXPECT_EQ(ring.Size(), 0u);
    }
}

TEST(SoundCardBuffers, ConversionToTheCalibratedRateKeepsTimeAndPitch) {
    // A second of 1000 Hz at the device's 11025 Hz becomes a second at 11100 Hz.
    std::vector<float> tone(11025);
    for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<float>(std::sin(2 * std::numbers::pi * 1000 * static_cast<double>(i) / 11025));
    TRateConverter converter;
    converter.SetRates(11025, 11100);
    std::vector<float> out;
    for (std::size_t at = 0; at < tone.size(); at += 500)
        converter.Convert(std::span<const float>(tone).subspan(at, std::min<std::size_t>(500, tone.size() - at)), out);
    EXPECT_NEAR(static_cast<double>(out.size()), 11100, 80);
    std::size_t rising = 0;
    for (std::size_t i = 200; i + 1 < out.size(); ++i) rising += out[i] <= 0 && out[i + 1] > 0 ? 1 : 0;
    EXPECT_NEAR(static_cast<double>(rising) / (static_cast<double>(out.size() - 201) / 11100), 1000, 3);

    // Equal rates pass the samples through untouched.
    converter.SetRates(11025, 11025);
    out.clear();
    converter.Convert(tone, out);
    EXPECT_EQ(out, tone);
}

// A command's standard output and error, and its exit status.
std::pair<int, std::string> RunCommand(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    std::string out;
    if (!pipe) return {-1, out};
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) out += buffer.data();
    const int status = pclose(pipe.release());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

TEST(LiveSoundCardTools, HostTransmitsLiveAndTheToolCopiesIt) {
    testing::TPulseServer server;
    REQUIRE_SERVER(server);
    const std::string bin = QUORVEL_BIN_DIR;
    const std::filesystem::path work = std::filesystem::temp_directory_path() / ("quorvel-live-host-" + std::to_string(::getpid()));
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    std::ofstream(work / "live.script") << "answer wizard finish\nrun\nselect mnuModes rtty-U\nselect mnuSpeed 45.45\n"
                                           "type Memo1 \"CQ DE R3ABC K\"\nclick RsSpeedButton1\nwait idle 30s\nrelease\n";
    auto listening = std::async(std::launch::async, [&] {
        return RunCommand(bin + "/quorvel-modem listen --mode rtty-U --speed 45.45 --carrier 1750 --seconds 9");
    });
    std::this_thread::sleep_for(2s);
    const auto [hostStatus, transcript] = RunCommand(bin + "/pavo-host --headless --audio live --data " +
                                                     (work / "data").string() + " --script " + (work / "live.script").string());
    EXPECT_EQ(hostStatus, 0) << transcript;
    EXPECT_NE(transcript.find("audio: the machine's sound cards"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("on air: \"CQ DE R3ABC K\""), std::string::npos) << transcript;
    const auto [toolStatus, heard] = listening.get();
    EXPECT_EQ(toolStatus, 0);
    EXPECT_NE(heard.find("CQ DE R3ABC K"), std::string::npos) << heard;

    // A device that is not there is named, and the tool fails.
    const auto [status, message] = RunCommand(bin + "/quorvel-modem send --mode bpsk --text x --device 7");
    EXPECT_EQ(status, 1);
    EXPECT_NE(message.find("no wave-output device 7"), std::string::npos) << message;
    std::filesystem::remove_all(work);
}

}  // namespace
}  // namespace quorvel::modem

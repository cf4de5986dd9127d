// quorvel-modem: text to a modem signal in a WAV file and back.
//
//   quorvel-modem encode --mode M --speed S --carrier HZ [--snr DB] [--rate HZ] --text TEXT OUT.wav
//   quorvel-modem decode --mode M --speed S --carrier HZ [--afc] [--atc] IN.wav
//   quorvel-modem listen --mode M --speed S --carrier HZ [--afc] [--atc] [--device N] [--rate HZ] [--seconds T]
//   quorvel-modem send --mode M --speed S --carrier HZ [--device N] [--rate HZ] [--gain PCT] [--offset HZ] --text TEXT
//
// listen and send use the machine's sound cards, numbered as the plug-in's
// settings number them (-1 the system default); --rate is the calibrated
// sample rate. listen prints what it copies until interrupted or T seconds.
//
// Text is UTF-8 on the command line and on standard output; on the air it is
// the Windows-1251 code page.
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "Channel.h"
#include "DspEngine.h"
#include "SimDispatcher.h"
#include "Modes.h"
#include "WavFile.h"
#include "base/CodePage.h"

namespace {

using namespace quorvel::modem;

constexpr const char* kUsage =
    "usage: quorvel-modem encode --mode M --speed S --carrier HZ [--snr DB] [--rate HZ] --text TEXT OUT.wav\n"
    "       quorvel-modem decode --mode M --speed S --carrier HZ [--afc] [--atc] IN.wav\n"
    "       quorvel-modem listen --mode M --speed S --carrier HZ [--afc] [--atc] [--device N] [--rate HZ] [--seconds T]\n"
    "       quorvel-modem send --mode M --speed S --carrier HZ [--device N] [--rate HZ] [--gain PCT] [--offset HZ]\n"
    "                          --text TEXT\n"
    "devices: the numbers of pavo-host --audio list; -1 (the default) the system's default device\n"
    "modes: GMSK FSK FSK-W BPSK bpsk rtty-L rtty-U qpsk-L qpsk-U (mfsk-L, mfsk-U not yet)\n";

struct Options {
    std::string command, mode = "bpsk", text, file;
    double speed = 0, carrier = 1500, rate = kNominalSampleRate;
    bool snrGiven = false, afc = false, atc = false;
    double snr = 0, seconds = 0, gain = 50, offset = 0;
    int device = -1;
};

double Number(const std::string& option, const std::string& value) {
    char* end = nullptr;
    const double v = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0') throw std::invalid_argument(option + " wants a number, not \"" + value + "\"");
    return v;
}

Options Parse(int argc, char** argv) {
    if (argc < 2) throw std::invalid_argument("no command");
    Options o;
    o.command = argv[1];
    const bool live = o.command == "listen" || o.command == "send";
    if (o.command != "encode" && o.command != "decode" && !live) throw std::invalid_argument("unknown command " + o.command);
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(a + " needs a value");
            return argv[++i];
        };
        if (a == "--mode") o.mode = value();
        else if (a == "--speed") o.speed = Number(a, value());
        else if (a == "--carrier") o.carrier = Number(a, value());
        else if (a == "--snr") o.snr = Number(a, value()), o.snrGiven = true;
        else if (a == "--rate") o.rate = Number(a, value());
        else if (a == "--text") o.text = value();
        else if (a == "--afc") o.afc = true;
        else if (a == "--atc") o.atc = true;
        else if (a == "--seconds") o.seconds = Number(a, value());
        else if (a == "--gain") o.gain = Number(a, value());
        else if (a == "--offset") o.offset = Number(a, value());
        else if (a == "--device") {
            const double d = Number(a, value());
            if (d != std::floor(d) || d < -1 || d > 1000) throw std::invalid_argument("--device wants a device number (-1 the default)");
            o.device = static_cast<int>(d);
        }
        else if (a.rfind("--", 0) == 0) throw std::invalid_argument("unknown option " + a);
        else if (o.file.empty()) o.file = a;
        else throw std::invalid_argument("one file only");
    }
    if (live && !o.file.empty()) throw std::invalid_argument(o.command + " takes no file");
    if (!live && o.file.empty()) throw std::invalid_argument("no WAV file given");
    if (o.command == "send" && o.text.empty()) throw std::invalid_argument("send needs --text");
    if (live && !(o.rate >= 10925 && o.rate <= 11100))
        throw std::invalid_argument("--rate is the calibrated sound-card rate here: 10925 to 11100 Hz");
    if (!(o.gain >= 0 && o.gain <= 100)) throw std::invalid_argument("--gain out of range (0 to 100 %)");
    if (!(std::abs(o.offset) <= 500)) throw std::invalid_argument("--offset out of range (-500 to 500 Hz)");
    if (!(o.seconds >= 0)) throw std::invalid_argument("--seconds cannot be negative");
    if (ModeIndex(o.mode) < 0) throw std::invalid_argument("unknown mode " + o.mode);
    if (o.speed == 0) o.speed = kModes[static_cast<std::size_t>(ModeIndex(o.mode))].defaultBaud;
    if (!(o.speed >= 10 && o.speed <= 1000)) throw std::invalid_argument("--speed out of range (10 to 1000 baud)");
    if (!(o.rate >= 8000 && o.rate <= 192000)) throw std::invalid_argument("--rate out of range (8000 to 192000 Hz)");
    if (!(o.carrier > 0 && o.carrier < o.rate / 2)) throw std::invalid_argument("--carrier out of range");
    return o;
}

int Encode(const Options& o) {
    const int mode = ModeIndex(o.mode);
    auto tx = MakeModulator(mode, SettingsFor(mode, o.rate, o.carrier, o.speed));
    if (!tx) throw std::runtime_error("no modulator for " + o.mode + " in this build");
    for (char16_t c : quorvel::Utf8ToUtf16(o.text))
        tx->PutChar(c < 0x80 ? static_cast<std::uint8_t>(c) : static_cast<std::uint8_t>(quorvel::UnicodeToCp1251(c)));
    tx->Finish();
    std::vector<float> audio(static_cast<std::size_t>(0.25 * o.rate), 0.0f), block(4096);
    const std::size_t lead = audio.size();
    while (!tx->Finished()) {
        const std::size_t n = tx->Generate(block);
        audio.insert(audio.end(), block.begin(), block.begin() + static_cast<long>(n));
    }
    audio.resize(audio.size() + lead, 0.0f);
    double peak = 0.5;
    if (o.snrGiven) {
        TNoise noise(1);
        noise.Add(audio, NoiseRms(MeanPower(std::span<const float>(audio).subspan(lead)), o.snr, o.rate));
        for (float s : audio) peak = std::max(peak, static_cast<double>(std::abs(s)));
    }
    // Half scale for a clean signal; a noisy one is scaled to fit.
    const auto gain = static_cast<float>(0.5 / std::max(peak, 0.5) * (o.snrGiven ? 1.8 : 1.0));
    for (float& s : audio) s *= gain;
    TWavWriter out(o.file, o.rate);
    out.Write(audio);
    out.Close();
    return 0;
}

int Decode(const Options& o) {
    const int mode = ModeIndex(o.mode);
    auto rx = MakeDemodulator(mode, SettingsFor(mode, kNominalSampleRate, o.carrier, o.speed));
    if (!rx) throw std::runtime_error("no demodulator for " + o.mode + " in this build");
    rx->SetAfc(o.afc, 50, 0);
    rx->SetAtc(o.atc);
    std::string codes;
    rx->OnDecoded([&](std::uint8_t c) { codes.push_back(static_cast<char>(c)); });
    TWavReader in(o.file, kNominalSampleRate);
    std::vector<float> block(4096);
    for (;;) {
        const std::size_t n = in.Read(block);
        rx->Process(std::span<const float>(block.data(), n));
        if (n < block.size()) break;
    }
    // Let the receiver finish what it holds back.
    std::vector<float> silence(static_cast<std::size_t>(3 * kNominalSampleRate), 0.0f);
    TNoise(2).Add(silence, 1e-4);
    rx->Process(silence);
    std::u16string text;
    for (char c : codes) text.push_back(static_cast<char16_t>(quorvel::Cp1251ToUnicode(static_cast<unsigned char>(c))));
    std::cout << quorvel::Utf16ToUtf8(text);
    if (!text.empty() && text.back() != u'\n') std::cout << '\n';
    return 0;
}

// The engine on the sound cards, on a UI thread of its own that keeps to the
// wall clock; SIGINT and SIGTERM end it.
class TLiveStation final : public quorvel::IModemEngineEvents {
public:
    TLiveStation(const Options& o, const std::u16string& soundId) : engine_(clock_) {
        sigemptyset(&stop_);
        sigaddset(&stop_, SIGINT);
        sigaddset(&stop_, SIGTERM);
        sigprocmask(SIG_BLOCK, &stop_, nullptr);
        engine_.SetEvents(this);
        engine_.UseSoundCards(true);
        engine_.set_strSoundID(soundId);
        engine_.set_bActive(quorvel::OleTrue);
        engine_.set_dblSampleFreq(o.rate);
        const auto mode = static_cast<std::int16_t>(ModeIndex(o.mode));
        engine_.set_Mode(0, mode);
        engine_.set_Speed(0, o.speed);
        engine_.set_bNET(quorvel::OleFalse);
        engine_.set_RxCarrier(0, static_cast<std::uint16_t>(std::lround(o.carrier)));
        engine_.set_wTxCarrier(static_cast<std::uint16_t>(std::lround(o.carrier)));
        engine_.set_Afc(0, o.afc ? 1 : 0);
        engine_.set_bATC(o.atc ? quorvel::OleTrue : quorvel::OleFalse);
        engine_.set_wModGain(static_cast<std::uint16_t>(std::lround(o.gain / 100 * 32767)));
        engine_.set_dblTxOffset(o.offset);
    }
    TDspModemEngine& Engine() { return engine_; }

    // Runs until done() or a signal or the time is up; false when a device
    // could not be used before it ever worked.
    bool Run(double seconds, const std::function<bool()>& done) {
        const auto start = std::chrono::steady_clock::now();
        const std::int64_t base = clock_.Now();
        for (;;) {
            timespec nap{0, 20'000'000};
            if (sigtimedwait(&stop_, nullptr, &nap) > 0) return true;
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
            clock_.Advance(base + elapsed.count() - clock_.Now());
            const auto status = engine_.SoundStatus();
            if (status.InputOpen || status.OutputOpen) worked_ = true;
            for (const std::string& line : engine_.TakeSoundReport()) std::cerr << "quorvel-modem: " << line << "\n";
            if (failed_ && !worked_) return false;
            if (done && done()) return true;
            if (seconds > 0 && elapsed.count() >= seconds * 1000) return true;
        }
    }

    void OnRxChar(std::int16_t ch, const std::u16string& text, std::uint16_t) override {
        if (ch != 0 || engine_.bTX()) return;
        std::cout << quorvel::Utf16ToUtf8(text == u"\r" ? u"\n" : text) << std::flush;
    }
    void OnError(std::int32_t code) override {
        if (code == kErrorSoundInput || code == kErrorSoundOutput) failed_ = true;
    }
    void OnTxState(std::int16_t state) override { transmitting_ = state != 0; }
    bool Transmitting() const { return transmitting_; }

private:
    quorvel::sim::TSimDispatcher clock_;
    TDspModemEngine engine_;
    sigset_t stop_{};
    bool failed_ = false, worked_ = false, transmitting_ = false;
};

int Listen(const Options& o) {
    TLiveStation station(o, quorvel::Utf8ToUtf16(std::to_string(o.device) + ",-2"));
    if (!station.Run(o.seconds, {})) return 1;
    std::cout << '\n';
    return 0;
}

int Send(const Options& o) {
    TLiveStation station(o, quorvel::Utf8ToUtf16("-2," + std::to_string(o.device)));
    TDspModemEngine& engine = station.Engine();
    // Give the device its moment to open before keying.
    if (!station.Run(0, [&] { return engine.SoundStatus().OutputOpen; })) return 1;
    engine.SendText(quorvel::Utf8ToUtf16(o.text));
    engine.SetTxState(quorvel::TxStateTransmit);
    engine.SetTxState(quorvel::TxStateEnd);
    bool began = false;
    if (!station.Run(0, [&] {
            began = began || station.Transmitting();
            return began && !station.Transmitting();
        }))
        return 1;
    return engine.bTX() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    try {
        o = Parse(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "quorvel-modem: " << e.what() << "\n" << kUsage;
        return 2;
    }
    try {
        if (o.command == "listen") return Listen(o);
        if (o.command == "send") return Send(o);
        return o.command == "encode" ? Encode(o) : Decode(o);
    } catch (const std::exception& e) {
        std::cerr << "quorvel-modem: " << e.what() << "\n";
        return 1;
    }
}

// quorvel-modem: text to a modem signal in a WAV file and back.
//
//   quorvel-modem encode --mode M --speed S --carrier HZ [--snr DB] [--rate HZ] --text TEXT OUT.wav
//   quorvel-modem decode --mode M --speed S --carrier HZ [--afc] [--atc] IN.wav
//
// Text is UTF-8 on the command line and on standard output; on the air it is
// the Windows-1251 code page.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "Channel.h"
#include "Modes.h"
#include "WavFile.h"
#include "base/CodePage.h"

namespace {

using namespace quorvel::modem;

constexpr const char* kUsage =
    "usage: quorvel-modem encode --mode M --speed S --carrier HZ [--snr DB] [--rate HZ] --text TEXT OUT.wav\n"
    "       quorvel-modem decode --mode M --speed S --carrier HZ [--afc] [--atc] IN.wav\n"
    "modes: GMSK FSK FSK-W BPSK bpsk rtty-L rtty-U qpsk-L qpsk-U (mfsk-L, mfsk-U not yet)\n";

struct Options {
    std::string command, mode = "bpsk", text, file;
    double speed = 0, carrier = 1500, rate = kNominalSampleRate;
    bool snrGiven = false, afc = false, atc = false;
    double snr = 0;
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
    if (o.command != "encode" && o.command != "decode") throw std::invalid_argument("unknown command " + o.command);
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
        else if (a.rfind("--", 0) == 0) throw std::invalid_argument("unknown option " + a);
        else if (o.file.empty()) o.file = a;
        else throw std::invalid_argument("one file only");
    }
    if (o.file.empty()) throw std::invalid_argument("no WAV file given");
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
        return o.command == "encode" ? Encode(o) : Decode(o);
    } catch (const std::exception& e) {
        std::cerr << "quorvel-modem: " << e.what() << "\n";
        return 1;
    }
}

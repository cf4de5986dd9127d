#pragma once
// Sends text through a mode's modulator, the simulated air and its
// demodulator, and returns what was decoded.
#include <string>
#include <vector>

#include "Channel.h"
#include "Modes.h"

namespace quorvel::modem::test {

struct AirPath {
    double baud = 31.25;
    double carrier = 1500;
    double snrDb = 40;
    double offsetHz = 0;    // sender off the receiver's carrier
    double clockPpm = 0;    // sender's sound-card clock error
    bool afc = false, atc = false;
    double afcWidth = 50;
    double leadSeconds = 0.3;  // noise before the signal
    double tailSeconds = 0.5;  // and after it
    std::uint32_t seed = 1;
};

struct AirResult {
    std::string decoded;
    double snrDb = 0;
    double carrier = 0;
    double seconds = 0;             // of audio sent
    std::vector<double> charTimes;  // when each character was decoded, s
};

inline AirResult SendOverAir(int mode, const std::string& text, const AirPath& p) {
    constexpr double rate = kNominalSampleRate;
    // A fast sender's samples last less: it thinks its rate is lower.
    auto tx = MakeModulator(mode, SettingsFor(mode, rate / (1 + p.clockPpm * 1e-6), p.carrier + p.offsetHz, p.baud));
    auto rx = MakeDemodulator(mode, SettingsFor(mode, rate, p.carrier, p.baud));
    AirResult r;
    if (!tx || !rx) return r;
    for (char c : text) tx->PutChar(static_cast<std::uint8_t>(c));
    tx->Finish();
    std::vector<float> audio(static_cast<std::size_t>(p.leadSeconds * rate), 0.0f);
    std::vector<float> block(512);
    while (!tx->Finished()) {
        const std::size_t n = tx->Generate(block);
        audio.insert(audio.end(), block.begin(), block.begin() + static_cast<long>(n));
    }
    audio.resize(audio.size() + static_cast<std::size_t>(p.tailSeconds * rate), 0.0f);
    const double power = MeanPower(std::span<const float>(audio).subspan(static_cast<std::size_t>(p.leadSeconds * rate)));
    TNoise noise(p.seed);
    noise.Add(audio, NoiseRms(power, p.snrDb, rate));
    rx->SetAfc(p.afc, p.afcWidth, 0);
    rx->SetAtc(p.atc);
    std::size_t at = 0;
    rx->OnDecoded([&](std::uint8_t c) {
        r.decoded.push_back(static_cast<char>(c));
        r.charTimes.push_back(static_cast<double>(at) / rate);
    });
    for (; at < audio.size(); at += 256) {
        const std::size_t n = std::min<std::size_t>(256, audio.size() - at);
        rx->Process(std::span<const float>(audio).subspan(at, n));
        if (at + n >= audio.size() - static_cast<std::size_t>(p.tailSeconds * rate) && r.snrDb == 0) r.snrDb = rx->SignalToNoise();
    }
    r.carrier = rx->Carrier();
    r.seconds = static_cast<double>(audio.size()) / rate;
    return r;
}

// Character errors against the text sent: edit distance over its length.
inline double CharacterErrorRate(const std::string& sent, const std::string& got) {
    std::vector<std::size_t> row(got.size() + 1), next(got.size() + 1);
    for (std::size_t j = 0; j <= got.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= sent.size(); ++i) {
        next[0] = i;
        for (std::size_t j = 1; j <= got.size(); ++j)
            next[j] = std::min({row[j] + 1, next[j - 1] + 1, row[j - 1] + (sent[i - 1] == got[j - 1] ? 0 : 1)});
        row.swap(next);
    }
    return sent.empty() ? 0.0 : static_cast<double>(row[got.size()]) / static_cast<double>(sent.size());
}

}  // namespace quorvel::modem::test

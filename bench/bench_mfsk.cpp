// MFSK sensitivity and cost. Character error rate against S/N (white noise
// measured in 3000 Hz) on a flat channel and on a two-path fading channel
// (1 Hz Doppler spread, 2 ms delay), at the engine's 11025 Hz; then the
// receiver's cost per second of audio.
#include <benchmark/benchmark.h>

#include <complex>
#include <liquid/liquid.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "modem/mfsk/Mfsk.h"

namespace {

using namespace quorvel::modem;

const std::string kQso =
    "CQ CQ CQ de RA3XYZ RA3XYZ pse k\r"
    "RA3XYZ de G4ABC good morning, name is John, QTH near Leeds. Your signal 579 here. "
    "Rig is 50 watts to a dipole, the band is noisy today. How copy? RA3XYZ de G4ABC k\r";

std::vector<float> Transmit(const ModemSettings& s, const std::string& text) {
    auto mod = MakeMfskModulator(s);
    for (char c : text) mod->PutChar(static_cast<std::uint8_t>(c));
    mod->Finish();
    std::vector<float> audio, block(4096);
    while (!mod->Finished()) {
        const std::size_t n = mod->Generate(block);
        audio.insert(audio.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
    }
    audio.resize(audio.size() + static_cast<std::size_t>(s.sampleRate));  // a second of noise after
    return audio;
}

// Complex Gaussian path gain with a Gaussian Doppler spectrum of the given
// spread (two standard deviations, as the CCIR channels state it), unit mean
// power, at the audio rate.
std::vector<std::complex<double>> PathGain(std::size_t n, double rate, double spreadHz, std::mt19937& rng) {
    constexpr double kGainRate = 100.0;
    const double sigmaT = kGainRate / (2 * std::numbers::pi * spreadHz / 2);  // in gain samples
    const int half = static_cast<int>(4 * sigmaT);
    std::vector<double> taps;
    double norm = 0;
    for (int k = -half; k <= half; ++k) {
        taps.push_back(std::exp(-0.5 * k * k / (sigmaT * sigmaT)));
        norm += taps.back() * taps.back();
    }
    for (auto& t : taps) t /= std::sqrt(norm);
    std::normal_distribution<double> gauss(0, std::sqrt(0.5));
    const std::size_t slow = static_cast<std::size_t>(static_cast<double>(n) / rate * kGainRate) + 2;
    std::vector<std::complex<double>> white(slow + taps.size()), g(slow);
    for (auto& w : white) w = {gauss(rng), gauss(rng)};
    for (std::size_t i = 0; i < slow; ++i)
        for (std::size_t k = 0; k < taps.size(); ++k) g[i] += taps[k] * white[i + k];
    std::vector<std::complex<double>> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate * kGainRate;
        const auto j = static_cast<std::size_t>(t);
        const double f = t - static_cast<double>(j);
        out[i] = (1 - f) * g[j] + f * g[std::min(j + 1, slow - 1)];
    }
    return out;
}

// Two equal paths, each fading on its own, the second 2 ms late.
void Fade(std::vector<float>& audio, double rate, std::mt19937& rng) {
    auto hilbert = firhilbf_create(32, 60);
    std::vector<std::complex<double>> analytic(audio.size());
    for (std::size_t i = 0; i < audio.size(); ++i) {
        std::complex<float> y;
        firhilbf_r2c_execute(hilbert, audio[i], &y);
        analytic[i] = {y.real(), y.imag()};
    }
    firhilbf_destroy(hilbert);
    const auto g1 = PathGain(audio.size(), rate, 1.0, rng), g2 = PathGain(audio.size(), rate, 1.0, rng);
    const auto delay = static_cast<std::size_t>(std::lround(0.002 * rate));
    for (std::size_t i = 0; i < audio.size(); ++i) {
        std::complex<double> y = g1[i] * analytic[i];
        if (i >= delay) y += g2[i] * analytic[i - delay];
        audio[i] = static_cast<float>(y.real() / std::sqrt(2.0));
    }
}

void AddNoise(std::vector<float>& audio, double rate, double snrDb, std::mt19937& rng) {
    std::normal_distribution<double> gauss;
    const double sigma = std::sqrt(0.5 / std::pow(10.0, snrDb / 10) * (rate / 2) / 3000);
    for (auto& x : audio) x = static_cast<float>(x + sigma * gauss(rng));
}

std::string Receive(const ModemSettings& s, const std::vector<float>& audio) {
    auto dem = MakeMfskDemodulator(s);
    dem->SetAfc(true, 50, 0);
    dem->SetAtc(true);
    std::string got;
    dem->OnDecoded([&got](std::uint8_t c) { got.push_back(static_cast<char>(c)); });
    for (std::size_t at = 0; at < audio.size(); at += 512)
        dem->Process(std::span<const float>(audio).subspan(at, std::min<std::size_t>(512, audio.size() - at)));
    return got;
}

double EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diag = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (a[i - 1] != b[j - 1] ? 1u : 0u)});
            diag = up;
        }
    }
    return static_cast<double>(row[b.size()]);
}

// Args: S/N in dB, speed in millibaud, fading (0/1).
void BM_MfskCharacterErrorRate(benchmark::State& state) {
    ModemSettings s;
    s.baud = static_cast<double>(state.range(1)) / 1000;
    const double snr = static_cast<double>(state.range(0));
    const bool fading = state.range(2) != 0;
    const auto clean = Transmit(s, kQso);
    double errors = 0, sent = 0;
    unsigned seed = 1;
    for (auto _ : state) {
        std::mt19937 rng(seed++);
        auto audio = clean;
        if (fading) Fade(audio, s.sampleRate, rng);
        AddNoise(audio, s.sampleRate, snr, rng);
        const std::string got = Receive(s, audio);
        errors += EditDistance(kQso, got);
        sent += static_cast<double>(kQso.size());
    }
    state.counters["CER_%"] = 100 * errors / sent;
    state.SetLabel(MfskProfileFor(s.baud).onAirName + (fading ? " fading" : " flat"));
}

void CerArgs(benchmark::internal::Benchmark* b) {
    for (int snr : {-16, -15, -14, -13, -12, -10}) b->Args({snr, 15625, 0});
    for (int snr : {-14, -12, -10, -8, -6, -3}) b->Args({snr, 15625, 1});
    for (int snr : {-10, -8, -6}) b->Args({snr, 31250, 0});
    for (int snr : {-8, -6, -4}) b->Args({snr, 62500, 0});
    b->Iterations(4)->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_MfskCharacterErrorRate)->Apply(CerArgs);

// What one second of audio costs the receiver.
void BM_MfskDemodulateSecond(benchmark::State& state) {
    ModemSettings s;
    s.baud = static_cast<double>(state.range(0)) / 1000;
    std::mt19937 rng(9);
    auto audio = Transmit(s, kQso.substr(0, 20));
    AddNoise(audio, s.sampleRate, -5, rng);
    const auto second = static_cast<std::size_t>(s.sampleRate);
    auto dem = MakeMfskDemodulator(s);
    std::size_t at = 0;
    for (auto _ : state) {
        if (at + second > audio.size()) at = 0;
        for (std::size_t i = 0; i < second; i += 512)
            dem->Process(std::span<const float>(audio).subspan(at + i, std::min<std::size_t>(512, second - i)));
        at += second;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * second));
}
BENCHMARK(BM_MfskDemodulateSecond)->Arg(15625)->Arg(62500)->Unit(benchmark::kMicrosecond);

}  // namespace

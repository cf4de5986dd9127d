#pragma once
// The air between a sender and a receiver, for the simulated band, the
// command-line tool, the tests and the benchmarks: white noise at a given
// signal-to-noise ratio measured in 3000 Hz, seeded so runs repeat exactly.
#include <cmath>
#include <cstdint>
#include <random>
#include <span>

namespace quorvel::modem {

constexpr double kNoiseBandwidthHz = 3000.0;

// RMS of white noise over the whole band (0 to rate/2) that puts
// signalPower snrDb above the noise in 3000 Hz.
inline double NoiseRms(double signalPower, double snrDb, double sampleRate) {
    const double inBand = signalPower / std::pow(10.0, snrDb / 10.0);
    return std::sqrt(inBand * (sampleRate / 2) / kNoiseBandwidthHz);
}

class TNoise {
public:
    explicit TNoise(std::uint32_t seed) : rng_(seed) {}
    void Add(std::span<float> samples, double rms) {
        std::normal_distribution<float> gauss(0.0f, static_cast<float>(rms));
        for (float& s : samples) s += gauss(rng_);
    }

private:
    std::mt19937 rng_;
};

// A modulator's mean power over a block (for NoiseRms).
inline double MeanPower(std::span<const float> samples) {
    double sum = 0;
    for (float s : samples) sum += static_cast<double>(s) * s;
    return samples.empty() ? 0.0 : sum / static_cast<double>(samples.size());
}

}  // namespace quorvel::modem

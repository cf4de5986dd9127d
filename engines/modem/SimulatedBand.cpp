#include "SimulatedBand.h"

#include <cmath>

#include "Modes.h"

namespace quorvel::modem {

TSimulatedBand::TSimulatedBand(double sampleRate, std::uint32_t seed) : rate_(sampleRate), noise_(seed) {}

bool TSimulatedBand::Send(int ch, const std::string& text, const StationSetup& setup) {
    if (ch < 0 || ch >= kStations) return false;
    Station& s = stations_[static_cast<std::size_t>(ch)];
    if (!s.tx || s.tx->Finished() || s.setup.mode != setup.mode || s.setup.baud != setup.baud) {
        // A fast sound card plays the station's samples faster: it thinks its
        // rate is lower than it is.
        const double senderRate = rate_ / (1 + setup.clockPpm * 1e-6);
        s.tx = MakeModulator(setup.mode, SettingsFor(setup.mode, senderRate, setup.carrier + setup.offsetHz, setup.baud));
        if (!s.tx) return false;
        s.setup = setup;
        s.seconds = 0;
        s.power = 0.5;
        s.pending = 0;
        s.tx->OnCharStarted([&s](std::uint8_t) {
            if (s.pending > 0) --s.pending;
        });
    }
    for (char c : text) s.tx->PutChar(static_cast<std::uint8_t>(c));
    s.pending += text.size();
    s.tx->Finish();
    return true;
}

void TSimulatedBand::SetSignalToNoise(int ch, double db) {
    if (ch >= 0 && ch < kStations) stations_[static_cast<std::size_t>(ch)].snrDb = db;
}

std::size_t TSimulatedBand::Pending(int ch) const {
    if (ch < 0 || ch >= kStations) return 0;
    return stations_[static_cast<std::size_t>(ch)].pending;
}

bool TSimulatedBand::OnAir(int ch) const {
    if (ch < 0 || ch >= kStations) return false;
    const auto& tx = stations_[static_cast<std::size_t>(ch)].tx;
    return tx && !tx->Finished();
}

double TSimulatedBand::QuietSeconds(int ch) const {
    return ch >= 0 && ch < kStations ? stations_[static_cast<std::size_t>(ch)].quiet : 1e9;
}

std::size_t TSimulatedBand::Read(std::span<float> out) {
    std::fill(out.begin(), out.end(), 0.0f);
    scratch_.resize(out.size());
    // The noise power in 3000 Hz the stations' ratios are measured against.
    const double noiseIn3000 = kNoiseRms * kNoiseRms * kNoiseBandwidthHz / (rate_ / 2);
    for (Station& s : stations_) {
        if (!s.tx || s.tx->Finished()) {
            s.quiet += static_cast<double>(out.size()) / rate_;
            continue;
        }
        s.quiet = 0;
        if (s.setup.driftHzPerMinute != 0)
            s.tx->SetCarrier(s.setup.carrier + s.setup.offsetHz + s.setup.driftHzPerMinute * s.seconds / 60);
        const std::size_t n = s.tx->Generate(scratch_);
        s.seconds += static_cast<double>(out.size()) / rate_;
        // The station's mean power, followed slowly so that its fade at the
        // end fades on the air too.
        const double power = MeanPower(std::span<const float>(scratch_.data(), n));
        if (power > 0.3 * s.power) s.power += 0.05 * (power - s.power);
        const double want = noiseIn3000 * std::pow(10.0, s.snrDb / 10);
        const auto gain = static_cast<float>(std::sqrt(want / s.power));
        for (std::size_t i = 0; i < n; ++i) out[i] += scratch_[i] * gain;
    }
    noise_.Add(out, kNoiseRms);
    return out.size();
}

}  // namespace quorvel::modem

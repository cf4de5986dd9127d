#pragma once
// A simulated band: remote stations sending through the engine's own
// modulators on the receive channels' carriers, modes and speeds, mixed with
// white noise. The noise floor is fixed; each station is as strong as its
// channel's signal-to-noise ratio (noise measured in 3000 Hz) says, and may be
// off frequency, drifting, or on a sound card whose clock is off. Seeded:
// the same script gives the same audio every run.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Audio.h"
#include "Channel.h"
#include "Modem.h"

namespace quorvel::modem {

struct StationSetup {
    int mode = 4;
    double baud = 31.25;
    double carrier = 1500;
    double offsetHz = 0;
    double driftHzPerMinute = 0;
    double clockPpm = 0;
};

class TSimulatedBand final : public IAudioInput {
public:
    static constexpr int kStations = 5;
    static constexpr double kNoiseRms = 0.02;

    TSimulatedBand(double sampleRate, std::uint32_t seed = 1);

    // Station ch sends text (8-bit codes); a station already sending queues
    // it behind what it has. False when the mode has no modulator.
    bool Send(int ch, const std::string& text, const StationSetup& setup);
    void SetSignalToNoise(int ch, double db);
    double SignalToNoise(int ch) const { return stations_[static_cast<std::size_t>(ch)].snrDb; }
    // Characters station ch has not begun to send, and whether it is on the air.
    std::size_t Pending(int ch) const;
    bool OnAir(int ch) const;
    // Seconds since station ch last went off the air (large when it never was on).
    double QuietSeconds(int ch) const;

    std::size_t Read(std::span<float> out) override;

private:
    struct Station {
        std::unique_ptr<IModulator> tx;
        StationSetup setup;
        double snrDb = 20;
        std::size_t pending = 0;
        double seconds = 0;
        double power = 0.5;
        double quiet = 1e9;
    };
    double rate_;
    std::array<Station, kStations> stations_;
    TNoise noise_;
    std::vector<float> scratch_;
};

}  // namespace quorvel::modem

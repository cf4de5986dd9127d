#include "Filters.h"

#include <algorithm>
#include <cmath>

#include "Modes.h"
#include "rtty/Rtty.h"

namespace quorvel::modem {

void TIirChain::AddEdge(bool lowPass, double hz, unsigned order, double sampleRate) {
    const float fc = static_cast<float>(std::clamp(hz / sampleRate, 0.001, 0.49));
    stages_.emplace_back(iirfilt_rrrf_create_prototype(LIQUID_IIRDES_BUTTER,
                                                       lowPass ? LIQUID_IIRDES_LOWPASS : LIQUID_IIRDES_HIGHPASS,
                                                       LIQUID_IIRDES_SOS, std::clamp(order, 1u, 12u), fc, 0.0f,
                                                       1.0f, 60.0f));
}

void TIirChain::AddNotch(double hz, double sampleRate) {
    const double w = 2 * std::numbers::pi * hz / sampleRate;
    const double r = 1.0 - std::numbers::pi * 30.0 / sampleRate;  // ~30 Hz wide
    const float b[3] = {1.0f, static_cast<float>(-2 * std::cos(w)), 1.0f};
    const float a[3] = {1.0f, static_cast<float>(-2 * r * std::cos(w)), static_cast<float>(r * r)};
    // Unity gain away from the notch.
    const float g = static_cast<float>((1 + r) / 2);
    const float bg[3] = {b[0] * g, b[1] * g, b[2] * g};
    stages_.emplace_back(iirfilt_rrrf_create(const_cast<float*>(bg), 3, const_cast<float*>(a), 3));
}

void TIirChain::Process(std::span<float> samples) {
    for (auto& stage : stages_)
        for (float& s : samples) iirfilt_rrrf_execute(stage.get(), s, &s);
}

double OccupiedBandwidth(int mode, double baud) {
    switch (static_cast<ModeId>(mode)) {
        case ModeId::RttyL:
        case ModeId::RttyU: return kRttyShiftHz + 1.5 * baud;
        case ModeId::Fsk: return baud + 1.5 * baud;
        case ModeId::FskW: return 2 * baud + 1.5 * baud;
        case ModeId::MfskL:
        case ModeId::MfskU: return 17 * baud;
        default: return 1.5 * baud;
    }
}

bool BandPassEdges(std::int16_t nBPF, int mode, double baud, double centre, double& low, double& high) {
    static constexpr double kWidths[4] = {0, 4.0, 2.0, 1.3};
    if (nBPF < 1 || nBPF > 3) return false;
    const double half = kWidths[nBPF] * OccupiedBandwidth(mode, baud) / 2;
    low = std::max(10.0, centre - half);
    high = centre + half;
    return true;
}

}  // namespace quorvel::modem

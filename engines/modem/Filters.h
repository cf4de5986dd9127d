#pragma once
// The receive filters on the engine's audio: notches, the operator's custom
// filter, and each channel's fixed band-pass.
//
// nBPF picks the channel's band-pass, centred on FilterCentre = RxCarrier +
// FilterOffset, its width a multiple of the mode's occupied bandwidth B
// (about 1.5 x baud for PSK, the shift plus 1.5 x baud for RTTY and FSK):
// 0 none, 1 wide (4 B), 2 medium (2 B), 3 narrow (1.3 B); each edge a
// fourth-order Butterworth section.
// SetFilter's edges are audio Hz: low-pass passes below edge 1, high-pass
// above edge 1 (edge 2 is the carrier they were measured from), band-pass
// between edge 1 and edge 2. Steepness / 10 is the Butterworth order of each
// edge, 2 to 12. The custom filter and the notches act on the whole input.
// A notch is a second-order notch about 30 Hz wide.
#include <cstdint>
#include <span>
#include <vector>

#include "Dsp.h"

namespace quorvel::modem {

class TIirChain {
public:
    void Clear() { stages_.clear(); }
    bool Empty() const { return stages_.empty(); }
    // Adds a Butterworth low- or high-pass edge at hz.
    void AddEdge(bool lowPass, double hz, unsigned order, double sampleRate);
    void AddNotch(double hz, double sampleRate);
    void Process(std::span<float> samples);

private:
    std::vector<IirHandle> stages_;
};

// The occupied bandwidth the fixed band-pass widths are measured in.
double OccupiedBandwidth(int mode, double baud);
// Lower and upper edge of a channel's fixed band-pass; false for nBPF 0.
bool BandPassEdges(std::int16_t nBPF, int mode, double baud, double centre, double& low, double& high);

}  // namespace quorvel::modem

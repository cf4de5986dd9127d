#pragma once
// Sound cards for the main window's tests: wave outputs 0 "Speakers"
// (0xC000 both channels) and 1 "Headset" (40000), and mixers whose
// destination 0 records, with a multiplexer over "Line In" (source 0) and
// "Microphone" (source 1, selected, volume 1000 left 1200 right) and a volume
// and mute of its own.
#include "SimMultimedia.h"

namespace quorvel::testing {

inline sim::TSimMultimedia RecordingCards(int mixers) {
    using sim::TSimMultimedia;
    TSimMultimedia mm;
    mm.WaveOuts = {{"Speakers", 0xC000C000u, false}, {"Headset", 40000u | (40000u << 16), false}};
    for (int m = 0; m < mixers; ++m) {
        sim::TSimMixerDevice device;
        device.Name = "Card " + std::to_string(m);
        sim::TSimDestination recording;
        recording.Name = "Recording Control";
        recording.ComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
        recording.Controls = {TSimMultimedia::Mux({0, 1}, {"Line In", "Microphone"}, 1),
                              TSimMultimedia::Volume(100, 100), TSimMultimedia::Mute(false)};
        sim::TSimLine line, mic;
        line.Name = "Line In";
        line.Controls = {TSimMultimedia::Volume(3000, 3000), TSimMultimedia::Mute(false)};
        mic.Name = "Microphone";
        mic.Controls = {TSimMultimedia::Volume(1000, 1200), TSimMultimedia::Mute(false)};
        recording.Sources = {line, mic};
        device.Destinations = {recording};
        mm.Mixers.push_back(device);
    }
    return mm;
}

inline std::uint32_t BothChannels(std::uint32_t v) { return v | (v << 16); }

}  // namespace quorvel::testing

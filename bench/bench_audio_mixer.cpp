// A receive-level change writes one control of the open mixer; opening reads
// the whole tree. A card with many sources shows the difference.
#include <benchmark/benchmark.h>

#include "SimMultimedia.h"
#include "audio/RsAudioMixer.h"

namespace {

using quorvel::sim::TSimMultimedia;

TSimMultimedia BigCard(int sources) {
    TSimMultimedia mm;
    quorvel::sim::TSimMixerDevice device;
    quorvel::sim::TSimDestination recording;
    recording.ComponentType = quorvel::MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    std::vector<std::int32_t> items;
    std::vector<std::string> names;
    for (int s = 0; s < sources; ++s) {
        quorvel::sim::TSimLine line;
        line.Name = "Source " + std::to_string(s);
        line.Controls = {TSimMultimedia::Volume(0, 0), TSimMultimedia::Mute(false)};
        recording.Sources.push_back(line);
        items.push_back(s);
        names.push_back(line.Name);
    }
    recording.Controls = {TSimMultimedia::Mux(items, names, 0), TSimMultimedia::Volume(0, 0)};
    device.Destinations = {recording};
    mm.Mixers = {device};
    return mm;
}

void BM_MixerLevelChange(benchmark::State& state) {
    TSimMultimedia mm = BigCard(static_cast<int>(state.range(0)));
    quorvel::TRsAudioMixer mixer(mm);
    std::int32_t v = 0;
    for (auto _ : state) {
        mixer.SetLineState(0, static_cast<std::int32_t>(state.range(0)) - 1, 1, v, v);
        v = (v + 655) % 65536;
        mm.Writes.clear();
    }
}
BENCHMARK(BM_MixerLevelChange)->Arg(4)->Arg(32);

void BM_MixerOpen(benchmark::State& state) {
    TSimMultimedia mm = BigCard(static_cast<int>(state.range(0)));
    quorvel::TRsAudioMixer mixer(mm);
    for (auto _ : state) {
        mixer.SetMixerId(0);
        benchmark::DoNotOptimize(mixer.Destinations().Count());
    }
}
BENCHMARK(BM_MixerOpen)->Arg(4)->Arg(32);

}  // namespace

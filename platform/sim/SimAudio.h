#pragma once
// A sound card for tests and the headless host: output devices with a volume,
// mixers with lines; every write is logged in order.
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "ports/Audio.h"

namespace quorvel::sim {

class TSimAudio final : public IAudioDevices {
public:
    struct Line {
        std::int32_t Left = 0, Right = 0;
        std::int32_t Switch = 0;
        bool HasVolume = true;
    };
    using LineKey = std::tuple<int, int, int>;  // mixer, destination, source (-1 the destination)

    std::unique_ptr<IVolumeControl> CreateVolumeControl() override;
    std::unique_ptr<IAudioMixer> CreateMixer() override;

    int MixerCount = 1;
    std::map<std::int32_t, std::uint16_t> OutputVolumes;  // wave-output device -> volume (-1 the default)
    std::map<LineKey, Line> Lines;
    // "volume <device> <value>", "line <mixer> <dest> <source> <switch> <right> <left>"
    std::vector<std::string> Writes;
    std::vector<std::string> Reads;
};

}  // namespace quorvel::sim

#pragma once
// The volume of one output device through the multimedia port.
#include <cstdint>

#include "ports/Multimedia.h"

namespace quorvel {

// Device kinds; the port offers only the wave output, the others do nothing.
constexpr int kVolumeAux = 0, kVolumeWaveOut = 1, kVolumeMidiOut = 2;


class TRsVolumeControl {
public:
    explicit TRsVolumeControl(IMultimedia& mm) : mm_(mm) {}

    // -1 is the system's default wave-output device.
    std::int32_t Device() const { return device_; }
    void SetDevice(std::int32_t device) { device_ = device; }
    // Low 16 bits left, high 16 bits right: the last value read or written.
    std::uint32_t Value() const { return value_; }

    // The left channel; 0 when the device cannot be read.
    std::uint16_t GetVolume(int kind);
    // Both channels get value.
    void SetVolume(int kind, std::uint16_t value);

private:
    IMultimedia& mm_;
    std::int32_t device_ = IMultimedia::WAVE_MAPPER;
    std::uint32_t value_ = 0;
};

}  // namespace quorvel

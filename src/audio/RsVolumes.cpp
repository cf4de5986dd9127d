#include "audio/RsVolumes.h"

namespace quorvel {

std::uint16_t TRsVolumeControl::GetVolume(int kind) {
    value_ = 0;
    if (kind == kVolumeWaveOut) {
        std::uint32_t read = 0;
        if (mm_.WaveOutGetVolume(device_, read) == MMSYSERR_NOERROR) value_ = read;
    }
    return static_cast<std::uint16_t>(value_ & 0xFFFFu);
}

void TRsVolumeControl::SetVolume(int kind, std::uint16_t value) {
    value_ = static_cast<std::uint32_t>(value) | (static_cast<std::uint32_t>(value) << 16);
    if (kind == kVolumeWaveOut) mm_.WaveOutSetVolume(device_, value_);
}

}  // namespace quorvel

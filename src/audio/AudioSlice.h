#pragma once
// The audio slice's state (src/audio/dsMainFormAudio.cpp): what the window
// read from the sound card before it set its own levels, so that destruction
// gives it back, and what the audio setup wizard chose.
#include <cstdint>

namespace quorvel {

// What the audio setup wizard chose (stored in the settings after OK).
struct TAudioSetupChoice {
    std::int32_t OutSoundCard = -1;
    std::int32_t InSoundCard = 0;
    std::int32_t SoundSource = 0;
    std::int32_t InMixerID = 0;
    std::int32_t InDest = 0;
    bool EnabledRXLevel = false;
    std::int32_t InSelect = 0;
};

struct TAudioState {
    std::int32_t SavedOutputVolume = 0;
    std::int32_t SavedInputLevel = 0;
    // The first reading of the output volume, and on which device.
    bool OutputRead = false;
    std::int32_t OutputDevice = -1;
    // The first reading of the recording line, and which line.
    bool InputRead = false;
    std::int32_t InputMixer = 0, InputDest = 0, InputSource = 0;
};

}  // namespace quorvel

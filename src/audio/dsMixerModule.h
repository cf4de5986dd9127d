#pragma once
// The data module that holds one mixer for the dialogs, and the two device
// lists they offer: wave-output devices by name, recording devices by mixer.
#include <cstdint>
#include <string>
#include <vector>

#include "audio/RsAudioMixer.h"

namespace quorvel {

class TMixerModule {
public:
    explicit TMixerModule(IMultimedia& mm) : Multimedia(mm), RsAudioMixer1(mm) {}
    IMultimedia& Multimedia;
    TRsAudioMixer RsAudioMixer1;  // opened on mixer 0
};

// "Устройство по умолчанию" first when any wave-output device exists, then
// every device's product name in device order; entry i stands for device i - 1.
std::vector<std::string> TransmitDeviceEntries(IMultimedia& mm);

// One entry per wave-input destination of every mixer, in mixer order.
struct TReceiveDevice {
    std::string Name;   // the mixer's product name
    std::int32_t Mixer;
};
// Opens each mixer in turn on the given component.
std::vector<TReceiveDevice> ReceiveDeviceEntries(TRsAudioMixer& mixer);

// The recording destination the options dialog and the wizard offer for an
// opened mixer: the first wave-input destination, its own name first, then its
// sources. Index is -1 when the mixer has none.
struct TRecordingLines {
    std::int32_t Index = -1;
    std::vector<std::string> Names;
};
TRecordingLines FirstRecordingLines(const TRsAudioMixer& mixer);

// The switch check box of a recording line: caption, enabled state, check mark.
struct TSwitchBox {
    std::string Caption;
    bool Enabled = false;
    bool Checked = true;
};
TSwitchBox LineSwitchBox(TRsAudioMixer& mixer, std::int32_t dest, std::int32_t source);

}  // namespace quorvel

#include "audio/dsMixerModule.h"

#include "base/CodePage.h"

namespace quorvel {

std::vector<std::string> TransmitDeviceEntries(IMultimedia& mm) {
    std::vector<std::string> entries;
    const std::uint32_t count = mm.WaveOutGetNumDevs();
    if (count == 0) return entries;
    entries.push_back(Ru("Устройство по умолчанию"));
    for (std::uint32_t i = 0; i < count; ++i) {
        TWaveOutCaps caps;
        mm.WaveOutGetDevCaps(static_cast<std::int32_t>(i), caps);
        entries.push_back(caps.szPname.substr(0, MAXPNAMELEN));
    }
    return entries;
}

std::vector<TReceiveDevice> ReceiveDeviceEntries(TRsAudioMixer& mixer) {
    std::vector<TReceiveDevice> entries;
    for (std::int32_t m = 0; m < mixer.DeviceCount(); ++m) {
        mixer.SetMixerId(m);
        if (mixer.MixerId() != m) continue;
        const TMixerDestinations& destinations = mixer.Destinations();
        for (std::int32_t d = 0; d < destinations.Count(); ++d)
            if (const TMixerDestination* destination = destinations.Get(d);
                destination != nullptr && destination->Line.dwComponentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN)
                entries.push_back({mixer.ProductName().substr(0, MAXPNAMELEN), m});
    }
    return entries;
}

TRecordingLines FirstRecordingLines(const TRsAudioMixer& mixer) {
    TRecordingLines lines;
    const TMixerDestinations& destinations = mixer.Destinations();
    for (std::int32_t d = 0; d < destinations.Count(); ++d) {
        const TMixerDestination* destination = destinations.Get(d);
        if (destination == nullptr || destination->Line.dwComponentType != MIXERLINE_COMPONENTTYPE_DST_WAVEIN) continue;
        lines.Index = d;
        lines.Names.push_back(destination->Line.szName);
        for (std::int32_t s = 0; s < destination->Connections.Count(); ++s)
            if (const TMixerConnection* source = destination->Connections.Get(s)) lines.Names.push_back(source->Line.szName);
        break;
    }
    return lines;
}

TSwitchBox LineSwitchBox(TRsAudioMixer& mixer, std::int32_t dest, std::int32_t source) {
    TLineState state;
    mixer.GetLineState(dest, source, state);
    TSwitchBox box;
    box.Caption = Ru(state.IsSelect ? "Выбрать" : "Отключить");
    // No switch at all shows checked and disabled.
    box.Enabled = state.SwitchValue != -1 && !state.SwitchDisabled;
    box.Checked = state.SwitchValue != 0;
    return box;
}

}  // namespace quorvel

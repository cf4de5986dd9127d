#include "SimMultimedia.h"

#include <algorithm>

namespace quorvel::sim {
namespace {

std::uint32_t DestinationLineId(std::uint32_t dest) { return 0xFFFF0000u | dest; }
std::uint32_t SourceLineId(std::uint32_t dest, std::uint32_t source) { return ((source + 1) << 16) | dest; }

}  // namespace

TSimControl TSimMultimedia::Volume(std::uint32_t left, std::uint32_t right, std::uint32_t flags) {
    TSimControl c;
    c.Type = MIXERCONTROL_CONTROLTYPE_VOLUME;
    c.Flags = flags;
    c.Name = "Volume";
    c.Values = {left, right};
    return c;
}

TSimControl TSimMultimedia::MonoVolume(std::uint32_t value, std::uint32_t flags) {
    TSimControl c = Volume(value, value, flags);
    c.Values = {value};
    return c;
}

TSimControl TSimMultimedia::Mute(bool muted, std::uint32_t channels, std::uint32_t flags) {
    TSimControl c;
    c.Type = MIXERCONTROL_CONTROLTYPE_MUTE;
    c.Flags = flags;
    c.Name = "Mute";
    c.Values.assign((flags & MIXERCONTROL_CONTROLF_UNIFORM) != 0 ? 1 : channels, muted ? 1u : 0u);
    return c;
}

TSimControl TSimMultimedia::Mux(std::vector<std::int32_t> sources, std::vector<std::string> names, int selected) {
    TSimControl c;
    c.Type = MIXERCONTROL_CONTROLTYPE_MUX;
    c.Flags = MIXERCONTROL_CONTROLF_UNIFORM | MIXERCONTROL_CONTROLF_MULTIPLE;
    c.Name = "Recording Source";
    c.Values.assign(sources.size(), 0);
    if (selected >= 0 && static_cast<std::size_t>(selected) < sources.size())
        c.Values[static_cast<std::size_t>(selected)] = 1;
    c.ItemSources = std::move(sources);
    c.ItemNames = std::move(names);
    c.ItemNames.resize(c.ItemSources.size());
    return c;
}

TSimMultimedia TSimMultimedia::SoundCard(const std::string& name) {
    TSimMultimedia mm;
    mm.WaveOuts = {{name, 0xC000C000u, false}};
    TSimMixerDevice device;
    device.Name = name;
    TSimDestination speakers;
    speakers.Name = "Volume Control";
    speakers.ComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    speakers.Controls = {Volume(0xC000, 0xC000), Mute(false)};
    TSimLine wave;
    wave.Name = "Wave";
    wave.ComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    wave.Controls = {Volume(0xC000, 0xC000), Mute(false)};
    speakers.Sources = {wave};
    TSimDestination recording;
    recording.Name = "Recording Control";
    recording.ComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    recording.Controls = {Mux({0, 1}, {"Line In", "Microphone"}, 1), Volume(0x8000, 0x8000)};
    TSimLine line;
    line.Name = "Line In";
    line.Controls = {Volume(0x8000, 0x8000), Mute(false)};
    TSimLine mic;
    mic.Name = "Microphone";
    mic.ComponentType = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
    mic.Channels = 1;
    mic.Controls = {MonoVolume(0x8000), Mute(false, 1)};
    recording.Sources = {line, mic};
    device.Destinations = {speakers, recording};
    mm.Mixers = {device};
    return mm;
}

std::uint32_t TSimMultimedia::MixerGetNumDevs() { return static_cast<std::uint32_t>(Mixers.size()); }

MMRESULT TSimMultimedia::MixerGetDevCaps(std::uint32_t deviceId, TMixerCaps& caps) {
    if (deviceId >= Mixers.size()) return MMSYSERR_BADDEVICEID;
    const TSimMixerDevice& device = Mixers[deviceId];
    caps = TMixerCaps{};
    caps.wMid = device.Mid;
    caps.wPid = device.Pid;
    caps.vDriverVersion = device.DriverVersion;
    caps.szPname = device.Name.substr(0, MAXPNAMELEN);
    caps.cDestinations = static_cast<std::uint32_t>(device.Destinations.size());
    return MMSYSERR_NOERROR;
}

MMRESULT TSimMultimedia::MixerOpen(HMIXER& mixer, std::uint32_t deviceId, IMixerCallbackWindow* window) {
    if (deviceId >= Mixers.size()) return MMSYSERR_BADDEVICEID;
    TSimMixerDevice& device = Mixers[deviceId];
    if (device.FailOpens > 0) {
        --device.FailOpens;
        return MMSYSERR_ERROR;
    }
    if (window != nullptr && device.NoNotifications) return MMSYSERR_INVALPARAM;
    std::uint32_t controlId = 1;
    for (std::uint32_t d = 0; d < device.Destinations.size(); ++d) {
        auto& destination = device.Destinations[d];
        destination.LineId = DestinationLineId(d);
        for (std::uint32_t s = 0; s < destination.Sources.size(); ++s) {
            destination.Sources[s].LineId = SourceLineId(d, s);
            for (auto& c : destination.Sources[s].Controls) c.Id = controlId++;
        }
        for (auto& c : destination.Controls) c.Id = controlId++;
    }
    mixer = next_++;
    handles_[mixer] = {deviceId, window};
    return MMSYSERR_NOERROR;
}

MMRESULT TSimMultimedia::MixerClose(HMIXER mixer) {
    return handles_.erase(mixer) != 0 ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

TSimMixerDevice* TSimMultimedia::DeviceOf(HMIXER mixer) {
    auto it = handles_.find(mixer);
    return it == handles_.end() ? nullptr : &Mixers.at(it->second.Device);
}

void TSimMultimedia::Describe(const TSimLine& line, TMixerLine& out) {
    out.dwLineID = line.LineId;
    out.dwComponentType = line.ComponentType;
    out.cChannels = line.Channels;
    out.cControls = static_cast<std::uint32_t>(line.Controls.size());
    out.szName = line.Name.substr(0, MIXER_LONG_NAME_CHARS);
    out.szShortName = line.Name.substr(0, MIXER_SHORT_NAME_CHARS);
    out.fdwLine = MIXERLINE_LINEF_ACTIVE;
}

MMRESULT TSimMultimedia::MixerGetLineInfoDestination(HMIXER mixer, TMixerLine& line) {
    TSimMixerDevice* device = DeviceOf(mixer);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (line.dwDestination >= device->Destinations.size()) return MIXERR_INVALLINE;
    const TSimDestination& destination = device->Destinations[line.dwDestination];
    if (destination.Refused) return MMSYSERR_ERROR;
    Describe(destination, line);
    line.dwSource = 0;
    line.cConnections = static_cast<std::uint32_t>(destination.Sources.size());
    return MMSYSERR_NOERROR;
}

MMRESULT TSimMultimedia::MixerGetLineInfoSource(HMIXER mixer, TMixerLine& line) {
    TSimMixerDevice* device = DeviceOf(mixer);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (line.dwDestination >= device->Destinations.size()) return MIXERR_INVALLINE;
    const TSimDestination& destination = device->Destinations[line.dwDestination];
    if (line.dwSource >= destination.Sources.size()) return MIXERR_INVALLINE;
    const TSimLine& source = destination.Sources[line.dwSource];
    if (source.Refused) return MMSYSERR_ERROR;
    Describe(source, line);
    line.fdwLine |= MIXERLINE_LINEF_SOURCE;
    line.cConnections = 0;
    return MMSYSERR_NOERROR;
}

TSimLine* TSimMultimedia::LineById(TSimMixerDevice& device, std::uint32_t lineId) {
    for (auto& destination : device.Destinations) {
        if (destination.LineId == lineId) return &destination;
        for (auto& source : destination.Sources)
            if (source.LineId == lineId) return &source;
    }
    return nullptr;
}

TSimMultimedia::TFound TSimMultimedia::ControlById(TSimMixerDevice& device, std::uint32_t controlId) {
    auto search = [&](TSimLine& line) -> TFound {
        for (auto& c : line.Controls)
            if (c.Id == controlId) return {&line, &c};
        return {};
    };
    for (auto& destination : device.Destinations) {
        if (auto found = search(destination); found.Control) return found;
        for (auto& source : destination.Sources)
            if (auto found = search(source); found.Control) return found;
    }
    return {};
}

MMRESULT TSimMultimedia::MixerGetLineControls(HMIXER mixer, std::uint32_t lineId,
                                              std::vector<TMixerControl>& controls) {
    TSimMixerDevice* device = DeviceOf(mixer);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    TSimLine* line = LineById(*device, lineId);
    if (line == nullptr) return MIXERR_INVALLINE;
    if (line->FailControls) return MMSYSERR_ERROR;
    controls.clear();
    for (const auto& c : line->Controls) {
        TMixerControl out;
        out.dwControlID = c.Id;
        out.dwControlType = c.Type;
        out.fdwControl = c.Flags;
        out.cMultipleItems = static_cast<std::uint32_t>(c.ItemSources.size());
        out.szName = c.Name.substr(0, MIXER_LONG_NAME_CHARS);
        out.szShortName = c.Name.substr(0, MIXER_SHORT_NAME_CHARS);
        out.lMaximum = c.Type == MIXERCONTROL_CONTROLTYPE_VOLUME ? 65535 : 1;
        controls.push_back(out);
    }
    return MMSYSERR_NOERROR;
}

std::uint32_t TSimMultimedia::ChannelsOf(const TSimControl& control, const TSimLine& line) {
    return (control.Flags & MIXERCONTROL_CONTROLF_UNIFORM) != 0 ? 1u : line.Channels;
}

MMRESULT TSimMultimedia::MixerGetControlDetails(HMIXER mixer, const TMixerControlDetails& details,
                                                std::vector<std::uint32_t>& values) {
    TSimMixerDevice* device = DeviceOf(mixer);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    TFound found = ControlById(*device, details.dwControlID);
    if (found.Control == nullptr) return MIXERR_INVALCONTROL;
    if (found.Control->FailRead) return MMSYSERR_ERROR;
    if (details.cChannels != ChannelsOf(*found.Control, *found.Line) ||
        details.cMultipleItems != found.Control->ItemSources.size())
        return MMSYSERR_INVALPARAM;
    values = found.Control->Values;
    values.resize(static_cast<std::size_t>(details.cChannels) * std::max<std::uint32_t>(details.cMultipleItems, 1));
    return MMSYSERR_NOERROR;
}

MMRESULT TSimMultimedia::MixerGetControlListText(HMIXER mixer, const TMixerControlDetails& details,
                                                 std::vector<TMixerListText>& items) {
    TSimMixerDevice* device = DeviceOf(mixer);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    TFound found = ControlById(*device, details.dwControlID);
    if (found.Control == nullptr) return MIXERR_INVALCONTROL;
    const TSimControl& c = *found.Control;
    if (c.FailRead) return MMSYSERR_ERROR;
    if (c.ItemSources.empty() || details.cMultipleItems != c.ItemSources.size() || details.cChannels == 0)
        return MMSYSERR_INVALPARAM;
    // Which destination owns the control decides the line ids of its items.
    std::uint32_t dest = 0;
    for (std::uint32_t d = 0; d < device->Destinations.size(); ++d)
        if (&device->Destinations[d] == found.Line) dest = d;
    items.clear();
    for (std::size_t k = 0; k < c.ItemSources.size(); ++k)
        for (std::uint32_t ch = 0; ch < details.cChannels; ++ch) {
            TMixerListText item;
            const std::int32_t source = c.ItemSources[k];
            item.dwParam1 = source < 0 ? 0xDEAD0000u + static_cast<std::uint32_t>(k)
                                       : SourceLineId(dest, static_cast<std::uint32_t>(source));
            item.szName = c.ItemNames[k];
            items.push_back(item);
        }
    return MMSYSERR_NOERROR;
}

MMRESULT TSimMultimedia::MixerSetControlDetails(HMIXER mixer, const TMixerControlDetails& details,
                                                const std::vector<std::uint32_t>& values) {
    TSimMixerDevice* device = DeviceOf(mixer);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    TFound found = ControlById(*device, details.dwControlID);
    if (found.Control == nullptr) return MIXERR_INVALCONTROL;
    const std::size_t expected =
        static_cast<std::size_t>(ChannelsOf(*found.Control, *found.Line)) *
        std::max<std::size_t>(found.Control->ItemSources.size(), 1);
    if (values.size() != expected) return MMSYSERR_INVALPARAM;
    std::string log = "control " + std::to_string(handles_[mixer].Device) + " " + std::to_string(details.dwControlID);
    for (auto v : values) log += " " + std::to_string(v);
    Writes.push_back(log);
    found.Control->Values = values;
    return MMSYSERR_NOERROR;
}

TSimWaveOut* TSimMultimedia::WaveOut(std::int32_t deviceId) {
    if (deviceId == WAVE_MAPPER) deviceId = DefaultWaveOut;
    if (deviceId < 0 || static_cast<std::size_t>(deviceId) >= WaveOuts.size()) return nullptr;
    return &WaveOuts[static_cast<std::size_t>(deviceId)];
}

MMRESULT TSimMultimedia::WaveOutGetDevCaps(std::int32_t deviceId, TWaveOutCaps& caps) {
    TSimWaveOut* device = WaveOut(deviceId);
    if (device == nullptr) return MMSYSERR_BADDEVICEID;
    caps = TWaveOutCaps{};
    caps.wMid = 1;
    caps.wChannels = 2;
    caps.szPname = device->Name.substr(0, MAXPNAMELEN);
    return MMSYSERR_NOERROR;
}

MMRESULT TSimMultimedia::WaveOutGetVolume(std::int32_t deviceId, std::uint32_t& volume) {
    TSimWaveOut* device = WaveOut(deviceId);
    if (device == nullptr) return MMSYSERR_BADDEVICEID;
    if (device->FailRead) return MMSYSERR_ERROR;
    volume = device->Volume;
    return MMSYSERR_NOERROR;
}

MMRESULT TSimMultimedia::WaveOutSetVolume(std::int32_t deviceId, std::uint32_t volume) {
    Writes.push_back("waveout " + std::to_string(deviceId) + " " + std::to_string(volume));
    TSimWaveOut* device = WaveOut(deviceId);
    if (device == nullptr) return MMSYSERR_BADDEVICEID;
    device->Volume = volume;
    return MMSYSERR_NOERROR;
}

void TSimMultimedia::NotifyControlChange(std::uint32_t deviceId, std::uint32_t controlId) {
    for (const auto& [handle, h] : handles_)
        if (h.Device == deviceId && h.Window != nullptr) h.Window->MixerMessage(MM_MIXM_CONTROL_CHANGE, handle, controlId);
}

void TSimMultimedia::NotifyLineChange(std::uint32_t deviceId, std::uint32_t lineId) {
    for (const auto& [handle, h] : handles_)
        if (h.Device == deviceId && h.Window != nullptr) h.Window->MixerMessage(MM_MIXM_LINE_CHANGE, handle, lineId);
}

TSimLine& TSimMultimedia::Line(std::uint32_t mixer, std::uint32_t dest, std::int32_t source) {
    TSimDestination& destination = Mixers.at(mixer).Destinations.at(dest);
    return source < 0 ? static_cast<TSimLine&>(destination) : destination.Sources.at(static_cast<std::size_t>(source));
}

}  // namespace quorvel::sim

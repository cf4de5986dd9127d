#include "AlsaMixer.h"

#include <algorithm>
#include <cmath>

#include "AlsaSupport.h"
#include "base/CodePage.h"

namespace quorvel::linux_platform {
namespace {

enum class TKind { PlaybackVolume, PlaybackMute, CaptureVolume, CaptureMute, EnumMux, ExclusiveMux };

struct TItem {
    std::uint32_t LineId = 0;
    std::uint32_t ComponentType = MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED;
    std::string Name;
    snd_mixer_elem_t* Elem = nullptr;  // the source's element (exclusive switches)
};

struct TCtl {
    TMixerControl Desc;
    TKind Kind = TKind::CaptureVolume;
    snd_mixer_elem_t* Elem = nullptr;
    std::vector<TItem> Items;
};

struct TLine {
    TMixerLine Desc;
    std::vector<std::uint32_t> Controls;  // ids, in order
};

struct TDest {
    TLine Line;
    std::vector<TLine> Sources;
};

std::uint32_t DestinationLineId(std::uint32_t d) { return 0xFFFF0000u | d; }
std::uint32_t SourceLineId(std::uint32_t d, std::uint32_t s) { return ((s + 1) << 16) | d; }

std::string ElementName(snd_mixer_elem_t* elem) {
    std::string name = snd_mixer_selem_get_name(elem);
    if (const unsigned index = snd_mixer_selem_get_index(elem); index > 0) name += " " + std::to_string(index);
    return name;
}

std::uint32_t ComponentTypeOf(const std::string& name) {
    auto has = [&](const char* word) { return name.find(word) != std::string::npos; };
    if (has("Mic")) return MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
    if (has("Line")) return MIXERLINE_COMPONENTTYPE_SRC_LINE;
    if (has("CD")) return MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    if (has("PCM") || has("Wave")) return MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    if (has("Aux")) return MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY;
    if (has("IEC958") || has("Digital") || has("SPDIF")) return MIXERLINE_COMPONENTTYPE_SRC_DIGITAL;
    return MIXERLINE_COMPONENTTYPE_SRC_ANALOG;
}

void SetNames(TMixerLine& line, const std::string& utf8) {
    const std::string name = Utf8ToCp1251(utf8);
    line.szName = name.substr(0, MIXER_LONG_NAME_CHARS);
    line.szShortName = name.substr(0, MIXER_SHORT_NAME_CHARS);
}

std::uint32_t ToLevel(long raw, long min, long max) {
    if (max <= min) return 0;
    const double level = std::round(static_cast<double>(raw - min) * 65535.0 / static_cast<double>(max - min));
    return static_cast<std::uint32_t>(std::clamp(level, 0.0, 65535.0));
}

long FromLevel(std::uint32_t level, long min, long max) {
    const double v = std::min<double>(level, 65535.0);
    return min + std::lround(v * static_cast<double>(max - min) / 65535.0);
}

constexpr snd_mixer_selem_channel_id_t kLeft = SND_MIXER_SCHN_FRONT_LEFT;
constexpr snd_mixer_selem_channel_id_t kRight = SND_MIXER_SCHN_FRONT_RIGHT;

bool Capture(TKind kind) { return kind == TKind::CaptureVolume || kind == TKind::CaptureMute; }

bool HasChannel(snd_mixer_elem_t* elem, TKind kind, snd_mixer_selem_channel_id_t ch) {
    return Capture(kind) ? snd_mixer_selem_has_capture_channel(elem, ch) != 0
                         : snd_mixer_selem_has_playback_channel(elem, ch) != 0;
}

// The element's channel that carries system channel index i.
snd_mixer_selem_channel_id_t ChannelOf(snd_mixer_elem_t* elem, TKind kind, std::uint32_t i) {
    return i >= 1 && HasChannel(elem, kind, kRight) ? kRight : kLeft;
}

}  // namespace

struct TAlsaMultimedia::TOpenMixer {
    TAlsaMixer Mixer;
    std::vector<TDest> Dests;
    std::map<std::uint32_t, TCtl> Controls;
    std::uint32_t NextControl = 1;

    std::uint32_t Add(TCtl ctl) {
        ctl.Desc.dwControlID = NextControl++;
        const std::uint32_t id = ctl.Desc.dwControlID;
        Controls.emplace(id, std::move(ctl));
        return id;
    }

    TCtl Level(TKind kind, snd_mixer_elem_t* elem, const char* name) {
        TCtl ctl;
        ctl.Kind = kind;
        ctl.Elem = elem;
        ctl.Desc.szName = name;
        ctl.Desc.szShortName = name;
        const bool volume = kind == TKind::CaptureVolume || kind == TKind::PlaybackVolume;
        ctl.Desc.dwControlType = volume ? MIXERCONTROL_CONTROLTYPE_VOLUME : MIXERCONTROL_CONTROLTYPE_MUTE;
        ctl.Desc.lMinimum = 0;
        ctl.Desc.lMaximum = volume ? 65535 : 1;
        bool joined = false;
        switch (kind) {
            case TKind::CaptureVolume: joined = snd_mixer_selem_has_capture_volume_joined(elem); break;
            case TKind::CaptureMute: joined = snd_mixer_selem_has_capture_switch_joined(elem); break;
            case TKind::PlaybackVolume: joined = snd_mixer_selem_has_playback_volume_joined(elem); break;
            case TKind::PlaybackMute: joined = snd_mixer_selem_has_playback_switch_joined(elem); break;
            default: break;
        }
        if (joined) ctl.Desc.fdwControl |= MIXERCONTROL_CONTROLF_UNIFORM;
        return ctl;
    }

    // A line made of one element's playback or capture side.
    TLine ElementLine(snd_mixer_elem_t* elem, bool capture, std::uint32_t d, std::uint32_t s) {
        TLine line;
        SetNames(line.Desc, ElementName(elem));
        line.Desc.dwDestination = d;
        line.Desc.dwSource = s;
        line.Desc.dwLineID = SourceLineId(d, s);
        line.Desc.fdwLine = MIXERLINE_LINEF_ACTIVE | MIXERLINE_LINEF_SOURCE;
        line.Desc.dwComponentType = ComponentTypeOf(snd_mixer_selem_get_name(elem));
        const bool mono = capture ? snd_mixer_selem_is_capture_mono(elem) : snd_mixer_selem_is_playback_mono(elem);
        line.Desc.cChannels = mono ? 1 : 2;
        AddLevels(line, elem, capture, false);
        return line;
    }

    void AddLevels(TLine& line, snd_mixer_elem_t* elem, bool capture, bool exclusiveAsSelect) {
        if (capture) {
            if (snd_mixer_selem_has_capture_volume(elem))
                line.Controls.push_back(Add(Level(TKind::CaptureVolume, elem, "Capture Volume")));
            if (snd_mixer_selem_has_capture_switch(elem) &&
                !(exclusiveAsSelect && snd_mixer_selem_has_capture_switch_exclusive(elem)))
                line.Controls.push_back(Add(Level(TKind::CaptureMute, elem, "Capture Mute")));
        } else {
            if (snd_mixer_selem_has_playback_volume(elem))
                line.Controls.push_back(Add(Level(TKind::PlaybackVolume, elem, "Volume")));
            if (snd_mixer_selem_has_playback_switch(elem))
                line.Controls.push_back(Add(Level(TKind::PlaybackMute, elem, "Mute")));
        }
    }

    void Build() {
        snd_mixer_t* m = Mixer.get();
        std::vector<snd_mixer_elem_t*> playback, capture, selectors;
        snd_mixer_elem_t* master = nullptr;
        snd_mixer_elem_t* pcm = nullptr;
        snd_mixer_elem_t* masterCapture = nullptr;
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(m); e != nullptr; e = snd_mixer_elem_next(e)) {
            if (!snd_mixer_selem_is_active(e)) continue;
            if (IsCaptureSourceSelector(e)) selectors.push_back(e);
            if (IsPlaybackElement(e)) {
                const std::string name = snd_mixer_selem_get_name(e);
                if (name == "Master" && master == nullptr) master = e;
                else if (name == "PCM" && pcm == nullptr) pcm = e;
                playback.push_back(e);
            }
            if (IsCaptureElement(e)) {
                if (IsMasterCapture(e) && masterCapture == nullptr) masterCapture = e;
                else capture.push_back(e);
            }
        }

        if (!playback.empty()) {
            const auto d = static_cast<std::uint32_t>(Dests.size());
            TDest dest;
            snd_mixer_elem_t* own = master != nullptr ? master : pcm;
            dest.Line.Desc.dwDestination = d;
            dest.Line.Desc.dwLineID = DestinationLineId(d);
            dest.Line.Desc.fdwLine = MIXERLINE_LINEF_ACTIVE;
            dest.Line.Desc.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
            SetNames(dest.Line.Desc, "Playback");
            dest.Line.Desc.cChannels = own != nullptr && snd_mixer_selem_is_playback_mono(own) ? 1 : 2;
            if (own != nullptr) AddLevels(dest.Line, own, false, false);
            for (snd_mixer_elem_t* e : playback)
                if (e != own)
                    dest.Sources.push_back(ElementLine(e, false, d, static_cast<std::uint32_t>(dest.Sources.size())));
            Dests.push_back(std::move(dest));
        }

        if (!capture.empty() || masterCapture != nullptr || !selectors.empty()) {
            const auto d = static_cast<std::uint32_t>(Dests.size());
            TDest dest;
            dest.Line.Desc.dwDestination = d;
            dest.Line.Desc.dwLineID = DestinationLineId(d);
            dest.Line.Desc.fdwLine = MIXERLINE_LINEF_ACTIVE;
            dest.Line.Desc.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
            SetNames(dest.Line.Desc, "Capture");
            dest.Line.Desc.cChannels =
                masterCapture != nullptr && snd_mixer_selem_is_capture_mono(masterCapture) ? 1 : 2;
            std::vector<snd_mixer_elem_t*> exclusive;
            for (snd_mixer_elem_t* e : capture) {
                TLine line = ElementLine(e, true, d, static_cast<std::uint32_t>(dest.Sources.size()));
                if (snd_mixer_selem_has_capture_switch(e) && snd_mixer_selem_has_capture_switch_exclusive(e)) {
                    exclusive.push_back(e);
                    // The switch selects; it is no mute control of the line.
                    std::erase_if(line.Controls, [&](std::uint32_t id) {
                        return Controls.at(id).Kind == TKind::CaptureMute;
                    });
                }
                dest.Sources.push_back(std::move(line));
            }
            auto sourceNamed = [&](const std::string& utf8) -> const TLine* {
                const std::string name = Utf8ToCp1251(utf8).substr(0, MIXER_LONG_NAME_CHARS);
                for (const auto& s : dest.Sources)
                    if (s.Desc.szName == name) return &s;
                return nullptr;
            };
            // Selector items that name no element become lines of their own.
            for (snd_mixer_elem_t* e : selectors) {
                const int count = snd_mixer_selem_get_enum_items(e);
                for (int i = 0; i < count; ++i) {
                    char buffer[64] = {};
                    if (snd_mixer_selem_get_enum_item_name(e, static_cast<unsigned>(i), sizeof buffer - 1, buffer) < 0)
                        continue;
                    if (sourceNamed(buffer) != nullptr) continue;
                    TLine line;
                    SetNames(line.Desc, buffer);
                    line.Desc.dwDestination = d;
                    line.Desc.dwSource = static_cast<std::uint32_t>(dest.Sources.size());
                    line.Desc.dwLineID = SourceLineId(d, line.Desc.dwSource);
                    line.Desc.fdwLine = MIXERLINE_LINEF_ACTIVE | MIXERLINE_LINEF_SOURCE;
                    line.Desc.dwComponentType = ComponentTypeOf(buffer);
                    line.Desc.cChannels = 2;
                    dest.Sources.push_back(std::move(line));
                }
            }
            for (snd_mixer_elem_t* e : selectors) {
                TCtl mux;
                mux.Kind = TKind::EnumMux;
                mux.Elem = e;
                mux.Desc.dwControlType = MIXERCONTROL_CONTROLTYPE_MUX;
                mux.Desc.fdwControl = MIXERCONTROL_CONTROLF_UNIFORM | MIXERCONTROL_CONTROLF_MULTIPLE;
                mux.Desc.szName = Utf8ToCp1251(snd_mixer_selem_get_name(e)).substr(0, MIXER_LONG_NAME_CHARS);
                mux.Desc.szShortName = mux.Desc.szName.substr(0, MIXER_SHORT_NAME_CHARS);
                mux.Desc.lMaximum = 1;
                const int count = snd_mixer_selem_get_enum_items(e);
                for (int i = 0; i < count; ++i) {
                    char buffer[64] = {};
                    snd_mixer_selem_get_enum_item_name(e, static_cast<unsigned>(i), sizeof buffer - 1, buffer);
                    TItem item;
                    item.Name = Utf8ToCp1251(buffer);
                    if (const TLine* s = sourceNamed(buffer)) {
                        item.LineId = s->Desc.dwLineID;
                        item.ComponentType = s->Desc.dwComponentType;
                    }
                    mux.Items.push_back(item);
                }
                mux.Desc.cMultipleItems = static_cast<std::uint32_t>(mux.Items.size());
                dest.Line.Controls.push_back(Add(std::move(mux)));
            }
            if (!exclusive.empty()) {
                TCtl mux;
                mux.Kind = TKind::ExclusiveMux;
                mux.Desc.dwControlType = MIXERCONTROL_CONTROLTYPE_MUX;
                mux.Desc.fdwControl = MIXERCONTROL_CONTROLF_UNIFORM | MIXERCONTROL_CONTROLF_MULTIPLE;
                mux.Desc.szName = mux.Desc.szShortName = "Capture Select";
                mux.Desc.lMaximum = 1;
                for (snd_mixer_elem_t* e : exclusive) {
                    TItem item;
                    item.Elem = e;
                    if (const TLine* s = sourceNamed(ElementName(e))) {
                        item.LineId = s->Desc.dwLineID;
                        item.ComponentType = s->Desc.dwComponentType;
                        item.Name = s->Desc.szName;
                    }
                    mux.Items.push_back(item);
                }
                mux.Desc.cMultipleItems = static_cast<std::uint32_t>(mux.Items.size());
                dest.Line.Controls.push_back(Add(std::move(mux)));
            }
            if (masterCapture != nullptr) AddLevels(dest.Line, masterCapture, true, false);
            Dests.push_back(std::move(dest));
        }
        for (auto& dest : Dests) {
            dest.Line.Desc.cConnections = static_cast<std::uint32_t>(dest.Sources.size());
            dest.Line.Desc.cControls = static_cast<std::uint32_t>(dest.Line.Controls.size());
            for (auto& s : dest.Sources) s.Desc.cControls = static_cast<std::uint32_t>(s.Controls.size());
        }
    }

    const TLine* LineById(std::uint32_t id) const {
        for (const auto& d : Dests) {
            if (d.Line.Desc.dwLineID == id) return &d.Line;
            for (const auto& s : d.Sources)
                if (s.Desc.dwLineID == id) return &s;
        }
        return nullptr;
    }

    std::uint32_t ReadLevel(const TCtl& ctl, std::uint32_t channel) const {
        const snd_mixer_selem_channel_id_t ch = ChannelOf(ctl.Elem, ctl.Kind, channel);
        long min = 0, max = 0, raw = 0;
        int on = 1;
        switch (ctl.Kind) {
            case TKind::CaptureVolume:
                snd_mixer_selem_get_capture_volume_range(ctl.Elem, &min, &max);
                snd_mixer_selem_get_capture_volume(ctl.Elem, ch, &raw);
                return ToLevel(raw, min, max);
            case TKind::PlaybackVolume:
                snd_mixer_selem_get_playback_volume_range(ctl.Elem, &min, &max);
                snd_mixer_selem_get_playback_volume(ctl.Elem, ch, &raw);
                return ToLevel(raw, min, max);
            case TKind::CaptureMute:
                snd_mixer_selem_get_capture_switch(ctl.Elem, ch, &on);
                return on != 0 ? 0 : 1;
            case TKind::PlaybackMute:
                snd_mixer_selem_get_playback_switch(ctl.Elem, ch, &on);
                return on != 0 ? 0 : 1;
            default: return 0;
        }
    }

    int WriteLevel(const TCtl& ctl, const std::vector<std::uint32_t>& values, bool uniform) {
        long min = 0, max = 0;
        int rc = 0;
        auto each = [&](auto write) {
            for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c) {
                const auto ch = static_cast<snd_mixer_selem_channel_id_t>(c);
                if (!HasChannel(ctl.Elem, ctl.Kind, ch)) continue;
                const std::uint32_t v = uniform || values.size() < 2 || ch != kRight ? values[0] : values[1];
                if (const int r = write(ch, v); r < 0) rc = r;
            }
        };
        switch (ctl.Kind) {
            case TKind::CaptureVolume:
                snd_mixer_selem_get_capture_volume_range(ctl.Elem, &min, &max);
                each([&](auto ch, std::uint32_t v) {
                    return snd_mixer_selem_set_capture_volume(ctl.Elem, ch, FromLevel(v, min, max));
                });
                break;
            case TKind::PlaybackVolume:
                snd_mixer_selem_get_playback_volume_range(ctl.Elem, &min, &max);
                each([&](auto ch, std::uint32_t v) {
                    return snd_mixer_selem_set_playback_volume(ctl.Elem, ch, FromLevel(v, min, max));
                });
                break;
            case TKind::CaptureMute:
                each([&](auto ch, std::uint32_t v) { return snd_mixer_selem_set_capture_switch(ctl.Elem, ch, v == 0); });
                break;
            case TKind::PlaybackMute:
                each([&](auto ch, std::uint32_t v) { return snd_mixer_selem_set_playback_switch(ctl.Elem, ch, v == 0); });
                break;
            default: break;
        }
        return rc;
    }
};

TAlsaMultimedia::TAlsaMultimedia() = default;
TAlsaMultimedia::TAlsaMultimedia(std::vector<TSoundDevice> devices)
    : fixed_(true), enumerated_(true), devices_(std::move(devices)) {}
TAlsaMultimedia::~TAlsaMultimedia() = default;

const std::vector<TSoundDevice>& TAlsaMultimedia::Devices() {
    if (!enumerated_) {
        devices_ = EnumerateSoundDevices();
        enumerated_ = true;
    }
    return devices_;
}

TAlsaMultimedia::TOpenMixer* TAlsaMultimedia::Find(HMIXER mixer) {
    auto it = open_.find(mixer);
    return it == open_.end() ? nullptr : it->second.get();
}

std::uint32_t TAlsaMultimedia::MixerGetNumDevs() {
    if (!fixed_) enumerated_ = false;
    return static_cast<std::uint32_t>(Devices().size());
}

MMRESULT TAlsaMultimedia::MixerGetDevCaps(std::uint32_t deviceId, TMixerCaps& caps) {
    const auto& devices = Devices();
    if (deviceId >= devices.size()) return MMSYSERR_BADDEVICEID;
    TAlsaMixer mixer = OpenSimpleMixer(devices[deviceId].Control);
    if (!mixer) return MMSYSERR_NODRIVER;
    TOpenMixer tree{std::move(mixer), {}, {}, 1};
    tree.Build();
    caps = TMixerCaps{};
    caps.szPname = Utf8ToCp1251(devices[deviceId].Name).substr(0, MAXPNAMELEN);
    caps.cDestinations = static_cast<std::uint32_t>(tree.Dests.size());
    return MMSYSERR_NOERROR;
}

MMRESULT TAlsaMultimedia::MixerOpen(HMIXER& mixer, std::uint32_t deviceId, IMixerCallbackWindow* window) {
    // No notifications: say so, and the caller opens without them.
    if (window != nullptr) return MMSYSERR_NOTSUPPORTED;
    const auto& devices = Devices();
    if (deviceId >= devices.size()) return MMSYSERR_BADDEVICEID;
    TAlsaMixer alsa = OpenSimpleMixer(devices[deviceId].Control);
    if (!alsa) return MMSYSERR_NODRIVER;
    auto open = std::make_unique<TOpenMixer>();
    open->Mixer = std::move(alsa);
    open->Build();
    mixer = next_++;
    open_.emplace(mixer, std::move(open));
    return MMSYSERR_NOERROR;
}

MMRESULT TAlsaMultimedia::MixerClose(HMIXER mixer) {
    return open_.erase(mixer) != 0 ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

MMRESULT TAlsaMultimedia::MixerGetLineInfoDestination(HMIXER mixer, TMixerLine& line) {
    TOpenMixer* open = Find(mixer);
    if (open == nullptr) return MMSYSERR_INVALHANDLE;
    if (line.dwDestination >= open->Dests.size()) return MIXERR_INVALLINE;
    line = open->Dests[line.dwDestination].Line.Desc;
    return MMSYSERR_NOERROR;
}

MMRESULT TAlsaMultimedia::MixerGetLineInfoSource(HMIXER mixer, TMixerLine& line) {
    TOpenMixer* open = Find(mixer);
    if (open == nullptr) return MMSYSERR_INVALHANDLE;
    if (line.dwDestination >= open->Dests.size()) return MIXERR_INVALLINE;
    const TDest& dest = open->Dests[line.dwDestination];
    if (line.dwSource >= dest.Sources.size()) return MIXERR_INVALLINE;
    line = dest.Sources[line.dwSource].Desc;
    return MMSYSERR_NOERROR;
}

MMRESULT TAlsaMultimedia::MixerGetLineControls(HMIXER mixer, std::uint32_t lineId,
                                               std::vector<TMixerControl>& controls) {
    TOpenMixer* open = Find(mixer);
    if (open == nullptr) return MMSYSERR_INVALHANDLE;
    const TLine* line = open->LineById(lineId);
    if (line == nullptr) return MIXERR_INVALLINE;
    controls.clear();
    for (std::uint32_t id : line->Controls) controls.push_back(open->Controls.at(id).Desc);
    return MMSYSERR_NOERROR;
}

MMRESULT TAlsaMultimedia::MixerGetControlDetails(HMIXER mixer, const TMixerControlDetails& details,
                                                 std::vector<std::uint32_t>& values) {
    TOpenMixer* open = Find(mixer);
    if (open == nullptr) return MMSYSERR_INVALHANDLE;
    auto it = open->Controls.find(details.dwControlID);
    if (it == open->Controls.end()) return MIXERR_INVALCONTROL;
    const TCtl& ctl = it->second;
    if (details.cChannels == 0 || details.cMultipleItems != ctl.Items.size()) return MMSYSERR_INVALPARAM;
    // Take in what changed outside since the last look.
    snd_mixer_handle_events(open->Mixer.get());
    values.assign(static_cast<std::size_t>(details.cChannels) * std::max<std::size_t>(ctl.Items.size(), 1), 0);
    if (ctl.Kind == TKind::EnumMux || ctl.Kind == TKind::ExclusiveMux) {
        for (std::size_t k = 0; k < ctl.Items.size(); ++k) {
            bool selected = false;
            if (ctl.Kind == TKind::EnumMux) {
                unsigned item = 0;
                selected = snd_mixer_selem_get_enum_item(ctl.Elem, SND_MIXER_SCHN_FRONT_LEFT, &item) >= 0 && item == k;
            } else {
                int on = 0;
                selected = snd_mixer_selem_get_capture_switch(ctl.Items[k].Elem, kLeft, &on) >= 0 && on != 0;
            }
            for (std::uint32_t c = 0; c < details.cChannels; ++c) values[k * details.cChannels + c] = selected ? 1 : 0;
        }
        return MMSYSERR_NOERROR;
    }
    const bool uniform = (ctl.Desc.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) != 0;
    for (std::uint32_t c = 0; c < details.cChannels; ++c) values[c] = open->ReadLevel(ctl, uniform ? 0 : c);
    return MMSYSERR_NOERROR;
}

MMRESULT TAlsaMultimedia::MixerGetControlListText(HMIXER mixer, const TMixerControlDetails& details,
                                                  std::vector<TMixerListText>& items) {
    TOpenMixer* open = Find(mixer);
    if (open == nullptr) return MMSYSERR_INVALHANDLE;
    auto it = open->Controls.find(details.dwControlID);
    if (it == open->Controls.end()) return MIXERR_INVALCONTROL;
    const TCtl& ctl = it->second;
    if (ctl.Items.empty() || details.cChannels == 0 || details.cMultipleItems != ctl.Items.size())
        return MMSYSERR_INVALPARAM;
    items.clear();
    for (const TItem& item : ctl.Items)
        for (std::uint32_t c = 0; c < details.cChannels; ++c) items.push_back({item.LineId, item.ComponentType, item.Name});
    return MMSYSERR_NOERROR;
}

MMRESULT TAlsaMultimedia::MixerSetControlDetails(HMIXER mixer, const TMixerControlDetails& details,
                                                 const std::vector<std::uint32_t>& values) {
    TOpenMixer* open = Find(mixer);
    if (open == nullptr) return MMSYSERR_INVALHANDLE;
    auto it = open->Controls.find(details.dwControlID);
    if (it == open->Controls.end()) return MIXERR_INVALCONTROL;
    TCtl& ctl = it->second;
    const std::size_t expected =
        static_cast<std::size_t>(details.cChannels) * std::max<std::size_t>(ctl.Items.size(), 1);
    if (details.cChannels == 0 || details.cMultipleItems != ctl.Items.size() || values.size() != expected)
        return MMSYSERR_INVALPARAM;
    snd_mixer_handle_events(open->Mixer.get());
    if (ctl.Kind == TKind::EnumMux || ctl.Kind == TKind::ExclusiveMux) {
        std::int64_t chosen = -1;
        for (std::size_t k = 0; k < ctl.Items.size() && chosen < 0; ++k)
            for (std::uint32_t c = 0; c < details.cChannels; ++c)
                if (values[k * details.cChannels + c] != 0) chosen = static_cast<std::int64_t>(k);
        if (ctl.Kind == TKind::EnumMux) {
            if (chosen < 0) return MIXERR_INVALVALUE;  // a selector always selects one
            for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c) {
                unsigned current = 0;
                const auto ch = static_cast<snd_mixer_selem_channel_id_t>(c);
                if (snd_mixer_selem_get_enum_item(ctl.Elem, ch, &current) < 0) continue;
                if (snd_mixer_selem_set_enum_item(ctl.Elem, ch, static_cast<unsigned>(chosen)) < 0)
                    return MMSYSERR_ERROR;
            }
            return MMSYSERR_NOERROR;
        }
        int rc = 0;
        for (std::size_t k = 0; k < ctl.Items.size(); ++k)
            if (static_cast<std::int64_t>(k) != chosen)
                rc = std::min(rc, snd_mixer_selem_set_capture_switch_all(ctl.Items[k].Elem, 0));
        if (chosen >= 0)
            rc = std::min(rc, snd_mixer_selem_set_capture_switch_all(ctl.Items[static_cast<std::size_t>(chosen)].Elem, 1));
        return rc < 0 ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
    }
    const bool uniform = (ctl.Desc.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) != 0 || details.cChannels == 1;
    return open->WriteLevel(ctl, values, uniform) < 0 ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
}

namespace {

// The playback element that carries a device's wave-output volume.
snd_mixer_elem_t* WaveOutElement(snd_mixer_t* mixer) {
    snd_mixer_elem_t* pcm = nullptr;
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e != nullptr; e = snd_mixer_elem_next(e)) {
        if (!snd_mixer_selem_is_active(e) || !snd_mixer_selem_has_playback_volume(e)) continue;
        const std::string name = snd_mixer_selem_get_name(e);
        if (name == "Master") return e;
        if (name == "PCM" && pcm == nullptr) pcm = e;
    }
    return pcm;
}

}  // namespace

std::uint32_t TAlsaMultimedia::WaveOutGetNumDevs() {
    if (!fixed_) enumerated_ = false;
    return static_cast<std::uint32_t>(PlaybackDevices(Devices()).size());
}

MMRESULT TAlsaMultimedia::WaveOutGetDevCaps(std::int32_t deviceId, TWaveOutCaps& caps) {
    const auto& devices = Devices();
    const int index = PlaybackDeviceIndex(devices, deviceId);
    if (index < 0) return MMSYSERR_BADDEVICEID;
    caps = TWaveOutCaps{};
    caps.szPname = Utf8ToCp1251(devices[static_cast<std::size_t>(index)].Name).substr(0, MAXPNAMELEN);
    caps.wChannels = 2;
    return MMSYSERR_NOERROR;
}

MMRESULT TAlsaMultimedia::WaveOutGetVolume(std::int32_t deviceId, std::uint32_t& volume) {
    const auto& devices = Devices();
    const int index = PlaybackDeviceIndex(devices, deviceId);
    if (index < 0) return MMSYSERR_BADDEVICEID;
    TAlsaMixer mixer = OpenSimpleMixer(devices[static_cast<std::size_t>(index)].Control);
    if (!mixer) return MMSYSERR_NODRIVER;
    snd_mixer_elem_t* elem = WaveOutElement(mixer.get());
    if (elem == nullptr) return MMSYSERR_NOTSUPPORTED;
    long min = 0, max = 0, left = 0, right = 0;
    snd_mixer_selem_get_playback_volume_range(elem, &min, &max);
    if (snd_mixer_selem_get_playback_volume(elem, kLeft, &left) < 0) return MMSYSERR_ERROR;
    if (!snd_mixer_selem_has_playback_channel(elem, kRight) ||
        snd_mixer_selem_get_playback_volume(elem, kRight, &right) < 0)
        right = left;
    volume = ToLevel(left, min, max) | (ToLevel(right, min, max) << 16);
    return MMSYSERR_NOERROR;
}

MMRESULT TAlsaMultimedia::WaveOutSetVolume(std::int32_t deviceId, std::uint32_t volume) {
    const auto& devices = Devices();
    const int index = PlaybackDeviceIndex(devices, deviceId);
    if (index < 0) return MMSYSERR_BADDEVICEID;
    TAlsaMixer mixer = OpenSimpleMixer(devices[static_cast<std::size_t>(index)].Control);
    if (!mixer) return MMSYSERR_NODRIVER;
    snd_mixer_elem_t* elem = WaveOutElement(mixer.get());
    if (elem == nullptr) return MMSYSERR_NOTSUPPORTED;
    TCtl ctl;
    ctl.Kind = TKind::PlaybackVolume;
    ctl.Elem = elem;
    TOpenMixer writer;
    return writer.WriteLevel(ctl, {volume & 0xFFFFu, volume >> 16}, false) < 0 ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
}

}  // namespace quorvel::linux_platform

#include "audio/RsAudioMixer.h"

#include <algorithm>

namespace quorvel {

TMixerControls::TMixerControls(IMultimedia& mm, HMIXER mixer, const TMixerLine& line) {
    if (line.cControls == 0) return;
    if (mm.MixerGetLineControls(mixer, line.dwLineID, block_) != MMSYSERR_NOERROR) {
        block_.clear();
        return;
    }
    for (const auto& control : block_) list_.Add(&control);
}

TMixerConnections::TMixerConnections(IMultimedia& mm, HMIXER mixer, const TMixerLine& destination) {
    SetOwning(list_);
    for (std::uint32_t s = 0; s < destination.cConnections; ++s) {
        TMixerLine line;
        line.dwDestination = destination.dwDestination;
        line.dwSource = s;
        if (mm.MixerGetLineInfoSource(mixer, line) != MMSYSERR_NOERROR) continue;
        list_.Add(std::make_unique<TMixerConnection>(mm, mixer, line).release());
    }
}

TMixerDestinations::TMixerDestinations(IMultimedia& mm, HMIXER mixer, std::uint32_t count) {
    SetOwning(list_);
    for (std::uint32_t d = 0; d < count; ++d) {
        TMixerLine line;
        line.dwDestination = d;
        if (mm.MixerGetLineInfoDestination(mixer, line) != MMSYSERR_NOERROR) continue;
        list_.Add(std::make_unique<TMixerDestination>(mm, mixer, line).release());
    }
}

class TRsAudioMixer::TNotifyWindow final : public IMixerCallbackWindow {
public:
    explicit TNotifyWindow(TRsAudioMixer& owner) : owner_(owner) {}
    void MixerMessage(std::uint32_t message, HMIXER mixer, std::uint32_t id) override {
        owner_.Notify(message, mixer, id);
    }

private:
    TRsAudioMixer& owner_;
};

TRsAudioMixer::TRsAudioMixer(IMultimedia& mm)
    : mm_(mm), window_(std::make_unique<TNotifyWindow>(*this)), destinations_(std::make_unique<TMixerDestinations>()) {
    deviceCount_ = mm_.MixerGetNumDevs();
    if (deviceCount_ > 0) SetMixerId(0);
}

TRsAudioMixer::~TRsAudioMixer() { Close(); }

void TRsAudioMixer::Close() {
    if (handle_ != 0) mm_.MixerClose(handle_);
    handle_ = 0;
    mixerId_ = -1;
    destinations_ = std::make_unique<TMixerDestinations>();
}

void TRsAudioMixer::SetMixerId(std::int32_t m) {
    if (m < 0 || static_cast<std::uint32_t>(m) >= deviceCount_) return;
    Close();
    const auto id = static_cast<std::uint32_t>(m);
    HMIXER handle = 0;
    if (mm_.MixerOpen(handle, id, window_.get()) != MMSYSERR_NOERROR &&
        mm_.MixerOpen(handle, id, window_.get()) != MMSYSERR_NOERROR &&
        mm_.MixerOpen(handle, id, nullptr) != MMSYSERR_NOERROR)
        return;
    handle_ = handle;
    mixerId_ = m;
    caps_ = TMixerCaps{};
    mm_.MixerGetDevCaps(id, caps_);
    manufacturer_ = caps_.wMid == 1 ? std::string("Microsoft") : std::to_string(caps_.wMid) + " = Unknown";
    destinations_ = std::make_unique<TMixerDestinations>(mm_, handle_, caps_.cDestinations);
}

void TRsAudioMixer::Notify(std::uint32_t message, HMIXER mixer, std::uint32_t id) {
    if (message == MM_MIXM_LINE_CHANGE && OnLineChange)
        OnLineChange(*this, mixer, id);
    else if (message == MM_MIXM_CONTROL_CHANGE && OnControlChange)
        OnControlChange(*this, mixer, id);
}

std::uint32_t TRsAudioMixer::ChannelsOf(const TMixerControl& control, const TMixerLine& line) {
    return (control.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) != 0 ? 1u : std::max<std::uint32_t>(line.cChannels, 1);
}

std::int64_t TRsAudioMixer::FindItem(const std::vector<TMixerListText>& items, std::uint32_t channels,
                                     std::uint32_t lineId) {
    for (std::size_t pos = channels - 1; pos < items.size(); pos += channels)
        if (items[pos].dwParam1 == lineId) return static_cast<std::int64_t>(pos);
    return -1;
}

bool TRsAudioMixer::GetLineState(std::int32_t dest, std::int32_t source, TLineState& state) {
    state = TLineState{};
    const TMixerDestination* destination = destinations_->Get(dest);
    if (destination == nullptr) return false;
    const TMixerConnection* connection = source != -1 ? destination->Connections.Get(source) : nullptr;

    if (connection != nullptr) {
        for (const TMixerControl& control : destination->Controls.All()) {
            if (state.SwitchValue != -1) break;
            if (control.dwControlType != MIXERCONTROL_CONTROLTYPE_MUX) continue;
            const TMixerControlDetails details{control.dwControlID, ChannelsOf(control, destination->Line),
                                               control.cMultipleItems};
            std::vector<std::uint32_t> values;
            std::vector<TMixerListText> items;
            if (mm_.MixerGetControlDetails(handle_, details, values) != MMSYSERR_NOERROR ||
                mm_.MixerGetControlListText(handle_, details, items) != MMSYSERR_NOERROR)
                continue;
            const std::int64_t pos = FindItem(items, details.cChannels, connection->Line.dwLineID);
            if (pos < 0 || static_cast<std::size_t>(pos) >= values.size()) continue;
            state.SwitchValue = static_cast<std::int32_t>(values[static_cast<std::size_t>(pos)]);
            state.SwitchDisabled = (control.fdwControl & MIXERCONTROL_CONTROLF_DISABLED) != 0;
            state.IsSelect = true;
        }
    }

    const bool sourceMissing = source != -1 && connection == nullptr;
    if (sourceMissing) return true;
    const TMixerLine& line = connection != nullptr ? connection->Line : destination->Line;
    const TMixerControls& controls = connection != nullptr ? connection->Controls : destination->Controls;
    for (const TMixerControl& control : controls.All()) {
        if (state.LeftVolume != -1 && state.SwitchValue != -1) break;
        if ((control.fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) != 0) continue;
        const bool volume = control.dwControlType == MIXERCONTROL_CONTROLTYPE_VOLUME && state.LeftVolume == -1;
        const bool mute = control.dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE && state.SwitchValue == -1;
        if (!volume && !mute) continue;
        std::vector<std::uint32_t> values;
        if (mm_.MixerGetControlDetails(handle_, {control.dwControlID, ChannelsOf(control, line), 0}, values) !=
                MMSYSERR_NOERROR ||
            values.empty())
            continue;
        const bool disabled = (control.fdwControl & MIXERCONTROL_CONTROLF_DISABLED) != 0;
        if (volume) {
            state.VolumeDisabled = disabled;
            state.LeftVolume = static_cast<std::int32_t>(values[0]);
            state.Stereo = values.size() >= 2;
            state.RightVolume = static_cast<std::int32_t>(state.Stereo ? values[1] : values[0]);
        } else {
            state.SwitchDisabled = disabled;
            state.SwitchValue = values[0] != 0 ? 1 : 0;
        }
    }
    return true;
}

bool TRsAudioMixer::SetLineState(std::int32_t dest, std::int32_t source, std::int32_t switchValue,
                                 std::int32_t rightVolume, std::int32_t leftVolume) {
    const TMixerDestination* destination = destinations_->Get(dest);
    if (destination == nullptr) return false;
    const TMixerConnection* connection = source != -1 ? destination->Connections.Get(source) : nullptr;
    bool volumeDone = leftVolume == -1;
    bool switchDone = switchValue == -1;

    if (!switchDone && source != -1) {
        for (const TMixerControl& control : destination->Controls.All()) {
            if (control.dwControlType != MIXERCONTROL_CONTROLTYPE_MUX) continue;
            switchDone = true;
            const TMixerControlDetails details{control.dwControlID, ChannelsOf(control, destination->Line),
                                               control.cMultipleItems};
            std::vector<std::uint32_t> values;
            std::vector<TMixerListText> items;
            if (mm_.MixerGetControlDetails(handle_, details, values) != MMSYSERR_NOERROR ||
                mm_.MixerGetControlListText(handle_, details, items) != MMSYSERR_NOERROR)
                break;
            std::fill(values.begin(), values.end(), 0u);
            const std::int64_t pos =
                connection != nullptr ? FindItem(items, details.cChannels, connection->Line.dwLineID) : -1;
            if (pos >= 0 && static_cast<std::size_t>(pos) < values.size()) {
                values[static_cast<std::size_t>(pos)] = static_cast<std::uint32_t>(switchValue);
                mm_.MixerSetControlDetails(handle_, details, values);
            }
            break;
        }
    }

    if (source != -1 && connection == nullptr) return true;
    const TMixerLine& line = connection != nullptr ? connection->Line : destination->Line;
    const TMixerControls& controls = connection != nullptr ? connection->Controls : destination->Controls;
    for (const TMixerControl& control : controls.All()) {
        if (volumeDone && switchDone) break;
        if ((control.fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) != 0) continue;
        const std::uint32_t channels = ChannelsOf(control, line);
        if (control.dwControlType == MIXERCONTROL_CONTROLTYPE_VOLUME && !volumeDone) {
            const auto left = static_cast<std::uint32_t>(leftVolume);
            std::vector<std::uint32_t> values(channels, left);
            if (channels >= 2) values[1] = rightVolume == -1 ? left : static_cast<std::uint32_t>(rightVolume);
            mm_.MixerSetControlDetails(handle_, {control.dwControlID, channels, 0}, values);
            volumeDone = true;
        } else if (control.dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE && !switchDone) {
            mm_.MixerSetControlDetails(handle_, {control.dwControlID, channels, 0},
                                       std::vector<std::uint32_t>(channels, static_cast<std::uint32_t>(switchValue)));
            switchDone = true;
        }
    }
    return true;
}

}  // namespace quorvel

#include "SoundDevices.h"

#include "AlsaSupport.h"

namespace quorvel::linux_platform {
namespace {

struct TCtlCloser {
    void operator()(snd_ctl_t* ctl) const { snd_ctl_close(ctl); }
};
using TAlsaCtl = std::unique_ptr<snd_ctl_t, TCtlCloser>;

TAlsaCtl OpenCtl(const std::string& name) {
    snd_ctl_t* ctl = nullptr;
    if (snd_ctl_open(&ctl, name.c_str(), 0) < 0) return nullptr;
    return TAlsaCtl(ctl);
}

std::string CardInfoName(snd_ctl_t* ctl) {
    snd_ctl_card_info_t* info = nullptr;
    snd_ctl_card_info_alloca(&info);
    if (snd_ctl_card_info(ctl, info) < 0) return {};
    const char* name = snd_ctl_card_info_get_name(info);
    return name != nullptr ? name : "";
}

bool HasPlaybackPcm(snd_ctl_t* ctl) {
    int device = -1;
    while (snd_ctl_pcm_next_device(ctl, &device) >= 0 && device >= 0) {
        snd_pcm_info_t* info = nullptr;
        snd_pcm_info_alloca(&info);
        snd_pcm_info_set_device(info, static_cast<unsigned>(device));
        snd_pcm_info_set_subdevice(info, 0);
        snd_pcm_info_set_stream(info, SND_PCM_STREAM_PLAYBACK);
        if (snd_ctl_pcm_info(ctl, info) >= 0) return true;
    }
    return false;
}

bool MixerHasCapture(const std::string& control) {
    TAlsaMixer mixer = OpenSimpleMixer(control);
    return mixer && HasRecordingDestination(mixer.get());
}

}  // namespace

TAlsaMixer OpenSimpleMixer(const std::string& control) {
    snd_mixer_t* raw = nullptr;
    if (snd_mixer_open(&raw, 0) < 0) return nullptr;
    TAlsaMixer mixer(raw);
    if (snd_mixer_attach(raw, control.c_str()) < 0 || snd_mixer_selem_register(raw, nullptr, nullptr) < 0 ||
        snd_mixer_load(raw) < 0)
        return nullptr;
    return mixer;
}

bool IsCaptureSourceSelector(snd_mixer_elem_t* elem) {
    const std::string name = snd_mixer_selem_get_name(elem);
    return snd_mixer_selem_is_enumerated(elem) && (name == "Capture Source" || name == "Input Source");
}

bool IsMasterCapture(snd_mixer_elem_t* elem) {
    return std::string(snd_mixer_selem_get_name(elem)) == "Capture" && snd_mixer_selem_get_index(elem) == 0;
}

bool IsCaptureElement(snd_mixer_elem_t* elem) {
    return snd_mixer_selem_is_active(elem) && !snd_mixer_selem_is_enumerated(elem) &&
           (snd_mixer_selem_has_capture_volume(elem) || snd_mixer_selem_has_capture_switch(elem));
}

bool IsPlaybackElement(snd_mixer_elem_t* elem) {
    return snd_mixer_selem_is_active(elem) && !snd_mixer_selem_is_enumerated(elem) &&
           (snd_mixer_selem_has_playback_volume(elem) || snd_mixer_selem_has_playback_switch(elem));
}

bool HasRecordingDestination(snd_mixer_t* mixer) {
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e != nullptr; e = snd_mixer_elem_next(e))
        if (IsCaptureElement(e) || IsCaptureSourceSelector(e)) return true;
    return false;
}

std::vector<TSoundDevice> EnumerateSoundDevices() {
    std::vector<TSoundDevice> devices;
    if (TAlsaCtl ctl = OpenCtl("default"); ctl && snd_ctl_type(ctl.get()) != SND_CTL_TYPE_HW) {
        TSoundDevice device;
        device.Name = CardInfoName(ctl.get());
        if (device.Name.empty()) device.Name = "default";
        device.Control = device.Pcm = "default";
        device.Playback = true;
        ctl.reset();
        device.Capture = MixerHasCapture(device.Control);
        devices.push_back(device);
    }
    int card = -1;
    while (snd_card_next(&card) >= 0 && card >= 0) {
        const std::string hw = "hw:" + std::to_string(card);
        TAlsaCtl ctl = OpenCtl(hw);
        if (!ctl) continue;
        TSoundDevice device;
        char* name = nullptr;
        if (snd_card_get_name(card, &name) >= 0 && name != nullptr) {
            device.Name = name;
            free(name);  // allocated by libasound
        } else {
            device.Name = CardInfoName(ctl.get());
        }
        device.Control = hw;
        device.Pcm = "plughw:" + std::to_string(card);
        device.Playback = HasPlaybackPcm(ctl.get());
        ctl.reset();
        device.Capture = MixerHasCapture(device.Control);
        devices.push_back(device);
    }
    return devices;
}

std::vector<TSoundDevice> PlaybackDevices(const std::vector<TSoundDevice>& devices) {
    std::vector<TSoundDevice> out;
    for (const auto& d : devices)
        if (d.Playback) out.push_back(d);
    return out;
}

std::vector<TSoundDevice> CaptureDevices(const std::vector<TSoundDevice>& devices) {
    std::vector<TSoundDevice> out;
    for (const auto& d : devices)
        if (d.Capture) out.push_back(d);
    return out;
}

int PlaybackDeviceIndex(const std::vector<TSoundDevice>& devices, std::int32_t n) {
    if (n == -1) {
        for (std::size_t i = 0; i < devices.size(); ++i)
            if (devices[i].Control == "default") return static_cast<int>(i);
        n = 0;
    }
    std::int32_t k = 0;
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (devices[i].Playback && k++ == n) return static_cast<int>(i);
    return -1;
}

int CaptureDeviceIndex(const std::vector<TSoundDevice>& devices, std::int32_t n) {
    if (n == -1) {
        for (std::size_t i = 0; i < devices.size(); ++i)
            if (devices[i].Control == "default" && devices[i].Capture) return static_cast<int>(i);
        n = 0;
    }
    std::int32_t k = 0;
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (devices[i].Capture && k++ == n) return static_cast<int>(i);
    return -1;
}

}  // namespace quorvel::linux_platform

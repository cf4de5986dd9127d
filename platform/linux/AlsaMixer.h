#pragma once
// The multimedia mixer and wave-output volume on libasound's simple mixer.
//
// Devices: mixer m is device m of EnumerateSoundDevices() (SoundDevices.h);
// wave-output device n is the n-th device that plays, -1 the system default.
//
// Each device's mixer has up to two destinations, in this order:
//   0 "Playback" (speakers) when the card has playback elements. Its own
//     controls come from "Master" (or, without it, "PCM"): playback volume and
//     playback switch as mute. Its sources are the other playback elements.
//   1 "Capture" (the wave-input destination) when the card has capture
//     elements or a recording-source selector. Its own controls are:
//       - a multiplexer for an enumerated "Capture Source" / "Input Source"
//         element; its items are that element's items, each standing for the
//         source line of the same name;
//       - a multiplexer over the capture elements whose capture switches are
//         exclusive (only one records at a time), when the card has such;
//       - the volume and switch (as mute) of the master "Capture" element.
//     Its sources are the other capture elements in element order, then one
//     line for every selector item that names no element (so an item such as
//     "Internal Mic" can still be selected). A capture element's volume is a
//     volume control, its non-exclusive capture switch a mute control.
// Switches: ALSA's switch on means sound passes (capture or play enabled), so
// as a mute control its value is inverted: mute 1 = switch off. Multiplexer
// values mean what the system stores: 1 for the selected item. A selector
// cannot select nothing: writing all zeros to a multiplexer is refused.
// Volumes: 0 ... 65535 is mapped linearly onto the element's own raw range
// (min ... max) and back, rounded to the nearest value. A mono element makes a
// one-channel line; a joined volume or switch is a uniform control. Channel 0
// is front left (or mono), channel 1 front right.
// Notifications are not offered: opening with a callback window is refused,
// so callers open without one (the system acts on no notification).
#include <map>
#include <memory>
#include <vector>

#include "SoundDevices.h"
#include "ports/Multimedia.h"

namespace quorvel::linux_platform {

class TAlsaMultimedia final : public IMultimedia {
public:
    // Devices are enumerated again whenever their count is asked for.
    TAlsaMultimedia();
    // A fixed device list (tests reach a given server's devices this way).
    explicit TAlsaMultimedia(std::vector<TSoundDevice> devices);
    ~TAlsaMultimedia() override;

    std::uint32_t MixerGetNumDevs() override;
    MMRESULT MixerGetDevCaps(std::uint32_t deviceId, TMixerCaps& caps) override;
    MMRESULT MixerOpen(HMIXER& mixer, std::uint32_t deviceId, IMixerCallbackWindow* window) override;
    MMRESULT MixerClose(HMIXER mixer) override;
    MMRESULT MixerGetLineInfoDestination(HMIXER mixer, TMixerLine& line) override;
    MMRESULT MixerGetLineInfoSource(HMIXER mixer, TMixerLine& line) override;
    MMRESULT MixerGetLineControls(HMIXER mixer, std::uint32_t lineId, std::vector<TMixerControl>& controls) override;
    MMRESULT MixerGetControlDetails(HMIXER mixer, const TMixerControlDetails& details,
                                    std::vector<std::uint32_t>& values) override;
    MMRESULT MixerGetControlListText(HMIXER mixer, const TMixerControlDetails& details,
                                     std::vector<TMixerListText>& items) override;
    MMRESULT MixerSetControlDetails(HMIXER mixer, const TMixerControlDetails& details,
                                    const std::vector<std::uint32_t>& values) override;
    std::uint32_t WaveOutGetNumDevs() override;
    MMRESULT WaveOutGetDevCaps(std::int32_t deviceId, TWaveOutCaps& caps) override;
    MMRESULT WaveOutGetVolume(std::int32_t deviceId, std::uint32_t& volume) override;
    MMRESULT WaveOutSetVolume(std::int32_t deviceId, std::uint32_t volume) override;

    struct TOpenMixer;

private:
    const std::vector<TSoundDevice>& Devices();
    TOpenMixer* Find(HMIXER mixer);

    bool fixed_ = false;
    bool enumerated_ = false;
    std::vector<TSoundDevice> devices_;
    std::map<HMIXER, std::unique_ptr<TOpenMixer>> open_;
    HMIXER next_ = 1;
};

}  // namespace quorvel::linux_platform

#pragma once
// The machine's sound devices in one order, shared by everything that numbers
// them: the mixer backend (mixer m is device m), the live streams and the
// settings that keep device numbers.
//
// Order: the ALSA "default" device first when it is not just an alias of a
// card (desktops route it to PulseAudio or PipeWire), then every sound card in
// card-number order. A device whose control interface cannot be opened is not
// listed. Numbers derived from the list:
//   - mixer number            index in the whole list;
//   - recording device number index among the devices with Capture (one
//                             recording destination per device), the
//                             settings' InSoundCard;
//   - wave-output number      index among the devices with Playback, the
//                             settings' OutSoundCard; -1 is the system default
//                             (the "default" device when listed, else the
//                             first playback device).
#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::linux_platform {

struct TSoundDevice {
    std::string Name;     // product name as the driver gives it (UTF-8)
    std::string Control;  // ALSA control device: "default", "hw:0", ...
    std::string Pcm;      // ALSA PCM device for streams: "default", "plughw:0", ...
    bool Playback = false;  // plays: a wave-output device
    bool Capture = false;   // its mixer has capture controls: a recording device
};

std::vector<TSoundDevice> EnumerateSoundDevices();

std::vector<TSoundDevice> PlaybackDevices(const std::vector<TSoundDevice>& devices);
std::vector<TSoundDevice> CaptureDevices(const std::vector<TSoundDevice>& devices);
// Index in devices of wave-output number n (-1 the default); -1 when none.
int PlaybackDeviceIndex(const std::vector<TSoundDevice>& devices, std::int32_t n);
// Index in devices of recording device number n; -1 stands for the default
// (the "default" device when it records, else recording device 0); -1 when none.
int CaptureDeviceIndex(const std::vector<TSoundDevice>& devices, std::int32_t n);

}  // namespace quorvel::linux_platform

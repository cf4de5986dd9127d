#pragma once
// The sound card as the main window drives it: the volume of one wave-output
// device and the lines of one mixer. Values are 0..65535 per channel.
#include <cstdint>
#include <memory>

namespace quorvel {

// Device kinds of the volume control; only the wave output is used.
constexpr int kVolumeAux = 0, kVolumeWaveOut = 1, kVolumeMidiOut = 2;

class IVolumeControl {
public:
    virtual ~IVolumeControl() = default;
    // -1 is the system's default wave-output device.
    virtual void SetDevice(std::int32_t device) = 0;
    virtual std::int32_t Device() const = 0;
    // The left channel; 0 when the device cannot be read.
    virtual std::uint16_t GetVolume(int kind) = 0;
    // Both channels.
    virtual void SetVolume(int kind, std::uint16_t value) = 0;
};

// A line of a mixer as GetLineState reports it; -1 where not found.
struct TLineState {
    bool IsSelect = false;
    bool SwitchDisabled = true;
    bool VolumeDisabled = true;
    bool Stereo = false;
    std::int32_t SwitchValue = -1;
    std::int32_t RightVolume = -1;
    std::int32_t LeftVolume = -1;
};

class IAudioMixer {
public:
    virtual ~IAudioMixer() = default;
    // -1 while no mixer is open. Setting opens mixer m (an invalid m is ignored).
    virtual std::int32_t MixerId() const = 0;
    virtual void SetMixerId(std::int32_t m) = 0;
    // dest: index in the destination list; source: index in its source list,
    // or -1 for the destination line itself. False when there is no such line.
    virtual bool GetLineState(std::int32_t dest, std::int32_t source, TLineState& state) = 0;
    // -1 leaves the switch, resp. the volume, alone; a right volume of -1
    // takes the left one.
    virtual bool SetLineState(std::int32_t dest, std::int32_t source, std::int32_t switchValue,
                              std::int32_t rightVolume, std::int32_t leftVolume) = 0;
};

class IAudioDevices {
public:
    virtual ~IAudioDevices() = default;
    virtual std::unique_ptr<IVolumeControl> CreateVolumeControl() = 0;
    // Opened on mixer 0 when there is any mixer.
    virtual std::unique_ptr<IAudioMixer> CreateMixer() = 0;
};

}  // namespace quorvel

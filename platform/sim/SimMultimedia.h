#pragma once
// A multimedia mixer and wave-output devices built by hand, for tests and the
// headless host: mixers with destinations, sources, multiplexers, volume and
// mute controls (stereo, mono, uniform, disabled), refusals and failures where
// a test needs them. Every write is logged in order.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ports/Multimedia.h"

namespace quorvel::sim {

struct TSimControl {
    std::uint32_t Type = MIXERCONTROL_CONTROLTYPE_VOLUME;
    std::uint32_t Flags = 0;
    std::string Name;
    // One per channel (one when uniform); a multiplexer: items x channels.
    std::vector<std::uint32_t> Values;
    // A multiplexer's items: the driver's source index each stands for (-1 a
    // line of no source) and its text.
    std::vector<std::int32_t> ItemSources;
    std::vector<std::string> ItemNames;
    bool FailRead = false;
    std::uint32_t Id = 0;  // given when the mixer is opened
};

struct TSimLine {
    std::string Name;
    std::uint32_t ComponentType = MIXERLINE_COMPONENTTYPE_SRC_LINE;
    std::uint32_t Channels = 2;
    std::vector<TSimControl> Controls;
    bool Refused = false;        // the driver refuses its description
    bool FailControls = false;   // the driver refuses its controls
    std::uint32_t LineId = 0;    // given when the mixer is opened
};

struct TSimDestination : TSimLine {
    std::vector<TSimLine> Sources;
};

struct TSimMixerDevice {
    std::string Name = "Sim Mixer";
    std::uint16_t Mid = 1, Pid = 104;
    std::uint32_t DriverVersion = 0x0500;
    std::vector<TSimDestination> Destinations;
    int FailOpens = 0;            // this many opens fail first
    bool NoNotifications = false; // opening with a callback window fails
};

struct TSimWaveOut {
    std::string Name = "Sim Wave Out";
    std::uint32_t Volume = 0xFFFFFFFFu;
    bool FailRead = false;
};

class TSimMultimedia final : public IMultimedia {
public:
    // Controls, with the values they start at.
    static TSimControl Volume(std::uint32_t left, std::uint32_t right, std::uint32_t flags = 0);
    static TSimControl MonoVolume(std::uint32_t value, std::uint32_t flags = 0);
    static TSimControl Mute(bool muted, std::uint32_t channels = 2, std::uint32_t flags = 0);
    // A uniform multiplexer over the given driver source indexes; selected: its item.
    static TSimControl Mux(std::vector<std::int32_t> sources, std::vector<std::string> names, int selected);

    // One sound card as a desktop offers it: a wave output and a mixer with
    // speakers and a recording destination whose multiplexer selects line-in
    // or microphone, each with a volume and a mute.
    static TSimMultimedia SoundCard(const std::string& name);

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
    std::uint32_t WaveOutGetNumDevs() override { return static_cast<std::uint32_t>(WaveOuts.size()); }
    MMRESULT WaveOutGetDevCaps(std::int32_t deviceId, TWaveOutCaps& caps) override;
    MMRESULT WaveOutGetVolume(std::int32_t deviceId, std::uint32_t& volume) override;
    MMRESULT WaveOutSetVolume(std::int32_t deviceId, std::uint32_t volume) override;

    // A change made outside the system: every handle open on the mixer with a
    // window is told.
    void NotifyControlChange(std::uint32_t deviceId, std::uint32_t controlId);
    void NotifyLineChange(std::uint32_t deviceId, std::uint32_t lineId);

    // The line or control as a test built it (ids are valid once opened).
    TSimLine& Line(std::uint32_t mixer, std::uint32_t dest, std::int32_t source = -1);
    TSimControl& Control(std::uint32_t mixer, std::uint32_t dest, std::int32_t source, std::size_t index) {
        return Line(mixer, dest, source).Controls.at(index);
    }

    std::vector<TSimMixerDevice> Mixers;
    std::vector<TSimWaveOut> WaveOuts;
    // The device the system's default wave output plays on.
    std::int32_t DefaultWaveOut = 0;
    // "control <mixer> <id> <values...>", "waveout <device> <volume>"
    std::vector<std::string> Writes;
    int OpenHandles() const { return static_cast<int>(handles_.size()); }

private:
    struct THandle {
        std::uint32_t Device;
        IMixerCallbackWindow* Window;
    };
    struct TFound {
        TSimLine* Line = nullptr;
        TSimControl* Control = nullptr;
    };
    TSimMixerDevice* DeviceOf(HMIXER mixer);
    TSimLine* LineById(TSimMixerDevice& device, std::uint32_t lineId);
    TFound ControlById(TSimMixerDevice& device, std::uint32_t controlId);
    static void Describe(const TSimLine& line, TMixerLine& out);
    static std::uint32_t ChannelsOf(const TSimControl& control, const TSimLine& line);
    TSimWaveOut* WaveOut(std::int32_t deviceId);

    std::map<HMIXER, THandle> handles_;
    HMIXER next_ = 0x100;
};

}  // namespace quorvel::sim

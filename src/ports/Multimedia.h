#pragma once
// The system's multimedia mixer and wave-output functions, in the shape the
// audio subsystem was designed against: numbered mixer devices with
// capabilities, destination and source lines, controls described once and
// read or written as per-channel values, and line- and control-change
// notifications to a window of the caller's. Backends map their own sound
// system onto this model (platform/sim, platform/linux).
#include <cstdint>
#include <string>
#include <vector>

namespace quorvel {

using MMRESULT = std::uint32_t;
using HMIXER = std::uintptr_t;  // 0: no mixer

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MIXERR_INVALLINE = 1024;
constexpr MMRESULT MIXERR_INVALCONTROL = 1025;
constexpr MMRESULT MIXERR_INVALVALUE = 1026;

// Component types of lines.
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_DST_UNDEFINED = 0;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_DST_SPEAKERS = 4;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_DST_WAVEIN = 7;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED = 0x1000;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_DIGITAL = 0x1001;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_LINE = 0x1002;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE = 0x1003;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC = 0x1005;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY = 0x1009;
constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_ANALOG = 0x100A;

// Line flags.
constexpr std::uint32_t MIXERLINE_LINEF_ACTIVE = 1;
constexpr std::uint32_t MIXERLINE_LINEF_SOURCE = 0x80000000u;

// Control types and flags.
constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_MUX = 0x70010001u;
constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001u;
constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_MUTE = 0x20010002u;
constexpr std::uint32_t MIXERCONTROL_CONTROLF_UNIFORM = 1;
constexpr std::uint32_t MIXERCONTROL_CONTROLF_MULTIPLE = 2;
constexpr std::uint32_t MIXERCONTROL_CONTROLF_DISABLED = 0x80000000u;

// Notifications: first parameter the mixer handle, second the line or control id.
constexpr std::uint32_t MM_MIXM_LINE_CHANGE = 0x3D0;
constexpr std::uint32_t MM_MIXM_CONTROL_CHANGE = 0x3D1;

// The longest names, without the terminator.
constexpr std::size_t MAXPNAMELEN = 31;
constexpr std::size_t MIXER_SHORT_NAME_CHARS = 15;
constexpr std::size_t MIXER_LONG_NAME_CHARS = 63;

struct TMixerCaps {
    std::uint16_t wMid = 0;  // manufacturer id; 1 is Microsoft
    std::uint16_t wPid = 0;
    std::uint32_t vDriverVersion = 0;
    std::string szPname;  // at most MAXPNAMELEN characters
    std::uint32_t fdwSupport = 0;
    std::uint32_t cDestinations = 0;
};

struct TMixerLineTarget {
    std::uint32_t dwType = 0;
    std::uint32_t dwDeviceID = 0;
    std::uint16_t wMid = 0, wPid = 0;
    std::uint32_t vDriverVersion = 0;
    std::string szPname;
};

struct TMixerLine {
    std::uint32_t dwDestination = 0;
    std::uint32_t dwSource = 0;
    std::uint32_t dwLineID = 0;
    std::uint32_t fdwLine = 0;
    std::uint32_t dwComponentType = 0;
    std::uint32_t cChannels = 0;
    std::uint32_t cConnections = 0;  // sources of a destination
    std::uint32_t cControls = 0;
    std::string szShortName, szName;
    TMixerLineTarget Target;
};

struct TMixerControl {
    std::uint32_t dwControlID = 0;
    std::uint32_t dwControlType = 0;
    std::uint32_t fdwControl = 0;
    std::uint32_t cMultipleItems = 0;  // items of a list control
    std::string szShortName, szName;
    std::int32_t lMinimum = 0, lMaximum = 0;
    std::uint32_t cSteps = 0;
};

// One item of a list control: the line it stands for and its name.
struct TMixerListText {
    std::uint32_t dwParam1 = 0;  // line id
    std::uint32_t dwParam2 = 0;  // component type
    std::string szName;
};

// Which values a details request covers: channels x items (items 0 for a
// control without a list). Values are laid out item by item, each item's
// channels together; a uniform control is read with one channel.
struct TMixerControlDetails {
    std::uint32_t dwControlID = 0;
    std::uint32_t cChannels = 0;
    std::uint32_t cMultipleItems = 0;
};

struct TWaveOutCaps {
    std::uint16_t wMid = 0, wPid = 0;
    std::uint32_t vDriverVersion = 0;
    std::string szPname;  // at most MAXPNAMELEN characters
    std::uint16_t wChannels = 0;
};

// The window a mixer sends its notifications to, on the UI thread.
class IMixerCallbackWindow {
public:
    virtual ~IMixerCallbackWindow() = default;
    virtual void MixerMessage(std::uint32_t message, HMIXER mixer, std::uint32_t id) = 0;
};

class IMultimedia {
public:
    // The system's default wave-output device.
    static constexpr std::int32_t WAVE_MAPPER = -1;

    virtual ~IMultimedia() = default;

    virtual std::uint32_t MixerGetNumDevs() = 0;
    virtual MMRESULT MixerGetDevCaps(std::uint32_t deviceId, TMixerCaps& caps) = 0;
    // window: where notifications go; null for none.
    virtual MMRESULT MixerOpen(HMIXER& mixer, std::uint32_t deviceId, IMixerCallbackWindow* window) = 0;
    virtual MMRESULT MixerClose(HMIXER mixer) = 0;
    // line.dwDestination (and, for a source, line.dwSource) name the line.
    virtual MMRESULT MixerGetLineInfoDestination(HMIXER mixer, TMixerLine& line) = 0;
    virtual MMRESULT MixerGetLineInfoSource(HMIXER mixer, TMixerLine& line) = 0;
    // Every control of a line, in driver order, in one request.
    virtual MMRESULT MixerGetLineControls(HMIXER mixer, std::uint32_t lineId,
                                          std::vector<TMixerControl>& controls) = 0;
    // Values of channels x max(items, 1), 32 bits each.
    virtual MMRESULT MixerGetControlDetails(HMIXER mixer, const TMixerControlDetails& details,
                                            std::vector<std::uint32_t>& values) = 0;
    // The item texts of a list control: channels x items.
    virtual MMRESULT MixerGetControlListText(HMIXER mixer, const TMixerControlDetails& details,
                                             std::vector<TMixerListText>& items) = 0;
    virtual MMRESULT MixerSetControlDetails(HMIXER mixer, const TMixerControlDetails& details,
                                            const std::vector<std::uint32_t>& values) = 0;

    virtual std::uint32_t WaveOutGetNumDevs() = 0;
    virtual MMRESULT WaveOutGetDevCaps(std::int32_t deviceId, TWaveOutCaps& caps) = 0;
    // Low 16 bits the left channel, high 16 bits the right one.
    virtual MMRESULT WaveOutGetVolume(std::int32_t deviceId, std::uint32_t& volume) = 0;
    virtual MMRESULT WaveOutSetVolume(std::int32_t deviceId, std::uint32_t volume) = 0;
};

}  // namespace quorvel

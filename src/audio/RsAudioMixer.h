#pragma once
// One mixer device as a tree read once at opening: destinations, their source
// lines and the controls of every line; and the select-or-mute switch and the
// volume of one recording line, read and set through the multimedia port.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ports/Multimedia.h"

namespace quorvel {

// An ordered list of references. With an owner-release callback set, emptying
// or destroying the list hands every item to it.
template <class T>
class TPointerList {
public:
    using TRelease = std::function<void(T*)>;
    TPointerList() = default;
    explicit TPointerList(TRelease release) : release_(std::move(release)) {}
    TPointerList(const TPointerList&) = delete;
    TPointerList& operator=(const TPointerList&) = delete;
    ~TPointerList() { Clear(); }

    void SetOwnerRelease(TRelease release) { release_ = std::move(release); }
    void Add(T* item) { items_.push_back(item); }
    // Null at an index outside the list.
    T* Get(std::int64_t index) const {
        return index >= 0 && static_cast<std::size_t>(index) < items_.size() ? items_[static_cast<std::size_t>(index)]
                                                                               : nullptr;
    }
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    void Clear() {
        auto items = std::move(items_);
        items_.clear();
        if (release_)
            for (T* item : items) release_(item);
    }

private:
    std::vector<T*> items_;
    TRelease release_;
};

template <class T>
T& Checked(T* item) {
    if (item == nullptr) throw std::out_of_range("no such mixer line");
    return *item;
}

// Owns items added to a list: the list frees them through its release callback.
template <class T>
void SetOwning(TPointerList<T>& list) {
    list.SetOwnerRelease([](T* item) { std::unique_ptr<T> owned(item); });
}

// The controls of one line, described in one request; empty when it fails.
class TMixerControls {
public:
    TMixerControls(IMultimedia& mm, HMIXER mixer, const TMixerLine& line);
    std::int32_t Count() const { return list_.Count(); }
    const TMixerControl* Get(std::int32_t index) const { return list_.Get(index); }
    // In driver order.
    const std::vector<TMixerControl>& All() const { return block_; }

private:
    std::vector<TMixerControl> block_;
    TPointerList<const TMixerControl> list_;
};

struct TMixerConnection {
    TMixerConnection(IMultimedia& mm, HMIXER mixer, const TMixerLine& line) : Line(line), Controls(mm, mixer, Line) {}
    TMixerLine Line;
    TMixerControls Controls;
};

// The source lines of one destination; a line the driver refuses is left out.
class TMixerConnections {
public:
    TMixerConnections(IMultimedia& mm, HMIXER mixer, const TMixerLine& destination);
    std::int32_t Count() const { return list_.Count(); }
    const TMixerConnection* Get(std::int32_t index) const { return list_.Get(index); }
    // Throws std::out_of_range outside the list.
    const TMixerConnection& At(std::int32_t index) const { return Checked(list_.Get(index)); }

private:
    TPointerList<TMixerConnection> list_;
};

struct TMixerDestination {
    TMixerDestination(IMultimedia& mm, HMIXER mixer, const TMixerLine& line)
        : Line(line), Connections(mm, mixer, Line), Controls(mm, mixer, Line) {}
    TMixerLine Line;
    TMixerConnections Connections;
    TMixerControls Controls;
};

// The destinations of an open mixer. A refused destination is left out, so
// the indexes the settings keep are indexes of this list, not the driver's.
class TMixerDestinations {
public:
    TMixerDestinations() = default;
    TMixerDestinations(IMultimedia& mm, HMIXER mixer, std::uint32_t count);
    std::int32_t Count() const { return list_.Count(); }
    const TMixerDestination* Get(std::int32_t index) const { return list_.Get(index); }
    // Throws std::out_of_range outside the list.
    const TMixerDestination& At(std::int32_t index) const { return Checked(list_.Get(index)); }

private:
    TPointerList<TMixerDestination> list_;
};

// A line as GetLineState reports it; -1 where not found.
struct TLineState {
    bool IsSelect = false;
    bool SwitchDisabled = true;
    bool VolumeDisabled = true;
    bool Stereo = false;
    std::int32_t SwitchValue = -1;
    std::int32_t RightVolume = -1;
    std::int32_t LeftVolume = -1;
};

class TRsAudioMixer;
// Sender, mixer handle, line or control id.
using TMixerChange = std::function<void(TRsAudioMixer& Sender, HMIXER MixerH, std::uint32_t ID)>;

class TRsAudioMixer {
public:
    // Opens mixer 0 when the system has any.
    explicit TRsAudioMixer(IMultimedia& mm);
    ~TRsAudioMixer();
    TRsAudioMixer(const TRsAudioMixer&) = delete;
    TRsAudioMixer& operator=(const TRsAudioMixer&) = delete;

    std::int32_t MixerId() const { return mixerId_; }
    // Opens mixer m; an m outside the devices is ignored.
    void SetMixerId(std::int32_t m);
    const std::string& Manufacturer() const { return manufacturer_; }
    std::int32_t DriverVersion() const { return static_cast<std::int32_t>(caps_.vDriverVersion); }
    std::uint16_t ProductId() const { return caps_.wPid; }
    const std::string& ProductName() const { return caps_.szPname; }
    std::int32_t NumberOfLine() const { return static_cast<std::int32_t>(caps_.cDestinations); }
    std::int32_t DeviceCount() const { return static_cast<std::int32_t>(deviceCount_); }
    const TMixerDestinations& Destinations() const { return *destinations_; }

    void Close();
    // dest: index in the destination list; source: index in its source list,
    // or -1 for the destination line itself. False when the destination is missing.
    bool GetLineState(std::int32_t dest, std::int32_t source, TLineState& state);
    // -1 leaves the switch, resp. the volume, alone; a right volume of -1 takes
    // the left one. Values go to the driver as they are, 0 ... 65535.
    bool SetLineState(std::int32_t dest, std::int32_t source, std::int32_t switchValue, std::int32_t rightVolume,
                      std::int32_t leftVolume);

    TMixerChange OnLineChange;
    TMixerChange OnControlChange;

private:
    class TNotifyWindow;
    // The item of a multiplexer that stands for the line, at c - 1, 2c - 1, ...
    static std::int64_t FindItem(const std::vector<TMixerListText>& items, std::uint32_t channels,
                                 std::uint32_t lineId);
    static std::uint32_t ChannelsOf(const TMixerControl& control, const TMixerLine& line);
    void Notify(std::uint32_t message, HMIXER mixer, std::uint32_t id);

    IMultimedia& mm_;
    std::unique_ptr<TNotifyWindow> window_;
    std::uint32_t deviceCount_ = 0;
    HMIXER handle_ = 0;
    std::int32_t mixerId_ = -1;
    TMixerCaps caps_;
    std::string manufacturer_;
    std::unique_ptr<TMixerDestinations> destinations_;
};

}  // namespace quorvel

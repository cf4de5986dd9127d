#include "SimAudio.h"

namespace quorvel::sim {
namespace {

class TSimVolume final : public IVolumeControl {
public:
    explicit TSimVolume(TSimAudio& audio) : audio_(audio) {}
    void SetDevice(std::int32_t device) override { device_ = device; }
    std::int32_t Device() const override { return device_; }
    std::uint16_t GetVolume(int kind) override {
        if (kind != kVolumeWaveOut) return 0;
        audio_.Reads.push_back("volume " + std::to_string(device_));
        auto it = audio_.OutputVolumes.find(device_);
        return it == audio_.OutputVolumes.end() ? 0 : it->second;
    }
    void SetVolume(int kind, std::uint16_t value) override {
        if (kind != kVolumeWaveOut) return;
        audio_.Writes.push_back("volume " + std::to_string(device_) + " " + std::to_string(value));
        auto it = audio_.OutputVolumes.find(device_);
        if (it != audio_.OutputVolumes.end()) it->second = value;
    }

private:
    TSimAudio& audio_;
    std::int32_t device_ = -1;
};

class TSimMixer final : public IAudioMixer {
public:
    explicit TSimMixer(TSimAudio& audio) : audio_(audio), id_(audio.MixerCount > 0 ? 0 : -1) {}
    std::int32_t MixerId() const override { return id_; }
    void SetMixerId(std::int32_t m) override {
        if (m >= 0 && m < audio_.MixerCount) id_ = m;
    }
    bool GetLineState(std::int32_t dest, std::int32_t source, TLineState& state) override {
        state = TLineState{};
        audio_.Reads.push_back("line " + std::to_string(id_) + " " + std::to_string(dest) + " " +
                               std::to_string(source));
        if (id_ < 0 || !HasDestination(dest)) return false;
        auto it = audio_.Lines.find({id_, dest, source});
        if (it == audio_.Lines.end()) return true;
        const auto& line = it->second;
        state.SwitchValue = line.Switch;
        state.SwitchDisabled = false;
        if (line.HasVolume) {
            state.VolumeDisabled = false;
            state.LeftVolume = line.Left;
            state.RightVolume = line.Right;
            state.Stereo = true;
        }
        return true;
    }
    bool SetLineState(std::int32_t dest, std::int32_t source, std::int32_t switchValue, std::int32_t rightVolume,
                      std::int32_t leftVolume) override {
        audio_.Writes.push_back("line " + std::to_string(id_) + " " + std::to_string(dest) + " " +
                                std::to_string(source) + " " + std::to_string(switchValue) + " " +
                                std::to_string(rightVolume) + " " + std::to_string(leftVolume));
        if (id_ < 0 || !HasDestination(dest)) return false;
        auto it = audio_.Lines.find({id_, dest, source});
        if (it == audio_.Lines.end()) return true;
        auto& line = it->second;
        if (switchValue != -1) line.Switch = switchValue;
        if (leftVolume != -1 && line.HasVolume) {
            line.Left = leftVolume;
            line.Right = rightVolume == -1 ? leftVolume : rightVolume;
        }
        return true;
    }

private:
    bool HasDestination(std::int32_t dest) const {
        for (const auto& [key, line] : audio_.Lines)
            if (std::get<0>(key) == id_ && std::get<1>(key) == dest) return true;
        return false;
    }
    TSimAudio& audio_;
    std::int32_t id_;
};

}  // namespace

std::unique_ptr<IVolumeControl> TSimAudio::CreateVolumeControl() { return std::make_unique<TSimVolume>(*this); }
std::unique_ptr<IAudioMixer> TSimAudio::CreateMixer() { return std::make_unique<TSimMixer>(*this); }

}  // namespace quorvel::sim

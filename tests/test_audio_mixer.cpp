// The mixer tree and line state over hand-built mixers: multiplexers, mute and
// volume controls, refused lines and failing drivers.
#include <gtest/gtest.h>

#include "SimMultimedia.h"
#include "audio/RsAudioMixer.h"
#include "audio/RsVolumes.h"
#include "audio/dsMixerModule.h"
#include "base/CodePage.h"

namespace quorvel {
namespace {

using sim::TSimDestination;
using sim::TSimLine;
using sim::TSimMixerDevice;
using sim::TSimMultimedia;

TSimLine Source(std::string name, std::vector<sim::TSimControl> controls, std::uint32_t channels = 2) {
    TSimLine line;
    line.Name = std::move(name);
    line.Channels = channels;
    line.Controls = std::move(controls);
    return line;
}

// Speakers, then a recording destination with a multiplexer over line-in and
// microphone (the microphone selected), a volume and a mute of its own.
TSimMixerDevice SoundCard(std::string name = "SB Live") {
    TSimMixerDevice device;
    device.Name = std::move(name);
    TSimDestination speakers;
    speakers.Name = "Volume Control";
    speakers.ComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    speakers.Controls = {TSimMultimedia::Volume(40000, 40000)};
    TSimDestination recording;
    recording.Name = "Recording Control";
    recording.ComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    recording.Controls = {TSimMultimedia::Mux({0, 1}, {"Line In", "Microphone"}, 1),
                          TSimMultimedia::Volume(1000, 2000), TSimMultimedia::Mute(false)};
    recording.Sources = {Source("Line In", {TSimMultimedia::Volume(3000, 4000), TSimMultimedia::Mute(true)}),
                         Source("Microphone", {TSimMultimedia::MonoVolume(5000)}, 1)};
    device.Destinations = {speakers, recording};
    return device;
}

class AudioMixer : public ::testing::Test {
protected:
    AudioMixer() { mm.Mixers = {SoundCard()}; }
    std::vector<std::uint32_t>& Values(std::uint32_t dest, std::int32_t source, std::size_t control) {
        return mm.Control(0, dest, source, control).Values;
    }
    TSimMultimedia mm;
};

TEST_F(AudioMixer, OpensMixerZeroAndReadsTheWholeTreeOnce) {
    mm.Mixers.push_back(SoundCard("USB Audio"));
    mm.Mixers[1].Mid = 42;
    TRsAudioMixer mixer(mm);
    EXPECT_EQ(mixer.MixerId(), 0);
    EXPECT_EQ(mixer.ProductName(), "SB Live");
    EXPECT_EQ(mixer.Manufacturer(), "Microsoft");
    EXPECT_EQ(mixer.NumberOfLine(), 2);
    ASSERT_EQ(mixer.Destinations().Count(), 2);
    const TMixerDestination& recording = mixer.Destinations().At(1);
    EXPECT_EQ(recording.Connections.Count(), 2);
    EXPECT_EQ(recording.Controls.Count(), 3);
    EXPECT_EQ(recording.Connections.At(1).Line.szName, "Microphone");
    EXPECT_EQ(recording.Connections.Get(2), nullptr);
    EXPECT_EQ(mixer.Destinations().Get(-1), nullptr);

    mixer.SetMixerId(1);
    EXPECT_EQ(mixer.MixerId(), 1);
    EXPECT_EQ(mixer.Manufacturer(), "42 = Unknown");
    EXPECT_EQ(mm.OpenHandles(), 1);  // the first was closed
    mixer.SetMixerId(2);             // no such device: nothing changes
    mixer.SetMixerId(-1);
    EXPECT_EQ(mixer.MixerId(), 1);
    mixer.Close();
    EXPECT_EQ(mixer.MixerId(), -1);
    EXPECT_EQ(mixer.Destinations().Count(), 0);
    EXPECT_EQ(mm.OpenHandles(), 0);
}

TEST_F(AudioMixer, SelectingLineInLeavesItTheOnlySelectedItem) {
    TRsAudioMixer mixer(mm);
    TLineState state;
    ASSERT_TRUE(mixer.GetLineState(1, 1, state));
    EXPECT_TRUE(state.IsSelect);
    EXPECT_EQ(state.SwitchValue, 1);  // the microphone is selected
    EXPECT_FALSE(state.SwitchDisabled);

    ASSERT_TRUE(mixer.SetLineState(1, 0, 1, -1, -1));
    EXPECT_EQ(Values(1, -1, 0), (std::vector<std::uint32_t>{1, 0}));
    ASSERT_TRUE(mixer.GetLineState(1, 0, state));
    EXPECT_TRUE(state.IsSelect);
    EXPECT_EQ(state.SwitchValue, 1);
    // The multiplexer took the switch: line-in's own mute stays as it was.
    EXPECT_EQ(Values(1, 0, 1), (std::vector<std::uint32_t>{1, 1}));
    ASSERT_TRUE(mixer.GetLineState(1, 1, state));
    EXPECT_EQ(state.SwitchValue, 0);

    ASSERT_TRUE(mixer.SetLineState(1, 1, 0, -1, -1));
    EXPECT_EQ(Values(1, -1, 0), (std::vector<std::uint32_t>{0, 0}));  // 0 deselects all
}

TEST_F(AudioMixer, DestinationLineItselfHasItsOwnVolumeAndMute) {
    TRsAudioMixer mixer(mm);
    TLineState state;
    ASSERT_TRUE(mixer.GetLineState(1, -1, state));
    EXPECT_FALSE(state.IsSelect);
    EXPECT_EQ(state.LeftVolume, 1000);
    EXPECT_EQ(state.RightVolume, 2000);
    EXPECT_TRUE(state.Stereo);
    EXPECT_EQ(state.SwitchValue, 0);
    EXPECT_FALSE(state.SwitchDisabled);

    // The destination's switch is its mute; the multiplexer is not touched.
    ASSERT_TRUE(mixer.SetLineState(1, -1, 1, 32768, 65535));
    EXPECT_EQ(Values(1, -1, 1), (std::vector<std::uint32_t>{65535, 32768}));
    EXPECT_EQ(Values(1, -1, 2), (std::vector<std::uint32_t>{1, 1}));
    EXPECT_EQ(Values(1, -1, 0), (std::vector<std::uint32_t>{0, 1}));
    ASSERT_TRUE(mixer.SetLineState(1, -1, -1, -1, 7));  // right -1 takes the left value
    EXPECT_EQ(Values(1, -1, 1), (std::vector<std::uint32_t>{7, 7}));
}

TEST_F(AudioMixer, MonoAndUniformControlsUseOneChannel) {
    mm.Mixers[0].Destinations[1].Sources[0].Controls[0].Flags = MIXERCONTROL_CONTROLF_UNIFORM;
    mm.Mixers[0].Destinations[1].Sources[0].Controls[0].Values = {3000};
    TRsAudioMixer mixer(mm);
    TLineState state;
    ASSERT_TRUE(mixer.GetLineState(1, 1, state));
    EXPECT_FALSE(state.Stereo);
    EXPECT_EQ(state.LeftVolume, 5000);
    EXPECT_EQ(state.RightVolume, 5000);
    ASSERT_TRUE(mixer.SetLineState(1, 1, -1, 9, 8));
    EXPECT_EQ(Values(1, 1, 0), (std::vector<std::uint32_t>{8}));

    ASSERT_TRUE(mixer.GetLineState(1, 0, state));
    EXPECT_FALSE(state.Stereo);
    EXPECT_EQ(state.RightVolume, 3000);
    ASSERT_TRUE(mixer.SetLineState(1, 0, -1, 9, 8));
    EXPECT_EQ(Values(1, 0, 0), (std::vector<std::uint32_t>{8}));
}

TEST_F(AudioMixer, PerChannelMultiplexerItemsAreFoundAtTheLastChannel) {
    auto& mux = mm.Mixers[0].Destinations[1].Controls[0];
    mux.Flags = MIXERCONTROL_CONTROLF_MULTIPLE;  // one value per item and channel
    mux.Values = {0, 0, 1, 1};
    TRsAudioMixer mixer(mm);
    TLineState state;
    ASSERT_TRUE(mixer.GetLineState(1, 1, state));
    EXPECT_EQ(state.SwitchValue, 1);
    ASSERT_TRUE(mixer.SetLineState(1, 0, 1, -1, -1));
    EXPECT_EQ(mux.Values, (std::vector<std::uint32_t>{0, 1, 0, 0}));
}

TEST_F(AudioMixer, SwitchFallsBackToTheLineMuteAndDisabledFlagsShow) {
    auto& recording = mm.Mixers[0].Destinations[1];
    recording.Controls.erase(recording.Controls.begin());  // no multiplexer
    recording.Sources[0].Controls[1].Flags = MIXERCONTROL_CONTROLF_DISABLED;
    recording.Sources[0].Controls[0].Flags = MIXERCONTROL_CONTROLF_DISABLED;
    TRsAudioMixer mixer(mm);
    TLineState state;
    ASSERT_TRUE(mixer.GetLineState(1, 0, state));
    EXPECT_FALSE(state.IsSelect);
    EXPECT_EQ(state.SwitchValue, 1);
    EXPECT_TRUE(state.SwitchDisabled);
    EXPECT_TRUE(state.VolumeDisabled);
    const TSwitchBox box = LineSwitchBox(mixer, 1, 0);
    EXPECT_EQ(box.Caption, Ru("Отключить"));
    EXPECT_FALSE(box.Enabled);
    EXPECT_TRUE(box.Checked);

    ASSERT_TRUE(mixer.SetLineState(1, 0, 0, -1, -1));
    EXPECT_EQ(mm.Control(0, 1, 0, 1).Values, (std::vector<std::uint32_t>{0, 0}));

    // The microphone has neither switch: checked and disabled.
    const TSwitchBox none = LineSwitchBox(mixer, 1, 1);
    EXPECT_FALSE(none.Enabled);
    EXPECT_TRUE(none.Checked);
    ASSERT_TRUE(mixer.SetLineState(1, 0, 1, -1, -1));
    const TSwitchBox select = [&] {
        TSimMultimedia other;
        other.Mixers = {SoundCard()};
        TRsAudioMixer m(other);
        return LineSwitchBox(m, 1, 1);
    }();
    EXPECT_EQ(select.Caption, Ru("Выбрать"));
    EXPECT_TRUE(select.Enabled);
    EXPECT_TRUE(select.Checked);
}

TEST_F(AudioMixer, RefusedLinesAreLeftOutAndIndexesAreListIndexes) {
    mm.Mixers[0].Destinations[0].Refused = true;
    mm.Mixers[0].Destinations[1].Sources[0].Refused = true;
    TRsAudioMixer mixer(mm);
    ASSERT_EQ(mixer.Destinations().Count(), 1);
    EXPECT_EQ(mixer.Destinations().At(0).Line.szName, "Recording Control");
    ASSERT_EQ(mixer.Destinations().At(0).Connections.Count(), 1);
    TLineState state;
    ASSERT_TRUE(mixer.GetLineState(0, 0, state));  // the microphone, now source 0
    EXPECT_EQ(state.LeftVolume, 5000);
    EXPECT_FALSE(mixer.GetLineState(1, -1, state));
    EXPECT_EQ(state.LeftVolume, -1);
    EXPECT_EQ(ReceiveDeviceEntries(mixer).size(), 1u);
    EXPECT_EQ(FirstRecordingLines(mixer).Index, 0);
}

TEST_F(AudioMixer, FailedReadsAreSkippedAndMissingVolumesReadMinusOne) {
    auto& line = mm.Mixers[0].Destinations[1].Sources[0];
    sim::TSimControl failing = TSimMultimedia::Volume(11, 12);
    failing.FailRead = true;
    line.Controls = {failing, TSimMultimedia::Volume(3000, 4000), TSimMultimedia::Mute(true)};
    mm.Mixers[0].Destinations[1].Controls[0].FailRead = true;  // the multiplexer
    mm.Mixers[0].Destinations[0].FailControls = true;
    TRsAudioMixer mixer(mm);
    EXPECT_EQ(mixer.Destinations().At(0).Controls.Count(), 0);
    TLineState state;
    ASSERT_TRUE(mixer.GetLineState(1, 0, state));
    EXPECT_EQ(state.LeftVolume, 3000);  // the second volume control
    EXPECT_FALSE(state.IsSelect);
    EXPECT_EQ(state.SwitchValue, 1);    // the line's mute instead
    ASSERT_TRUE(mixer.GetLineState(0, -1, state));
    EXPECT_EQ(state.LeftVolume, -1);
    EXPECT_TRUE(state.VolumeDisabled);

    mm.Writes.clear();
    ASSERT_TRUE(mixer.SetLineState(0, -1, -1, 100, 100));  // no volume: nothing written
    EXPECT_TRUE(mm.Writes.empty());
    ASSERT_TRUE(mixer.SetLineState(1, 0, -1, 65535, 65535));  // values go out unchanged
    ASSERT_EQ(mm.Writes.size(), 1u);
    EXPECT_EQ(mm.Writes[0], "control 0 " + std::to_string(mm.Control(0, 1, 0, 0).Id) + " 65535 65535");
}

TEST_F(AudioMixer, OpeningRetriesThenGoesWithoutNotifications) {
    int changes = 0;
    std::uint32_t lastId = 0;
    {
        mm.Mixers[0].FailOpens = 2;
        TRsAudioMixer mixer(mm);
        EXPECT_EQ(mixer.MixerId(), 0);  // third try, no window
        mixer.OnControlChange = [&](TRsAudioMixer&, HMIXER, std::uint32_t id) { ++changes, lastId = id; };
        mm.NotifyControlChange(0, 5);
        EXPECT_EQ(changes, 0);
    }
    {
        mm.Mixers[0].FailOpens = 1;
        TRsAudioMixer mixer(mm);
        EXPECT_EQ(mixer.MixerId(), 0);
        int lines = 0;
        mixer.OnControlChange = [&](TRsAudioMixer& sender, HMIXER, std::uint32_t id) {
            EXPECT_EQ(&sender, &mixer);
            ++changes, lastId = id;
        };
        mixer.OnLineChange = [&](TRsAudioMixer&, HMIXER, std::uint32_t) { ++lines; };
        mm.NotifyControlChange(0, 5);
        mm.NotifyLineChange(0, 7);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(lastId, 5u);
        EXPECT_EQ(lines, 1);
    }
    mm.Mixers[0].FailOpens = 3;
    TRsAudioMixer failed(mm);
    EXPECT_EQ(failed.MixerId(), -1);
    EXPECT_EQ(failed.Destinations().Count(), 0);
    TLineState state;
    EXPECT_FALSE(failed.GetLineState(1, 0, state));
    EXPECT_FALSE(failed.SetLineState(1, 0, 1, 1, 1));

    TSimMultimedia empty;
    TRsAudioMixer none(empty);
    EXPECT_EQ(none.MixerId(), -1);
    EXPECT_EQ(mm.OpenHandles(), 0);
}

TEST(AudioVolume, SetsBothHalvesAndReadsZeroOnFailure) {
    TSimMultimedia mm;
    mm.WaveOuts = {{"Speakers", 0x12345678u, false}, {"Headset", 0, true}};
    TRsVolumeControl volume(mm);
    EXPECT_EQ(volume.GetVolume(kVolumeWaveOut), 0x5678);  // the default device is device 0
    EXPECT_EQ(volume.Value(), 0x12345678u);
    volume.SetDevice(1);
    EXPECT_EQ(volume.GetVolume(kVolumeWaveOut), 0);
    EXPECT_EQ(volume.Value(), 0u);
    volume.SetDevice(0);
    volume.SetVolume(kVolumeWaveOut, 32768);
    EXPECT_EQ(mm.WaveOuts[0].Volume, 0x80008000u);
    volume.SetVolume(kVolumeAux, 5);  // only the wave output is reached
    EXPECT_EQ(mm.WaveOuts[0].Volume, 0x80008000u);
    EXPECT_EQ(volume.GetVolume(kVolumeMidiOut), 0);
}

TEST(AudioDeviceLists, TransmitAndReceiveEntriesAsTheDialogsOfferThem) {
    TSimMultimedia mm;
    EXPECT_TRUE(TransmitDeviceEntries(mm).empty());
    mm.WaveOuts = {{"Speakers (a name longer than thirty-one characters)", 0, false}, {"Headset", 0, false}};
    const auto transmit = TransmitDeviceEntries(mm);
    ASSERT_EQ(transmit.size(), 3u);
    EXPECT_EQ(transmit[0], Ru("Устройство по умолчанию"));
    EXPECT_EQ(transmit[1].size(), 31u);
    EXPECT_EQ(transmit[2], "Headset");

    TSimMixerDevice playbackOnly;
    playbackOnly.Name = "HDMI";
    playbackOnly.Destinations = {SoundCard().Destinations[0]};
    TSimMixerDevice twoRecordings = SoundCard("Dual");
    const TSimDestination second = twoRecordings.Destinations[1];
    twoRecordings.Destinations.push_back(second);
    mm.Mixers = {SoundCard(), playbackOnly, twoRecordings};
    TRsAudioMixer mixer(mm);
    const auto receive = ReceiveDeviceEntries(mixer);
    ASSERT_EQ(receive.size(), 3u);
    EXPECT_EQ(receive[0].Name, "SB Live");
    EXPECT_EQ(receive[0].Mixer, 0);
    EXPECT_EQ(receive[1].Mixer, 2);
    EXPECT_EQ(receive[2].Mixer, 2);

    mixer.SetMixerId(1);
    EXPECT_EQ(FirstRecordingLines(mixer).Index, -1);
    EXPECT_TRUE(FirstRecordingLines(mixer).Names.empty());
    mixer.SetMixerId(2);
    const auto lines = FirstRecordingLines(mixer);
    EXPECT_EQ(lines.Index, 1);
    EXPECT_EQ(lines.Names, (std::vector<std::string>{"Recording Control", "Line In", "Microphone"}));
}

TEST(AudioPointerList, ReleasesOwnedItemsAndReadsNullOutside) {
    int released = 0;
    {
        TPointerList<int> list([&](int*) { ++released; });
        int a = 1, b = 2;
        list.Add(&a);
        list.Add(&b);
        EXPECT_EQ(list.Get(1), &b);
        EXPECT_EQ(list.Get(2), nullptr);
        EXPECT_EQ(list.Get(-1), nullptr);
        list.Clear();
        EXPECT_EQ(released, 2);
        EXPECT_EQ(list.Count(), 0);
        list.Add(&a);
    }
    EXPECT_EQ(released, 3);
    TPointerList<int> references;
    int c = 3;
    references.Add(&c);
    references.Clear();
    EXPECT_EQ(c, 3);
}

}  // namespace
}  // namespace quorvel

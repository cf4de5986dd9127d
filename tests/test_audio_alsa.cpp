// The mixer on libasound, against a PulseAudio server the test starts: what
// the system sets is what the server reports, and the other way round.
#include <gtest/gtest.h>

#include "AlsaMixer.h"
#include "PulseServer.h"
#include "SoundDevices.h"
#include "audio/RsAudioMixer.h"
#include "audio/RsVolumes.h"
#include "audio/dsMixerModule.h"

namespace quorvel {
namespace {

using linux_platform::TAlsaMultimedia;
using linux_platform::TSoundDevice;

#define REQUIRE_SERVER(server) \
    if (!(server).Ready()) GTEST_SKIP() << "PulseAudio could not start here: " << (server).Error()

std::vector<TSoundDevice> PulseOnly() { return {{"PulseAudio", "pulse", "pulse", true, true}}; }

std::int32_t CaptureDestination(const TRsAudioMixer& mixer) { return FirstRecordingLines(mixer).Index; }

TEST(AlsaMixer, DefaultDeviceRoutedToTheServerIsListedFirstForEveryUse) {
    testing::TPulseServer server;
    REQUIRE_SERVER(server);
    const auto devices = linux_platform::EnumerateSoundDevices();
    ASSERT_FALSE(devices.empty());
    EXPECT_EQ(devices[0].Control, "default");
    EXPECT_EQ(devices[0].Pcm, "default");
    EXPECT_TRUE(devices[0].Playback);
    EXPECT_TRUE(devices[0].Capture);
    // The same device is mixer 0, recording device 0 and wave-output device 0.
    EXPECT_EQ(linux_platform::CaptureDevices(devices).at(0).Control, "default");
    EXPECT_EQ(linux_platform::PlaybackDeviceIndex(devices, 0), 0);
    EXPECT_EQ(linux_platform::PlaybackDeviceIndex(devices, -1), 0);

    TAlsaMultimedia mm;
    TRsAudioMixer mixer(mm);
    ASSERT_EQ(mixer.MixerId(), 0);
    const auto receive = ReceiveDeviceEntries(mixer);
    ASSERT_FALSE(receive.empty());
    EXPECT_EQ(receive[0].Mixer, 0);
    EXPECT_EQ(TransmitDeviceEntries(mm).size(), linux_platform::PlaybackDevices(devices).size() + 1);
}

TEST(AlsaMixer, CaptureLevelAndMuteMeetTheServerBothWays) {
    testing::TPulseServer server;
    REQUIRE_SERVER(server);
    TAlsaMultimedia mm(PulseOnly());
    TRsAudioMixer mixer(mm);
    ASSERT_EQ(mixer.MixerId(), 0);
    const std::int32_t dest = CaptureDestination(mixer);
    ASSERT_GE(dest, 0);
    EXPECT_EQ(mixer.Destinations().At(dest).Line.dwComponentType, MIXERLINE_COMPONENTTYPE_DST_WAVEIN);

    // Set here, read through the server: 50 % of the server's full scale.
    ASSERT_TRUE(mixer.SetLineState(dest, -1, 0, 32768, 32768));
    auto [left, right] = server.Volumes("get-source-volume @DEFAULT_SOURCE@");
    EXPECT_NEAR(left, 32768, 2);
    EXPECT_NEAR(right, 32768, 2);
    EXPECT_NE(server.Pactl("get-source-mute @DEFAULT_SOURCE@").find("no"), std::string::npos);

    ASSERT_TRUE(mixer.SetLineState(dest, -1, -1, 16384, 65535));
    std::tie(left, right) = server.Volumes("get-source-volume @DEFAULT_SOURCE@");
    EXPECT_NEAR(left, 65536, 2);
    EXPECT_NEAR(right, 16384, 2);

    // Set in the server, read here without reopening.
    server.Pactl("set-source-volume @DEFAULT_SOURCE@ 8192");
    server.Pactl("set-source-mute @DEFAULT_SOURCE@ 1");
    TLineState state;
    ASSERT_TRUE(mixer.GetLineState(dest, -1, state));
    EXPECT_NEAR(state.LeftVolume, 8192, 2);
    EXPECT_NEAR(state.RightVolume, 8192, 2);
    EXPECT_TRUE(state.Stereo);
    EXPECT_FALSE(state.VolumeDisabled);
    EXPECT_EQ(state.SwitchValue, 1);  // muted: the capture switch is off
    EXPECT_FALSE(state.IsSelect);

    ASSERT_TRUE(mixer.SetLineState(dest, -1, 0, -1, -1));
    EXPECT_NE(server.Pactl("get-source-mute @DEFAULT_SOURCE@").find("no"), std::string::npos);
    std::tie(left, right) = server.Volumes("get-source-volume @DEFAULT_SOURCE@");
    EXPECT_NEAR(left, 8192, 2);  // the volume was left alone
}

TEST(AlsaMixer, WaveOutputVolumeIsTheSinkVolume) {
    testing::TPulseServer server;
    REQUIRE_SERVER(server);
    TAlsaMultimedia mm(PulseOnly());
    TRsVolumeControl volume(mm);
    volume.SetDevice(-1);
    volume.SetVolume(kVolumeWaveOut, 49152);
    auto [left, right] = server.Volumes("get-sink-volume @DEFAULT_SINK@");
    EXPECT_NEAR(left, 49152, 2);
    EXPECT_NEAR(right, 49152, 2);

    server.Pactl("set-sink-volume @DEFAULT_SINK@ 6554");
    volume.SetDevice(0);
    EXPECT_NEAR(volume.GetVolume(kVolumeWaveOut), 6554, 2);
    EXPECT_NEAR(volume.Value() >> 16, 6554, 2);

    // The playback destination's own volume is the same control.
    TRsAudioMixer mixer(mm);
    TLineState state;
    ASSERT_TRUE(mixer.GetLineState(0, -1, state));
    EXPECT_EQ(mixer.Destinations().At(0).Line.dwComponentType, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    EXPECT_NEAR(state.LeftVolume, 6554, 2);
}

TEST(AlsaMixer, WithoutDevicesEverythingDegrades) {
    TAlsaMultimedia none(std::vector<TSoundDevice>{});
    TRsAudioMixer mixer(none);
    EXPECT_EQ(mixer.MixerId(), -1);
    EXPECT_EQ(mixer.Destinations().Count(), 0);
    TLineState state;
    EXPECT_FALSE(mixer.GetLineState(0, -1, state));
    EXPECT_FALSE(mixer.SetLineState(0, -1, 1, 100, 100));
    EXPECT_TRUE(TransmitDeviceEntries(none).empty());
    TRsVolumeControl volume(none);
    EXPECT_EQ(volume.GetVolume(kVolumeWaveOut), 0);

    // A listed device that has gone away is a mixer that cannot be opened.
    TAlsaMultimedia gone({{"Gone", "hw:97", "plughw:97", true, true}});
    TRsAudioMixer closed(gone);
    EXPECT_EQ(closed.MixerId(), -1);
    EXPECT_FALSE(closed.GetLineState(0, -1, state));
    EXPECT_EQ(TRsVolumeControl(gone).GetVolume(kVolumeWaveOut), 0);
}

}  // namespace
}  // namespace quorvel

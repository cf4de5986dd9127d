#pragma once
// Small RAII and classification helpers over libasound's simple mixer, for the
// device enumeration and the mixer backend.
#include <alsa/asoundlib.h>

#include <memory>
#include <string>

namespace quorvel::linux_platform {

struct TMixerCloser {
    void operator()(snd_mixer_t* mixer) const { snd_mixer_close(mixer); }
};
using TAlsaMixer = std::unique_ptr<snd_mixer_t, TMixerCloser>;

// The simple mixer of a control device, loaded; null when it cannot be opened.
TAlsaMixer OpenSimpleMixer(const std::string& control);

// "Capture Source" / "Input Source": the card's recording-source selector.
bool IsCaptureSourceSelector(snd_mixer_elem_t* elem);
// The card's master capture element: the recording destination's own volume.
bool IsMasterCapture(snd_mixer_elem_t* elem);
bool IsCaptureElement(snd_mixer_elem_t* elem);
bool IsPlaybackElement(snd_mixer_elem_t* elem);
// The recording destination exists when any capture element or selector does.
bool HasRecordingDestination(snd_mixer_t* mixer);

}  // namespace quorvel::linux_platform

// The audio slice of the main window: the RX and TX level editors (the
// "Уровни" menu of toolbar "стандартная"), the sound card's output volume and
// recording line they drive, the levels given back at destruction, and the
// audio setup wizard's command; their design, handlers and persisted levels.
#include "audio/dsSetupWizard.h"
#include "base/CodePage.h"
#include "base/Round.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"
#include "ports/Dialogs.h"
#include "ui/Design.h"
#include "ui/MessageBoxes.h"

namespace quorvel {

void TMainForm::DesignAudio() {
    using design::Design;
    using design::Spin;
    Design(mnuLevels, "Уровни", "Уровни сигналов");
    // Half way until the stored levels are read: a fresh start neither mutes
    // the transmitter nor drives the recording line at full scale.
    Spin(mnuInLevel, "RX", "RX", 50, 0, 100, 1, 50);
    Spin(mnuOutLevel, "TX", "TX", 50, 0, 100, 1, 50);
    mnuInLevel.SetEnabled(false);
    mnuOutLevel.SetEnabled(false);
    mnuLevels.ItemLinks.Add(mnuInLevel);
    mnuLevels.ItemLinks.Add(mnuOutLevel);
    BarStandard.ItemLinks.Add(mnuLevels);
    Design(mnuWizard, "Мастер выбора аудиоустройств");

    mnuInLevel.OnCurChange = [this](TComponent* s) { mnuInLevelCurChange(s); };
    mnuOutLevel.OnCurChange = [this](TComponent* s) { mnuOutLevelCurChange(s); };
    mnuWizard.OnClick = [this](TComponent* s) { mnuWizardClick(s); };
}

std::int32_t TMainForm::LevelFromPercent(int percent) {
    // percent x 65535 is exact, so halves are real halves (50 % is 32767.5).
    return static_cast<std::int32_t>(Round(static_cast<double>(percent) * 65535.0 / 100.0));
}

int TMainForm::PercentFromLevel(std::int32_t level) {
    return static_cast<int>(Round(static_cast<double>(level) * 100.0 / 65535.0));
}

// ---- Level editors -----------------------------------------------------------

void TMainForm::mnuInLevelCurChange(TComponent*) {
    design::CommitCurValue(mnuInLevel);
    const dsConfig::TConfig& config = Settings();
    // Without a configured recording line there is nothing to set.
    if (!RsAudioMixer1 || config.InDest == -1 || config.SoundSource == -1) return;
    const std::int32_t level = LevelFromPercent(mnuInLevel.Value());
    RsAudioMixer1->SetLineState(config.InDest, config.SoundSource - 1, config.InSelect, level, level);
}

void TMainForm::mnuOutLevelCurChange(TComponent*) {
    design::CommitCurValue(mnuOutLevel);
    if (!RsVolumeControl1) return;
    RsVolumeControl1->SetDevice(Settings().OutSoundCard);
    RsVolumeControl1->SetVolume(kVolumeWaveOut, static_cast<std::uint16_t>(LevelFromPercent(mnuOutLevel.Value())));
}

// ---- The sound card ------------------------------------------------------------

// The first reading of the output volume and the recording level is what
// destruction gives back: later readings would only find our own levels.
void TMainForm::ApplyAudioLevels(bool reapply) {
    const dsConfig::TConfig& config = Settings();
    if (RsVolumeControl1) {
        RsVolumeControl1->SetDevice(config.OutSoundCard);
        if (!reapply && !Audio.OutputRead) {
            Audio.SavedOutputVolume = RsVolumeControl1->GetVolume(kVolumeWaveOut);
            Audio.OutputRead = true;
            Audio.OutputDevice = config.OutSoundCard;
        }
        RsVolumeControl1->SetVolume(kVolumeWaveOut, static_cast<std::uint16_t>(GetOutLevel()));
    }
    if (RsAudioMixer1 && config.InDest != -1 && config.SoundSource != -1) {
        RsAudioMixer1->SetMixerId(config.InMixerID);
        const std::int32_t source = config.SoundSource - 1;
        if (!reapply && !Audio.InputRead) {
            TLineState state;
            if (RsAudioMixer1->GetLineState(config.InDest, source, state)) {
                Audio.SavedInputLevel = state.RightVolume;
                Audio.InputRead = true;
                Audio.InputMixer = config.InMixerID;
                Audio.InputDest = config.InDest;
                Audio.InputSource = source;
            }
        }
        const std::int32_t rx = GetInLevel();
        RsAudioMixer1->SetLineState(config.InDest, source, config.InSelect, rx, rx);
    }
}

void TMainForm::RestoreAudioLevels() {
    if (RsVolumeControl1 && Audio.OutputRead) {
        RsVolumeControl1->SetDevice(Audio.OutputDevice);
        RsVolumeControl1->SetVolume(kVolumeWaveOut, static_cast<std::uint16_t>(Audio.SavedOutputVolume));
    }
    if (RsAudioMixer1 && Audio.InputRead) {
        RsAudioMixer1->SetMixerId(Audio.InputMixer);
        RsAudioMixer1->SetLineState(Audio.InputDest, Audio.InputSource, Settings().InSelect, Audio.SavedInputLevel,
                                    Audio.SavedInputLevel);
    }
}

// ---- Setup wizard --------------------------------------------------------------

void TMainForm::mnuWizardClick(TComponent*) { RunAudioSetupWizard(); }

void TMainForm::RunAudioSetupWizard() {
    const std::optional<TAudioSetupChoice> choice = RunAudioSetupDialog();
    if (choice) ApplyAudioSetupChoice(*choice);
}

std::optional<TAudioSetupChoice> TMainForm::RunAudioSetupDialog() {
    IMultimedia* multimedia = Platform().Audio;
    if (multimedia == nullptr) return std::nullopt;  // no sound card to choose from
    auto wizard =
        TForm::Create<TAudioSetupForm>(Application(), Handle(), *multimedia, Settings(), &Library().HostResources);
    if (wizard->ShowModal() != mrOk) return std::nullopt;
    return wizard->Choice();
}

void TMainForm::RsAudioMixer1ControlChange(TRsAudioMixer&, HMIXER, std::uint32_t) {}

void TMainForm::ApplyAudioSetupChoice(const TAudioSetupChoice& choice) {
    dsConfig::TConfig& config = Settings();
    config.OutSoundCard = choice.OutSoundCard;
    config.InSoundCard = choice.InSoundCard;
    config.SoundSource = choice.SoundSource;
    config.InMixerID = choice.InMixerID;
    config.InDest = choice.InDest;
    config.SetupComplete = true;
    config.EnabledRXLevel = choice.EnabledRXLevel;
    config.InSelect = choice.InSelect;
    if (config.Save()) ApplySettings(true);
    else AppMessageBox(Application(), Ru("Не удалось сохранить конфигурацию."), MB_ICONERROR);
}

// ---- Persisted properties --------------------------------------------------------

std::int32_t TMainForm::GetInLevel() const { return LevelFromPercent(mnuInLevel.Value()); }
void TMainForm::SetInLevel(std::int32_t value) { mnuInLevel.SetValue(PercentFromLevel(value)); }

std::int32_t TMainForm::GetOutLevel() const { return LevelFromPercent(mnuOutLevel.Value()); }
void TMainForm::SetOutLevel(std::int32_t value) { mnuOutLevel.SetValue(PercentFromLevel(value)); }

}  // namespace quorvel

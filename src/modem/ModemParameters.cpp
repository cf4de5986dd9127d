// The modem parameter handlers of the main window: the toolbar controls that
// set mode, speed, carriers, AFC and levels on the current channel, and the
// engine's reports shown in those controls and in the status bar.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "modem/ModemText.h"
#include "plugin/FrequencyText.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"

namespace quorvel {
namespace {

// Status-bar panels.
constexpr std::size_t kPanelSignalToNoise = 0;
constexpr std::size_t kPanelTiming = 1;
constexpr std::size_t kPanelSignalFrequency = 2;

// The editor's current value as a whole number, kept within int.
int TruncatedCurValue(const TSpinEdit& editor) {
    const double v = std::trunc(editor.CurValue());
    constexpr double lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(v, lo, hi));
}

// The editor value takes the current value; the engine gets what the editor
// then holds, so a typed value beyond the range never reaches it.
std::uint16_t CommitCurValue(TSpinEdit& editor) {
    editor.SetValue(TruncatedCurValue(editor));
    return static_cast<std::uint16_t>(std::clamp(editor.Value(), 0, 0xFFFF));
}

// An editor's Tag is 1 while its carrier is being written to the engine, so
// that the engine's report of that same write leaves the editor alone.
class TWriteGuard {
public:
    explicit TWriteGuard(TComponent& editor) : editor_(editor) { editor_.Tag = 1; }
    ~TWriteGuard() { editor_.Tag = 0; }
    TWriteGuard(const TWriteGuard&) = delete;
    TWriteGuard& operator=(const TWriteGuard&) = delete;

private:
    TComponent& editor_;
};

}  // namespace

void TMainForm::BindModemHandlers() {
    mnuModes.OnChange = [this](TComponent* s) { mnuModesChange(s); };
    mnuSpeed.OnChange = [this](TComponent* s) { mnuSpeedChange(s); };
    mnuAFCFreq.OnCurChange = [this](TComponent* s) { mnuAFCFreqCurChange(s); };
    mnuAFCLevel.OnCurChange = [this](TComponent* s) { mnuAFCLevelCurChange(s); };
    mnuRXFreq.OnCurChange = [this](TComponent* s) { mnuRXFreqCurChange(s); };
    mnuTXFreq.OnCurChange = [this](TComponent* s) { mnuTXFreqCurChange(s); };
    mnuInLevel.OnCurChange = [this](TComponent* s) { mnuInLevelCurChange(s); };
    mnuOutLevel.OnCurChange = [this](TComponent* s) { mnuOutLevelCurChange(s); };
}

// ---- User actions ---------------------------------------------------------

void TMainForm::mnuModesChange(TComponent*) {
    // A cleared selection is no mode to set.
    const int mode = mnuModes.ItemIndex();
    if (mode < 0) return;
    if (engine_) engine_->set_Mode(CurrentChannel(), static_cast<std::int16_t>(mode));
    UpdateNewQsoMode();
}

void TMainForm::mnuSpeedChange(TComponent*) {
    const std::optional<double> speed = ParseSpeedText(mnuSpeed.Text(), Application().DecimalSeparator);
    if (!speed) return;
    if (engine_) engine_->set_Speed(CurrentChannel(), *speed);
    UpdateNewQsoMode();
}

void TMainForm::mnuAFCFreqCurChange(TComponent*) {
    const std::uint16_t width = CommitCurValue(mnuAFCFreq);
    if (engine_) engine_->set_wAFCWidth(width);
}

void TMainForm::mnuAFCLevelCurChange(TComponent*) {
    const std::uint16_t level = CommitCurValue(mnuAFCLevel);
    if (engine_) engine_->set_wAFCLevel(level);
}

void TMainForm::mnuRXFreqCurChange(TComponent*) {
    const std::uint16_t hz = CommitCurValue(mnuRXFreq);
    TWriteGuard guard(mnuRXFreq);
    if (engine_) engine_->set_RxCarrier(CurrentChannel(), hz);
}

void TMainForm::mnuTXFreqCurChange(TComponent*) {
    const std::uint16_t hz = CommitCurValue(mnuTXFreq);
    TWriteGuard guard(mnuTXFreq);
    if (engine_) engine_->set_wTxCarrier(hz);
}

void TMainForm::mnuInLevelCurChange(TComponent*) {
    CommitCurValue(mnuInLevel);
    const dsConfig::TConfig& config = Settings();
    // Without a configured recording line there is nothing to set.
    if (!RsAudioMixer1 || config.InDest == -1 || config.SoundSource == -1) return;
    const std::int32_t level = LevelFromPercent(mnuInLevel.Value());
    RsAudioMixer1->SetLineState(config.InDest, config.SoundSource - 1, config.InSelect, level, level);
}

void TMainForm::mnuOutLevelCurChange(TComponent*) {
    CommitCurValue(mnuOutLevel);
    if (!RsVolumeControl1) return;
    RsVolumeControl1->SetDevice(Settings().OutSoundCard);
    RsVolumeControl1->SetVolume(kVolumeWaveOut, static_cast<std::uint16_t>(LevelFromPercent(mnuOutLevel.Value())));
}

void TMainForm::UpdateNewQsoMode() {
    HostSession* host = Library().Host;
    if (host == nullptr || host->NewQso == nullptr) return;
    if (ModemHooks.SendModeNameToHost) ModemHooks.SendModeNameToHost();
}

// ---- Engine reports ---------------------------------------------------------

void TMainForm::MMVARI1Mode(std::int16_t, std::int16_t mIndex, const std::u16string&) { mnuModes.SetItemIndex(mIndex); }

void TMainForm::MMVARI1Speed(std::int16_t, double dblSpeed) {
    mnuSpeed.SetText(SpeedText(dblSpeed, Application().DecimalSeparator));
}

void TMainForm::MMVARI1RxCarrier(std::int16_t, std::uint16_t wFreq) {
    if (mnuRXFreq.Tag == 0) mnuRXFreq.SetValue(wFreq);
    if (ModemHooks.ReapplyCustomFilter) ModemHooks.ReapplyCustomFilter();
    UpdateSignalFrequency();
}

void TMainForm::MMVARI1TxCarrier(std::uint16_t wFreq) {
    if (mnuTXFreq.Tag == 0) mnuTXFreq.SetValue(wFreq);
}

void TMainForm::MMVARI1NET(TOleBool bNET) { mnuNET.SetDown(bNET != 0); }

void TMainForm::MMVARI1Timing(std::int16_t, std::int32_t dwTiming, std::int16_t wUnit) {
    StatusBar1.SetPanelText(kPanelTiming, TimingText(dwTiming, wUnit, Application().DecimalSeparator));
}

void TMainForm::MMVARI1DrawFFT(std::uint16_t, const std::int16_t*) {
    const std::int16_t ch = CurrentChannel();
    XMMVView1->DrawSpectrum(EngineHandle);
    XMMVView1->DrawChannel(EngineHandle, ch);
    XMMVLvl1->DrawLevel(EngineHandle, ch);
    if (engine_) StatusBar1.SetPanelText(kPanelSignalToNoise, SignalToNoiseText(engine_->SignalToNoise(ch)));
    AFCLvl->DrawTuning(EngineHandle);
}

void TMainForm::UpdateSignalFrequency() {
    HostSession* host = Library().Host;
    IHostTransceiver* trx = host != nullptr ? host->Transceiver : nullptr;
    if (trx == nullptr) return;
    if (DialFrequency == 0) DialFrequency = trx->Frequency();
    if (DialFrequency == 0) return;
    const std::int32_t carrier = engine_ ? engine_->RxCarrier(CurrentChannel()) : 0;
    trx->SetWorkingFrequency(SignalFrequency(DialFrequency, carrier, trx->UpperSideband() != 0));
    const std::int32_t shown = trx->Frequency();
    StatusBar1.SetPanelText(kPanelSignalFrequency, shown != 0 ? FrequencyText(shown) : std::string("0.000"));
}

// The engine's events, as the window's handlers.
void TMainForm::OnMode(std::int16_t nIndex, std::int16_t mIndex, const std::u16string& strMode) {
    MMVARI1Mode(nIndex, mIndex, strMode);
}
void TMainForm::OnSpeed(std::int16_t nIndex, double dblSpeed) { MMVARI1Speed(nIndex, dblSpeed); }
void TMainForm::OnRxCarrier(std::int16_t nIndex, std::uint16_t wFreq) { MMVARI1RxCarrier(nIndex, wFreq); }
void TMainForm::OnTxCarrier(std::uint16_t wFreq) { MMVARI1TxCarrier(wFreq); }
void TMainForm::OnNET(TOleBool bNET) { MMVARI1NET(bNET); }
void TMainForm::OnTiming(std::int16_t nIndex, std::int32_t dwTiming, std::int16_t wUnit) {
    MMVARI1Timing(nIndex, dwTiming, wUnit);
}
void TMainForm::OnDrawFFT(std::uint16_t wCount, const std::int16_t* pArray) { MMVARI1DrawFFT(wCount, pArray); }

}  // namespace quorvel

// The modem-parameters slice of the main window: the toolbar controls that
// set mode, speed, carriers, AFC, NET and ATC on the current channel (their
// design, automation and handlers), the engine's reports shown in those
// controls and in the status bar, and the persisted properties they keep.
#include <algorithm>
#include <initializer_list>
#include <cmath>
#include <limits>
#include <optional>

#include "modem/ModemText.h"
#include "plugin/FrequencyText.h"
#include "plugin/Session.h"
#include "plugin/ContactText.h"
#include "plugin/dsMainForm.h"
#include "ui/Design.h"

namespace quorvel {
namespace {

// Status-bar panels.
constexpr std::size_t kPanelTiming = 1;
constexpr std::size_t kPanelSignalFrequency = 2;

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

using design::CommitCurValue;

void TMainForm::DesignModem() {
    using design::Check;
    using design::Design;
    using design::Spin;
    Design(mnuModes, "Вид:", "Вид");
    mnuModes.SetWidth(70);
    Design(mnuSpeed, "Скорость:", "Скорость");
    mnuSpeed.SetWidth(60);
    for (const char* speed : {"15.625", "20", "31.25", "45.45", "62.5", "75", "93.75", "100", "110", "125", "150",
                              "200", "250", "500"})
        mnuSpeed.AddItem(speed);
    Design(mnuAFC, "AFC", "Автоматическая подстройка частоты");
    Check(mnuAFC, true);
    Spin(mnuAFCFreq, "Гц:", "Частота AFC", 55, 10, 1000, 10, 50);
    Spin(mnuAFCLevel, "dB:", "Уровень AFC", 40, 10, 60, 2, 16);
    Design(mnuNET, "NET", "NET (совместить частоты TX/RX)");
    Check(mnuNET, true);
    Design(mnuATC, "ATC", "Автоматический контроль синхронизации");
    Check(mnuATC, false);
    Spin(mnuRXFreq, "RX:", "Частота приёма", 55, 0, 3000, 1, 1750);
    Spin(mnuTXFreq, "TX:", "Частота передачи", 55, 0, 3000, 1, 1750);
    for (TControl* c : std::initializer_list<TControl*>{&mnuModes, &mnuSpeed}) BarStandard.ItemLinks.Add(*c);
    for (TControl* c : std::initializer_list<TControl*>{&mnuAFC, &mnuAFCFreq, &mnuAFCLevel, &mnuNET, &mnuATC,
                                                         &mnuRXFreq, &mnuTXFreq})
        BarCommands.ItemLinks.Add(*c, c == &mnuNET || c == &mnuRXFreq);

    mnuModes.OnChange = [this](TComponent* s) { mnuModesChange(s); };
    mnuSpeed.OnChange = [this](TComponent* s) { mnuSpeedChange(s); };
    mnuAFCFreq.OnCurChange = [this](TComponent* s) { mnuAFCFreqCurChange(s); };
    mnuAFCLevel.OnCurChange = [this](TComponent* s) { mnuAFCLevelCurChange(s); };
    mnuRXFreq.OnCurChange = [this](TComponent* s) { mnuRXFreqCurChange(s); };
    mnuTXFreq.OnCurChange = [this](TComponent* s) { mnuTXFreqCurChange(s); };
    mnuATC.OnClick = [this](TComponent* s) { mnuATCClick(s); };
    mnuAFC.OnClick = [this](TComponent* s) { mnuAFCClick(s); };
    mnuNET.OnClick = [this](TComponent* s) { mnuNETClick(s); };
}

void TMainForm::RegisterModemAutomation() {
    for (TComponent* c : std::initializer_list<TComponent*>{&mnuModes, &mnuSpeed, &mnuAFC, &mnuNET, &mnuATC,
                                                             &mnuRXFreq, &mnuTXFreq})
        Automation.AddControl(*c);
}

// ---- User actions ---------------------------------------------------------

void TMainForm::mnuModesChange(TComponent*) {
    // A cleared selection is no mode to set.
    const int mode = mnuModes.ItemIndex();
    if (mode < 0) return;
    engine_->set_Mode(CurrentChannel(), static_cast<std::int16_t>(mode));
    UpdateNewQsoMode();
}

void TMainForm::mnuSpeedChange(TComponent*) {
    const std::optional<double> speed = ParseSpeedText(mnuSpeed.Text(), Application().DecimalSeparator);
    if (!speed) return;
    engine_->set_Speed(CurrentChannel(), *speed);
    UpdateNewQsoMode();
}

void TMainForm::mnuAFCFreqCurChange(TComponent*) {
    const std::uint16_t width = CommitCurValue(mnuAFCFreq);
    engine_->set_wAFCWidth(width);
}

void TMainForm::mnuAFCLevelCurChange(TComponent*) {
    const std::uint16_t level = CommitCurValue(mnuAFCLevel);
    engine_->set_wAFCLevel(level);
}

void TMainForm::mnuRXFreqCurChange(TComponent*) {
    const std::uint16_t hz = CommitCurValue(mnuRXFreq);
    TWriteGuard guard(mnuRXFreq);
    engine_->set_RxCarrier(CurrentChannel(), hz);
}

void TMainForm::mnuTXFreqCurChange(TComponent*) {
    const std::uint16_t hz = CommitCurValue(mnuTXFreq);
    TWriteGuard guard(mnuTXFreq);
    engine_->set_wTxCarrier(hz);
}

void TMainForm::UpdateNewQsoMode() {
    HostSession* host = Library().Host;
    if (host == nullptr || host->NewQso == nullptr) return;
    SendModeNameToHost();
}

// ---- Engine reports ---------------------------------------------------------

void TMainForm::MMVARI1Mode(std::int16_t, std::int16_t mIndex, const std::u16string&) { mnuModes.SetItemIndex(mIndex); }

void TMainForm::MMVARI1Speed(std::int16_t, double dblSpeed) {
    mnuSpeed.SetText(SpeedText(dblSpeed, Application().DecimalSeparator));
}

void TMainForm::MMVARI1RxCarrier(std::int16_t, std::uint16_t wFreq) {
    if (mnuRXFreq.Tag == 0) mnuRXFreq.SetValue(wFreq);
    ReapplyCustomFilter();
    UpdateSignalFrequency();
}

void TMainForm::MMVARI1TxCarrier(std::uint16_t wFreq) {
    if (mnuTXFreq.Tag == 0) mnuTXFreq.SetValue(wFreq);
}

void TMainForm::MMVARI1NET(TOleBool bNET) { mnuNET.SetDown(bNET != 0); }

void TMainForm::MMVARI1Timing(std::int16_t, std::int32_t dwTiming, std::int16_t wUnit) {
    StatusBar1.SetPanelText(kPanelTiming, TimingText(dwTiming, wUnit, Application().DecimalSeparator));
}

void TMainForm::UpdateSignalFrequency(bool askHost) {
    HostSession* host = Library().Host;
    IHostTransceiver* trx = host != nullptr ? host->Transceiver : nullptr;
    if (trx == nullptr) return;
    if (Window.DialFrequency == 0 && askHost) Window.DialFrequency = trx->Frequency();
    if (Window.DialFrequency == 0) return;
    const std::int32_t carrier = engine_->RxCarrier(CurrentChannel());
    trx->SetWorkingFrequency(SignalFrequency(Window.DialFrequency, carrier, trx->UpperSideband() != 0));
    const std::int32_t shown = trx->Frequency();
    StatusBar1.SetPanelText(kPanelSignalFrequency, shown != 0 ? FrequencyText(shown) : std::string("0.000"));
}

void TMainForm::SendModeNameToHost() {
    INewQsoWindow* qso = NewQsoWindow();
    if (qso == nullptr) return;
    std::string name;
    try {
        name = HostModeName(mnuModes.Text(), mnuSpeed.Text(), Application().DecimalSeparator);
    } catch (const std::exception& e) {
        library_.ShowException(e);
        return;
    }
    IHostControl* mode = qso->ModeControl();
    if (mode == nullptr) return;
    mode->SetText(name.c_str());
    mode->FireChange();
}

// ---- AFC, NET, ATC -------------------------------------------------------------

void TMainForm::mnuATCClick(TComponent*) { engine_->set_bATC(ToOle(mnuATC.Down())); }

void TMainForm::mnuAFCClick(TComponent*) {
    const bool on = mnuAFC.Down();
    mnuAFCFreq.SetEnabled(on);
    mnuAFCLevel.SetEnabled(on);
    engine_->set_Afc(CurrentChannel(), on ? 1 : 0);
}

void TMainForm::mnuNETClick(TComponent*) { engine_->set_bNET(ToOle(mnuNET.Down())); }

// ---- Persisted properties ------------------------------------------------------

bool TMainForm::GetATC() const { return mnuATC.Down(); }
void TMainForm::SetATC(bool value) {
    mnuATC.SetDown(value);
    mnuATCClick(&mnuATC);
}

bool TMainForm::GetAFC() const { return mnuAFC.Down(); }
void TMainForm::SetAFC(bool value) {
    mnuAFC.SetDown(value);
    mnuAFCClick(&mnuAFC);
}

bool TMainForm::GetNET() const { return mnuNET.Down(); }
void TMainForm::SetNET(bool value) {
    mnuNET.SetDown(value);
    mnuNETClick(&mnuNET);
}

std::int16_t TMainForm::GetAFCWidth() const { return static_cast<std::int16_t>(mnuAFCFreq.Value()); }
void TMainForm::SetAFCWidth(std::int16_t value) { mnuAFCFreq.SetValue(value); }

std::int16_t TMainForm::GetAFCLevel() const { return static_cast<std::int16_t>(mnuAFCLevel.Value()); }
void TMainForm::SetAFCLevel(std::int16_t value) { mnuAFCLevel.SetValue(value); }

// Mode and speed wait for the show to reach the engine.
std::int16_t TMainForm::GetMode() const { return engine_->Mode(0); }
void TMainForm::SetMode(std::int16_t value) { Modem.SavedMode = value; }

double TMainForm::GetSpeed() const { return engine_->Speed(0); }
void TMainForm::SetSpeed(double value) { Modem.SavedSpeed = value; }

std::int16_t TMainForm::GetRxCarrier() const { return static_cast<std::int16_t>(engine_->RxCarrier(0)); }
void TMainForm::SetRxCarrier(std::int16_t value) { engine_->set_RxCarrier(0, static_cast<std::uint16_t>(value)); }

std::int16_t TMainForm::GetTxCarrier() const { return static_cast<std::int16_t>(engine_->wTxCarrier()); }
void TMainForm::SetTxCarrier(std::int16_t value) { engine_->set_wTxCarrier(static_cast<std::uint16_t>(value)); }

}  // namespace quorvel

// The window's persisted properties, read from and written to its controls,
// and the small commands their setters run.
#include "base/Round.h"
#include "plugin/dsMainForm.h"

namespace quorvel {

std::int32_t TMainForm::LevelFromPercent(int percent) {
    // percent x 65535 is exact, so halves are real halves (50 % is 32767.5).
    return static_cast<std::int32_t>(Round(static_cast<double>(percent) * 65535.0 / 100.0));
}

int TMainForm::PercentFromLevel(std::int32_t level) {
    return static_cast<int>(Round(static_cast<double>(level) * 100.0 / 65535.0));
}

TRichEdit& TMainForm::PaneForChannel(int channel) {
    switch (channel) {
        case 1: return RichEdit2;
        case 2: return RichEdit3;
        case 3: return RichEdit4;
        case 4: return RichEdit5;
        default: return RichEdit1;
    }
}

// ---- Commands --------------------------------------------------------------

void TMainForm::mnuATCClick(TComponent*) {
    if (engine_) engine_->set_bATC(ToOle(mnuATC.Down()));
}

void TMainForm::mnuAFCClick(TComponent*) {
    const bool on = mnuAFC.Down();
    mnuAFCFreq.SetEnabled(on);
    mnuAFCLevel.SetEnabled(on);
    if (engine_) engine_->set_Afc(CurrentChannel(), on ? 1 : 0);
}

void TMainForm::mnuNETClick(TComponent*) {
    if (engine_) engine_->set_bNET(ToOle(mnuNET.Down()));
}

void TMainForm::mnuTranslateClick(TComponent*) { StatusBar1.SetPanelText(3, mnuTranslate.Down() ? "En" : "Ru"); }

void TMainForm::mnuBPFButtonClick(TComponent* Sender) {
    if (engine_ && Sender != nullptr) engine_->set_nBPF(static_cast<std::int16_t>(Sender->Tag));
}

void TMainForm::mnuViewTypeClick(TComponent* Sender) {
    XMMVView1->wType = Sender == &mnuWaterfall ? 1 : 0;
}

void TMainForm::mnuViewWidthClick(TComponent* Sender) {
    if (Sender == nullptr) return;
    XMMVView1->wWidthFreq = static_cast<std::uint16_t>(Sender->Tag);
    XMMVView2->wWidthFreq = XMMVView1->wWidthFreq;
}

void TMainForm::mnuStatusBarClick(TComponent*) { StatusBar1.SetVisible(mnuStatusBar.Down()); }
void TMainForm::mnuTrcvrViewClick(TComponent*) { RsPanel3.SetVisible(mnuTrcvrView.Down()); }
void TMainForm::mnuScaleViewClick(TComponent*) { RsPanel5.SetVisible(mnuScaleView.Down()); }

// ---- Properties ------------------------------------------------------------

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

std::int16_t TMainForm::GetMode() const { return engine_ ? engine_->Mode(0) : SavedMode; }
void TMainForm::SetMode(std::int16_t value) { SavedMode = value; }

double TMainForm::GetSpeed() const { return engine_ ? engine_->Speed(0) : SavedSpeed; }
void TMainForm::SetSpeed(double value) { SavedSpeed = value; }

std::int16_t TMainForm::GetRxCarrier() const {
    return engine_ ? static_cast<std::int16_t>(engine_->RxCarrier(0)) : static_cast<std::int16_t>(mnuRXFreq.Value());
}
void TMainForm::SetRxCarrier(std::int16_t value) {
    if (engine_) engine_->set_RxCarrier(0, static_cast<std::uint16_t>(value));
}

std::int16_t TMainForm::GetTxCarrier() const {
    return engine_ ? static_cast<std::int16_t>(engine_->wTxCarrier()) : static_cast<std::int16_t>(mnuTXFreq.Value());
}
void TMainForm::SetTxCarrier(std::int16_t value) {
    if (engine_) engine_->set_wTxCarrier(static_cast<std::uint16_t>(value));
}

std::int32_t TMainForm::GetPanel1Height() const { return Panel1.Height(); }
void TMainForm::SetPanel1Height(std::int32_t value) { Panel1.SetHeight(value); }

std::int16_t TMainForm::GetBPF() const {
    if (mnuF2.Down()) return 1;
    if (mnuF3.Down()) return 2;
    if (mnuF4.Down()) return 3;
    return 0;
}
void TMainForm::SetBPF(std::int16_t value) {
    if (engine_) engine_->set_nBPF(value);
    TButtonItem* const buttons[] = {&mnuF1, &mnuF2, &mnuF3, &mnuF4};
    if (value >= 0 && value <= 3) buttons[value]->SetDown(true);
}

bool TMainForm::GetDisplayWaterfall() const { return mnuWaterfall.Down(); }
void TMainForm::SetDisplayWaterfall(bool value) {
    mnuWaterfall.SetDown(value);
    mnuAnalyzer.SetDown(!value);
    XMMVView1->wType = value ? 1 : 0;
}

bool TMainForm::GetTranslate() const { return mnuTranslate.Down(); }
void TMainForm::SetTranslate(bool value) {
    mnuTranslate.SetDown(value);
    mnuTranslateClick(&mnuTranslate);
}

std::int32_t TMainForm::GetInLevel() const { return LevelFromPercent(mnuInLevel.Value()); }
void TMainForm::SetInLevel(std::int32_t value) { mnuInLevel.SetValue(PercentFromLevel(value)); }

std::int32_t TMainForm::GetOutLevel() const { return LevelFromPercent(mnuOutLevel.Value()); }
void TMainForm::SetOutLevel(std::int32_t value) { mnuOutLevel.SetValue(PercentFromLevel(value)); }

std::int32_t TMainForm::GetMacrosPageIndex() const { return PageControl1.ActivePageIndex(); }
void TMainForm::SetMacrosPageIndex(std::int32_t value) { PageControl1.SetActivePageIndex(value); }

bool TMainForm::GetStatusBarVisible() const { return mnuStatusBar.Down(); }
void TMainForm::SetStatusBarVisible(bool value) {
    mnuStatusBar.SetDown(value);
    StatusBar1.SetVisible(value);
}

std::int32_t TMainForm::GetRxWndHeight() const { return RxPanel.Height(); }
void TMainForm::SetRxWndHeight(std::int32_t value) { RxPanel.SetHeight(value); }

std::int32_t TMainForm::GetViewWidth() const {
    const auto& buttons = ViewWidthGroup.Buttons();
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it)
        if ((*it)->Down()) return (*it)->Tag;
    return 3000;
}
void TMainForm::SetViewWidth(std::int32_t value) {
    for (TButtonItem* b : ViewWidthGroup.Buttons())
        if (b->Tag == value) {
            b->SetDown(true);
            mnuViewWidthClick(b);
            return;
        }
}

bool TMainForm::GetTrcvrView() const { return mnuTrcvrView.Down(); }
void TMainForm::SetTrcvrView(bool value) {
    mnuTrcvrView.SetDown(value);
    RsPanel3.SetVisible(value);
}

bool TMainForm::GetScaleView() const { return mnuScaleView.Down(); }
void TMainForm::SetScaleView(bool value) {
    mnuScaleView.SetDown(value);
    RsPanel5.SetVisible(value);
}

bool TMainForm::GetClickOnData() const { return mnuClickOnData.Down(); }
void TMainForm::SetClickOnData(bool value) { mnuClickOnData.SetDown(value); }

}  // namespace quorvel

// The spectrum-views slice of the main window: the spectrum and waterfall,
// the tuning and level displays, the scale, the transceiver panel with the
// dial frequency and the tuning steps, and the View menu's items for them;
// their design, automation and handlers, the engine's drawing report, and
// the persisted view properties.
#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

#include "base/CodePage.h"
#include "modem/ModemText.h"
#include "plugin/dsMainForm.h"
#include "ui/Design.h"

namespace quorvel {

void TMainForm::DesignViews() {
    using design::Check;
    using design::Design;
    Panel1.MinHeight = 30;
    Panel1.SetHeight(72);
    XMMVLvl1.SetWidth(25);
    XMMVLvl1.SetHint(Ru("Уровень сигнала, порог шумоподавителя"));
    AFCLvl.SetHeight(17);
    AFCLvl.SetHint(Ru("Точность настройки"));
    RsPanel5.SetHeight(17);
    RsPanel3.SetHeight(17);
    RsPanel3.Color = clWhite;
    RsPanel3.Gradient = true;
    RsPanel3.GradientTo = 0xE4AE88;  // RGB(136, 174, 228)
    Label7.SetCaption("0.000");
    Label7.Font = TFont{"Arial", 12, TFontStyles{TFontStyle::fsBold}, clWindowText};  // 16 pixels
    const std::pair<TSpeedButton*, int> steps[] = {{&RsSpeedButton3, 5},  {&RsSpeedButton42, 4},
                                                   {&RsSpeedButton43, 3}, {&RsSpeedButton44, 2},
                                                   {&RsSpeedButton45, 1}, {&RsSpeedButton46, 0}};
    const char* const stepCaptions[] = {"-1", "-10", "-100", "+100", "+10", "+1"};
    for (std::size_t i = 0; i < 6; ++i) {
        steps[i].first->Tag = steps[i].second;
        steps[i].first->SetCaption(stepCaptions[i]);
        steps[i].first->SetHint(std::string(stepCaptions[i]) + Ru(" Гц"));
    }
    Timer2.SetEnabled(false);
    Timer2.SetInterval(3000);
    Design(mnuViewType, "Вид анализатора");
    Design(mnuWaterfall, "Водопад");
    Design(mnuAnalyzer, "Анализатор");
    ViewTypeGroup.Add(mnuWaterfall);
    ViewTypeGroup.Add(mnuAnalyzer);
    mnuWaterfall.SetDown(true);
    mnuWaterfall.OnClick = [this](TComponent* s) { mnuViewTypeClick(s); };
    mnuAnalyzer.OnClick = [this](TComponent* s) { mnuViewTypeClick(s); };
    mnuViewType.ItemLinks.Add(mnuWaterfall);
    mnuViewType.ItemLinks.Add(mnuAnalyzer);
    Design(mnuViewWidth, "Полоса обзора");
    const std::pair<TButtonItem*, int> spans[] = {{&mnu05, 500},  {&mnu10, 1000}, {&mnu15, 1500},
                                                  {&mnu20, 2000}, {&mnu25, 2500}, {&mnu30, 3000}};
    for (const auto& [button, hz] : spans) {
        ViewWidthGroup.Add(*button);
        button->Tag = hz;
        std::string caption = std::to_string(hz);
        caption += " Гц";
        Design(*button, caption.c_str());
        button->OnClick = [this](TComponent* s) { mnuViewWidthClick(s); };
        mnuViewWidth.ItemLinks.Add(*button);
    }
    mnu30.SetDown(true);
    Design(mnuScaleView, "Шкала");
    Check(mnuScaleView, true);
    Design(mnuTrcvrView, "Панель управления трансивером");
    Check(mnuTrcvrView, true);
    mnuTrcvrView.OnClick = [this](TComponent* s) { mnuTrcvrViewClick(s); };
    mnuScaleView.OnClick = [this](TComponent* s) { mnuScaleViewClick(s); };
    // The display reports a press at the frequency under the pointer: x is in Hz.
    XMMVView1.OnMouseDown = [this](TComponent*, TMouseButton button, TShiftState, int x, int) {
        if (button == TMouseButton::mbRight) XMMVView1RMouseDown(static_cast<std::uint16_t>(std::clamp(x, 0, 0xFFFF)));
    };
}

void TMainForm::RegisterViewsAutomation() {
    Automation.AddControl(Label7);
    Automation.AddControl(XMMVView1, false);
    Automation.AddControl(XMMVView2, false);
    for (TSpeedButton* button : {&RsSpeedButton3, &RsSpeedButton42, &RsSpeedButton43, &RsSpeedButton44,
                                 &RsSpeedButton45, &RsSpeedButton46})
        Automation.AddControl(*button, false);
}

void TMainForm::mnuViewTypeClick(TComponent* Sender) { XMMVView1->wType = Sender == &mnuWaterfall ? 1 : 0; }

void TMainForm::mnuViewWidthClick(TComponent* Sender) {
    if (Sender == nullptr) return;
    XMMVView1->wWidthFreq = static_cast<std::uint16_t>(Sender->Tag);
    XMMVView2->wWidthFreq = XMMVView1->wWidthFreq;
}

void TMainForm::XMMVView1RMouseDown(std::uint16_t wFreq) {
    if (XMMVView1->wMouseNotch != 0) {
        engine_->DeleteNotch(static_cast<std::int16_t>(XMMVView1->wMouseNotch - 1));
        return;
    }
    Views.ClickedFrequency = wFreq;
    XMMVView1->wCursorFreq = wFreq;
    const IWindowSystem* windows = Platform().Windows;
    dxBarPopupMenu2.Popup(windows != nullptr ? windows->CursorPos() : TPoint{});
    XMMVView1->wCursorFreq = 0;
}

void TMainForm::mnuTrcvrViewClick(TComponent*) { RsPanel3.SetVisible(mnuTrcvrView.Down()); }
void TMainForm::mnuScaleViewClick(TComponent*) { RsPanel5.SetVisible(mnuScaleView.Down()); }

// ---- Engine report ---------------------------------------------------------------

void TMainForm::MMVARI1DrawFFT(std::uint16_t, const std::int16_t*) {
    const std::int16_t ch = CurrentChannel();
    const std::int32_t handle = Modem.EngineHandle;
    XMMVView1->DrawSpectrum(handle);
    XMMVView1->DrawChannel(handle, ch);
    XMMVLvl1->DrawLevel(handle, ch);
    StatusBar1.SetPanelText(0, SignalToNoiseText(engine_->SignalToNoise(ch)));  // status panel 0: S/N
    AFCLvl->DrawTuning(handle, ch);
}

void TMainForm::MMVARI1DrawWave(std::uint16_t, const std::int16_t*, const std::int16_t*) {
    XMMVView1->DrawWave(Modem.EngineHandle);
}

// ---- Persisted properties --------------------------------------------------------

std::int32_t TMainForm::GetPanel1Height() const { return Panel1.Height(); }
void TMainForm::SetPanel1Height(std::int32_t value) { Panel1.SetHeight(value); }

bool TMainForm::GetDisplayWaterfall() const { return mnuWaterfall.Down(); }
void TMainForm::SetDisplayWaterfall(bool value) {
    mnuWaterfall.SetDown(value);
    mnuAnalyzer.SetDown(!value);
    XMMVView1->wType = value ? 1 : 0;
}

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

}  // namespace quorvel

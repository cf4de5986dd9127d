// The transceiver panel: the dial the host reports, and the step buttons
// that ask the host to tune.
#include "pavo/pavo.h"
#include "plugin/FrequencyText.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"

namespace quorvel {
namespace {

constexpr std::size_t kPanelSignalFrequency = 2;
constexpr std::int32_t kLowestSteppedHz = 100000;
constexpr std::uint32_t kFirstRepeatMs = 3000, kRepeatMs = 500, kFastRepeatMs = 50;
// By the buttons' Tag.
constexpr std::int32_t kStepHz[6] = {1, 10, 100, -100, -10, -1};

}  // namespace

void TMainForm::BindTransceiverPanel() {
    for (TSpeedButton* button : {&RsSpeedButton3, &RsSpeedButton42, &RsSpeedButton43, &RsSpeedButton44,
                                 &RsSpeedButton45, &RsSpeedButton46}) {
        button->OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState, int, int) {
            if (b == TMouseButton::mbLeft) TuneButtonMouseDown(s);
        };
        button->OnMouseUp = [this](TComponent* s, TMouseButton b, TShiftState, int, int) {
            if (b == TMouseButton::mbLeft) TuneButtonMouseUp(s);
        };
    }
    Timer2.SetOnTimer([this](TComponent*) { TuneStep(); });
}

void TMainForm::TuneButtonMouseDown(TComponent* Sender) {
    const int tag = Sender->Tag;
    if (tag < 0 || tag > 5) return;
    Views.TuneSteps[tag] = true;
    TuneStep();
    Timer2.SetEnabled(true);
}

void TMainForm::TuneButtonMouseUp(TComponent* Sender) {
    const int tag = Sender->Tag;
    if (tag >= 0 && tag <= 5) Views.TuneSteps[tag] = false;
    Views.TuneRepeatCount = 0;
    Timer2.SetEnabled(false);
    Timer2.SetInterval(kRepeatMs);
}

void TMainForm::TuneStep() {
    for (int tag = 0; tag < 6; ++tag)
        if (Views.TuneSteps[tag] && Window.DialFrequency >= kLowestSteppedHz) Window.DialFrequency += kStepHz[tag];
    IHostTransceiver* trx = library_.Host != nullptr ? library_.Host->Transceiver : nullptr;
    // The readout follows when the host reports the new dial.
    if (trx != nullptr) trx->TuneTo(Window.DialFrequency);
    if (++Views.TuneRepeatCount > 2) Timer2.SetInterval(kFastRepeatMs);
}

void TMainForm::ShowDialFrequency(std::int32_t hz) {
    IHostTransceiver* trx = library_.Host != nullptr ? library_.Host->Transceiver : nullptr;
    Window.DialFrequency = hz;
    const TOleBool lsb = ToOle(trx == nullptr || trx->UpperSideband() != 1);
    XMMVView1->bLSB = lsb;
    XMMVView2->dwFreqHz = Window.DialFrequency;
    XMMVView2->bLSB = lsb;
    // An unknown dial reads as the panel's resting text.
    Label7.SetCaption(Window.DialFrequency != 0 ? FrequencyText(Window.DialFrequency) : std::string("0.000"));
}

std::intptr_t TMainForm::WndProc(const TMessage& message) {
    switch (message.Msg) {
        case PAVO_MSG_TRX_FREQUENCY:
            ShowDialFrequency(static_cast<std::int32_t>(message.LParam));
            // With the dial unknown nothing is sent: the carrier alone is no frequency.
            UpdateSignalFrequency();
            return 0;
        case PAVO_MSG_TRX_GONE:
            StatusBar1.SetPanelText(kPanelSignalFrequency, "0.000");
            Label7.SetCaption("0.000");
            XMMVView2->dwFreqHz = 0;
            XMMVView1->bLSB = OleFalse;
            XMMVView2->bLSB = OleFalse;
            return 0;
        default: return TSrzForm::WndProc(message);
    }
}

}  // namespace quorvel

#include "plugin/dsMainForm.h"

#include <algorithm>
#include <string>

#include "base/CodePage.h"
#include "modem/ModemEngine.h"
#include "plugin/Session.h"
#include "ports/Dispatcher.h"

namespace quorvel {

TMainForm::TMainForm(TPluginLibrary& library)
    : TForm(library.Application, library.HostMainWindow), library_(library) {
    Name = "MainForm";
    Caption = Ru("Цифровые виды связи");
    const TPlatform& p = Platform();
    if (p.Engines != nullptr && p.Dispatcher != nullptr) engine_ = p.Engines->CreateEngine(kModemEngineClassId, *p.Dispatcher);
    if (engine_) engine_->SetEvents(this);
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::FormCreate() {
    if (Platform().Windows) Platform().Windows->SetProp(Handle(), PAVO_WINDOW_PROP, 1);
    HostSession* host = library_.Host;
    if (host != nullptr && host->Transceiver != nullptr) {
        host->Transceiver->RegisterWindow(Handle());
        host->Transceiver->SetPluginAttached(1);
    }
}

void TMainForm::FormShow() {
    if (Platform().Windows) Platform().Windows->SetProp(Handle(), PAVO_WINDOW_PROP, 2);
    HostSession* host = library_.Host;
    if (host != nullptr && host->Transceiver != nullptr) DialFrequency = host->Transceiver->Frequency();
    if (engine_) {
        const std::int16_t count = engine_->wModeMax();
        for (std::int16_t i = 0; i < count; ++i) ModeNames.push_back(Utf16ToCp1251(engine_->ModeName(i)));
    }
}

void TMainForm::ApplySettings(bool /*reapply*/) {
    const dsConfig::TConfig& config = library_.Config;
    if (engine_ && config.SetupComplete) {
        engine_->set_bActive(OleFalse);
        engine_->set_strSoundID(Cp1251ToUtf16(std::to_string(config.InSoundCard) + "," +
                                              std::to_string(config.OutSoundCard)));
        engine_->set_bActive(OleTrue);
        engine_->set_dblSampleFreq(config.FreqSample);
        engine_->set_wModGain(static_cast<std::uint16_t>(std::max<std::int16_t>(config.ModGain, 0)));
        engine_->set_dblTxOffset(config.TxOffset);
    }
}

void TMainForm::FormClose(TCloseAction& action) {
    // Closing only hides the window; the host decides when to release it.
    action = TCloseAction::caHide;
    library_.PostCloseSignal();
}

void TMainForm::FormDestroy() {
    if (engine_) {
        engine_->SetEvents(nullptr);
        engine_->set_bActive(OleFalse);
    }
    HostSession* host = library_.Host;
    if (host != nullptr && host->Transceiver != nullptr) {
        IHostTransceiver* trx = host->Transceiver;
        trx->SwitchToReceive();
        trx->UnregisterWindow(Handle());
        std::int32_t f = trx->Frequency();
        if (f != 0) {
            const std::int32_t carrier = engine_ ? engine_->RxCarrier(0) : 0;
            f = trx->UpperSideband() ? f - carrier : f + carrier;
            DialFrequency = f;
            trx->SetWorkingFrequency(f);
        }
        trx->SetPluginAttached(0);
    }
}

}  // namespace quorvel

// The transmit slice of the main window: the transmit pane and its queue, the
// start and end of a transmission, the TX/RX and tone buttons, the pane's
// commands and the Ru-to-En translation; their design, automation, handlers
// and the engine's transmit reports.
#include <initializer_list>

#include "base/CodePage.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"
#include "ports/Dialogs.h"
#include "ports/Dispatcher.h"
#include "ui/Design.h"

namespace quorvel {
namespace {

std::uint32_t Milliseconds(std::int32_t ms) { return ms > 0 ? static_cast<std::uint32_t>(ms) : 0; }

}  // namespace

void TMainForm::DesignTransmit() {
    using design::Check;
    using design::Design;
    Memo1.WantReturns = false;
    TxGroup.Add(RsSpeedButton1);
    RsSpeedButton1.SetCaption("TX/RX");
    RsSpeedButton1.SetHint("TX/RX");
    RsSpeedButton1.ImageIndex = 0;
    RsSpeedButton2.SetHint(Ru("Тон"));
    RsSpeedButton2.ImageIndex = 1;
    Design(mnuSendSelected, "Передать выделенный текст");
    Design(mnuSelectAll, "Выделить всё");
    mnuSelectAll.ShortCut = TextToShortCut("Ctrl+A");
    Design(mnuPaste, "Вставить");
    mnuPaste.ShortCut = TextToShortCut("Ctrl+V");
    for (TButtonItem* b : {&mnuSendSelected, &mnuSelectAll, &mnuCopy, &mnuPaste}) dxBarPopupMenu4.ItemLinks.Add(*b);
    Memo1.PopupMenu = &dxBarPopupMenu4;
    Design(mnuTranslate, "Транслировать Ru в En");
    Check(mnuTranslate, false);
    Timer1.SetEnabled(false);
    Timer1.SetInterval(1000);

    Memo1.OnKeyPress = [this](TComponent* s, char& key) { Memo1KeyPress(s, key); };
    Memo1.OnKeyDown = [this](TComponent* s, std::uint16_t& key, TShiftState shift) { Memo1KeyDown(s, key, shift); };
    Timer1.SetOnTimer([this](TComponent* s) { Timer1Timer(s); });
    RsSpeedButton1.OnClick = [this](TComponent* s) { RsSpeedButton1Click(s); };
    RsSpeedButton2.OnClick = [this](TComponent* s) { RsSpeedButton2Click(s); };
    mnuSendSelected.OnClick = [this](TComponent* s) { mnuSendSelectedClick(s); };
    mnuSelectAll.OnClick = [this](TComponent* s) { mnuSelectAllClick(s); };
    mnuCopy.OnClick = [this](TComponent* s) { mnuCopyClick(s); };
    mnuPaste.OnClick = [this](TComponent* s) { mnuPasteClick(s); };
    dxBarPopupMenu4.OnPopup = [this](TComponent* s) { dxBarPopupMenu4Popup(s); };
    mnuTranslate.OnClick = [this](TComponent* s) { mnuTranslateClick(s); };
}

void TMainForm::RegisterTransmitAutomation() {
    for (TComponent* c : std::initializer_list<TComponent*>{&Memo1, &RsSpeedButton1, &RsSpeedButton2})
        Automation.AddControl(*c);
    Automation.AddControl(dxBarPopupMenu4, false);
}

IHostTransceiver* TMainForm::HostTransceiver() const {
    HostSession* host = library_.Host;
    return host != nullptr ? host->Transceiver : nullptr;
}

bool TMainForm::Transmitting() const { return engine_->bTX() != 0; }

void TMainForm::KeyTransmitter() {
    if (IHostTransceiver* trx = HostTransceiver()) trx->SwitchToTransmit();
    if (IDispatcher* d = Platform().Dispatcher) d->ProcessMessages();
}

void TMainForm::WaitDelayTX() {
    // The transceiver needs this long to switch; nothing else runs meanwhile.
    if (IDispatcher* d = Platform().Dispatcher) d->Wait(Milliseconds(Settings().DelayTX));
}

void TMainForm::StartTransmission() {
    if (Transmitting()) return;
    CurrentPane().LinesAdd({});
    KeyTransmitter();
    RsSpeedButton1.SetDown(true);
    WaitDelayTX();
    engine_->SetTxState(TxStateTransmit);
}

// ---- Typing ------------------------------------------------------------------

void TMainForm::Memo1KeyPress(TComponent*, char& Key) {
    if (Tx.FeedMode || Key == '\r') return;
    if (mnuTranslate.Down()) Key = library_.HostLibraries.lbReplaceChar(Key);
    const auto at = std::min(static_cast<std::size_t>(std::max(Memo1.SelStart(), 0)), Tx.PendingText.size());
    Tx.PendingText.insert(at, 1, Key);
    const dsConfig::TConfig& config = Settings();
    const bool tx = Transmitting();
    if ((config.AutoSendChar || tx) && (Key != '\b' || tx)) {
        engine_->SendChar(static_cast<unsigned char>(Key));
        Timer1.SetEnabled(config.AutoSendChar && config.AutoEndTX);
        StartTransmission();
    }
}

void TMainForm::Memo1KeyDown(TComponent*, std::uint16_t& Key, TShiftState) {
    if (Key != 13) return;
    if (Settings().SendOfEnter && !Tx.PendingText.empty() && !Transmitting()) {
        Timer1.SetEnabled(false);
        engine_->SendText(Cp1251ToUtf16(Tx.PendingText));
        StartTransmission();
    }
}

// ---- Engine events -------------------------------------------------------------

void TMainForm::MMVARI1GetTxChar(std::uint16_t& wChar) {
    // A feed position before the pane's start gives nothing rather than a
    // character from outside the text.
    if (!Transmitting() || !Tx.FeedMode || Tx.FeedPosition < 0 || Tx.FeedPosition >= Memo1.GetTextLen()) return;
    ++Tx.FeedPosition;
    wChar = static_cast<unsigned char>(Memo1.Text()[static_cast<std::size_t>(Tx.FeedPosition) - 1]);
}

void TMainForm::CountEcho() {
    const dsConfig::TConfig& config = Settings();
    if (Tx.FeedMode) {
        if ((config.AutoEndTX || Tx.RxTagSeen) && Memo1.GetTextLen() == Tx.FeedPosition)
            engine_->SetTxState(TxStateEnd);
        return;
    }
    if (!Tx.PendingText.empty()) Tx.PendingText.pop_back();
    if (!Timer1.Running() && Tx.PendingText.empty() && config.AutoEndTX) engine_->SetTxState(TxStateEnd);
}

void TMainForm::Timer1Timer(TComponent*) {
    if (!Tx.PendingText.empty()) return;  // the typist may go on within one interval
    Timer1.SetEnabled(false);
    engine_->SetTxState(TxStateEnd);
}

void TMainForm::MMVARI1TxState(std::int16_t wState) {
    RsSpeedButton1.SetDown(wState != 0);
    RsSpeedButton2.SetEnabled(wState == 0);
    if (wState != 0) {
        PageControl1.SetEnabled(false);  // no macros while transmitting
        return;
    }
    engine_->set_wBufferCount(0);
    TRichEdit& pane = CurrentPane();
    pane.SetSelStart(pane.GetTextLen());
    pane.SetInsertColor(clGray);
    pane.LinesAdd({});
    pane.ScrollToCaret();
    if (IHostTransceiver* trx = HostTransceiver()) trx->SwitchToReceive();
    Tx.PendingText.clear();
    Tx.TxTagSeen = false;
    Tx.RxTagSeen = false;
    Tx.FeedMode = false;
    Tx.FeedPosition = -1;
    Timer1.SetEnabled(false);
    if (Tx.SaveQsoAfterTx) {
        Tx.SaveQsoAfterTx = false;
        SaveContact();
    }
    if (Settings().AutoClearTXWnd) {
        Memo1.Clear();
        Tx.PendingText.clear();
    }
    PageControl1.SetEnabled(true);
    if (Tx.FileSending) {
        Tx.FileSending = false;
        Memo1.SetVisible(true);
        RsAnimate1.SetActive(false);
    }
}

// ---- Buttons -------------------------------------------------------------------

void TMainForm::RsSpeedButton1Click(TComponent*) {
    const bool pressed = RsSpeedButton1.Down();
    if (pressed) {
        KeyTransmitter();
        WaitDelayTX();
    } else {
        if (IHostTransceiver* trx = HostTransceiver()) trx->SwitchToReceive();
        Tx.PendingText.clear();
    }
    Timer1.SetEnabled(false);
    if (!Tx.FeedMode && !Tx.PendingText.empty())
        engine_->SendText(Cp1251ToUtf16(Tx.PendingText));
    else if (Tx.FeedMode)
        engine_->SendText(u" ");
    engine_->SetTxState(pressed ? TxStateTransmit : TxStateReceive);
}

void TMainForm::RsSpeedButton2Click(TComponent*) {
    RsSpeedButton1.SetDown(true);
    KeyTransmitter();
    WaitDelayTX();
    engine_->SendTone();
}

// ---- Transmit pane commands ----------------------------------------------------

void TMainForm::mnuSendSelectedClick(TComponent*) {
    Timer1.SetEnabled(false);
    Tx.PendingText = Memo1.SelText();
    engine_->SendText(Cp1251ToUtf16(Tx.PendingText));
    StartTransmission();
}

void TMainForm::mnuSelectAllClick(TComponent*) { Memo1.SelectAll(); }

void TMainForm::mnuCopyClick(TComponent*) {
    IClipboard* clipboard = Platform().Clipboard;
    if (clipboard == nullptr) return;
    if (Memo1.Focused()) {
        if (Memo1.SelLength() > 0) clipboard->SetText(Memo1.SelText());
        return;
    }
    TRichEdit& pane = CurrentPane();
    if (pane.SelLength() > 0)
        clipboard->SetText(pane.SelText());
    else
        clipboard->SetText(Rx.CapturedWord);
}

void TMainForm::mnuPasteClick(TComponent*) {
    IClipboard* clipboard = Platform().Clipboard;
    if (clipboard == nullptr || !clipboard->HasText()) return;
    Memo1.SetSelText(clipboard->GetText());
    if (!Tx.FeedMode) Tx.PendingText = Memo1.Text();
}

void TMainForm::dxBarPopupMenu4Popup(TComponent*) {
    const bool tx = Transmitting();
    const bool selection = Memo1.SelLength() > 0;
    IClipboard* clipboard = Platform().Clipboard;
    mnuSelectAll.SetEnabled(Memo1.GetTextLen() > 0);
    mnuSendSelected.SetEnabled(!tx && selection);
    mnuCopy.SetEnabled(selection);
    mnuPaste.SetEnabled(!tx && clipboard != nullptr && clipboard->HasText());
}

void TMainForm::mnuTranslateClick(TComponent*) { StatusBar1.SetPanelText(3, mnuTranslate.Down() ? "En" : "Ru"); }

// Contact hand-off is not built yet: the contact is saved by the operator.
void TMainForm::SaveContact() {
    INewQsoWindow* qso = NewQsoWindow();
    // A contact the host refuses stays as it is, here and in the host.
    if (qso == nullptr || qso->Save() == 0) return;
    qso->Reset();
    ClearContactFields();
}

bool TMainForm::GetTranslate() const { return mnuTranslate.Down(); }
void TMainForm::SetTranslate(bool value) {
    mnuTranslate.SetDown(value);
    mnuTranslateClick(&mnuTranslate);
}

}  // namespace quorvel

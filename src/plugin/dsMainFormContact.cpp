// The contact hand-off of the main window: the contact-data fields and their
// typing rules, their mirroring into the host's new-QSO window, saving and
// cancelling the contact through the host, the award list, and the
// notifications that make the host's window and awards come and go.
#include <exception>
#include <initializer_list>

#include "plugin/HostStrings.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"

namespace quorvel {
namespace {

constexpr std::uint16_t kVkReturn = 13;

std::string HostControlText(IHostControl* control) {
    if (control == nullptr) return {};
    return HostString([control](char* b, std::int32_t n) { return control->GetText(b, n); });
}

void SetHostControlText(IHostControl* control, const std::string& text) {
    if (control != nullptr) control->SetText(text.c_str());
}

}  // namespace

void TMainForm::DesignContact() {
    Edit1.OnKeyPress = [this](TComponent* s, char& k) { Edit1KeyPress(s, k); };
    Edit2.OnKeyPress = [this](TComponent* s, char& k) { Edit2KeyPress(s, k); };
    Edit3.OnKeyPress = [this](TComponent* s, char& k) { Edit2KeyPress(s, k); };
    Edit1.OnChange = [this](TComponent* s) { Edit1Change(s); };
    Edit2.OnChange = [this](TComponent* s) { Edit2Change(s); };
    Edit3.OnChange = [this](TComponent* s) { Edit3Change(s); };
    Edit4.OnChange = [this](TComponent* s) { Edit4Change(s); };
    Edit5.OnChange = [this](TComponent* s) { Edit5Change(s); };
    Edit2.OnEnter = [this](TComponent* s) { Edit2Enter(s); };
    mnuSaveQSO.OnClick = [this](TComponent* s) { mnuSaveQSOClick(s); };
    mnuCancelQSO.OnClick = [this](TComponent* s) { mnuCancelQSOClick(s); };
    mnuGoNewQSO.OnClick = [this](TComponent* s) { mnuGoNewQSOClick(s); };
    mnuSetMode.OnClick = [this](TComponent* s) { mnuSetModeClick(s); };
    mnuAwardList.OnChange = [this](TComponent* s) { mnuAwardListChange(s); };
    // The window sees Enter before the control that has the focus does.
    for (TCustomEdit* edit : std::initializer_list<TCustomEdit*>{&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Memo1}) {
        TKeyEvent own = edit->OnKeyDown;
        edit->OnKeyDown = [this, own](TComponent* s, std::uint16_t& key, TShiftState shift) {
            FormKeyDown(s, key, shift);
            if (key != 0 && own) own(s, key, shift);
        };
    }
}

INewQsoWindow* TMainForm::NewQsoWindow() const {
    HostSession* host = library_.Host;
    return host != nullptr ? host->NewQso : nullptr;
}

// ---- Typing rules ------------------------------------------------------------------

void TMainForm::Edit1KeyPress(TComponent*, char& Key) {
    if (Key == ' ')
        Key = 0;
    else
        Key = library_.HostLibraries.lbReplaceChar(Key);
}

void TMainForm::Edit2KeyPress(TComponent*, char& Key) { Key = library_.HostLibraries.lbReplaceIntegerChar(Key); }

// ---- Mirroring -----------------------------------------------------------------------

void TMainForm::Edit1Change(TComponent*) {
    INewQsoWindow* qso = NewQsoWindow();
    if (qso == nullptr) return;
    IHostControl* callsign = qso->CallsignControl();
    if (callsign == nullptr) return;
    callsign->SetText(Edit1.Text().c_str());
    Edit1.Font.Color = static_cast<TColor>(callsign->FontColor());
    Edit1.Color = static_cast<TColor>(callsign->BackgroundColor());
}

void TMainForm::Edit2Change(TComponent*) {
    if (INewQsoWindow* qso = NewQsoWindow()) SetHostControlText(qso->RstSentControl(), Edit2.Text());
    if (Edit2.GetTextLen() == 3) Edit3.SetFocus();
}

void TMainForm::Edit3Change(TComponent*) {
    if (INewQsoWindow* qso = NewQsoWindow()) SetHostControlText(qso->RstReceivedControl(), Edit3.Text());
    if (Edit3.GetTextLen() == 3) Edit4.SetFocus();
}

void TMainForm::Edit4Change(TComponent*) {
    if (INewQsoWindow* qso = NewQsoWindow()) SetHostControlText(qso->NameControl(), Edit4.Text());
}

void TMainForm::Edit5Change(TComponent*) {
    if (INewQsoWindow* qso = NewQsoWindow()) SetHostControlText(qso->QthControl(), Edit5.Text());
}

void TMainForm::Edit2Enter(TComponent*) {
    if (INewQsoWindow* qso = NewQsoWindow()) qso->CallsignEntered();
}

void TMainForm::CopyReportsFromHost() {
    INewQsoWindow* qso = NewQsoWindow();
    if (qso == nullptr) return;
    Edit2.SetText(HostControlText(qso->RstSentControl()));
    Edit3.SetText(HostControlText(qso->RstReceivedControl()));
}

// ---- Commands ------------------------------------------------------------------------

void TMainForm::FormKeyDown(TComponent*, std::uint16_t& Key, TShiftState) {
    if (Key != kVkReturn || NewQsoWindow() == nullptr) return;
    // With SendOfEnter, Enter in the transmit pane sends the line instead.
    if (Settings().SendOfEnter && Memo1.Focused()) return;
    Key = 0;  // the window took it: the focused control does not see it
    SaveContact();
}

void TMainForm::mnuSaveQSOClick(TComponent*) { SaveContact(); }

void TMainForm::mnuCancelQSOClick(TComponent*) {
    if (INewQsoWindow* qso = NewQsoWindow()) qso->Reset();
    ClearContactFields();
}

void TMainForm::mnuGoNewQSOClick(TComponent*) {
    INewQsoWindow* qso = NewQsoWindow();
    if (qso == nullptr) return;
    if (IHostWindow* window = qso->Window()) window->BringToFront();
}

void TMainForm::mnuSetModeClick(TComponent*) { UpdateNewQsoMode(); }

void TMainForm::ClearContactFields() {
    Edit1.Clear();
    Edit4.Clear();
    Edit5.Clear();
    Edit1.SetFocus();
    INewQsoWindow* qso = NewQsoWindow();
    if (qso != nullptr && qso->KeepReports() != 0) {
        // The plug-in's fields empty, the host's reports stay for the next contact.
        const std::string sent = HostControlText(qso->RstSentControl());
        const std::string received = HostControlText(qso->RstReceivedControl());
        Edit2.Clear();
        Edit3.Clear();
        SetHostControlText(qso->RstSentControl(), sent);
        SetHostControlText(qso->RstReceivedControl(), received);
    } else {
        Edit2.Clear();
        Edit3.Clear();
    }
}

// ---- Awards --------------------------------------------------------------------------

void TMainForm::mnuAwardListChange(TComponent*) {
    HostSession* host = library_.Host;
    if (host == nullptr || host->Awards == nullptr) return;
    const std::string award = mnuAwardList.Text();
    if (award.empty()) return;
    TRichEdit& pane = CurrentPane();
    const std::string value = pane.SelLength() > 0 ? pane.SelText() : Rx.CapturedWord;
    host->Awards->SetAwardValue(award.c_str(), value.c_str());
}

void TMainForm::ReloadAwardList() {
    mnuAwardList.ClearItems();
    HostSession* host = library_.Host;
    if (host == nullptr || host->Awards == nullptr) return;
    IHostAwards* awards = host->Awards;
    const std::int32_t n = awards->AwardCount();
    for (std::int32_t i = 0; i < n; ++i)
        mnuAwardList.AddItem(HostString([awards, i](char* b, std::int32_t size) { return awards->AwardName(i, b, size); }));
}

// ---- The host's windows coming and going -------------------------------------------

void TMainForm::NewQsoWindowOpened() {
    for (TControl* c : std::initializer_list<TControl*>{&mnuSaveQSO, &mnuGoNewQSO, &mnuSetMode, &GroupBox1})
        c->SetEnabled(true);
    SendModeNameToHost();
    if (INewQsoWindow* qso = NewQsoWindow()) qso->EnableForPlugin(1);
}

void TMainForm::NewQsoWindowClosing() {
    for (TControl* c : std::initializer_list<TControl*>{&mnuSaveQSO, &mnuGoNewQSO, &mnuSetMode, &GroupBox1})
        c->SetEnabled(false);
    if (INewQsoWindow* qso = NewQsoWindow()) qso->EnableForPlugin(0);
}

void TMainForm::AwardsAvailable() {
    mnuAwards.SetEnabled(true);
    ReloadAwardList();
}

void TMainForm::AwardsGone() { mnuAwards.SetEnabled(false); }

}  // namespace quorvel

// Contact capture: a word of a receive pane, taken by a click or a
// selection, goes through the capture menu into the contact fields or
// straight into the host's other contact controls.
#include <algorithm>
#include <charconv>
#include <initializer_list>

#include "base/CodePage.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"
#include "ports/WindowSystem.h"

namespace quorvel {
namespace {

bool IsWordDelimiter(char c) { return c == ' ' || c == '\r' || c == '\n'; }

// Spaces and control characters off both ends (cp1251 letters are above them).
std::string Trimmed(const std::string& text) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t b = 0, e = text.size();
    while (b < e && blank(text[b])) ++b;
    while (e > b && blank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

// A report as the runtime reads an integer; anything else counts as 0.
int ReportValue(const std::string& text) {
    const char* b = text.data();
    const char* e = b + text.size();
    if (b != e && *b == '+') ++b;
    int value = 0;
    const auto [p, ec] = std::from_chars(b, e, value);
    return ec == std::errc() && p == e ? value : 0;
}

// The information item: the word, long ones cut, line breaks as spaces.
std::string CaptureInfoCaption(const std::string& word) {
    if (word.empty()) return Ru("Отмена");
    const std::string cut = word.size() > 20 ? word.substr(0, 17) + "..." : word;
    std::string shown;
    for (std::size_t i = 0; i < cut.size(); ++i) {
        if (cut[i] == '\r' && i + 1 < cut.size() && cut[i + 1] == '\n') {
            shown += ' ';
            ++i;
        } else {
            shown += cut[i];
        }
    }
    return shown;
}

}  // namespace

void TMainForm::DesignCapture() {
    for (TRichEdit* pane : {&RichEdit1, &RichEdit2, &RichEdit3, &RichEdit4, &RichEdit5}) {
        pane->OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
            RichEditMouseDown(s, b, sh, x, y);
        };
        pane->OnMouseUp = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
            RichEditMouseUp(s, b, sh, x, y);
        };
    }
    dxBarPopupMenu3.OnPopup = [this](TComponent* s) { dxBarPopupMenu3Popup(s); };
    mnuCaptureInfo.OnMouseUp = [this](TComponent* s, TMouseButton b, TShiftState, int, int) {
        if (b == TMouseButton::mbLeft) mnuCaptureInfoClick(s);
    };
    mnuIsCallsign.OnClick = [this](TComponent* s) { mnuIsCallsignClick(s); };
    mnuIsRSTT.OnClick = [this](TComponent* s) { mnuIsRSTTClick(s); };
    mnuIsRSTR.OnClick = [this](TComponent* s) { mnuIsRSTRClick(s); };
    mnuIsName.OnClick = [this](TComponent* s) { mnuIsNameClick(s); };
    mnuIsQTH.OnClick = [this](TComponent* s) { mnuIsQTHClick(s); };
    mnuIsQSL.OnClick = [this](TComponent* s) { mnuIsQSLClick(s); };
    mnuIsLocator.OnClick = [this](TComponent* s) { mnuIsLocatorClick(s); };
    mnuIsEmail.OnClick = [this](TComponent* s) { mnuIsEmailClick(s); };
    mnuIsComment.OnClick = [this](TComponent* s) { mnuIsCommentClick(s); };
}

// ---- Taking the word -------------------------------------------------------------

void TMainForm::RichEditMouseDown(TComponent* Sender, TMouseButton Button, TShiftState, int, int) {
    auto* pane = dynamic_cast<TRichEdit*>(Sender);
    if (pane == nullptr || Button != TMouseButton::mbLeft) return;
    const int p = pane->SelStart();
    if (p <= 0) return;
    // Received text waits while the operator works in the pane.
    Rx.Hold = true;
    if (!mnuClickOnData.Down()) return;
    const std::string& text = pane->Text();
    const auto caret = static_cast<std::size_t>(std::min<int>(p, pane->GetTextLen()));
    std::size_t begin = caret;
    while (begin > 0 && !IsWordDelimiter(text[begin - 1])) --begin;
    std::size_t end = caret;
    while (end < text.size() && !IsWordDelimiter(text[end])) ++end;
    Rx.CapturedWord = text.substr(begin, end - begin);
}

void TMainForm::RichEditMouseUp(TComponent* Sender, TMouseButton Button, TShiftState, int, int) {
    auto* pane = dynamic_cast<TRichEdit*>(Sender);
    if (pane == nullptr || Button != TMouseButton::mbLeft) return;
    Rx.Hold = false;
    const std::string selection = pane->SelLength() > 0 ? pane->SelText() : std::string();
    if (!selection.empty()) Rx.CapturedWord = Trimmed(selection);
    if (Rx.CapturedWord.empty() && selection.empty()) return;
    IWindowSystem* windows = Platform().Windows;
    dxBarPopupMenu3.Popup(windows != nullptr ? windows->CursorPos() : TPoint{});
}

// ---- The capture menu ------------------------------------------------------------

void TMainForm::dxBarPopupMenu3Popup(TComponent*) {
    const bool word = !Rx.CapturedWord.empty();
    mnuCopy.SetEnabled(CurrentPane().SelLength() > 0 || word);
    for (TControl* item : std::initializer_list<TControl*>{&mnuIsCallsign, &mnuIsRSTR, &mnuIsRSTT, &mnuIsName,
                                                            &mnuIsQTH, &mnuIsQSL, &mnuIsLocator, &mnuIsEmail,
                                                            &mnuIsComment, &mnuAwardList})
        item->SetEnabled(word);
    mnuCaptureInfo.SetCaption(CaptureInfoCaption(Rx.CapturedWord));
}

void TMainForm::mnuCaptureInfoClick(TComponent*) {
    Rx.CapturedWord.clear();
    mnuCaptureInfo.SetCaption(CaptureInfoCaption(Rx.CapturedWord));
}

void TMainForm::mnuIsCallsignClick(TComponent*) {
    if (!GroupBox1.Enabled()) return;
    Edit1.SetText(Rx.CapturedWord);
    INewQsoWindow* qso = NewQsoWindow();
    if (qso == nullptr) return;
    if (IHostControl* callsign = qso->CallsignControl()) callsign->SetText(Edit1.Text().c_str());
    qso->CallsignEntered();
    qso->AfterCallsignCapture();
}

// A captured report is taken whole: the field's length limit is for typing.
void TMainForm::mnuIsRSTTClick(TComponent*) {
    if (ReportValue(Rx.CapturedWord) == 0 || !GroupBox1.Enabled()) return;
    Edit2.SetText(Rx.CapturedWord);
}

void TMainForm::mnuIsRSTRClick(TComponent*) {
    if (ReportValue(Rx.CapturedWord) == 0 || !GroupBox1.Enabled()) return;
    Edit3.SetText(Rx.CapturedWord);
}

void TMainForm::mnuIsNameClick(TComponent*) {
    if (GroupBox1.Enabled()) Edit4.SetText(Rx.CapturedWord);
}

void TMainForm::mnuIsQTHClick(TComponent*) {
    if (GroupBox1.Enabled()) Edit5.SetText(Rx.CapturedWord);
}

void TMainForm::mnuIsQSLClick(TComponent*) {
    if (INewQsoWindow* qso = NewQsoWindow())
        if (IHostControl* c = qso->QslManagerControl()) c->SetText(Rx.CapturedWord.c_str());
}

void TMainForm::mnuIsLocatorClick(TComponent*) {
    if (INewQsoWindow* qso = NewQsoWindow())
        if (IHostControl* c = qso->LocatorControl()) c->SetText(Rx.CapturedWord.c_str());
}

void TMainForm::mnuIsEmailClick(TComponent*) {
    if (INewQsoWindow* qso = NewQsoWindow())
        if (IHostControl* c = qso->EmailControl()) c->SetText(Rx.CapturedWord.c_str());
}

void TMainForm::mnuIsCommentClick(TComponent*) {
    if (INewQsoWindow* qso = NewQsoWindow())
        if (IHostControl* c = qso->CommentControl()) c->SetText(Rx.CapturedWord.c_str());
}

}  // namespace quorvel

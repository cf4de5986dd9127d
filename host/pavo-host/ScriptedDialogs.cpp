#include "ScriptedDialogs.h"

#include <cstdio>

#include "Description.h"
#include "HostText.h"
#include "pavo/automation.h"
#include "ui/Forms.h"

namespace pavohost {
namespace {

std::string FlagsText(int flags) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(flags));
    return text;
}

std::string AnswerName(int answer) {
    switch (answer) {
        case quorvel::IDOK: return "OK";
        case quorvel::IDCANCEL: return "Cancel";
        case quorvel::IDYES: return "Yes";
        case quorvel::IDNO: return "No";
        default: return std::to_string(answer);
    }
}

}  // namespace

int TScriptedDialogs::MessageBox(const std::string& caption, const std::string& text, int flags) {
    int answer = (flags & 0xF) == quorvel::MB_YESNO ? quorvel::IDNO : quorvel::IDOK;
    if (!Answers.empty()) {
        answer = Answers.front();
        Answers.pop_front();
    }
    events_.HostEvent("plug-in", "message box " + Shown(ToUtf8(caption)) + ": " + Shown(ToUtf8(text)) + " (flags " +
                                     FlagsText(flags) + ") -> " + AnswerName(answer));
    return answer;
}

bool TScriptedDialogs::InputBox(const std::string& caption, const std::string& prompt, bool, std::string& text) {
    std::optional<std::string> answer;
    if (!Inputs.empty()) {
        answer = Inputs.front();
        Inputs.pop_front();
    }
    events_.HostEvent("plug-in", "input box " + Shown(ToUtf8(caption)) + " " + Shown(ToUtf8(prompt)) + " -> " +
                                     (answer ? Shown(*answer) : std::string("Cancel")));
    if (!answer) return false;
    text = ToCp1251(*answer);
    return true;
}

int TScriptedDialogs::RunModal(const std::string& caption) {
    int result = quorvel::IDCANCEL;
    if (!ModalResults.empty()) {
        result = ModalResults.front();
        ModalResults.pop_front();
    }
    events_.HostEvent("plug-in", "modal dialog " + Shown(ToUtf8(caption)) + " -> " + AnswerName(result));
    return result;
}

void TScriptedDialogs::RunModalForm(quorvel::TForm& form) {
    if (form.Name == "OptionsForm") {
        RunOptions(form);
        return;
    }
    std::string answer = "cancel";
    if (!FormAnswers.empty()) {
        answer = FormAnswers.front();
        FormAnswers.pop_front();
    }
    const std::string caption = Shown(ToUtf8(form.Caption));
    events_.HostEvent("plug-in", "modal window " + caption + " opens; the operator " +
                                     (answer == "finish" ? "goes through it to the end" : "cancels it"));
    // A window that does not close after its buttons is given up as cancelled.
    for (int step = 0; step < 8 && form.ModalResult() == quorvel::mrNone; ++step)
        if (form.Automation.Run("click", answer == "finish" ? "btnNext" : "btnCancel", "").Code != PAVO_AUTOMATION_DONE ||
            answer != "finish")
            break;
    events_.HostEvent("plug-in", "modal window " + caption + " -> " +
                                     (form.ModalResult() == quorvel::mrOk ? std::string("OK") : std::string("Cancel")));
}

void TScriptedDialogs::RunOptions(quorvel::TForm& form) {
    TOptionsAnswer answer;
    if (!OptionsAnswers.empty()) {
        answer = std::move(OptionsAnswers.front());
        OptionsAnswers.pop_front();
    }
    const std::string caption = Shown(ToUtf8(form.Caption));
    events_.HostEvent("plug-in", "modal window " + caption + " opens");
    for (const TFormAction& action : answer.Actions) {
        const quorvel::TAutomationResult result =
            form.Automation.Run(action.Verb, ToCp1251(action.Target), ToCp1251(action.Argument));
        std::string shown = action.Verb + " " + Shown(action.Target);
        if (!action.Argument.empty()) shown += " " + Shown(action.Argument);
        if (result.Code != PAVO_AUTOMATION_DONE) shown += " (refused: " + ToUtf8(result.Reply) + ")";
        events_.HostEvent("options operator", shown);
    }
    if (form.ModalResult() == quorvel::mrNone) {
        const bool ok = answer.Close == "ok";
        events_.HostEvent("options operator", std::string("presses ") + (ok ? "OK" : "Cancel"));
        form.Automation.Run("click", ok ? "btnOK" : "btnCancel", "");
    }
    events_.HostEvent("plug-in", "modal window " + caption + " -> " +
                                     (form.ModalResult() == quorvel::mrOk ? std::string("OK") : std::string("Cancel")));
}

namespace {

template <class T>
std::optional<T> NextAnswer(std::deque<std::optional<T>>& queue) {
    if (queue.empty()) return std::nullopt;
    std::optional<T> answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

std::string ColourText(quorvel::TColor colour) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", static_cast<unsigned>(colour & 0xFF),
                  static_cast<unsigned>((colour >> 8) & 0xFF), static_cast<unsigned>((colour >> 16) & 0xFF));
    return text;
}

std::string FontText(const quorvel::TFont& font) {
    std::string text = Shown(ToUtf8(font.Name)) + " " + std::to_string(font.Size) + "pt";
    if (font.Style.Contains(quorvel::TFontStyle::fsBold)) text += " bold";
    if (font.Style.Contains(quorvel::TFontStyle::fsItalic)) text += " italic";
    if (font.Style.Contains(quorvel::TFontStyle::fsUnderline)) text += " underline";
    if (font.Style.Contains(quorvel::TFontStyle::fsStrikeOut)) text += " strikeout";
    return text + " " + ColourText(font.Color);
}

}  // namespace

bool TScriptedDialogs::OpenFile(const std::string& filter, std::string& path) {
    const std::optional<std::string> answer = NextAnswer(Files);
    events_.HostEvent("plug-in", "file-open dialog " + Shown(ToUtf8(filter)) + " -> " +
                                     (answer ? Shown(*answer) : std::string("Cancel")));
    if (!answer) return false;
    path = *answer;
    return true;
}

bool TScriptedDialogs::ChooseFont(quorvel::TFont& font) {
    const std::optional<quorvel::TFont> answer = NextAnswer(Fonts);
    events_.HostEvent("plug-in", "font dialog with " + FontText(font) + " -> " +
                                     (answer ? FontText(*answer) : std::string("Cancel")));
    if (!answer) return false;
    font = *answer;
    return true;
}

bool TScriptedDialogs::ChooseColor(quorvel::TColor& colour) {
    const std::optional<quorvel::TColor> answer = NextAnswer(Colours);
    events_.HostEvent("plug-in", "colour dialog with " + ColourText(colour) + " -> " +
                                     (answer ? ColourText(*answer) : std::string("Cancel")));
    if (!answer) return false;
    colour = *answer;
    return true;
}

}  // namespace pavohost

#pragma once
// The plug-in's dialogs during a scripted session: answered from the
// script's queues, each written to the transcript.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ports/Dialogs.h"
#include "Host.h"

namespace pavohost {

// Message boxes, input boxes and modal dialogs of the plug-in, answered from
// the script's queue and written to the transcript.
class TScriptedDialogs final : public quorvel::IDialogs {
public:
    explicit TScriptedDialogs(IHostEvents& events) : events_(events) {}
    int MessageBox(const std::string& caption, const std::string& text, int flags) override;
    bool InputBox(const std::string& caption, const std::string& prompt, bool useOwnerCentre,
                  std::string& text) override;
    int RunModal(const std::string& caption) override;
    // A window of the plug-in's form model. The options dialog is worked by
    // the next OptionsAnswers entry: its actions in order, then its OK or
    // cancel button. Any other (the audio setup wizard) by the next
    // FormAnswers entry, "finish" (its next button until it closes) or
    // "cancel" (its cancel button). None queued is a cancel.
    void RunModalForm(quorvel::TForm& form) override;
    bool OpenFile(const std::string& filter, std::string& path) override;
    bool ChooseFont(quorvel::TFont& font) override;
    bool ChooseColor(quorvel::TColor& colour) override;

    std::deque<int> Answers;                      // message-box results
    std::deque<std::optional<std::string>> Inputs;  // input-box texts (UTF-8); nothing = cancel
    std::deque<int> ModalResults;
    std::deque<std::string> FormAnswers;
    // What the operator does in the next options dialogs (UTF-8).
    struct TFormAction {
        std::string Verb, Target, Argument;
    };
    struct TOptionsAnswer {
        std::vector<TFormAction> Actions;
        std::string Close;  // "ok", "cancel"; empty while the script adds actions
    };
    std::deque<TOptionsAnswer> OptionsAnswers;
    // Chosen files, fonts and colours; nothing = cancel, as when none is queued.
    std::deque<std::optional<std::string>> Files;
    std::deque<std::optional<quorvel::TFont>> Fonts;
    std::deque<std::optional<quorvel::TColor>> Colours;

private:
    void RunOptions(quorvel::TForm& form);
    IHostEvents& events_;
};

}  // namespace pavohost

#pragma once
// The plug-in's dialogs during a scripted session: answered from the
// script's queues, each written to the transcript.
#include <deque>
#include <optional>
#include <string>

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
    // A window of the plug-in's form model (the audio setup wizard): worked
    // by the next FormAnswers entry, "finish" (its next button until it
    // closes) or "cancel" (its cancel button); none queued is "cancel".
    void RunModalForm(quorvel::TForm& form) override;
    bool OpenFile(const std::string& filter, std::string& path) override;
    bool ChooseFont(quorvel::TFont& font) override;
    bool ChooseColor(quorvel::TColor& colour) override;

    std::deque<int> Answers;                      // message-box results
    std::deque<std::optional<std::string>> Inputs;  // input-box texts (UTF-8); nothing = cancel
    std::deque<int> ModalResults;
    std::deque<std::string> FormAnswers;
    // Chosen files, fonts and colours; nothing = cancel, as when none is queued.
    std::deque<std::optional<std::string>> Files;
    std::deque<std::optional<quorvel::TFont>> Fonts;
    std::deque<std::optional<quorvel::TColor>> Colours;

private:
    IHostEvents& events_;
};

}  // namespace pavohost

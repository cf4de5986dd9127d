#pragma once
// The headless front end: a desktop on the virtual clock, installed for the
// whole process before the plug-in is loaded.
#include <chrono>
#include <optional>

#include "Desktop.h"
#include "FrontEnd.h"
#include "ScriptedDialogs.h"
#include "SimDispatcher.h"
#include "SimPlatform.h"
#include "SimWindowSystem.h"

namespace pavohost {

// The process's desktop while the host runs headless; installed for its
// lifetime so the plug-in, loaded later, shares it.
class THeadlessDesktop final : public IFrontEnd {
public:
    // soundCards: the machine's (live audio); null: a simulated card.
    explicit THeadlessDesktop(IHostEvents& events, quorvel::IMultimedia* soundCards = nullptr);
    ~THeadlessDesktop() override;
    THeadlessDesktop(const THeadlessDesktop&) = delete;
    THeadlessDesktop& operator=(const THeadlessDesktop&) = delete;

    quorvel::sim::TSimDispatcher Dispatcher;
    quorvel::sim::TSimWindowSystem Windows{Dispatcher};
    TScriptedDialogs Dialogs;
    quorvel::sim::TSimClipboard Clipboard;
    // The simulated band comes with a simulated sound card.
    quorvel::sim::TSimMultimedia SoundCard = quorvel::sim::TSimMultimedia::SoundCard("Pavo Sound Card");

    quorvel::sim::TSimDispatcher& Clock() override { return Dispatcher; }
    TScriptedDialogs& ScriptedAnswers() override { return Dialogs; }
    void MoveCursor(quorvel::TPoint p) override { Windows.SetCursorPos(p); }
    const char* Name() const override { return "headless"; }
    quorvel::IWindowSystem& WindowSystem() override { return Windows; }
    void Turn() override;
    void KeepRealPace() override;

private:
    quorvel::TDesktop desktop_;
    std::optional<std::chrono::steady_clock::time_point> realStart_;  // set: keep to real time
};

}  // namespace pavohost

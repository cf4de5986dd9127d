#pragma once
// The headless front end: a desktop on the virtual clock, installed for the
// whole process before the plug-in is loaded, and the session runner that
// plays a script against the host and prints the transcript.
#include <chrono>
#include <deque>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "Desktop.h"
#include "Host.h"
#include "Script.h"
#include "SimDispatcher.h"
#include "SimPlatform.h"
#include "SimWindowSystem.h"

namespace pavohost {

// Prints "[mm:ss.mmm] source: text" lines on the virtual clock.
class TTranscript final : public IHostEvents {
public:
    explicit TTranscript(std::ostream& out) : out_(out) {}
    void SetClock(const quorvel::IDispatcher* clock) { clock_ = clock; }
    void HostEvent(const std::string& source, const std::string& utf8) override;
    void Line(const std::string& utf8);  // without a time
    std::string Stamp() const;

private:
    std::ostream& out_;
    const quorvel::IDispatcher* clock_ = nullptr;
};

// Message boxes, input boxes and modal dialogs of the plug-in, answered from
// the script's queue and written to the transcript.
class THeadlessDialogs final : public quorvel::IDialogs {
public:
    explicit THeadlessDialogs(IHostEvents& events) : events_(events) {}
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

// What the session runner needs of a front end's desktop. Scripted sessions
// always run on the virtual clock, so a run comes out the same every time.
class ISessionDesktop {
public:
    virtual ~ISessionDesktop() = default;
    virtual quorvel::sim::TSimDispatcher& Clock() = 0;
    virtual THeadlessDialogs& ScriptedAnswers() = 0;
    virtual void MoveCursor(quorvel::TPoint p) = 0;
    // The clock has moved: a front end with windows paints them here and, when
    // it plays at the real pace, waits for real time to catch up.
    virtual void Turn() {}
    // Something outside the process takes part (a real rig): the clock must
    // not run ahead of real time.
    virtual void KeepRealPace() {}
};

// Thrown by a front end when the operator ends the session before its script
// does (closing the host's main window).
struct TSessionEnded {};

// A front end: the desktop the host and the plug-in share, installed for the
// process before the plug-in is loaded, and what happens around the script.
class IFrontEnd : public ISessionDesktop {
public:
    virtual const char* Name() const = 0;  // for the transcript's first line
    virtual quorvel::IWindowSystem& WindowSystem() = 0;
    // The host is up and its plug-in loaded: a front end with windows fills
    // the host's own.
    virtual void HostReady(THost&) {}
    // The script has been played, the plug-in's window may still be open;
    // the exit status of the run.
    virtual int ScriptDone(THost&) { return 0; }
};

// The process's desktop while the host runs headless; installed for its
// lifetime so the plug-in, loaded later, shares it.
class THeadlessDesktop final : public IFrontEnd {
public:
    explicit THeadlessDesktop(IHostEvents& events);
    ~THeadlessDesktop() override;
    THeadlessDesktop(const THeadlessDesktop&) = delete;
    THeadlessDesktop& operator=(const THeadlessDesktop&) = delete;

    quorvel::sim::TSimDispatcher Dispatcher;
    quorvel::sim::TSimWindowSystem Windows{Dispatcher};
    THeadlessDialogs Dialogs;
    quorvel::sim::TSimClipboard Clipboard;
    // The simulated band comes with a simulated sound card.
    quorvel::sim::TSimMultimedia SoundCard = quorvel::sim::TSimMultimedia::SoundCard("Pavo Sound Card");

    quorvel::sim::TSimDispatcher& Clock() override { return Dispatcher; }
    THeadlessDialogs& ScriptedAnswers() override { return Dialogs; }
    void MoveCursor(quorvel::TPoint p) override { Windows.SetCursorPos(p); }
    const char* Name() const override { return "headless"; }
    quorvel::IWindowSystem& WindowSystem() override { return Windows; }
    void Turn() override;
    void KeepRealPace() override;

private:
    quorvel::TDesktop desktop_;
    std::optional<std::chrono::steady_clock::time_point> realStart_;  // set: keep to real time
};

struct TSessionOptions {
    std::string ScriptName;    // for messages
    std::string ScriptFolder;  // files named in the script are relative to it
    bool Strict = false;     // an action the plug-in does not take fails the run
};

class THeadlessSession {
public:
    THeadlessSession(THost& host, ISessionDesktop& desktop, TTranscript& transcript, TSessionOptions options);
    // Runs the commands; a failing step throws THostError(kExitSessionFailed)
    // with the script line in its message.
    void Play(const std::vector<TScriptCommand>& commands);
    // Lets the UI thread finish what is queued, prints what is left to print.
    void Settle();

private:
    void Step(const TScriptCommand& c);
    [[noreturn]] void Fail(const std::string& message) const;
    void Operator(const std::string& verb, const std::string& target, const std::string& argument,
                  const std::string& shown);
    void ClickWord(const TScriptCommand& c);
    void Show(const std::string& what);
    void ShowQso();
    void ShowLog();
    void ShowEngine();
    void WaitIdle(std::int64_t limitMs);
    void Advance(std::int64_t ms);
    void FlushOnAir();
    void ReportQsoChanges();
    std::map<std::string, std::string> QsoFields();
    TEngineSimulation& RequireEngine();

    THost& host_;
    ISessionDesktop& desktop_;
    TTranscript& transcript_;
    TSessionOptions options_;
    int line_ = 0;
    std::map<std::string, std::string> lastQso_;
};

}  // namespace pavohost

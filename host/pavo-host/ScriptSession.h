#pragma once
// Plays a script against the host: each command a step on the virtual
// clock, what happens written to the transcript.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Host.h"
#include "Script.h"
#include "ScriptedDialogs.h"
#include "SimDispatcher.h"
#include "Transcript.h"

namespace pavohost {

// What the session runner needs of a front end's desktop. Scripted sessions
// always run on the virtual clock, so a run comes out the same every time.
class ISessionDesktop {
public:
    virtual ~ISessionDesktop() = default;
    virtual quorvel::sim::TSimDispatcher& Clock() = 0;
    virtual TScriptedDialogs& ScriptedAnswers() = 0;
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

struct TSessionOptions {
    std::string ScriptName;    // for messages
    std::string ScriptFolder;  // files named in the script are relative to it
    bool Strict = false;     // an action the plug-in does not take fails the run
};

class TScriptSession {
public:
    TScriptSession(THost& host, ISessionDesktop& desktop, TTranscript& transcript, TSessionOptions options);
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
    void PressKey(const TScriptCommand& c);
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

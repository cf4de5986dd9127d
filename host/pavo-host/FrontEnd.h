#pragma once
// What a front end (headless or with windows) gives the host and its session.
#include "Host.h"
#include "ScriptSession.h"
#include "ports/WindowSystem.h"

namespace pavohost {

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

}  // namespace pavohost

#pragma once
// The process's desktop: the window system, UI thread, dialogs and clipboard
// that every module of the process shares, as the OS provides them on Windows.
// The program that owns the event loop (the host) installs them before it
// loads plug-ins; until then a virtual-clock desktop is in place.
#include "ports/Dialogs.h"
#include "ports/Dispatcher.h"
#include "ports/WindowSystem.h"

namespace quorvel {

struct TDesktop {
    IDispatcher* Dispatcher = nullptr;
    IWindowSystem* Windows = nullptr;
    IDialogs* Dialogs = nullptr;
    IClipboard* Clipboard = nullptr;
};

extern "C" {
__attribute__((visibility("default"))) const TDesktop* QuorvelDesktop();
// Passing nullptr puts the built-in virtual-clock desktop back.
__attribute__((visibility("default"))) void QuorvelInstallDesktop(const TDesktop* desktop);
}

}  // namespace quorvel

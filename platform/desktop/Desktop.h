#pragma once
// The process's desktop (the desktop module, documented in pavo/desktop.h):
// the window system, UI thread, dialogs and clipboard that every module of
// the process shares, and the sound card when the host simulates one.
#include "pavo/desktop.h"
#include "ports/Dialogs.h"
#include "ports/Dispatcher.h"
#include "ports/Multimedia.h"
#include "ports/WindowSystem.h"

namespace quorvel {

struct TDesktop {
    IDispatcher* Dispatcher = nullptr;
    IWindowSystem* Windows = nullptr;
    IDialogs* Dialogs = nullptr;
    IClipboard* Clipboard = nullptr;
    // Null: modules use the machine's own sound system.
    IMultimedia* Audio = nullptr;
};

}  // namespace quorvel

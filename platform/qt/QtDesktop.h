#pragma once
// The desktop of a Qt program: the Qt window system, UI thread, dialogs and
// clipboard, installed for the whole process so that plug-ins loaded later
// make their windows on it. Construct it after the QApplication.
#include "Desktop.h"
#include "QtDialogs.h"
#include "QtDispatcher.h"
#include "QtWindowSystem.h"

namespace quorvel::qt {

class TQtDesktop {
public:
    TQtDesktop();
    // Puts back the desktop that was in place, if this one is still installed.
    ~TQtDesktop();
    TQtDesktop(const TQtDesktop&) = delete;
    TQtDesktop& operator=(const TQtDesktop&) = delete;

    void Install();
    const TDesktop& Desktop() const { return desktop_; }

    TQtDispatcher Dispatcher;
    TQtWindowSystem Windows{Dispatcher};
    TQtDialogs Dialogs;
    TQtClipboard Clipboard;

private:
    TDesktop desktop_;
    bool installed_ = false;
};

}  // namespace quorvel::qt

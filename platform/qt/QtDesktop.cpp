#include "QtDesktop.h"

namespace quorvel::qt {

TQtDesktop::TQtDesktop() : desktop_{&Dispatcher, &Windows, &Dialogs, &Clipboard} {}

TQtDesktop::~TQtDesktop() {
    if (installed_ && QuorvelDesktop() == &desktop_) QuorvelInstallDesktop(nullptr);
}

void TQtDesktop::Install() {
    QuorvelInstallDesktop(&desktop_);
    installed_ = true;
}

}  // namespace quorvel::qt

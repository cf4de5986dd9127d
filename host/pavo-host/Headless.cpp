#include "Headless.h"

#include <thread>

namespace pavohost {

THeadlessDesktop::THeadlessDesktop(IHostEvents& events, quorvel::IMultimedia* soundCards)
    : Dialogs(events),
      desktop_{&Dispatcher, &Windows, &Dialogs, &Clipboard, soundCards != nullptr ? soundCards : &SoundCard} {
    quorvel::QuorvelInstallDesktop(&desktop_);
}

THeadlessDesktop::~THeadlessDesktop() { quorvel::QuorvelInstallDesktop(nullptr); }

void THeadlessDesktop::KeepRealPace() {
    if (!realStart_) realStart_ = std::chrono::steady_clock::now() - std::chrono::milliseconds(Dispatcher.Now());
}

void THeadlessDesktop::Turn() {
    if (!realStart_) return;
    const auto due = *realStart_ + std::chrono::milliseconds(Dispatcher.Now());
    std::this_thread::sleep_until(due);
}

}  // namespace pavohost

#pragma once
// The library's application object: its application-window handle and title
// (adopted from the host while a session runs) and the platform it runs on.
#include <functional>
#include <string>

#include "ports/Platform.h"
#include "ports/WindowSystem.h"

namespace quorvel {

class TForm;

class TApplication {
public:
    explicit TApplication(const TPlatform& platform)
        : DecimalSeparator(platform.DecimalSeparator), platform_(platform) {}
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    const TPlatform& Platform() const { return platform_; }

    THandle Handle = 0;       // application window (the host's while a session runs)
    std::string Title;        // caption of message boxes (cp1251)
    int ModalLevel = 0;       // > 0 while a modal box or dialog is up
    TForm* MainForm = nullptr;  // the application's main form (none in a library)

    // Raised when the application is minimised and restored.
    std::function<void()> OnMinimize;
    std::function<void()> OnRestore;

    // The system's decimal separator, as the framework reads and writes
    // numbers in the user's locale; taken from the platform.
    char DecimalSeparator;

private:
    TPlatform platform_;
};

// Marks the application modal for as long as it lives.
class TModalScope {
public:
    explicit TModalScope(TApplication& app) : app_(app) { ++app_.ModalLevel; }
    ~TModalScope() { --app_.ModalLevel; }
    TModalScope(const TModalScope&) = delete;
    TModalScope& operator=(const TModalScope&) = delete;

private:
    TApplication& app_;
};

}  // namespace quorvel

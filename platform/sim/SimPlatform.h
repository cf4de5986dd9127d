#pragma once
// A whole platform on the virtual clock: what tests and the headless host
// give the core. Dialog answers are scripted; everything shown is recorded.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SimDispatcher.h"
#include "SimMultimedia.h"
#include "SimWindowSystem.h"
#include "ports/Dialogs.h"
#include "ports/Libraries.h"
#include "ports/Platform.h"
#include "ports/Shell.h"

namespace quorvel::sim {

class TSimDialogs final : public IDialogs {
public:
    struct Shown {
        std::string Caption, Text;
        int Flags;
    };
    int MessageBox(const std::string& caption, const std::string& text, int flags) override;
    bool InputBox(const std::string& caption, const std::string& prompt, bool useOwnerCentre,
                  std::string& text) override;
    int RunModal(const std::string& caption) override;
    void RunModalForm(TForm& form) override;
    bool OpenFile(const std::string& filter, std::string& path) override;
    bool ChooseFont(TFont& font) override;
    bool ChooseColor(TColor& colour) override;

    std::vector<Shown> Messages;       // every message box, in order
    std::deque<int> Answers;           // next message-box results; IDOK/IDNO when empty
    std::deque<std::string> Inputs;    // next input-box texts; cancel when empty
    std::vector<std::string> Modals;   // captions of modal windows run
    std::deque<int> ModalResults;      // next modal results; cancel when empty
    // What the operator does in the next modal windows of the form model, one
    // each; a window nobody works ends as cancelled.
    std::deque<std::function<void(TForm&)>> ModalForms;
    std::vector<std::string> FileFilters;  // filter of every file-open dialog
    std::deque<std::string> Files;     // next chosen files; cancel when empty
    std::vector<TFont> FontsOffered;   // the preset of every font dialog
    std::deque<TFont> Fonts;           // next chosen fonts; cancel when empty
    std::vector<TColor> ColoursOffered;
    std::deque<TColor> Colours;        // next chosen colours; cancel when empty
};

class TSimClipboard final : public IClipboard {
public:
    bool HasText() const override { return has_; }
    std::string GetText() const override { return text_; }
    void SetText(const std::string& text) override {
        text_ = text;
        has_ = true;
    }

private:
    bool has_ = false;
    std::string text_;
};

// Libraries made of registered symbols: lets tests stand in for host
// libraries (present, missing, missing a function) without files.
class TSimLibraryLoader final : public ILibraryLoader {
public:
    std::unique_ptr<ILibrary> Load(const std::string& name) override;
    void Register(const std::string& name, std::map<std::string, void*> symbols) {
        libraries_[name] = std::move(symbols);
    }
    void Unregister(const std::string& name) { libraries_.erase(name); }
    int LoadCount(const std::string& name) const;
    int OpenCount() const { return open_; }  // loaded and not yet freed

private:
    friend class TSimLibrary;
    std::map<std::string, std::map<std::string, void*>> libraries_;
    std::map<std::string, int> loads_;
    int open_ = 0;
};

class TSimProcess final : public IProcess {
public:
    std::string ExecutablePath() const override { return Executable; }
    std::string ModulePath(const std::string& moduleName) const override;
    std::string Executable = "/opt/pavo/host.exe";
    std::map<std::string, std::string> Modules;  // file name -> full path
};

// Records what the window asks the desktop to open, and counts the sound
// settings instead of starting them.
class TSimShell final : public IShell {
public:
    bool Open(const std::string& path) override {
        Opened.push_back(path);
        return Result;
    }
    bool OpenSoundSettings() override {
        ++SoundSettingsStarts;
        return SoundSettingsInstalled;
    }
    std::vector<std::string> Opened;
    bool Result = true;
    bool SoundSettingsInstalled = true;
    int SoundSettingsStarts = 0;
};

class TSimPlatform {
public:
    TSimPlatform();
    TSimPlatform(const TSimPlatform&) = delete;
    TSimPlatform& operator=(const TSimPlatform&) = delete;
    TPlatform& Ports() { return ports_; }

    TSimDispatcher Dispatcher;
    TSimWindowSystem Windows{Dispatcher};
    TSimDialogs Dialogs;
    TSimClipboard Clipboard;
    TSimLibraryLoader Libraries;
    TSimProcess Process;
    TSimMultimedia Audio;  // no sound card until a test builds one
    TSimShell Shell;

private:
    TPlatform ports_;
};

}  // namespace quorvel::sim

#pragma once
// The plug-in's one window. Its handlers are defined in the folders of their
// subsystems; this file declares the window.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "modem/ModemEngine.h"
#include "ui/Forms.h"

namespace quorvel {

class TPluginLibrary;

class TMainForm : public TForm, public IModemEngineEvents {
public:
    explicit TMainForm(TPluginLibrary& library);
    ~TMainForm() override;

    TPluginLibrary& Library() const { return library_; }
    TModemEngine* MMVARI1() const { return engine_.get(); }

    // Applies the plug-in settings to the modem engine; reapply is true after
    // the options dialog and the audio wizard, false at every show.
    void ApplySettings(bool reapply);

    // Window state.
    std::int32_t DialFrequency = 0;
    std::vector<std::string> ModeNames;  // cp1251, in engine order

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormClose(TCloseAction& action) override;

private:
    void FormDestroy();

    TPluginLibrary& library_;
    std::unique_ptr<TModemEngine> engine_;
};

}  // namespace quorvel

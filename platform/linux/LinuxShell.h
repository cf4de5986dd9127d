#pragma once
// Desktop programs on Linux. Files and folders open with the freedesktop
// opener, xdg-open, in the background. The sound settings are the desktop's own sound
// control program, the first installed of pavucontrol, pavucontrol-qt,
// pwvucontrol, GNOME's and KDE's sound settings, and MATE's volume control.
#include <string>
#include <vector>

#include "ports/Shell.h"

namespace quorvel::linux_platform {

class TLinuxShell final : public IShell {
public:
    // folders: where programs are looked for, in order.
    explicit TLinuxShell(std::vector<std::string> folders = {"/usr/local/bin", "/usr/bin", "/bin"});
    bool Open(const std::string& path) override;
    bool OpenSoundSettings() override;

    struct TProgram {
        std::string File;
        std::vector<std::string> Arguments;
    };
    static const std::vector<TProgram>& SoundSettingsPrograms();
    // The full path of the first installed one's file; empty when none is.
    std::string FindSoundSettings(TProgram& program) const;

private:
    std::vector<std::string> folders_;
};

// Starts a program detached from the caller, without waiting for it; false
// when it cannot be started.
bool StartDetached(const std::string& path, const std::vector<std::string>& arguments);

}  // namespace quorvel::linux_platform

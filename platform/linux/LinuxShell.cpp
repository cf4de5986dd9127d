#include "LinuxShell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "base/CodePage.h"

extern char** environ;

namespace quorvel::linux_platform {

TLinuxShell::TLinuxShell(std::vector<std::string> folders) : folders_(std::move(folders)) {}

const std::vector<TLinuxShell::TProgram>& TLinuxShell::SoundSettingsPrograms() {
    static const std::vector<TProgram> programs = {
        {"pavucontrol", {}},
        {"pavucontrol-qt", {}},
        {"pwvucontrol", {}},
        {"gnome-control-center", {"sound"}},
        {"kcmshell6", {"kcm_pulseaudio"}},
        {"kcmshell5", {"kcm_pulseaudio"}},
        {"mate-volume-control", {}},
    };
    return programs;
}

std::string TLinuxShell::FindSoundSettings(TProgram& program) const {
    for (const TProgram& candidate : SoundSettingsPrograms())
        for (const std::string& folder : folders_) {
            const std::string path = folder + "/" + candidate.File;
            if (access(path.c_str(), X_OK) == 0) {
                program = candidate;
                return path;
            }
        }
    return {};
}

bool TLinuxShell::Open(const std::string& path) {
    if (path.empty()) return false;
    // The path is an argument, never shell text.
    return StartDetached("xdg-open", {Cp1251ToUtf8(path)});
}

bool TLinuxShell::OpenSoundSettings() {
    TProgram program;
    const std::string path = FindSoundSettings(program);
    return !path.empty() && StartDetached(path, program.Arguments);
}

bool StartDetached(const std::string& path, const std::vector<std::string>& arguments) {
    // A shell puts the program in the background and exits at once: the
    // program belongs to no one here, so nothing waits for it or leaves a
    // zombie behind, and the operator's window stays responsive.
    std::vector<std::string> words = {"sh", "-c", "\"$0\" \"$@\" </dev/null >/dev/null 2>&1 &", path};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t shell = 0;
    if (posix_spawn(&shell, "/bin/sh", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    while (waitpid(shell, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace quorvel::linux_platform

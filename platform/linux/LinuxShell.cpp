#include "LinuxShell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

#include "base/CodePage.h"

extern char** environ;

namespace quorvel::linux_platform {

bool TLinuxShell::Open(const std::string& path) {
    if (path.empty()) return false;
    const std::string native = Cp1251ToUtf8(path);
    // The shell leaves the opener running in the background and returns at
    // once; the path is an argument, never shell text.
    const char* script = "xdg-open \"$0\" >/dev/null 2>&1 </dev/null &";
    const char* argv[] = {"sh", "-c", script, native.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace quorvel::linux_platform

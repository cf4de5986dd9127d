// kvthelpsys: opens help pages with the desktop's opener (or the viewer the
// host chose) without waiting for it.
#define PAVO_HOSTLIBS_BUILD
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "base/CodePage.h"
#include "pavo/hostlibs.h"

extern char** environ;

namespace {

struct THelpState {
    std::mutex lock;
    std::string title;
    std::optional<std::string> viewer;  // none: the desktop's opener
};

THelpState& State() {
    static THelpState state;
    return state;
}

// The shell puts the viewer in the background and exits at once; the page is
// passed as an argument, never as shell text.
bool Start(const std::string& viewer, const std::string& page) {
    const std::string script = "\"$0\" \"$1\" >/dev/null 2>&1 </dev/null &";
    const char* argv[] = {"sh", "-c", script.c_str(), viewer.c_str(), page.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

extern "C" {

PAVO_HOSTLIB_API int32_t PAVO_CALL hsShowHelp(const char* /*id*/, const char* helpFolder, const char* page) {
    if (page == nullptr || page[0] == '\0') return 0;
    std::string viewer;
    {
        THelpState& state = State();
        std::lock_guard guard(state.lock);
        viewer = state.viewer.value_or("xdg-open");
    }
    if (viewer.empty()) return 0;
    std::string native = quorvel::Cp1251ToUtf8(page);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(native, ec) && helpFolder != nullptr) {
        // A page missing from the plug-in's folder: the help system's start page.
        const std::filesystem::path index = std::filesystem::path(quorvel::Cp1251ToUtf8(helpFolder)) / "index.htm";
        if (!std::filesystem::is_regular_file(index, ec)) return 0;
        native = index.string();
    }
    return Start(viewer, native) ? 1 : 0;
}

PAVO_HOSTLIB_API void PAVO_CALL hsSetTitle(const char* title) {
    THelpState& state = State();
    std::lock_guard guard(state.lock);
    state.title = title != nullptr ? title : "";
}

PAVO_HOSTLIB_API void PAVO_CALL hsSetViewer(const char* program) {
    THelpState& state = State();
    std::lock_guard guard(state.lock);
    if (program == nullptr) state.viewer.reset();
    else state.viewer = program;
}
}

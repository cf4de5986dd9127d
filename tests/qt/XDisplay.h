#pragma once
// A real X server with a window manager, for what only a window manager does
// (the close box, moving and resizing): Xvfb on a display it picks itself and
// openbox on it, both stopped with the test.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace pavohost::testing {

class TXDisplay {
public:
    TXDisplay() {
        int fds[2];
        if (pipe(fds) != 0) return;
        xvfb_ = fork();
        if (xvfb_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x1200x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        if (xvfb_ < 0) {
            close(fds[0]);
            why_ = "cannot fork";
            return;
        }
        // Xvfb writes the display's number once it accepts clients.
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) {
            why_ = "Xvfb did not start (is it installed?)";
            return;
        }
        display_ = ":" + number;
        wm_ = fork();
        if (wm_ == 0) {
            setenv("DISPLAY", display_.c_str(), 1);
            execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
            _exit(127);
        }
        // The window manager is up once it owns the screen's selection.
        for (int i = 0; i < 100; ++i) {
            if (Run("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'") == 0) {
                ready_ = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        why_ = "openbox did not start on " + display_;
    }
    ~TXDisplay() {
        for (pid_t pid : {wm_, xvfb_})
            if (pid > 0) {
                kill(pid, SIGTERM);
                waitpid(pid, nullptr, 0);
            }
    }
    TXDisplay(const TXDisplay&) = delete;
    TXDisplay& operator=(const TXDisplay&) = delete;

    bool Ready() const { return ready_; }
    const std::string& Why() const { return why_; }
    const std::string& Display() const { return display_; }
    // A shell command line run on this display.
    int Run(const std::string& line) const {
        const std::string command =
            "unset WAYLAND_DISPLAY; export QT_QPA_PLATFORM=xcb DISPLAY=" + display_ + "; " + line;
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The output of a command line on this display.
    std::string Output(const std::string& line) const {
        const std::string command = "export DISPLAY=" + display_ + "; " + line;
        std::string out;
        if (FILE* p = popen(command.c_str(), "r")) {
            char buffer[256];
            while (std::fgets(buffer, sizeof buffer, p) != nullptr) out += buffer;
            pclose(p);
        }
        return out;
    }

private:
    pid_t xvfb_ = -1, wm_ = -1;
    std::string display_, why_;
    bool ready_ = false;
};

}  // namespace pavohost::testing

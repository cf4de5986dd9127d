#pragma once
// A PulseAudio daemon of the test's own, with a null sink, in a scratch
// runtime folder: started in the constructor, stopped in the destructor. The
// test process talks to it through PULSE_SERVER (the ALSA "pulse" devices
// and pactl both honour it).
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

namespace quorvel::testing {

class TPulseServer {
public:
    TPulseServer() {
        char pattern[] = "/tmp/quorvel-pulse-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            error_ = "no scratch folder";
            return;
        }
        dir_ = pattern;
        const std::string socket = (dir_ / "native").string();
        server_ = "unix:" + socket;
        pid_ = fork();
        if (pid_ == 0) {
            setenv("HOME", dir_.c_str(), 1);
            setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
            setenv("PULSE_RUNTIME_PATH", dir_.c_str(), 1);
            unsetenv("PULSE_SERVER");
            const std::string native = "--load=module-native-protocol-unix socket=" + socket + " auth-anonymous=1";
            const std::string log = "--log-target=file:" + (dir_ / "log").string();
            execlp("pulseaudio", "pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
                   "--load=module-null-sink", native.c_str(), log.c_str(), "--disable-shm=yes",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        if (pid_ < 0) {
            error_ = "fork failed";
            return;
        }
        setenv("PULSE_SERVER", server_.c_str(), 1);
        for (int i = 0; i < 100; ++i) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                error_ = WIFEXITED(status) && WEXITSTATUS(status) == 127 ? "pulseaudio is not installed"
                                                                         : "pulseaudio exited at start";
                return;
            }
            if (Pactl("info").find("Server Name") != std::string::npos) {
                ready_ = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        error_ = "pulseaudio did not answer within 5 s";
    }
    ~TPulseServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
        unsetenv("PULSE_SERVER");
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    TPulseServer(const TPulseServer&) = delete;
    TPulseServer& operator=(const TPulseServer&) = delete;

    bool Ready() const { return ready_; }
    const std::string& Error() const { return error_; }

    // pactl's output for the arguments, against this server.
    std::string Pactl(const std::string& args) const {
        const std::string command = "PULSE_SERVER='" + server_ + "' pactl " + args + " 2>&1";
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
        std::string out;
        if (!pipe) return out;
        std::array<char, 512> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) out += buffer.data();
        return out;
    }
    // The raw volumes of a "get-sink-volume" or "get-source-volume" answer:
    // front-left, front-right; -1 when not found.
    std::pair<long, long> Volumes(const std::string& args) const {
        const std::string out = Pactl(args);
        auto after = [&](const std::string& key) -> long {
            const auto at = out.find(key);
            return at == std::string::npos ? -1 : std::strtol(out.c_str() + at + key.size(), nullptr, 10);
        };
        return {after("front-left: "), after("front-right: ")};
    }

private:
    std::filesystem::path dir_;
    std::string server_;
    pid_t pid_ = -1;
    bool ready_ = false;
    std::string error_;
};

}  // namespace quorvel::testing

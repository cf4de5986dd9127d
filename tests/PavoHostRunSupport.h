#pragma once
// Running pavo-host as a user does, from a shell, in a scratch folder of the test's own.
#include <unistd.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace pavohost::testing {

struct HostRun {
    int exit = -1;
    std::string out, err;
};

inline std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string Quote(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

class HostRunTest : public ::testing::Test {
protected:
    explicit HostRunTest(const std::string& prefix) {
        dir = std::filesystem::temp_directory_path() /
              (prefix + std::to_string(::getpid()) + "-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ~HostRunTest() override {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    // Runs a shell command line with input on its standard input.
    HostRun Shell(const std::string& line, const std::string& input = {}) {
        const std::filesystem::path out = dir / "stdout", err = dir / "stderr", in = dir / "stdin";
        std::ofstream(in, std::ios::binary) << input;
        const std::string command = "(" + line + ") <" + Quote(in) + " >" + Quote(out) + " 2>" + Quote(err);
        const int status = std::system(command.c_str());
        HostRun r;
        r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = ReadAll(out);
        r.err = ReadAll(err);
        return r;
    }
    std::filesystem::path dir;
};

}  // namespace pavohost::testing

// The desktop's sound settings on Linux: the first installed program is
// started in the background with its arguments, and none installed says so.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "LinuxShell.h"
#include "test_settings_support.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

// A program that waits for its start signal, then writes its arguments.
void FakeProgram(const fs::path& path, const fs::path& gate, const fs::path& out) {
    std::ofstream(path) << "#!/bin/sh\nwhile [ ! -e '" << gate.string() << "' ]; do sleep 0.05; done\necho \"$@\" > '"
                        << out.string() << ".tmp' && mv '" << out.string() << ".tmp' '" << out.string() << "'\n";
    fs::permissions(path, fs::perms::owner_all);
}

bool AppearsWithin(const fs::path& file, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!fs::exists(file)) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

TEST(LinuxShell, StartsTheFirstInstalledSoundControlWithoutWaitingForIt) {
    TempFolder temp;
    const fs::path first = temp.Path("first"), second = temp.Path("second");
    fs::create_directories(first);
    fs::create_directories(second);
    const fs::path gate = temp.Path("gate"), out = temp.Path("started");
    // GNOME's settings in the first folder, pavucontrol only in the second:
    // pavucontrol comes first in the order of programs.
    FakeProgram(first / "gnome-control-center", gate, temp.Path("gnome"));
    FakeProgram(second / "pavucontrol", gate, out);

    linux_platform::TLinuxShell shell({first.string(), second.string()});
    ASSERT_TRUE(shell.OpenSoundSettings());
    // Returned while the program still waits: nothing was waited for.
    EXPECT_FALSE(fs::exists(out));
    std::ofstream(gate.string()) << "go";
    ASSERT_TRUE(AppearsWithin(out, std::chrono::seconds(10)));
    EXPECT_FALSE(fs::exists(temp.Path("gnome")));

    // Without pavucontrol, GNOME's with the page to open.
    fs::remove(second / "pavucontrol");
    fs::remove(out);
    const fs::path gnome = temp.Path("gnome");
    ASSERT_TRUE(shell.OpenSoundSettings());
    ASSERT_TRUE(AppearsWithin(gnome, std::chrono::seconds(10)));
    std::ifstream in(gnome);
    std::string arguments;
    std::getline(in, arguments);
    EXPECT_EQ(arguments, "sound");

    // A file that is not executable is not a program; none at all is false.
    fs::permissions(first / "gnome-control-center", fs::perms::owner_read);
    EXPECT_FALSE(shell.OpenSoundSettings());
    EXPECT_FALSE(linux_platform::TLinuxShell({temp.Path("nowhere")}).OpenSoundSettings());
}

}  // namespace
}  // namespace quorvel::testing

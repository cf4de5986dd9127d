// The built plug-in as a host sees it: loaded by path, entry points by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "FakeHost.h"
#include "pavo/pavo.h"

namespace quorvel::testing {
namespace {

const std::string kPlugin = std::string(QUORVEL_BIN_DIR) + "/Quorvel.kpl";

struct Library {
    void* handle = dlopen(kPlugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    ~Library() {
        if (handle) dlclose(handle);
    }
    template <class F>
    F Get(const char* name) const {
        return reinterpret_cast<F>(dlsym(handle, name));
    }
};

TEST(PluginLibrary, ExportsTheSixEntryPointsByName) {
    Library lib;
    ASSERT_NE(lib.handle, nullptr) << dlerror();
    auto version = lib.Get<PavoGetVersionFn>("PavoGetVersion");
    auto info = lib.Get<PavoGetInfoFn>("PavoGetInfo");
    ASSERT_NE(version, nullptr);
    ASSERT_NE(info, nullptr);
    EXPECT_NE(lib.Get<PavoRunFn>("PavoRun"), nullptr);
    EXPECT_NE(lib.Get<PavoSendNotifyFn>("PavoSendNotify"), nullptr);
    EXPECT_NE(lib.Get<PavoShowOptionsDialogFn>("PavoShowOptionsDialog"), nullptr);
    EXPECT_NE(lib.Get<PavoReleaseFn>("PavoRelease"), nullptr);
    EXPECT_EQ(version(), 61);
    PavoInfo record{};
    info(&record);
    EXPECT_EQ(record.Flag, 1);
    ASSERT_NE(record.Name, nullptr);
    EXPECT_STREQ(record.Name, "\xD6\xE8\xF4\xF0\xEE\xE2\xFB\xE5 \xE2\xE8\xE4\xFB \xF1\xE2\xFF\xE7\xE8");
}

TEST(PluginLibrary, ExportsNothingElse) {
    const std::string command = "nm -D --defined-only " + kPlugin + " | awk '{print $3}' | sort";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::string out;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
    EXPECT_EQ(out,
              "PavoGetInfo\nPavoGetVersion\nPavoRelease\nPavoRun\nPavoSendNotify\nPavoShowOptionsDialog\n");
}

TEST(DesktopLibrary, ExportsOnlyTheEntryPointsOfItsHeader) {
    const std::string command =
        "nm -D --defined-only " + std::string(QUORVEL_BIN_DIR) + "/libquorvel-desktop.so | awk '{print $3}' | sort";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::string out;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
    EXPECT_EQ(out, "QuorvelDesktop\nQuorvelDesktopVersion\nQuorvelInstallDesktop\n");
}

TEST(PluginLibrary, RunsASessionThroughTheExports) {
    Library lib;
    ASSERT_NE(lib.handle, nullptr) << dlerror();
    FakeHost host;
    host.application.mainWindow.handle = 0;  // a foreign handle: the signal is simply dropped
    auto run = lib.Get<PavoRunFn>("PavoRun");
    auto notify = lib.Get<PavoSendNotifyFn>("PavoSendNotify");
    auto release = lib.Get<PavoReleaseFn>("PavoRelease");
    EXPECT_EQ(notify(1, 26), 0);
    EXPECT_EQ(run(nullptr, 1), 0u);
    const PavoHandle h = run(&host.session, 3);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(run(&host.session, 4), h);
    EXPECT_EQ(host.transceiver.attached, 1);
    release();
    EXPECT_EQ(host.transceiver.attached, 0);
    release();
}

}  // namespace
}  // namespace quorvel::testing

#pragma once
// A plug-in library on the sim platform with a fake host whose main window
// records the messages it receives, and the host's libraries registered.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FakeHost.h"
#include "FakeHostLibraries.h"
#include "LoopbackEngine.h"
#include "SimPlatform.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"

namespace quorvel::testing {

class PluginFixture : public ::testing::Test {
protected:
    PluginFixture() {
        sim.Ports().Engines = &engines;
        hostWindow = sim.Windows.CreateWindowHandle(0, [this](const TMessage& m) {
            received.push_back(m);
            return std::intptr_t{0};
        });
        host.application.mainWindow.handle = hostWindow;
        RegisterHostLibraries(sim.Libraries);
        library = std::make_unique<TPluginLibrary>(sim.Ports());
    }

    // Whatever a test left open, unloading the library leaves nothing of the
    // plug-in behind: no window, hook or timer. Runs after the derived
    // fixture's members (windows it made itself) are gone.
    ~PluginFixture() override {
        library.reset();
        EXPECT_EQ(sim.Windows.EnumWindows(), std::vector<THandle>{hostWindow}) << "a window outlived the plug-in";
        EXPECT_EQ(sim.Windows.HookCount(), 0u) << "a hook outlived the plug-in";
        EXPECT_EQ(sim.Dispatcher.ActiveTimers(), 0u) << "a timer outlived the plug-in";
    }

    std::vector<TMessage> Received(std::uint32_t msg) const {
        std::vector<TMessage> out;
        for (const auto& m : received)
            if (m.Msg == msg) out.push_back(m);
        return out;
    }

    sim::TSimPlatform sim;
    TLoopbackEngineFactory engines;
    FakeHost host;
    THandle hostWindow = 0;
    std::vector<TMessage> received;
    std::unique_ptr<TPluginLibrary> library;
};

}  // namespace quorvel::testing

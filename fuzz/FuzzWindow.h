#pragma once
// A main window on the sim platform, its files in memory, with the loopback
// engine inside one whose transmit state the fuzzer sets: what the window
// targets drive.
#include <cstdint>
#include <memory>

#include "FakeHost.h"
#include "FakeHostLibraries.h"
#include "ForwardingEngine.h"
#include "SimFileSystem.h"
#include "SimPlatform.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"
#include "ports/FileSystem.h"

namespace quorvel::fuzzing {

class TFlippingEngine final : public testing::TForwardingEngine {
public:
    using TForwardingEngine::TForwardingEngine;
    TOleBool bTX() const override { return Transmitting ? OleTrue : OleFalse; }
    IModemEngineEvents* Events() const { return events_; }
    bool Transmitting = false;
};

struct TFuzzWindow {
    TFuzzWindow() {
        sim.Ports().Engines = &engines;
        hostWindow = sim.Windows.CreateWindowHandle(0, [](const TMessage&) { return std::intptr_t{0}; });
        host.application.mainWindow.handle = hostWindow;
        host.config.dataFolder = "/data/";
        files.AddFolder("/data");
        testing::RegisterHostLibraries(sim.Libraries);
        library = std::make_unique<TPluginLibrary>(sim.Ports());
        window = library->Run(&host.session, 0);
        engine = engines.Last;
    }
    ~TFuzzWindow() {
        if (library->MainForm) library->Release();
        sim.Dispatcher.Advance(10);
    }
    TFuzzWindow(const TFuzzWindow&) = delete;
    TFuzzWindow& operator=(const TFuzzWindow&) = delete;

    sim::TMemoryFileSystem files;
    TFileSystemScope scope{files};
    sim::TSimPlatform sim;
    testing::TForwardingEngineFactory<TFlippingEngine> engines;
    testing::FakeHost host;
    THandle hostWindow = 0;
    std::unique_ptr<TPluginLibrary> library;
    THandle window = 0;
    TFlippingEngine* engine = nullptr;
};

}  // namespace quorvel::fuzzing

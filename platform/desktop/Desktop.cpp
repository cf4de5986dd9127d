#include "Desktop.h"

#include "SimPlatform.h"

namespace quorvel {
namespace {

struct TBuiltIn {
    sim::TSimPlatform platform;
    TDesktop desktop{&platform.Dispatcher, &platform.Windows, &platform.Dialogs, &platform.Clipboard};
};

TBuiltIn& BuiltIn() {
    static TBuiltIn builtIn;
    return builtIn;
}

const TDesktop* gInstalled = nullptr;  // the process-wide desktop, as the OS's is

}  // namespace

extern "C" std::int32_t QuorvelDesktopVersion() { return QUORVEL_DESKTOP_VERSION; }

extern "C" const TDesktop* QuorvelDesktop() { return gInstalled != nullptr ? gInstalled : &BuiltIn().desktop; }

extern "C" void QuorvelInstallDesktop(const TDesktop* desktop) { gInstalled = desktop; }

}  // namespace quorvel

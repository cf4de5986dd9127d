#pragma once
// The platform the loaded library runs on; defined by the platform layer the
// library is linked with.
#include "ports/Platform.h"

namespace quorvel {
TPlatform PluginPlatform();
// The views of the library's windows on the process's desktop; nullptr where
// the library is built without a toolkit.
IViewFactory* PluginViews();
}

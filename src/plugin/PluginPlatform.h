#pragma once
// The platform the loaded library runs on; defined by the platform layer the
// library is linked with.
#include "ports/Platform.h"

namespace quorvel {
TPlatform PluginPlatform();
}

// Windows build of the plug-in's platform: the real ports come with the full
// Windows build; the cross-compile check builds the core and the exports
// against this empty platform.
#include "plugin/PluginPlatform.h"

namespace quorvel {
TPlatform PluginPlatform() { return TPlatform{}; }
}  // namespace quorvel

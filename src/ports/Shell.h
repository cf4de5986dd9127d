#pragma once
// The desktop's own actions: opening a file or folder as the file manager
// does, and starting the system's sound settings.
#include <string>

namespace quorvel {

class IShell {
public:
    virtual ~IShell() = default;
    // Opens a file or folder (cp1251 path) in a normal window with what the
    // desktop opens it with, without waiting for it. False when nothing could
    // be started.
    virtual bool Open(const std::string& path) = 0;
    // Starts the system's sound settings in a window of their own and
    // returns without waiting for them; false when the system has none to start.
    virtual bool OpenSoundSettings() = 0;
};

}  // namespace quorvel

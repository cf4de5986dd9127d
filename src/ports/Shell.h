#pragma once
// The desktop's "open" action for files and folders, as Explorer or the file
// manager does it.
#include <string>

namespace quorvel {

class IShell {
public:
    virtual ~IShell() = default;
    // Opens a file or folder (cp1251 path) in a normal window with what the
    // desktop opens it with, without waiting for it. False when nothing could
    // be started.
    virtual bool Open(const std::string& path) = 0;
};

}  // namespace quorvel

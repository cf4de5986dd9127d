#pragma once
#include "ports/Shell.h"

namespace quorvel::linux_platform {

// The freedesktop opener, xdg-open, started in the background.
class TLinuxShell final : public IShell {
public:
    bool Open(const std::string& path) override;
};

}  // namespace quorvel::linux_platform

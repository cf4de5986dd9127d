#pragma once
// Programs of the desktop the system starts for the operator.
namespace quorvel {

class IShell {
public:
    virtual ~IShell() = default;
    // Starts the system's sound settings in a window of their own and
    // returns without waiting for them; false when the system has none to start.
    virtual bool OpenSoundSettings() = 0;
};

}  // namespace quorvel

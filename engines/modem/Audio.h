#pragma once
// Where the engine's audio comes from and goes to, at the engine's rate.
#include <cstddef>
#include <span>
#include <string>

namespace quorvel::modem {

class IAudioInput {
public:
    virtual ~IAudioInput() = default;
    // Fills out; returns how many samples were written (fewer at the end of
    // a file; a live source always fills).
    virtual std::size_t Read(std::span<float> out) = 0;
};

class IAudioOutput {
public:
    virtual ~IAudioOutput() = default;
    virtual void Write(std::span<const float> samples) = 0;
};

}  // namespace quorvel::modem

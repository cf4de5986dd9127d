#pragma once
// The UI thread: timers, posted messages, "process pending messages" and the
// blocking wait. Everything in the system runs on this one thread.
#include <cstdint>
#include <functional>

namespace quorvel {

class IDispatcher {
public:
    using TimerId = std::uint32_t;
    virtual ~IDispatcher() = default;

    // Milliseconds since an arbitrary start; the sim clock is virtual.
    virtual std::int64_t Now() const = 0;
    // A repeating timer; its callback runs on the UI thread every interval ms.
    virtual TimerId SetTimer(std::uint32_t intervalMs, std::function<void()> tick) = 0;
    // Unknown or already killed ids are ignored.
    virtual void KillTimer(TimerId id) = 0;
    // Runs the callback later on the UI thread, after the current event.
    virtual void Post(std::function<void()> callback) = 0;
    // Runs what is queued now (posted messages, due timers) and returns.
    virtual void ProcessMessages() = 0;
    // Blocks the UI thread for ms: nothing is dispatched meanwhile.
    virtual void Wait(std::uint32_t ms) = 0;
};

}  // namespace quorvel

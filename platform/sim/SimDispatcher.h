#pragma once
// The UI thread on a virtual clock: nothing happens until the clock is advanced,
// so timing behaviour is exact and instant in tests and scripted sessions.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>

#include "ports/Dispatcher.h"

namespace quorvel::sim {

class TSimDispatcher final : public IDispatcher {
public:
    std::int64_t Now() const override { return now_; }
    TimerId SetTimer(std::uint32_t intervalMs, std::function<void()> tick) override;
    void KillTimer(TimerId id) override;
    void Post(std::function<void()> callback) override;
    void ProcessMessages() override;
    void Wait(std::uint32_t ms) override;

    // Moves the clock forward by ms, running posted messages and every timer
    // tick that falls due, in time order.
    void Advance(std::int64_t ms);
    std::size_t PendingMessages() const { return posted_.size(); }
    std::size_t ActiveTimers() const { return timers_.size(); }
    // When the earliest timer falls due; -1 when no timer runs.
    std::int64_t NextDue() const;
    // Total ms spent inside Wait (the UI thread was blocked).
    std::int64_t BlockedMs() const { return blocked_; }

private:
    struct Timer {
        std::uint32_t interval;
        std::int64_t due;
        std::function<void()> tick;
    };
    bool RunOnePosted();
    bool RunOneDueTimer(std::int64_t limit);

    std::int64_t now_ = 0;
    std::int64_t blocked_ = 0;
    TimerId nextId_ = 1;
    std::map<TimerId, Timer> timers_;
    std::deque<std::function<void()>> posted_;
};

}  // namespace quorvel::sim

#include "SimDispatcher.h"

#include <limits>

namespace quorvel::sim {

IDispatcher::TimerId TSimDispatcher::SetTimer(std::uint32_t intervalMs, std::function<void()> tick) {
    const TimerId id = nextId_++;
    const std::uint32_t interval = intervalMs == 0 ? 1 : intervalMs;
    timers_.emplace(id, Timer{interval, now_ + interval, std::move(tick)});
    return id;
}

void TSimDispatcher::KillTimer(TimerId id) { timers_.erase(id); }

void TSimDispatcher::Post(std::function<void()> callback) { posted_.push_back(std::move(callback)); }

bool TSimDispatcher::RunOnePosted() {
    if (posted_.empty()) return false;
    auto callback = std::move(posted_.front());
    posted_.pop_front();
    callback();
    return true;
}

bool TSimDispatcher::RunOneDueTimer(std::int64_t limit) {
    TimerId best = 0;
    std::int64_t bestDue = std::numeric_limits<std::int64_t>::max();
    for (const auto& [id, timer] : timers_)
        if (timer.due <= limit && timer.due < bestDue) {
            best = id;
            bestDue = timer.due;
        }
    if (best == 0) return false;
    if (bestDue > now_) now_ = bestDue;
    auto& timer = timers_.at(best);
    // A late timer fires once, as a message-queue timer does, then resumes its period.
    timer.due = now_ + timer.interval;
    auto tick = timer.tick;  // the tick may kill its own timer
    tick();
    return true;
}

void TSimDispatcher::ProcessMessages() {
    // Only what is queued now: messages posted by these handlers wait for the next turn.
    std::size_t n = posted_.size();
    while (n-- > 0 && RunOnePosted()) {
    }
    RunOneDueTimer(now_);
}

void TSimDispatcher::Wait(std::uint32_t ms) {
    now_ += ms;
    blocked_ += ms;
}

std::int64_t TSimDispatcher::NextDue() const {
    std::int64_t next = -1;
    for (const auto& [id, timer] : timers_)
        if (next < 0 || timer.due < next) next = timer.due;
    return next;
}

void TSimDispatcher::Advance(std::int64_t ms) {
    const std::int64_t end = now_ + ms;
    for (;;) {
        if (RunOnePosted()) continue;
        if (RunOneDueTimer(end)) continue;
        break;
    }
    if (now_ < end) now_ = end;
}

}  // namespace quorvel::sim

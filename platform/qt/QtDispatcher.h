#pragma once
// The UI thread on the Qt event loop: timers are QTimers, posted messages are
// posted Qt events, so input, painting and the system's own work interleave
// in one queue. Needs a QCoreApplication on the calling thread.
#include <QElapsedTimer>
#include <QObject>
#include <map>

#include "ports/Dispatcher.h"

class QTimer;

namespace quorvel::qt {

class TQtDispatcher final : public QObject, public IDispatcher {
public:
    TQtDispatcher();
    ~TQtDispatcher() override;

    std::int64_t Now() const override;
    TimerId SetTimer(std::uint32_t intervalMs, std::function<void()> tick) override;
    void KillTimer(TimerId id) override;
    void Post(std::function<void()> callback) override;
    void ProcessMessages() override;
    void Wait(std::uint32_t ms) override;

    std::size_t ActiveTimers() const { return timers_.size(); }
    std::size_t PendingMessages() const { return pending_; }

protected:
    bool event(QEvent* e) override;

private:
    QElapsedTimer clock_;
    TimerId nextId_ = 1;
    std::map<TimerId, QTimer*> timers_;  // children of this object
    std::size_t pending_ = 0;
};

}  // namespace quorvel::qt

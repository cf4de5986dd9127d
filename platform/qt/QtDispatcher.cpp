#include "QtDispatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <thread>

namespace quorvel::qt {
namespace {

const QEvent::Type kPostedType = static_cast<QEvent::Type>(QEvent::registerEventType());

class TPostedEvent final : public QEvent {
public:
    explicit TPostedEvent(std::function<void()> callback) : QEvent(kPostedType), Callback(std::move(callback)) {}
    std::function<void()> Callback;
};

}  // namespace

TQtDispatcher::TQtDispatcher() { clock_.start(); }

TQtDispatcher::~TQtDispatcher() {
    // Messages still queued die with their receiver, unrun.
    QCoreApplication::removePostedEvents(this, kPostedType);
}

std::int64_t TQtDispatcher::Now() const { return clock_.elapsed(); }

IDispatcher::TimerId TQtDispatcher::SetTimer(std::uint32_t intervalMs, std::function<void()> tick) {
    const TimerId id = nextId_++;
    auto* timer = new QTimer(this);  // owned by this object
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(static_cast<int>(intervalMs == 0 ? 1 : intervalMs));
    connect(timer, &QTimer::timeout, this, [tick = std::move(tick)] {
        auto copy = tick;  // the tick may kill its own timer
        copy();
    });
    timer->start();
    timers_.emplace(id, timer);
    return id;
}

void TQtDispatcher::KillTimer(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    QTimer* timer = it->second;
    timers_.erase(it);
    timer->stop();
    // The timer may be the one whose tick is running now.
    timer->disconnect();
    timer->deleteLater();
}

void TQtDispatcher::Post(std::function<void()> callback) {
    ++pending_;
    QCoreApplication::postEvent(this, new TPostedEvent(std::move(callback)));  // Qt takes ownership
}

bool TQtDispatcher::event(QEvent* e) {
    if (e->type() != kPostedType) return QObject::event(e);
    --pending_;
    auto callback = std::move(static_cast<TPostedEvent*>(e)->Callback);
    if (callback) callback();
    return true;
}

void TQtDispatcher::ProcessMessages() {
    // One turn of the loop: Qt sends only the events posted before it starts,
    // so what the handlers post waits for the next turn, as on the sim clock.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TQtDispatcher::Wait(std::uint32_t ms) {
    // Blocks the UI thread outright: no timer, message or repaint runs meanwhile.
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace quorvel::qt

#include "QtSync.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>

namespace quorvel::qt {
namespace {
const QEvent::Type kSyncType = static_cast<QEvent::Type>(QEvent::registerEventType());
}

TBinding::~TBinding() { sync_.Forget(*this); }

void TBinding::Changed() {
    if (marked_) return;
    marked_ = true;
    sync_.Mark(*this);
}

TQtSync::~TQtSync() {
    for (TBinding* b : marked_) b->marked_ = false;
}

void TQtSync::Mark(TBinding& binding) {
    marked_.push_back(&binding);
    if (!posted_) {
        posted_ = true;
        QCoreApplication::postEvent(this, new QEvent(kSyncType));  // Qt takes ownership
    }
}

void TQtSync::Forget(TBinding& binding) {
    if (binding.marked_) marked_.erase(std::remove(marked_.begin(), marked_.end(), &binding), marked_.end());
}

bool TQtSync::event(QEvent* e) {
    if (e->type() != kSyncType) return QObject::event(e);
    posted_ = false;
    Flush();
    return true;
}

void TQtSync::Flush() {
    ++flushes_;
    // A sync may mark bindings again (a widget feeding a control): they wait
    // for the next turn.
    std::vector<TBinding*> now;
    now.swap(marked_);
    for (TBinding* b : now) b->marked_ = false;
    for (TBinding* b : now) b->Sync();
}

}  // namespace quorvel::qt

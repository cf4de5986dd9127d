#pragma once
// Coalesced view updates: a control's change only marks its binding; all the
// marked bindings sync once, on the next turn of the event loop, however many
// changes came in meanwhile.
#include <QObject>
#include <functional>
#include <vector>

namespace quorvel::qt {

class TQtSync;

// One control shown by one widget.
class TBinding {
public:
    explicit TBinding(TQtSync& sync) : sync_(sync) {}
    virtual ~TBinding();
    TBinding(const TBinding&) = delete;
    TBinding& operator=(const TBinding&) = delete;
    // Brings the widget up to the control.
    virtual void Sync() = 0;
    // Marks this binding for the next sync.
    void Changed();

protected:
    TQtSync& SyncQueue() const { return sync_; }

private:
    friend class TQtSync;
    TQtSync& sync_;
    bool marked_ = false;
};

class TQtSync final : public QObject {
public:
    ~TQtSync() override;
    // Syncs every marked binding now.
    void Flush();
    std::uint64_t Flushes() const { return flushes_; }

protected:
    bool event(QEvent* e) override;

private:
    friend class TBinding;
    void Mark(TBinding& binding);
    void Forget(TBinding& binding);
    std::vector<TBinding*> marked_;
    bool posted_ = false;
    std::uint64_t flushes_ = 0;
};

}  // namespace quorvel::qt

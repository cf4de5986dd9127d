#pragma once
// A balloon hint of the form model drawn as a tooltip-like window at its
// point of the form's window: the caption in bold over the text. The model
// keeps the time; a click on the balloon is the model's click.
#include <QFrame>
#include <QPointer>

#include "QtSync.h"
#include "ui/BalloonHint.h"

class QLabel;

namespace quorvel::qt {

class TQtBalloonHint final : public QFrame, public TBinding {
public:
    // window: the form's window, whose frame the model's point is relative
    // to. The balloon is a window of its own, owned by its maker.
    TQtBalloonHint(TBalloonHint& model, QWidget& window, TQtSync& sync);
    ~TQtBalloonHint() override;
    void Sync() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    TBalloonHint& model_;
    QPointer<QWidget> window_;
    QLabel* title_;
    QLabel* text_;
};

}  // namespace quorvel::qt

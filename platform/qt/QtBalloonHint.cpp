#include "QtBalloonHint.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "QtText.h"

namespace quorvel::qt {
namespace {

constexpr int kMaxWidth = 420;  // long macros wrap rather than cross the screen

QString BalloonText(const std::string& cp1251) {
    QString s = ToQString(cp1251);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

}  // namespace

TQtBalloonHint::TQtBalloonHint(TBalloonHint& model, QWidget& window, TQtSync& sync)
    // A window of its own, as a tooltip is: it may reach past the form's edge.
    : QFrame(nullptr, Qt::ToolTip | Qt::FramelessWindowHint),
      TBinding(sync),
      model_(model),
      window_(&window),
      title_(new QLabel(this)),  // owned by the frame
      text_(new QLabel(this)) {
    setObjectName(ToQString(model.Name));
    setFrameShape(QFrame::Box);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    auto* column = new QVBoxLayout(this);  // owned by the frame
    column->setContentsMargins(6, 4, 6, 6);
    column->setSpacing(2);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    for (QLabel* label : {title_, text_}) {
        label->setTextFormat(Qt::PlainText);
        label->setForegroundRole(QPalette::ToolTipText);
        column->addWidget(label);
    }
    text_->setWordWrap(true);
    text_->setMaximumWidth(kMaxWidth);
    model_.Observe([this] { Changed(); });
    Sync();
}

TQtBalloonHint::~TQtBalloonHint() { model_.Observe(nullptr); }

void TQtBalloonHint::Sync() {
    QWidget* window = window_.data();
    if (!model_.Shown() || window == nullptr) {
        hide();
        return;
    }
    title_->setText(ToQString(model_.Title()));
    text_->setText(BalloonText(model_.Text()));
    adjustSize();
    QPoint at = window->frameGeometry().topLeft() + QPoint(model_.Position().X, model_.Position().Y);
    // Kept on the screen the point is on.
    if (const QScreen* screen = QGuiApplication::screenAt(at)) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - height())));
    }
    move(at);
    show();
    raise();
}

void TQtBalloonHint::mousePressEvent(QMouseEvent* event) {
    event->accept();
    model_.Click();
}

}  // namespace quorvel::qt

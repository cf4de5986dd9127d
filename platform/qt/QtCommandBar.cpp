#include "QtCommandBar.h"

#include <QAction>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace quorvel::qt {
namespace {

bool IsSeparator(const QLayoutItem* item) {
    const QWidget* w = item->widget();
    return w != nullptr && w->property("barSeparator").toBool();
}

}  // namespace

TFlowLayout::TFlowLayout(QWidget* parent, int spacing) : QLayout(parent) {
    setSpacing(spacing);
    setContentsMargins(0, 0, 0, 0);
}

TFlowLayout::~TFlowLayout() {
    for (QLayoutItem* item : items_) delete item;
}

void TFlowLayout::addItem(QLayoutItem* item) { items_.push_back(item); }

QLayoutItem* TFlowLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? items_[static_cast<std::size_t>(index)] : nullptr;
}

QLayoutItem* TFlowLayout::takeAt(int index) {
    if (index < 0 || index >= count()) return nullptr;
    QLayoutItem* item = items_[static_cast<std::size_t>(index)];
    items_.erase(items_.begin() + index);
    return item;
}

int TFlowLayout::heightForWidth(int width) const { return Arrange(QRect(0, 0, width, 0), false); }

QSize TFlowLayout::sizeHint() const {
    const QMargins m = contentsMargins();
    int width = 0, height = 0, shown = 0;
    for (const QLayoutItem* item : items_) {
        if (item->isEmpty()) continue;
        const QSize hint = item->sizeHint();
        width += hint.width() + (shown++ > 0 ? spacing() : 0);
        height = std::max(height, hint.height());
    }
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

QSize TFlowLayout::minimumSize() const {
    const QMargins m = contentsMargins();
    QSize least;
    for (const QLayoutItem* item : items_)
        if (!item->isEmpty()) least = least.expandedTo(item->minimumSize());
    return least + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void TFlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int TFlowLayout::Arrange(const QRect& rect, bool place) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int width = std::max(1, area.width());
    struct TPlaced {
        QLayoutItem* Item;
        QSize Size;
    };
    std::vector<TPlaced> row;
    int x = 0, y = 0, rowHeight = 0;
    auto finishRow = [&] {
        if (place) {
            int left = area.left();
            for (const TPlaced& p : row) {
                const QSize size = IsSeparator(p.Item) ? QSize(p.Size.width(), rowHeight) : p.Size;
                p.Item->setGeometry(QRect(QPoint(left, area.top() + y + (rowHeight - size.height()) / 2), size));
                left += p.Size.width() + spacing();
            }
        }
        if (!row.empty()) y += rowHeight + spacing();
        row.clear();
        x = 0;
        rowHeight = 0;
    };
    for (QLayoutItem* item : items_) {
        if (item->isEmpty()) continue;
        QSize size = item->sizeHint();
        if (size.width() > width && item->hasHeightForWidth()) size = QSize(width, item->heightForWidth(width));
        size.setWidth(std::min(size.width(), width));
        if (!row.empty() && x + size.width() > width) finishRow();
        // A group's separator does not begin a row.
        if (row.empty() && IsSeparator(item)) {
            if (place) item->setGeometry(QRect(area.topLeft(), QSize(0, 0)));
            continue;
        }
        row.push_back({item, size});
        x += size.width() + spacing();
        rowHeight = std::max(rowHeight, size.height());
    }
    finishRow();
    const QMargins m = contentsMargins();
    return std::max(0, y - spacing()) + m.top() + m.bottom();
}

TQtCommandBar::TQtCommandBar(const QString& name, const QString& caption, QWidget* parent) : QFrame(parent) {
    setObjectName(name);
    setWindowTitle(caption);
    setProperty("commandBar", true);
    flow_ = new TFlowLayout(this, 1);  // owned by the bar
    flow_->setContentsMargins(2, 1, 2, 1);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QToolButton* TQtCommandBar::AddButton(QAction* action) {
    QWidget::addAction(action);
    auto* button = new QToolButton(this);  // owned by the bar
    button->setObjectName(action->objectName());
    button->setAutoRaise(true);
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::NoFocus);
    button->setDefaultAction(action);
    auto follow = [button, action] {
        // The caption stays the tooltip of a button that shows an image.
        button->setToolButtonStyle(action->icon().isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
        button->setVisible(action->isVisible());
    };
    follow();
    QObject::connect(action, &QAction::changed, button, follow);
    flow_->addWidget(button);
    buttons_.emplace_back(action, button);
    return button;
}

void TQtCommandBar::AddWidget(QWidget* widget) {
    widget->setParent(this);
    flow_->addWidget(widget);
}

void TQtCommandBar::AddSeparator() {
    auto* line = new QFrame(this);  // owned by the bar
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedWidth(6);
    line->setProperty("barSeparator", true);
    flow_->addWidget(line);
}

QToolButton* TQtCommandBar::WidgetForAction(const QAction* action) const {
    for (const auto& [a, button] : buttons_)
        if (a == action) return button;
    return nullptr;
}

}  // namespace quorvel::qt

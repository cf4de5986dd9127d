#pragma once
// The command bars of a window as docked bars behave: side by side while
// they fit, a bar that no longer fits moves to a row of its own, and a bar
// wider than the window wraps its own items into rows. Nothing hides behind
// an overflow button.
#include <QFrame>
#include <QLayout>
#include <QToolButton>
#include <memory>
#include <vector>

namespace quorvel::qt {

// Items left to right in rows, each row as high as its tallest item; an item
// that lays out for a width (a bar) takes a whole row when it does not fit.
class TFlowLayout final : public QLayout {
public:
    explicit TFlowLayout(QWidget* parent = nullptr, int spacing = 2);
    ~TFlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;  // all in one row
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items in rect (or only measures); the height used.
    int Arrange(const QRect& rect, bool place) const;
    std::vector<QLayoutItem*> items_;  // owned
};

// One bar: its buttons, editors and group separators in a flow.
class TQtCommandBar final : public QFrame {
public:
    TQtCommandBar(const QString& name, const QString& caption, QWidget* parent = nullptr);

    // A button for the action, showing its image when it has one and its
    // caption otherwise, shown and hidden with it.
    QToolButton* AddButton(QAction* action);
    void AddWidget(QWidget* widget);
    void AddSeparator();
    // The button made for an action, nullptr when there is none.
    QToolButton* WidgetForAction(const QAction* action) const;

private:
    TFlowLayout* flow_;
    std::vector<std::pair<const QAction*, QToolButton*>> buttons_;
};

}  // namespace quorvel::qt

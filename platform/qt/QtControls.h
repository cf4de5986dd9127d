#pragma once
// Widgets bound to form-model controls. Each binding shows its control (after
// a coalesced sync) and turns what the operator does into the control's user
// actions, so the model's events run exactly as they do in tests.
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <functional>
#include <vector>

#include "QtSync.h"
#include "ui/Controls.h"

namespace quorvel::qt {

// Images of the 16 x 16 image list by index (null icon when none).
using TImageSource = std::function<QIcon(int imageIndex)>;

TShiftState ShiftState(Qt::KeyboardModifiers modifiers);

// A command button as a QAction (in a menu, a toolbar or both).
class TActionBinding final : public TBinding {
public:
    TActionBinding(TButtonItem& item, TQtSync& sync, TImageSource images, QObject* parent);
    ~TActionBinding() override;
    void Sync() override;
    QAction* Action() const { return action_; }
    TButtonItem& Item() const { return item_; }
    // The item was freed by its owner: forget it without touching it.
    void Detach() { detached_ = true; }

private:
    TButtonItem& item_;
    bool detached_ = false;
    QAction* action_;
    TImageSource images_;
};

// A caption-only control (static text, label, group caption) on a widget
// that shows text.
class TTextBinding final : public TBinding {
public:
    TTextBinding(TControl& control, QWidget& widget, TQtSync& sync);
    ~TTextBinding() override;
    void Sync() override;

private:
    TControl& control_;
    QWidget& widget_;
};

class TQtPushButton final : public QPushButton, public TBinding {
public:
    TQtPushButton(TButtonItem& item, TQtSync& sync, QWidget* parent);
    ~TQtPushButton() override;
    void Sync() override;

private:
    TButtonItem& item_;
};

// A check box: its check mark is the button's down state; a click goes to
// the model, which decides.
class TQtCheckBox final : public QCheckBox, public TBinding {
public:
    TQtCheckBox(TButtonItem& item, TQtSync& sync, QWidget* parent);
    ~TQtCheckBox() override;
    void Sync() override;

private:
    TButtonItem& item_;
};

class TQtComboBox final : public QComboBox, public TBinding {
public:
    TQtComboBox(TComboBox& model, TQtSync& sync, QWidget* parent = nullptr);
    ~TQtComboBox() override;
    void Sync() override;

private:
    TComboBox& model_;
    std::vector<std::string> shown_;
};

// A spin editor: the text is the control's current text, the arrows step it;
// the wheel is left to the window's message hook, which steps the focused one.
class TQtSpinEdit final : public QAbstractSpinBox, public TBinding {
public:
    TQtSpinEdit(TSpinEdit& model, TQtSync& sync, QWidget* parent = nullptr);
    ~TQtSpinEdit() override;
    void Sync() override;
    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    TSpinEdit& model_;
};

// Keys typed into an edit or memo go to the control as key-down and
// key-press actions; the control changes its text, the widget follows.
// Moving the caret and selecting stay with the widget and are fed back.
class TQtLineEdit final : public QLineEdit, public TBinding {
public:
    TQtLineEdit(TEdit& model, TQtSync& sync, QWidget* parent = nullptr);
    ~TQtLineEdit() override;
    void Sync() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void insertFromClipboard();

private:
    TEdit& model_;
    bool syncing_ = false;
};

class TQtMemo final : public QPlainTextEdit, public TBinding {
public:
    TQtMemo(TMemo& model, TQtSync& sync, QWidget* parent = nullptr);
    ~TQtMemo() override;
    void Sync() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;
    // The pane's own menu, not the toolkit's editing menu.
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void SelectionToModel();
    TMemo& model_;
    bool syncing_ = false;
};

// Feeds one key event to an edit control; true when the control took it.
bool FeedKey(TCustomEdit& model, QKeyEvent* e);

class TQtPageControl final : public QTabWidget, public TBinding {
public:
    // pages: the widget of every sheet, in the control's order.
    TQtPageControl(TPageControl& model, const std::vector<QWidget*>& pages, TQtSync& sync, QWidget* parent = nullptr);
    ~TQtPageControl() override;
    void Sync() override;

private:
    TPageControl& model_;
    bool syncing_ = false;
};

class TQtStatusBar final : public QStatusBar, public TBinding {
public:
    TQtStatusBar(TStatusBar& model, TQtSync& sync, QWidget* parent = nullptr);
    ~TQtStatusBar() override;
    void Sync() override;
    QLabel* PanelLabel(std::size_t i) const { return i < panels_.size() ? panels_[i] : nullptr; }

private:
    TStatusBar& model_;
    std::vector<QLabel*> panels_;
};

// Builds the QMenu of a list of items (submenus recursively); the actions'
// bindings are made through bindAction.
void FillMenu(QMenu& menu, const TItemLinks& links, const std::function<QAction*(TButtonItem&)>& bindAction);

// Runs a pop-up menu of the model as a QMenu at a screen point, with the
// actions the view keeps for its items.
void RunPopup(TPopupMenu& menu, TPoint at, const std::function<QAction*(TButtonItem&)>& actionFor);

}  // namespace quorvel::qt

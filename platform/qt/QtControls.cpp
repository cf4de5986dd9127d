#include "QtControls.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QStyle>
#include <QTabBar>
#include <QTextBlock>

#include "QtText.h"
#include "QtWindowSystem.h"

namespace quorvel::qt {
namespace {

// The widget's text uses LF; the model's CR LF. Positions map one to one
// otherwise, as every cp1251 character is one UTF-16 unit.
int ToWidgetPos(const std::string& text, int pos) {
    int out = 0;
    for (int i = 0; i < pos && i < static_cast<int>(text.size()); ++i)
        if (!(text[static_cast<std::size_t>(i)] == '\r' && i + 1 < static_cast<int>(text.size()) &&
              text[static_cast<std::size_t>(i) + 1] == '\n'))
            ++out;
    return out;
}

int ToModelPos(const std::string& text, int pos) {
    int i = 0;
    for (int seen = 0; i < static_cast<int>(text.size()) && seen < pos; ++i) {
        if (text[static_cast<std::size_t>(i)] == '\r' && i + 1 < static_cast<int>(text.size()) &&
            text[static_cast<std::size_t>(i) + 1] == '\n')
            continue;
        ++seen;
    }
    return i;
}

QString WidgetText(const std::string& cp1251) {
    QString s = ToQString(cp1251);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

}  // namespace

TShiftState ShiftState(Qt::KeyboardModifiers m) {
    TShiftState s = 0;
    if (m & Qt::ShiftModifier) s |= ssShift;
    if (m & Qt::AltModifier) s |= ssAlt;
    if (m & Qt::ControlModifier) s |= ssCtrl;
    return s;
}

// ---- Actions --------------------------------------------------------------------

TActionBinding::TActionBinding(TButtonItem& item, TQtSync& sync, TImageSource images, QObject* parent)
    : TBinding(sync), item_(item), action_(new QAction(parent)), images_(std::move(images)) {  // owned by parent
    action_->setObjectName(ToQString(item.Name));
    QObject::connect(action_, &QAction::triggered, action_, [this] {
        if (detached_) return;
        // A click is a press and a release; some buttons act on those.
        item_.MouseDown(TMouseButton::mbLeft, 0, 0, 0);
        item_.MouseUp(TMouseButton::mbLeft, 0, 0, 0);
        item_.Click();
        Sync();  // Qt toggled the check on its own; the control decides
    });
    item_.Observe([this] { Changed(); });
    Sync();
}

TActionBinding::~TActionBinding() {
    if (!detached_) item_.Observe(nullptr);
}

void TActionBinding::Sync() {
    if (detached_) return;
    action_->setText(ToQString(item_.Caption()));
    action_->setToolTip(ToQString(item_.Hint().empty() ? item_.Caption() : item_.Hint()));
    action_->setEnabled(item_.Enabled());
    action_->setVisible(item_.Visible());
    const bool checkable = item_.ButtonStyle == TButtonStyle::bsChecked || item_.Group() != nullptr;
    action_->setCheckable(checkable);
    if (checkable) action_->setChecked(item_.Down());
    if (images_ && item_.ImageIndex >= 0) action_->setIcon(images_(item_.ImageIndex));
}

TTextBinding::TTextBinding(TControl& control, QWidget& widget, TQtSync& sync)
    : TBinding(sync), control_(control), widget_(widget) {
    control_.Observe([this] { Changed(); });
    Sync();
}

TTextBinding::~TTextBinding() { control_.Observe(nullptr); }

void TTextBinding::Sync() {
    const QString text = ToQString(control_.Caption());
    if (auto* label = qobject_cast<QLabel*>(&widget_)) label->setText(text);
    else widget_.setWindowTitle(text);
    if (widget_.metaObject()->indexOfProperty("title") >= 0) widget_.setProperty("title", text);
    if (!control_.Hint().empty()) widget_.setToolTip(ToQString(control_.Hint()));
    widget_.setEnabled(control_.Enabled());
    widget_.setVisible(control_.Visible());
}

// ---- Push buttons and check boxes ---------------------------------------------------

TQtPushButton::TQtPushButton(TButtonItem& item, TQtSync& sync, QWidget* parent)
    : QPushButton(parent), TBinding(sync), item_(item) {
    setObjectName(ToQString(item.Name));
    item_.Observe([this] { Changed(); });
    connect(this, &QPushButton::clicked, this, [this] { item_.Click(); });
    Sync();
}

TQtPushButton::~TQtPushButton() { item_.Observe(nullptr); }

void TQtPushButton::Sync() {
    setText(ToQString(item_.Caption()));
    setEnabled(item_.Enabled());
    setVisible(item_.Visible());
}

TQtCheckBox::TQtCheckBox(TButtonItem& item, TQtSync& sync, QWidget* parent)
    : QCheckBox(parent), TBinding(sync), item_(item) {
    setObjectName(ToQString(item.Name));
    item_.Observe([this] { Changed(); });
    connect(this, &QCheckBox::clicked, this, [this] {
        item_.Click();
        Sync();
    });
    Sync();
}

TQtCheckBox::~TQtCheckBox() { item_.Observe(nullptr); }

void TQtCheckBox::Sync() {
    setText(ToQString(item_.Caption()));
    setEnabled(item_.Enabled());
    setChecked(item_.Down());
}

// ---- Combo --------------------------------------------------------------------

TQtComboBox::TQtComboBox(TComboBox& model, TQtSync& sync, QWidget* parent)
    : QComboBox(parent), TBinding(sync), model_(model) {
    setObjectName(ToQString(model.Name));
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(this, &QComboBox::activated, this, [this](int index) {
        model_.Select(index);
        Sync();
    });
    model_.Observe([this] { Changed(); });
    Sync();
}

TQtComboBox::~TQtComboBox() { model_.Observe(nullptr); }

void TQtComboBox::Sync() {
    if (shown_ != model_.Items()) {
        clear();
        for (const auto& item : model_.Items()) addItem(ToQString(item));
        shown_ = model_.Items();
    }
    setCurrentIndex(model_.ItemIndex());
    setEnabled(model_.Enabled());
    setVisible(model_.Visible());
    setToolTip(ToQString(model_.Hint()));
    if (model_.Width() > 0) setFixedWidth(model_.Width());
}

// ---- Spin editor -----------------------------------------------------------------

TQtSpinEdit::TQtSpinEdit(TSpinEdit& model, TQtSync& sync, QWidget* parent)
    : QAbstractSpinBox(parent), TBinding(sync), model_(model) {
    setObjectName(ToQString(model.Name));
    setFocusPolicy(Qt::StrongFocus);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) { model_.SetCurText(FromQString(text)); });
    model_.Observe([this] { Changed(); });
    Sync();
}

TQtSpinEdit::~TQtSpinEdit() { model_.Observe(nullptr); }

void TQtSpinEdit::Sync() {
    const QString text = ToQString(model_.CurText());
    if (lineEdit()->text() != text) lineEdit()->setText(text);
    lineEdit()->setReadOnly(model_.ReadOnly);
    setEnabled(model_.Enabled());
    setVisible(model_.Visible());
    setToolTip(ToQString(model_.Hint()));
    if (model_.Width() > 0) setFixedWidth(model_.Width());
}

void TQtSpinEdit::stepBy(int steps) {
    for (int i = 0; i < std::abs(steps); ++i) model_.Step(steps > 0 ? 1 : -1);
    Sync();
}

QAbstractSpinBox::StepEnabled TQtSpinEdit::stepEnabled() const {
    return model_.Enabled() ? (StepUpEnabled | StepDownEnabled) : StepNone;
}

void TQtSpinEdit::wheelEvent(QWheelEvent* e) { e->ignore(); }

void TQtSpinEdit::focusInEvent(QFocusEvent* e) {
    QAbstractSpinBox::focusInEvent(e);
    if (!model_.Focused()) model_.SetFocus();
}

// ---- Edits -----------------------------------------------------------------------

// The key as the model's handlers leave it: 0 when one of them took it, and
// then the key types nothing.
std::uint16_t KeyDownLeft(TCustomEdit& model, std::uint16_t key, TShiftState shift) {
    if (model.OnKeyDown) model.OnKeyDown(&model, key, shift);
    return key;
}

bool FeedKey(TCustomEdit& model, QKeyEvent* e) {
    const TShiftState shift = ShiftState(e->modifiers());
    const std::uint32_t vk = VirtualKey(e->key(), (e->modifiers() & Qt::KeypadModifier) != 0);
    if (e->matches(QKeySequence::Paste)) {
        const QString clip = QGuiApplication::clipboard()->text();
        if (!model.ReadOnly && !clip.isEmpty()) {
            QString text = clip;
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
            model.SetSelText(FromQString(text));
        }
        return true;
    }
    if (e->matches(QKeySequence::Cut)) {
        if (model.SelLength() > 0) {
            QGuiApplication::clipboard()->setText(WidgetText(model.SelText()));
            if (!model.ReadOnly) model.SetSelText({});
        }
        return true;
    }
    if (e->key() == Qt::Key_Delete && e->modifiers() == Qt::NoModifier) {
        const std::uint16_t key = KeyDownLeft(model, 0x2E, shift);
        if (key == 0 || model.ReadOnly) return true;
        if (model.SelLength() == 0 && model.SelStart() < model.GetTextLen()) {
            const std::string& t = model.Text();
            const auto at = static_cast<std::size_t>(model.SelStart());
            model.SetSelLength(t[at] == '\r' && at + 1 < t.size() && t[at + 1] == '\n' ? 2 : 1);
        }
        if (model.SelLength() > 0) model.SetSelText({});
        return true;
    }
    const QString text = e->text();
    char typed = 0;
    if (e->key() == Qt::Key_Backspace) typed = '\b';
    else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) typed = '\r';
    else if (e->key() == Qt::Key_Tab) typed = '\t';
    else if (text.size() == 1 && text[0].isPrint() && !(e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        typed = FromQString(text)[0];
    if (typed == 0) {
        if (vk != 0 && !(e->modifiers() & Qt::ControlModifier) && (vk < 0x21 || vk > 0x28) && vk != 0x24 && vk != 0x23) {
            std::uint16_t key = static_cast<std::uint16_t>(vk);
            model.KeyDown(key, shift);
        }
        return false;  // caret movement, selection, copy: the widget's own
    }
    const std::uint16_t key = KeyDownLeft(model, static_cast<std::uint16_t>(vk), shift);
    if (key != 0) model.KeyPress(typed);
    return true;
}

TQtLineEdit::TQtLineEdit(TEdit& model, TQtSync& sync, QWidget* parent)
    : QLineEdit(parent), TBinding(sync), model_(model) {
    setObjectName(ToQString(model.Name));
    connect(this, &QLineEdit::selectionChanged, this, [this] {
        if (syncing_) return;
        if (hasSelectedText()) {
            model_.SetSelStart(selectionStart());
            model_.SetSelLength(static_cast<int>(selectedText().size()));
        }
    });
    connect(this, &QLineEdit::cursorPositionChanged, this, [this](int, int now) {
        if (!syncing_ && !hasSelectedText()) model_.SetSelStart(now);
    });
    model_.Observe([this] { Changed(); });
    Sync();
}

TQtLineEdit::~TQtLineEdit() { model_.Observe(nullptr); }

void TQtLineEdit::Sync() {
    syncing_ = true;
    const QString text = ToQString(model_.Text());
    if (this->text() != text) setText(text);
    if (model_.SelLength() > 0) setSelection(model_.SelStart(), model_.SelLength());
    else setCursorPosition(model_.SelStart());
    setEnabled(model_.Enabled());
    setVisible(model_.Visible());
    setReadOnly(model_.ReadOnly);
    setToolTip(ToQString(model_.Hint()));
    if (model_.Width() > 0) setFixedWidth(model_.Width());
    syncing_ = false;
}

void TQtLineEdit::keyPressEvent(QKeyEvent* e) {
    if (FeedKey(model_, e)) {
        Sync();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void TQtLineEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    if (!model_.Focused()) model_.SetFocus();
}

TQtMemo::TQtMemo(TMemo& model, TQtSync& sync, QWidget* parent)
    : QPlainTextEdit(parent), TBinding(sync), model_(model) {
    setObjectName(ToQString(model.Name));
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] { SelectionToModel(); });
    connect(this, &QPlainTextEdit::selectionChanged, this, [this] { SelectionToModel(); });
    model_.Observe([this] { Changed(); });
    Sync();
}

TQtMemo::~TQtMemo() { model_.Observe(nullptr); }

void TQtMemo::SelectionToModel() {
    if (syncing_) return;
    const QTextCursor c = textCursor();
    const std::string& text = model_.Text();
    const int from = ToModelPos(text, c.selectionStart());
    const int to = ToModelPos(text, c.selectionEnd());
    if (from == model_.SelStart() && to - from == model_.SelLength()) return;
    model_.SetSelStart(from);
    if (to > from) model_.SetSelLength(to - from);
}

void TQtMemo::Sync() {
    syncing_ = true;
    const std::string& text = model_.Text();
    const QString shown = WidgetText(text);
    if (toPlainText() != shown) setPlainText(shown);
    QTextCursor c = textCursor();
    c.setPosition(ToWidgetPos(text, model_.SelStart()));
    if (model_.SelLength() > 0)
        c.setPosition(ToWidgetPos(text, model_.SelStart() + model_.SelLength()), QTextCursor::KeepAnchor);
    setTextCursor(c);
    ensureCursorVisible();
    setEnabled(model_.Enabled());
    setVisible(model_.Visible());
    setReadOnly(model_.ReadOnly);
    syncing_ = false;
}

void TQtMemo::keyPressEvent(QKeyEvent* e) {
    if (FeedKey(model_, e)) {
        Sync();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void TQtMemo::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText() || model_.ReadOnly) return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    model_.SetSelText(FromQString(text));
    Sync();
}

void TQtMemo::contextMenuEvent(QContextMenuEvent* e) {
    e->accept();
    if (model_.PopupMenu == nullptr) return;
    const QPoint at = e->globalPos();
    model_.PopupMenu->Popup(TPoint{at.x(), at.y()});
}

void TQtMemo::focusInEvent(QFocusEvent* e) {
    QPlainTextEdit::focusInEvent(e);
    if (!model_.Focused()) model_.SetFocus();
}

// ---- Pages and status bar ----------------------------------------------------------

TQtPageControl::TQtPageControl(TPageControl& model, const std::vector<QWidget*>& pages, TQtSync& sync,
                               QWidget* parent)
    : QTabWidget(parent), TBinding(sync), model_(model) {
    setObjectName(ToQString(model.Name));
    for (int i = 0; i < model.PageCount(); ++i)
        addTab(i < static_cast<int>(pages.size()) && pages[static_cast<std::size_t>(i)] != nullptr
                   ? pages[static_cast<std::size_t>(i)]
                   : new QWidget,  // owned by the tab widget
               ToQString(model.Pages(i).Caption()));
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (!syncing_ && index >= 0) model_.SelectPage(index);
    });
    connect(this, &QTabWidget::tabCloseRequested, this, [this](int) { model_.CloseButtonClick(); });
    model_.Observe([this] { Changed(); });
    for (int i = 0; i < model.PageCount(); ++i) model.Pages(i).Observe([this] { Changed(); });
    Sync();
}

TQtPageControl::~TQtPageControl() {
    model_.Observe(nullptr);
    for (int i = 0; i < model_.PageCount(); ++i) model_.Pages(i).Observe(nullptr);
}

void TQtPageControl::Sync() {
    syncing_ = true;
    for (int i = 0; i < model_.PageCount() && i < count(); ++i) {
        setTabText(i, ToQString(model_.Pages(i).Caption()));
        setTabVisible(i, model_.Pages(i).TabVisible() && model_.Pages(i).Visible());
    }
    setCurrentIndex(model_.ActivePageIndex());
    setTabsClosable(model_.ShowCloseButton());
    // The close button belongs to the active tab alone.
    const auto side = static_cast<QTabBar::ButtonPosition>(
        style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, tabBar()));
    for (int i = 0; i < count(); ++i)
        if (QWidget* close = tabBar()->tabButton(i, side)) close->setVisible(i == currentIndex());
    setEnabled(model_.Enabled());
    setVisible(model_.Visible());
    syncing_ = false;
}

TQtStatusBar::TQtStatusBar(TStatusBar& model, TQtSync& sync, QWidget* parent)
    : QStatusBar(parent), TBinding(sync), model_(model) {
    setObjectName(ToQString(model.Name));
    setSizeGripEnabled(false);
    model_.Observe([this] { Changed(); });
    Sync();
}

TQtStatusBar::~TQtStatusBar() { model_.Observe(nullptr); }

void TQtStatusBar::Sync() {
    while (panels_.size() < model_.PanelCount()) {
        const std::size_t i = panels_.size();
        auto* label = new QLabel(this);  // owned by the bar
        label->setObjectName(QStringLiteral("Panel%1").arg(i));
        label->setFrameShape(QFrame::StyledPanel);
        label->setTextFormat(Qt::PlainText);
        const TStatusPanel& panel = model_.Panel(i);
        if (panel.Width < 0) addWidget(label, 1);
        else {
            label->setMinimumWidth(panel.Width);
            addWidget(label);
        }
        QFont f = label->font();
        f.setBold(panel.Bold);
        label->setFont(f);
        panels_.push_back(label);
    }
    QFrame::Shape shape = QFrame::StyledPanel;
    QFrame::Shadow shadow = QFrame::Plain;
    switch (model_.Look()) {
        case TStatusBarLook::Flat: shape = QFrame::NoFrame; break;
        case TStatusBarLook::Standard: shape = QFrame::Panel, shadow = QFrame::Sunken; break;
        case TStatusBarLook::Office2003:
        case TStatusBarLook::XP: break;
    }
    for (std::size_t i = 0; i < panels_.size() && i < model_.PanelCount(); ++i) {
        panels_[i]->setText(ToQString(model_.Panel(i).Text));
        panels_[i]->setFrameShape(shape);
        panels_[i]->setFrameShadow(shadow);
    }
    setVisible(model_.Visible());
}

// ---- Menus -----------------------------------------------------------------------

void FillMenu(QMenu& menu, const TItemLinks& links, const std::function<QAction*(TButtonItem&)>& bindAction) {
    for (const TItemLink& link : links.Links()) {
        if (link.BeginGroup) menu.addSeparator();
        if (auto* sub = dynamic_cast<TSubItem*>(link.Item)) {
            QMenu* child = menu.addMenu(ToQString(sub->Caption()));
            child->setEnabled(sub->Enabled());
            FillMenu(*child, sub->ItemLinks, bindAction);
        } else if (auto* button = dynamic_cast<TButtonItem*>(link.Item)) {
            menu.addAction(bindAction(*button));
        } else if (auto* list = dynamic_cast<TComboBox*>(link.Item)) {
            // A list in a menu: its items are the choices.
            for (int i = 0; i < static_cast<int>(list->Items().size()); ++i) {
                QAction* a = menu.addAction(ToQString(list->Items()[static_cast<std::size_t>(i)]));
                a->setEnabled(list->Enabled());
                QObject::connect(a, &QAction::triggered, [list, i] { list->Select(i); });
            }
        } else if (auto* control = dynamic_cast<TControl*>(link.Item); control != nullptr && control->OnMouseUp) {
            // A static text that answers a click (the capture menu's word).
            QAction* a = menu.addAction(ToQString(control->Caption()));
            QObject::connect(a, &QAction::triggered, [control] { control->MouseUp(TMouseButton::mbLeft, 0, 0, 0); });
        } else if (link.Item != nullptr) {
            QAction* a = menu.addAction(ToQString(link.Item->Caption()));
            a->setEnabled(false);
        }
    }
}

void RunPopup(TPopupMenu& popup, TPoint at, const std::function<QAction*(TButtonItem&)>& actionFor) {
    QMenu menu;
    menu.setObjectName(ToQString(popup.Name));
    FillMenu(menu, popup.ItemLinks, actionFor);
    menu.exec(QPoint(at.X, at.Y));
}

}  // namespace quorvel::qt

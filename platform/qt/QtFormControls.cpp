#include "QtFormControls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QToolButton>
#include <QWidgetAction>

#include "QtText.h"

namespace quorvel::qt {
namespace {

// A submenu's title, enabled state and visibility.
class TSubItemBinding final : public TBinding {
public:
    TSubItemBinding(TSubItem& item, QMenu& menu, TQtSync& sync) : TBinding(sync), item_(item), menu_(&menu) {
        item_.Observe([this] { Changed(); });
        Sync();
    }
    ~TSubItemBinding() override { item_.Observe(nullptr); }
    void Sync() override {
        QMenu* menu = menu_.data();
        if (menu == nullptr) return;
        menu->setTitle(ToQString(item_.Caption()));
        menu->menuAction()->setEnabled(item_.Enabled());
        menu->menuAction()->setVisible(item_.Visible());
    }

private:
    TSubItem& item_;
    QPointer<QMenu> menu_;
};

// A right press on a macro button goes to its control (the preview), with
// where the button stands on the screen; its ordinary hint shows only while
// the control lets it. The button is looked for among the bar's own first,
// as a reload may have freed it before the bar's next sync.
class TMacroButtonFilter final : public QObject {
public:
    TMacroButtonFilter(TToolBar& bar, TToolButtonX& item, QObject* parent) : QObject(parent), bar_(bar), item_(&item) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        const QEvent::Type type = event->type();
        if (widget == nullptr ||
            (type != QEvent::ToolTip && type != QEvent::MouseButtonPress && type != QEvent::ContextMenu))
            return false;
        TToolButtonX* item = Alive();
        if (item == nullptr) return false;
        if (type == QEvent::ToolTip) return !item->ShowHint;
        if (type == QEvent::ContextMenu) return true;  // the press showed the preview
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton) return false;
        const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
        item->SetScreenRect(TRect{origin.x(), origin.y(), origin.x() + widget->width(), origin.y() + widget->height()});
        const QPoint at = mouse->position().toPoint();
        item->MouseDown(TMouseButton::mbRight, ShiftState(mouse->modifiers()) | ssRight, at.x(), at.y());
        return true;
    }

private:
    TToolButtonX* Alive() const {
        for (int i = 0; i < bar_.ButtonCount(); ++i)
            if (&bar_.Buttons(i) == item_) return item_;
        return nullptr;
    }
    TToolBar& bar_;
    TToolButtonX* item_;
};

// A macro toolbar: its actions are made again whenever its buttons change,
// since the old buttons may already be freed.
class TMacroBarBinding final : public TBinding {
public:
    TMacroBarBinding(TToolBar& model, QToolBar& bar, TQtSync& sync, TImageSource images)
        : TBinding(sync), model_(model), bar_(&bar), images_(std::move(images)) {
        model_.Observe([this] { Changed(); });
        Sync();
    }
    ~TMacroBarBinding() override { model_.Observe(nullptr); }
    void Sync() override {
        QToolBar* bar = bar_.data();
        if (bar == nullptr) return;
        bool same = static_cast<int>(buttons_.size()) == model_.ButtonCount();
        for (int i = 0; same && i < model_.ButtonCount(); ++i)
            same = &buttons_[static_cast<std::size_t>(i)]->Item() == &model_.Buttons(i);
        if (!same) {
            for (auto& b : buttons_) {
                b->Detach();
                bar->removeAction(b->Action());
                b->Action()->deleteLater();
            }
            buttons_.clear();
            for (int i = 0; i < model_.ButtonCount(); ++i) {
                buttons_.push_back(std::make_unique<TActionBinding>(model_.Buttons(i), SyncQueue(), images_, bar));
                QAction* action = buttons_.back()->Action();
                bar->addAction(action);
                if (QWidget* button = bar->widgetForAction(action))
                    button->installEventFilter(new TMacroButtonFilter(model_, model_.Buttons(i), action));
            }
        }
        bar->setVisible(model_.Visible());
        bar->setEnabled(model_.Enabled());
    }

private:
    TToolBar& model_;
    QPointer<QToolBar> bar_;
    TImageSource images_;
    std::vector<std::unique_ptr<TActionBinding>> buttons_;
};

}  // namespace

TQtFormControls::TQtFormControls(TQtSync& sync, TImageSource images, QObject* actionOwner)
    : sync_(sync), images_(std::move(images)), actionOwner_(actionOwner) {}

TQtFormControls::~TQtFormControls() {
    for (TPopupMenu* p : popups_) p->Runner = nullptr;
}

void TQtFormControls::ImagesChanged() {
    for (auto& [item, binding] : actions_) binding->Changed();
}

QAction* TQtFormControls::ActionFor(TButtonItem& item) {
    auto& binding = actions_[&item];
    if (!binding) binding = std::make_unique<TActionBinding>(item, sync_, images_, actionOwner_);
    return binding->Action();
}

QWidget* TQtFormControls::EntryWidget(TControl& control, QWidget* parent) {
    auto* box = new QWidget(parent);  // owned by parent
    box->setObjectName(ToQString(control.Name) + QStringLiteral("Entry"));
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(3);
    QWidget* editor = nullptr;
    if (auto* combo = dynamic_cast<TComboBox*>(&control)) editor = new TQtComboBox(*combo, sync_, box);
    else if (auto* spin = dynamic_cast<TSpinEdit*>(&control)) editor = new TQtSpinEdit(*spin, sync_, box);
    if (editor == nullptr) {
        // A static text.
        auto* label = new QLabel(box);
        layout->addWidget(label);
        kept_.push_back(std::make_unique<TTextBinding>(control, *label, sync_));
        return box;
    }
    if (!control.Caption().empty()) {
        auto* caption = new QLabel(ToQString(control.Caption()), box);
        layout->addWidget(caption);
    }
    layout->addWidget(editor);
    return box;
}

void TQtFormControls::FillMenu(QMenu& menu, const TItemLinks& links) {
    for (const TItemLink& link : links.Links()) {
        if (link.BeginGroup) menu.addSeparator();
        if (auto* sub = dynamic_cast<TSubItem*>(link.Item)) {
            QMenu* child = menu.addMenu(ToQString(sub->Caption()));
            child->setObjectName(ToQString(sub->Name));
            kept_.push_back(std::make_unique<TSubItemBinding>(*sub, *child, sync_));
            FillMenu(*child, sub->ItemLinks);
        } else if (auto* button = dynamic_cast<TButtonItem*>(link.Item)) {
            menu.addAction(ActionFor(*button));
        } else if (link.Item != nullptr) {
            auto* entry = new QWidgetAction(&menu);  // owned by the menu
            entry->setDefaultWidget(EntryWidget(*link.Item, nullptr));
            menu.addAction(entry);
        }
    }
}

void TQtFormControls::FillMenuBar(QMenuBar& bar, const TBar& model) {
    for (const TItemLink& link : model.ItemLinks.Links()) {
        if (auto* sub = dynamic_cast<TSubItem*>(link.Item)) {
            QMenu* menu = bar.addMenu(ToQString(sub->Caption()));
            menu->setObjectName(ToQString(sub->Name));
            kept_.push_back(std::make_unique<TSubItemBinding>(*sub, *menu, sync_));
            FillMenu(*menu, sub->ItemLinks);
        } else if (auto* button = dynamic_cast<TButtonItem*>(link.Item)) {
            bar.addAction(ActionFor(*button));
        }
    }
}

void TQtFormControls::FillToolBar(TQtCommandBar& bar, const TItemLinks& links) {
    for (const TItemLink& link : links.Links()) {
        if (link.BeginGroup) bar.AddSeparator();
        if (auto* sub = dynamic_cast<TSubItem*>(link.Item)) {
            auto* menu = new QMenu(&bar);  // owned by the bar
            menu->setObjectName(ToQString(sub->Name));
            kept_.push_back(std::make_unique<TSubItemBinding>(*sub, *menu, sync_));
            FillMenu(*menu, sub->ItemLinks);
            menu->menuAction()->setObjectName(ToQString(sub->Name));
            bar.AddButton(menu->menuAction())->setPopupMode(QToolButton::InstantPopup);
        } else if (auto* button = dynamic_cast<TButtonItem*>(link.Item)) {
            bar.AddButton(ActionFor(*button));
        } else if (link.Item != nullptr) {
            bar.AddWidget(EntryWidget(*link.Item, &bar));
        }
    }
}

void TQtFormControls::BindPopup(TPopupMenu& popup) {
    popups_.push_back(&popup);
    popup.Runner = [this](TPopupMenu& menu, TPoint at) {
        RunPopup(menu, at, [this](TButtonItem& item) { return ActionFor(item); });
    };
}

QToolBar* TQtFormControls::MacroBar(TToolBar& model, QWidget* parent) {
    auto* bar = new QToolBar(parent);  // owned by parent
    bar->setObjectName(ToQString(model.Name));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    kept_.push_back(std::make_unique<TMacroBarBinding>(model, *bar, sync_, images_));
    return bar;
}

}  // namespace quorvel::qt

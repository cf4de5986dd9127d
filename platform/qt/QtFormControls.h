#pragma once
// The widgets of one form's controls: one action per command button (shared
// by every menu and bar that links it), editors with their captions for the
// combos and spin editors of bars and menus, menu bars, toolbars, the macro
// toolbars that are refilled at run time, and the pop-up menus.
#include <QMenuBar>
#include <QToolBar>
#include <map>
#include <memory>
#include <vector>

#include "QtCommandBar.h"
#include "QtControls.h"

namespace quorvel::qt {

class TQtFormControls {
public:
    TQtFormControls(TQtSync& sync, TImageSource images, QObject* actionOwner);
    ~TQtFormControls();
    TQtFormControls(const TQtFormControls&) = delete;
    TQtFormControls& operator=(const TQtFormControls&) = delete;

    TQtSync& Sync() const { return sync_; }
    const TImageSource& Images() const { return images_; }
    QAction* ActionFor(TButtonItem& item);
    // A bar or menu entry that is not a button: its caption and its editor.
    QWidget* EntryWidget(TControl& control, QWidget* parent);
    void FillMenu(QMenu& menu, const TItemLinks& links);
    void FillMenuBar(QMenuBar& bar, const TBar& links);
    void FillToolBar(TQtCommandBar& bar, const TItemLinks& links);
    // Installs the runner of a pop-up menu of the model.
    void BindPopup(TPopupMenu& popup);
    // A toolbar whose buttons the model adds and frees at run time.
    QToolBar* MacroBar(TToolBar& bar, QWidget* parent);
    // The image list was rebuilt: every action takes its image again.
    void ImagesChanged();
    // Keeps a binding that is not a widget.
    void Keep(std::unique_ptr<TBinding> binding) { kept_.push_back(std::move(binding)); }

private:
    TQtSync& sync_;
    TImageSource images_;
    QObject* actionOwner_;
    std::map<TButtonItem*, std::unique_ptr<TActionBinding>> actions_;
    std::vector<std::unique_ptr<TBinding>> kept_;
    std::vector<TPopupMenu*> popups_;
};

}  // namespace quorvel::qt

#include "QtFormView.h"

#include <QEvent>
#include <QWindowStateChangeEvent>
#include <dlfcn.h>

#include "QtMainFormView.h"
#include "QtOptionsView.h"
#include "QtSetupWizardView.h"
#include "QtText.h"
#include "QtWindowSystem.h"
#include "plugin/PluginPlatform.h"

namespace quorvel {
namespace {

// Qt cannot be unloaded from a running process: once a module with views is
// loaded, the toolkit stays when the module goes.
[[maybe_unused]] const bool kToolkitPinned = [] {
    for (const char* library : {"libQt6Core.so.6", "libQt6Gui.so.6", "libQt6Widgets.so.6"})
        (void)dlopen(library, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return true;
}();

}  // namespace

IViewFactory* PluginViews() {
    static qt::TQtViewFactory factory;
    return &factory;
}

namespace qt {
namespace {

// What the user does to the window through the window manager (moving,
// sizing, maximising) goes back to the form, so the form saves what the user
// sees. The bounds kept are the normal ones: a maximised or minimised window
// keeps the placement it returns to.
class TPlacementWatcher final : public QObject {
public:
    TPlacementWatcher(TForm& form, QWidget& window) : form_(form), window_(window) { window.installEventFilter(this); }
    ~TPlacementWatcher() override { window_.removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_) return false;
        switch (event->type()) {
            case QEvent::WindowStateChange: {
                const Qt::WindowStates state = window_.windowState();
                form_.WindowState = (state & Qt::WindowMinimized)   ? TWindowState::wsMinimized
                                    : (state & Qt::WindowMaximized) ? TWindowState::wsMaximized
                                                                    : TWindowState::wsNormal;
                break;
            }
            case QEvent::Move:
            case QEvent::Resize: {
                // Only what the window system reports of a shown, normal window:
                // the form's own placing comes back the same, a frame not yet
                // known would be taken for the user's size.
                if (!event->spontaneous() || !window_.isVisible() ||
                    (window_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
                    break;
                const QRect r = window_.frameGeometry();
                if (event->type() == QEvent::Move) {
                    form_.Left = r.left();
                    form_.Top = r.top();
                } else {
                    form_.Width = r.width();
                    form_.Height = r.height();
                }
                break;
            }
            default: break;
        }
        return false;
    }

private:
    TForm& form_;
    QWidget& window_;
};

}  // namespace

TQtFormView::TQtFormView(TForm& form, QWidget& window) : form_(form), window_(&window) {
    window.setWindowTitle(ToQString(form.Caption));
    if (form.Width > 0 && form.Height > 0) window.resize(form.Width, form.Height);
    // Saved maximised, it opens maximised; minimised, it opens as designed.
    if (form.WindowState == TWindowState::wsMaximized) window.setWindowState(Qt::WindowMaximized);
    placement_ = std::make_unique<TPlacementWatcher>(form, window);
}

TQtFormView::~TQtFormView() = default;

std::unique_ptr<IFormView> TQtViewFactory::CreateView(TForm& form) {
    QWidget* window = FindWindowWidget(form.Handle());
    if (window == nullptr) return nullptr;
    if (auto view = CreateMainFormView(form, *window, icons_)) return view;
    if (auto view = CreateSetupWizardView(form, *window)) return view;
    if (auto view = CreateOptionsView(form, *window, icons_)) return view;
    return std::make_unique<TQtFormView>(form, *window);
}

}  // namespace qt
}  // namespace quorvel

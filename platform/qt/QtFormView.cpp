#include "QtFormView.h"

#include <dlfcn.h>

#include "QtMainFormView.h"
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

TQtFormView::TQtFormView(TForm& form, QWidget& window) : form_(form), window_(&window) {
    window.setWindowTitle(ToQString(form.Caption));
    if (form.Width > 0 && form.Height > 0) window.resize(form.Width, form.Height);
}

TQtFormView::~TQtFormView() = default;

std::unique_ptr<IFormView> TQtViewFactory::CreateView(TForm& form) {
    QWidget* window = FindWindowWidget(form.Handle());
    if (window == nullptr) return nullptr;
    if (auto view = CreateMainFormView(form, *window)) return view;
    if (auto view = CreateSetupWizardView(form, *window)) return view;
    return std::make_unique<TQtFormView>(form, *window);
}

}  // namespace qt
}  // namespace quorvel

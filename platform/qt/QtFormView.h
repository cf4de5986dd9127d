#pragma once
// Views of the form model's windows on Qt. The factory lives in the module
// that owns the forms (the plug-in) and finds each form's native window on
// the process's Qt desktop through Qt itself.
#include <QPointer>
#include <QWidget>
#include <memory>

#include "QtIcons.h"
#include "QtSync.h"
#include "ports/Views.h"
#include "ui/Forms.h"

namespace quorvel::qt {

// A window with no controls of its own: its caption and size.
class TQtFormView : public IFormView {
public:
    TQtFormView(TForm& form, QWidget& window);
    ~TQtFormView() override;

protected:
    TForm& form_;
    QPointer<QWidget> window_;
    TQtSync sync_;

private:
    std::unique_ptr<QObject> placement_;  // reports the user's placement to the form
};

class TQtViewFactory final : public IViewFactory {
public:
    std::unique_ptr<IFormView> CreateView(TForm& form) override;

private:
    TQtIcons icons_;  // outlives the windows, which come and go
};

}  // namespace quorvel::qt

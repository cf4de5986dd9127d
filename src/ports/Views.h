#pragma once
// What the operator sees of a window of the form model. A desktop that shows
// windows gives each form a view when it is first shown; the view renders the
// form's controls and feeds the operator's input back to them. Without one
// (tests, the headless host) the form model runs alone.
#include <memory>

namespace quorvel {

class TForm;

class IFormView {
public:
    virtual ~IFormView() = default;
};

class IViewFactory {
public:
    virtual ~IViewFactory() = default;
    // A view of the form in its native window; nullptr when there is none to give.
    virtual std::unique_ptr<IFormView> CreateView(TForm& form) = 0;
};

}  // namespace quorvel

#pragma once
// The view of the audio setup wizard.
#include <QWidget>
#include <memory>

#include "ports/Views.h"
#include "ui/Forms.h"

namespace quorvel::qt {

// The wizard's view when form is the wizard; nullptr otherwise.
std::unique_ptr<IFormView> CreateSetupWizardView(TForm& form, QWidget& window);

}  // namespace quorvel::qt

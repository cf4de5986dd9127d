#pragma once
// The view of the options dialog.
#include <QWidget>
#include <memory>

#include "ports/Views.h"
#include "ui/Forms.h"

namespace quorvel::qt {

class TQtIcons;

// The dialog's view when form is the options dialog; nullptr otherwise.
std::unique_ptr<IFormView> CreateOptionsView(TForm& form, QWidget& window, TQtIcons& icons);

}  // namespace quorvel::qt

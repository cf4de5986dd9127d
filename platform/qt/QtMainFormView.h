#pragma once
// The view of the plug-in's main window.
#include <QWidget>
#include <memory>

#include "ports/Views.h"
#include "ui/Forms.h"

namespace quorvel::qt {

class TQtIcons;

// The main window's view when form is the main window; nullptr otherwise.
std::unique_ptr<IFormView> CreateMainFormView(TForm& form, QWidget& window, TQtIcons& icons);

}  // namespace quorvel::qt

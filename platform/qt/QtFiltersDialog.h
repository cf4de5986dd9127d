#pragma once
// The "Фильтры" dialog of the form model, shown modally over its owner.
class QWidget;

namespace quorvel {
class TFiltersForm;
}

namespace quorvel::qt {

// Runs the dialog; IDOK or IDCANCEL.
int RunFiltersDialog(TFiltersForm& form, QWidget* owner);

}  // namespace quorvel::qt

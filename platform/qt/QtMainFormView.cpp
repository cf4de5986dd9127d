#include "QtMainFormView.h"

namespace quorvel::qt {

std::unique_ptr<IFormView> CreateMainFormView(TForm&, QWidget&) { return nullptr; }

}  // namespace quorvel::qt

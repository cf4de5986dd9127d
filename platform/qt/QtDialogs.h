#pragma once
// The dialog and clipboard ports on Qt Widgets. Text crosses as cp1251.
#include <QStringList>
#include <functional>
#include <string>

#include "ports/Dialogs.h"

class QDialog;
class QWidget;

namespace quorvel::qt {

class TQtDialogs final : public IDialogs {
public:
    int MessageBox(const std::string& caption, const std::string& text, int flags) override;
    bool InputBox(const std::string& caption, const std::string& prompt, bool useOwnerCentre,
                  std::string& text) override;
    int RunModal(const std::string& caption) override;
    void RunModalForm(TForm& form) override;
    bool OpenFile(const std::string& filter, std::string& path) override;
    bool ChooseFont(TFont& font) override;
    bool ChooseColor(TColor& colour) override;

    // Fills the dialog of a modal run with the view of the form-model window
    // that has this caption; false when there is none (a plain OK / cancel
    // dialog is run instead).
    using ModalContent = std::function<bool(const std::string& caption, QDialog& dialog)>;
    void SetModalContent(ModalContent content) { modalContent_ = std::move(content); }

private:
    ModalContent modalContent_;
    bool customColoursSet_ = false;
};

class TQtClipboard final : public IClipboard {
public:
    bool HasText() const override;
    // Line breaks come in as CR LF whatever the clipboard holds.
    std::string GetText() const override;
    void SetText(const std::string& text) override;
};

// The framework's "Description|*.a;*.b|..." filter as Qt's name filters.
QStringList NameFilters(const std::string& filter);

// The window a dialog is shown over: the active window, else none.
QWidget* DialogOwner();

}  // namespace quorvel::qt
